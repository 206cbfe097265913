#pragma once

#include <QByteArray>
#include <QString>

// The record the CAD programs read from the clipboard when pasting: 1120
// bytes, little-endian, naming the drawing file.
//
//   0    520  drawing path, UTF-16, NUL-terminated (at most 259 units)
//   520  520  zero (second text field, empty)
//   1040 8    "R15" in UTF-16 with its NUL
//   1048 4    int32 0
//   1052 4    zero
//   1056 8    double 0.1
//   1064 8    double 0.2
//   1072 8    double 0.2
//   1080 40   zero
struct CadClipboardRecord {
    static constexpr int Size = 1120;
    static constexpr int PathUnits = 260; // including the NUL

    // True when the path fits the record's path field.
    static bool fits(const QString& path);
    // The record for path; empty when the path does not fit.
    static QByteArray build(const QString& path);
};
