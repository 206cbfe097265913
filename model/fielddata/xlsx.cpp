// .xlsx sheets as import tables: libzip for the package, QXmlStreamReader
// for its parts.
#include "model/fielddata/xlsx.h"

#include <QCoreApplication>
#include <QHash>
#include <QXmlStreamReader>

#include <memory>
#include <zip.h>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}

// The package, opened from memory (libzip reads the buffer in place).
class Package {
public:
    explicit Package(const QByteArray& bytes) : data(bytes) {
        zip_error_t err;
        zip_error_init(&err);
        zip_source_t* source = zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &err);
        if (source) {
            archive = zip_open_from_source(source, ZIP_RDONLY, &err);
            if (!archive)
                zip_source_free(source);
        }
        zip_error_fini(&err);
    }
    ~Package() {
        if (archive)
            zip_discard(archive);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool isOpen() const { return archive != nullptr; }

    // The part's bytes; false when it is missing, unreadable or too large.
    bool read(const QString& name, QByteArray& out) const {
        out.clear();
        if (!archive)
            return false;
        const QByteArray path = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(archive, path.constData(), 0, &stat) != 0)
            return false;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(XlsxLimits::MaxPartBytes))
            return false;
        zip_file_t* file = zip_fopen(archive, path.constData(), 0);
        if (!file)
            return false;
        char buffer[65536];
        bool ok = true;
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            if (out.size() + n > XlsxLimits::MaxPartBytes) {
                ok = false;
                break;
            }
            out.append(buffer, int(n));
        }
        zip_fclose(file);
        return ok;
    }

private:
    QByteArray data; // kept alive for the source
    zip_t* archive = nullptr;
};

struct SheetEntry {
    QString name, part;
};

// The text of the current element (<si> or <is>): its <t> texts, runs
// included, phonetic runs (<rPh>) left out.
QString richText(QXmlStreamReader& xml) {
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

// Where a relationship's target points, from the workbook's folder "xl/".
QString partPath(const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QString path = QStringLiteral("xl/") + target;
    // Resolve "../" segments.
    QStringList parts;
    for (const QString& p : path.split(QLatin1Char('/'))) {
        if (p == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (!p.isEmpty() && p != QLatin1String("."))
            parts << p;
    }
    return parts.join(QLatin1Char('/'));
}

bool readSheets(const Package& package, QVector<SheetEntry>& sheets, QString& error) {
    QByteArray workbook, rels;
    if (!package.isOpen() || !package.read(QStringLiteral("xl/workbook.xml"), workbook)) {
        error = tr("不是可读的xlsx文件");
        return false;
    }
    QHash<QString, QString> targets;
    if (package.read(QStringLiteral("xl/_rels/workbook.xml.rels"), rels)) {
        QXmlStreamReader xml(rels);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship"))
                targets.insert(xml.attributes().value(QLatin1String("Id")).toString(),
                               xml.attributes().value(QLatin1String("Target")).toString());
        }
    }
    QXmlStreamReader xml(workbook);
    int position = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet"))
            continue;
        ++position;
        const QXmlStreamAttributes a = xml.attributes();
        QString id;
        for (const QXmlStreamAttribute& attribute : a)
            if (attribute.name() == QLatin1String("id")) // r:id, whatever the prefix
                id = attribute.value().toString();
        const QString target = targets.value(id);
        SheetEntry entry;
        entry.name = a.value(QLatin1String("name")).toString();
        entry.part =
            target.isEmpty() ? QStringLiteral("xl/worksheets/sheet%1.xml").arg(position) : partPath(target);
        sheets.append(entry);
    }
    if (xml.hasError() || sheets.isEmpty()) {
        error = tr("不是可读的xlsx文件");
        return false;
    }
    return true;
}

// "B3" → column 1 (from 0); -1 without letters.
int columnOf(const QStringRef& reference) {
    int column = 0, letters = 0;
    for (QChar c : reference) {
        const ushort u = c.unicode();
        if (u >= 'A' && u <= 'Z')
            column = column * 26 + (u - 'A' + 1);
        else if (u >= 'a' && u <= 'z')
            column = column * 26 + (u - 'a' + 1);
        else
            break;
        if (++letters > 3)
            return -1;
    }
    return letters ? column - 1 : -1;
}
} // namespace

bool xlsxSheetNames(const QByteArray& bytes, QStringList& names, QString& error) {
    const Package package(bytes);
    QVector<SheetEntry> sheets;
    if (!readSheets(package, sheets, error))
        return false;
    names.clear();
    for (const SheetEntry& s : sheets)
        names << s.name;
    return true;
}

bool tableFromXlsx(const QByteArray& bytes, int index, ImportTable& table, QString& error) {
    table = ImportTable();
    const Package package(bytes);
    QVector<SheetEntry> sheets;
    if (!readSheets(package, sheets, error))
        return false;
    if (index < 0 || index >= sheets.size()) {
        error = tr("工作表不存在");
        return false;
    }
    QByteArray part;
    if (!package.read(sheets[index].part, part)) {
        error = tr("无法读取工作表\"%1\"").arg(sheets[index].name);
        return false;
    }
    QStringList shared;
    QByteArray strings;
    if (package.read(QStringLiteral("xl/sharedStrings.xml"), strings)) {
        QXmlStreamReader xml(strings);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                shared << richText(xml);
        }
    }

    QXmlStreamReader xml(part);
    qint64 cells = 0;
    int rowNumber = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("row"))
            continue;
        bool ok = false;
        const int r = xml.attributes().value(QLatin1String("r")).toInt(&ok);
        rowNumber = ok && r > rowNumber ? r : rowNumber + 1;
        QStringList row;
        int nextColumn = 0;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("row"))
                break;
            if (token != QXmlStreamReader::StartElement || xml.name() != QLatin1String("c"))
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            int column = columnOf(a.value(QLatin1String("r")));
            if (column < 0)
                column = nextColumn;
            const QString type = a.value(QLatin1String("t")).toString();
            QString value;
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType inner = xml.readNext();
                if (inner == QXmlStreamReader::EndElement && xml.name() == QLatin1String("c"))
                    break;
                if (inner != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == QLatin1String("v")) {
                    value = xml.readElementText(QXmlStreamReader::SkipChildElements);
                } else if (xml.name() == QLatin1String("is")) {
                    value = richText(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (type == QLatin1String("s")) {
                bool isIndex = false;
                const int i = value.toInt(&isIndex);
                value = isIndex && i >= 0 && i < shared.size() ? shared[i] : QString();
            } else if (type == QLatin1String("b")) {
                value = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            }
            if (column >= XlsxLimits::MaxColumns || ++cells > XlsxLimits::MaxCells) {
                error = tr("工作表过大");
                return false;
            }
            while (row.size() < column)
                row << QString();
            if (column < row.size())
                row[column] = value.trimmed();
            else
                row << value.trimmed();
            nextColumn = column + 1;
        }
        bool empty = true;
        for (const QString& c : qAsConst(row))
            empty = empty && c.isEmpty();
        if (empty)
            continue;
        table.rows.append(row);
        table.lines.append(rowNumber);
        table.texts.append(row.join(QLatin1Char('\t')));
    }
    if (xml.hasError()) {
        error = tr("无法读取工作表\"%1\"").arg(sheets[index].name);
        return false;
    }
    return true;
}
