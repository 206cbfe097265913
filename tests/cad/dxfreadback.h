#pragma once

// Reads DXF files back with an independent reader (ezdxf, through
// tests/cad/dxf_readback.py): one JSON object per file with the audit's
// errors and fixes, the tables and the model-space entities.

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace dxfreadback {

inline bool ciRequired() {
    return qEnvironmentVariableIsSet("CI") && qgetenv("CI") != "false";
}

// Runs the reader over files. Sets skip when the reader is not installed.
inline QList<QJsonObject> readBack(const QStringList& files, QString* skip) {
    const QString python = QStringLiteral("/usr/bin/python3");
    const QString script = QStringLiteral(KARVEN_SOURCE_DIR "/tests/cad/dxf_readback.py");
    if (!QFile::exists(python)) {
        *skip = QStringLiteral("/usr/bin/python3 is missing");
        return {};
    }
    QProcess reader;
    reader.start(python, QStringList{script} + files);
    reader.waitForFinished(300000);
    if (reader.exitCode() == 77) {
        *skip = QStringLiteral("python3-ezdxf is not installed; install the Debian package python3-ezdxf");
        return {};
    }
    if (reader.exitCode() != 0) {
        qWarning("%s", reader.readAllStandardError().constData());
        return {};
    }
    QList<QJsonObject> objects;
    for (const QByteArray& line : reader.readAllStandardOutput().trimmed().split('\n'))
        objects << QJsonDocument::fromJson(line).object();
    return objects;
}

// What the audit found: its errors and its repairs, one text each. A file
// handed to CAD programs must need neither.
inline QString auditFindings(const QJsonObject& o) {
    QJsonObject findings;
    findings.insert(QStringLiteral("errors"), o.value(QStringLiteral("errors")));
    findings.insert(QStringLiteral("fixes"), o.value(QStringLiteral("fixes")));
    return QString::fromUtf8(QJsonDocument(findings).toJson(QJsonDocument::Compact));
}

inline bool auditClean(const QJsonObject& o) {
    return o.value(QStringLiteral("errors")).isArray() && o.value(QStringLiteral("fixes")).isArray() &&
           o.value(QStringLiteral("errors")).toArray().isEmpty() &&
           o.value(QStringLiteral("fixes")).toArray().isEmpty();
}

} // namespace dxfreadback

#define REQUIRE_DXF_READER(skip)                                                                             \
    if (!(skip).isEmpty()) {                                                                                 \
        if (dxfreadback::ciRequired())                                                                       \
            QFAIL(qPrintable(skip));                                                                         \
        QSKIP(qPrintable(skip));                                                                             \
    }
