#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The command line of karven-batch.
struct BatchOptions {
    QString reportDir; // --report DIR: HTML reports with their picture
    QString pngDir;    // --png DIR: the stereonet pictures
    QString dxfDir;    // --dxf DIR: DXF drawings
    QString dwgDir;    // --dwg DIR: DWG drawings
    QString jsonPath;  // --json FILE, or "-" for standard output
    QString roseDir;   // --rose DIR: the rose diagrams of projects with measurements
    QSize size{800, 600};
    int radius = 50;     // CAD net radius R, as the CAD options' default
    int textPercent = 5; // CAD text height H percent, as the CAD options' default
    int jobs = 0;        // worker threads; 0 = one per core
    bool quiet = false;  // no progress display
    int autoSets = -1;   // --auto-sets N: sets found for projects with measurements but no sets
                         // (0: as many as the density has peaks); -1: not asked
    QStringList files;

    bool writesSomething() const {
        return !reportDir.isEmpty() || !pngDir.isEmpty() || !dxfDir.isEmpty() || !dwgDir.isEmpty() ||
               !jsonPath.isEmpty() || !roseDir.isEmpty();
    }
};

namespace BatchCommand {

enum class Parse { Run, Help, UsageError };

// Reads the arguments (without the program name) into options. On a usage
// error, error receives a one-line explanation.
Parse parseArguments(const QStringList& arguments, BatchOptions& options, QString& error);

// The --help text.
QString helpText();

// Limits the options accept, as the CAD options dialog has them.
constexpr int MinRadius = 10, MaxRadius = 100;
constexpr int MinTextPercent = 2, MaxTextPercent = 20;
constexpr int MinSide = 16, MaxSide = 10000;

} // namespace BatchCommand
