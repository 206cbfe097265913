#pragma once

#include "batch/batchoptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

// The work of karven-batch: each project file read, analysed and written to
// the requested outputs, on worker threads.
namespace BatchRun {

// What became of one project file.
struct ProjectResult {
    bool ok = false;
    QString error;   // one-line reason when not ok
    QByteArray json; // the project's JSON object (or its error object)
};

// Output file names, one per input in order: the input's base name, with
// "-2", "-3", ... for repeated base names.
QStringList outputNames(const QStringList& files);

// Reads, analyses and writes one project. Safe to run on any thread; never
// writes to the project file.
ProjectResult processProject(const QString& file, const QString& outputName, const BatchOptions& options);

// The whole run: output folders, all files, the JSON document, messages and
// progress on err, the JSON on out when asked for "-". Returns the exit
// status: 0 every file succeeded, 1 some failed.
int run(const BatchOptions& options, FILE* out, FILE* err);

// The command line as main() gets it (without the program name): usage
// errors give 2, --help prints the help and gives 0.
int main(const QStringList& arguments, FILE* out, FILE* err);

} // namespace BatchRun
