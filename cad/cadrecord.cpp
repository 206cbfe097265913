#include "cad/cadrecord.h"

#include <QtEndian>

#include <cstring>

namespace {
template <typename T> void put(QByteArray& record, int offset, T value) {
    const T little = qToLittleEndian(value);
    std::memcpy(record.data() + offset, &little, sizeof little);
}

void putUtf16(QByteArray& record, int offset, const QString& text) {
    for (int i = 0; i < text.size(); ++i)
        put<quint16>(record, offset + 2 * i, text.at(i).unicode());
}
} // namespace

bool CadClipboardRecord::fits(const QString& path) {
    return path.size() < PathUnits;
}

QByteArray CadClipboardRecord::build(const QString& path) {
    if (!fits(path))
        return QByteArray();
    QByteArray record(Size, '\0');
    putUtf16(record, 0, path);
    putUtf16(record, 1040, QStringLiteral("R15"));
    put<qint32>(record, 1048, 0);
    put<double>(record, 1056, 0.1);
    put<double>(record, 1064, 0.2);
    put<double>(record, 1072, 0.2);
    return record;
}
