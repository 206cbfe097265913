#pragma once

// karven-batch run as a user runs it, for the batch tests: without a
// display (the program must manage on its own), its exit code and both
// output streams.
#include "model/datacenter.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

struct Run {
    int status = -1; // -1: did not finish normally
    QByteArray out, err;
    QString errText() const { return QString::fromUtf8(err); }
    // Standard error's lines without Qt's own notes on the runtime folder.
    QStringList errLines() const {
        QStringList lines;
        for (const QString& line : errText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.startsWith(QLatin1String("QStandardPaths:")))
                lines << line;
        return lines;
    }
};

inline Run batch(const QStringList& arguments, const QString& workDir = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(KARVEN_BATCH_EXE), arguments);
    Run r;
    if (!p.waitForFinished(240000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The project as the program's own window has it after 分析.
inline bool analysed(DataCenter& project, const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text) || !project.readProject(&f))
        return false;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
    project.buildConclusion();
    return true;
}
