#pragma once

#include "model/datacenter.h"

#include <QBuffer>

// A project written to bytes and read back from them, as the project file
// holds it, for the tests of the file's elements.
inline QByteArray written(DataCenter& dc) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    dc.writeProject(&buffer);
    return buffer.data();
}

inline bool readInto(DataCenter& dc, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return dc.readProject(&buffer);
}
