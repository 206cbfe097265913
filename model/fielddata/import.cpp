// Import of measurements from text tables: decoding, splitting, column
// mapping and row-by-row checking.
#include "model/fielddata/import.h"

#include <QCoreApplication>
#include <QHash>
#include <QTextCodec>

#include <algorithm>
#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}

const QChar kDetect(0xffff);
const QChar kAngleSign(0x2220); // ∠

// Full-width digits and signs (as Chinese input methods type them) to ASCII.
QChar halfWidth(QChar c) {
    const ushort u = c.unicode();
    if (u >= 0xff01 && u <= 0xff5e)
        return QChar(ushort(u - 0xfee0));
    if (u == 0x3000)
        return QLatin1Char(' ');
    return c;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000) || c == QChar(0xa0);
}

bool isDegreeSign(QChar c) {
    return c == QChar(0xb0) || c == QChar(0xba) || c == QChar(0x2da) || c == QChar(0x5ea6) /* 度 */;
}
} // namespace

int ImportTable::columns() const {
    int widest = 0;
    for (const QStringList& row : rows)
        widest = std::max(widest, int(row.size()));
    return widest;
}

// ---------------------------------------------------------------- decoding

QString decodeText(const QByteArray& bytes, TextEncoding encoding, QString* used) {
    const auto name = [used](const char* text) {
        if (used)
            *used = QString::fromLatin1(text);
    };
    if (bytes.startsWith("\xef\xbb\xbf") && encoding != TextEncoding::Gbk) {
        name("UTF-8 BOM");
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    }
    if (encoding == TextEncoding::Automatic && bytes.size() >= 2) {
        const bool le = bytes.startsWith("\xff\xfe"), be = bytes.startsWith("\xfe\xff");
        if (le || be) {
            name(le ? "UTF-16LE" : "UTF-16BE");
            QTextCodec* codec = QTextCodec::codecForName(le ? "UTF-16LE" : "UTF-16BE");
            return codec->toUnicode(bytes.constData() + 2, bytes.size() - 2);
        }
    }
    if (encoding != TextEncoding::Gbk) {
        QTextCodec::ConverterState state;
        const QString text =
            QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        if (encoding == TextEncoding::Utf8 || (state.invalidChars == 0 && state.remainingChars == 0)) {
            name("UTF-8");
            return text;
        }
    }
    name("GBK");
    return QTextCodec::codecForName("GBK")->toUnicode(bytes);
}

// ---------------------------------------------------------------- splitting

namespace {
// Fields of one line split at `sep` outside quotes (for detection only).
int fieldCount(const QStringRef& line, QChar sep) {
    if (sep == QLatin1Char(' ')) {
        int fields = 0;
        bool inField = false;
        for (QChar c : line) {
            const bool blank = isBlank(c);
            if (!blank && !inField)
                ++fields;
            inField = !blank;
        }
        return fields;
    }
    int fields = 1;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == sep && !quoted)
            ++fields;
    }
    return fields;
}
} // namespace

QChar detectSeparator(const QString& text) {
    QVector<QStringRef> lines;
    int start = 0;
    while (start <= text.size() && lines.size() < 50) {
        int end = start;
        while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        const QStringRef line = text.midRef(start, end - start);
        if (!line.trimmed().isEmpty())
            lines.append(line);
        start = end + 1;
    }
    if (lines.isEmpty())
        return QChar();
    for (QChar sep : {QChar(QLatin1Char('\t')), QChar(QLatin1Char(';')), QChar(QLatin1Char(',')),
                      QChar(QLatin1Char(' '))}) {
        QHash<int, int> counts;
        for (const QStringRef& line : qAsConst(lines))
            ++counts[fieldCount(line, sep)];
        int best = 0, bestLines = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > bestLines) {
                best = it.key();
                bestLines = it.value();
            }
        // Most lines split alike, into two fields or more.
        if (best >= 2 && bestLines * 10 >= lines.size() * 6)
            return sep;
    }
    return QChar();
}

ImportTable tableFromText(const QString& text, QChar separator) {
    ImportTable table;
    const QChar sep = separator == kDetect ? detectSeparator(text) : separator;
    table.separator = sep;
    const bool blanks = sep == QLatin1Char(' ');
    const bool single = sep.isNull();
    const int size = text.size();
    const QChar* s = text.constData();
    int pos = 0, line = 1;
    QStringList cells;
    QString cell;
    while (pos < size) {
        const int rowStart = pos, rowLine = line;
        cells.clear();
        cell.clear();
        bool quoted = false, wasQuoted = false;
        bool endOfRow = false;
        while (pos < size && !endOfRow) {
            const QChar c = s[pos];
            if (quoted) {
                if (c == QLatin1Char('"')) {
                    if (pos + 1 < size && s[pos + 1] == QLatin1Char('"')) {
                        cell += c;
                        pos += 2;
                        continue;
                    }
                    quoted = false;
                } else {
                    if (c == QLatin1Char('\n'))
                        ++line;
                    cell += c;
                }
                ++pos;
                continue;
            }
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                endOfRow = true;
                break;
            }
            if (blanks ? isBlank(c) : (!single && c == sep)) {
                if (!blanks || !cell.isEmpty() || wasQuoted)
                    cells.append(cell.trimmed());
                cell.clear();
                wasQuoted = false;
                if (blanks)
                    while (pos + 1 < size && isBlank(s[pos + 1]))
                        ++pos;
            } else if (c == QLatin1Char('"') && !single && !blanks && cell.trimmed().isEmpty()) {
                quoted = wasQuoted = true;
                cell.clear();
            } else {
                cell += c;
            }
            ++pos;
        }
        const int rowEnd = pos;
        if (!blanks || !cell.isEmpty() || wasQuoted)
            cells.append(cell.trimmed());
        // Past the line break (\r\n, \n or \r).
        if (pos < size) {
            pos += s[pos] == QLatin1Char('\r') && pos + 1 < size && s[pos + 1] == QLatin1Char('\n') ? 2 : 1;
            ++line;
        }
        bool empty = true;
        for (const QString& c : qAsConst(cells))
            if (!c.isEmpty()) {
                empty = false;
                break;
            }
        if (empty)
            continue;
        table.rows.append(cells);
        table.lines.append(rowLine);
        table.texts.append(text.mid(rowStart, rowEnd - rowStart));
    }
    return table;
}

ImportTable tableFromTextFile(const QByteArray& bytes, TextEncoding encoding, QChar separator) {
    QString used;
    const QString text = decodeText(bytes, encoding, &used);
    ImportTable table = tableFromText(text, separator);
    table.encoding = used;
    return table;
}

ImportTable tableFromClipboard(const QString& text) {
    return tableFromText(text, QLatin1Char('\t'));
}

// ---------------------------------------------------------------- values

bool parseAngleText(const QString& text, double& value) {
    // Fast path: plain ASCII numbers, as almost every file has them.
    const int n = text.size();
    bool plain = n > 0 && n < 32;
    for (int i = 0; plain && i < n; ++i) {
        const ushort u = text[i].unicode();
        plain = (u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+';
    }
    QString clean;
    if (plain) {
        clean = text;
    } else {
        clean.reserve(n);
        for (QChar c : text)
            clean += halfWidth(c);
        clean = clean.trimmed();
        while (!clean.isEmpty() && isDegreeSign(clean.back()))
            clean.chop(1);
        clean = clean.trimmed();
        // One comma and no point: a decimal comma.
        if (clean.count(QLatin1Char(',')) == 1 && !clean.contains(QLatin1Char('.')))
            clean.replace(QLatin1Char(','), QLatin1Char('.'));
        for (QChar c : qAsConst(clean)) {
            const ushort u = c.unicode();
            if (!((u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+' || u == 'e' || u == 'E'))
                return false;
        }
    }
    bool ok = false;
    const double v = clean.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool parseFieldBookText(const QString& text, double& direction, double& angle) {
    int at = -1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = halfWidth(text[i]);
        if (c == kAngleSign || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('<')) {
            if (at >= 0)
                return false;
            at = i;
        }
    }
    if (at < 0)
        return false;
    double d = 0, a = 0;
    if (!parseAngleText(text.left(at).trimmed(), d) || !parseAngleText(text.mid(at + 1).trimmed(), a))
        return false;
    direction = d;
    angle = a;
    return true;
}

int parseKindText(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("2") || t == QLatin1String("j") || t == QLatin1String("joint") ||
        t == QStringLiteral("节理") || t == QStringLiteral("裂隙"))
        return 2;
    if (t == QLatin1String("3") || t == QLatin1String("b") || t == QLatin1String("bedding") ||
        t == QStringLiteral("层面") || t == QStringLiteral("层理"))
        return 3;
    if (t == QLatin1String("4") || t == QLatin1String("f") || t == QLatin1String("fault") ||
        t == QStringLiteral("断层"))
        return 4;
    return 0;
}

// ---------------------------------------------------------------- mapping

bool ColumnMapping::isValid() const {
    switch (form) {
    case OrientationForm::DipDirectionDip:
        return direction >= 0 && angle >= 0 && direction != angle;
    case OrientationForm::FieldBook:
        return fieldBook >= 0;
    case OrientationForm::StrikeDip:
        return strike >= 0 && angle >= 0 && strike != angle;
    }
    return false;
}

namespace {
const char* formName(OrientationForm form) {
    switch (form) {
    case OrientationForm::FieldBook:
        return "fieldbook";
    case OrientationForm::StrikeDip:
        return "strike";
    case OrientationForm::DipDirectionDip:
        break;
    }
    return "dipdirection";
}

struct Field {
    const char* key;
    int ColumnMapping::*member;
};
const Field kFields[] = {
    {"direction", &ColumnMapping::direction}, {"angle", &ColumnMapping::angle},
    {"fieldBook", &ColumnMapping::fieldBook}, {"strike", &ColumnMapping::strike},
    {"type", &ColumnMapping::type},           {"weight", &ColumnMapping::weight},
    {"station", &ColumnMapping::station},     {"notes", &ColumnMapping::notes},
    {"traverse", &ColumnMapping::traverse},   {"headerRows", &ColumnMapping::headerRows},
};
} // namespace

QString ColumnMapping::toText() const {
    QStringList parts{QStringLiteral("form=") + QLatin1String(formName(form))};
    for (const Field& f : kFields)
        parts << QLatin1String(f.key) + QLatin1Char('=') + QString::number(this->*f.member);
    return parts.join(QLatin1Char(';'));
}

ColumnMapping ColumnMapping::fromText(const QString& text) {
    ColumnMapping m;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = part.left(eq), value = part.mid(eq + 1);
        if (key == QLatin1String("form")) {
            for (OrientationForm f :
                 {OrientationForm::DipDirectionDip, OrientationForm::FieldBook, OrientationForm::StrikeDip})
                if (value == QLatin1String(formName(f)))
                    m.form = f;
            continue;
        }
        for (const Field& f : kFields)
            if (key == QLatin1String(f.key)) {
                bool ok = false;
                const int v = value.toInt(&ok);
                if (ok && v >= -1 && v < 16384)
                    m.*f.member = f.member == &ColumnMapping::headerRows ? std::max(0, v) : v;
            }
    }
    return m;
}

namespace {
enum class Heading { None, Direction, Angle, Strike, FieldBook, Type, Weight, Station, Notes, Traverse };

Heading classify(const QString& cell) {
    QString h = cell.toLower();
    h.remove(QLatin1Char(' '));
    h.remove(QLatin1Char('_'));
    h.remove(QLatin1Char('-'));
    const auto has = [&h](const char* utf8) { return h.contains(QString::fromUtf8(utf8)); };
    const auto is = [&h](const char* latin) { return h == QLatin1String(latin); };
    if (h.isEmpty())
        return Heading::None;
    if (has("产状") || (has("倾向") && has("倾角")) || h.contains(kAngleSign) || has("attitude") ||
        has("orientation"))
        return Heading::FieldBook;
    if (has("倾向") || has("dipdir") || is("dd") || is("dipazimuth") || is("azimuth"))
        return Heading::Direction;
    if (has("倾角") || is("dip") || is("dipangle"))
        return Heading::Angle;
    if (has("走向") || has("strike"))
        return Heading::Strike;
    if (has("类型") || has("类别") || has("性质") || has("种类") || is("type") || is("kind"))
        return Heading::Type;
    if (has("权重") || has("数量") || has("条数") || has("weight") || has("quantity") || is("count"))
        return Heading::Weight;
    if (has("测点") || has("点号") || has("位置") || has("station") || has("location") || is("site"))
        return Heading::Station;
    if (has("备注") || has("说明") || has("描述") || has("note") || has("remark") || has("comment"))
        return Heading::Notes;
    if (has("测线") || has("钻孔") || has("traverse") || has("scanline") || has("borehole"))
        return Heading::Traverse;
    return Heading::None;
}

QString cellOf(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column] : QString();
}
} // namespace

ColumnMapping guessMapping(const ImportTable& table) {
    ColumnMapping m;
    if (table.rows.isEmpty())
        return m;
    // Headings in the first row.
    const QStringList& first = table.rows.first();
    bool headed = false;
    for (int c = 0; c < first.size(); ++c) {
        int ColumnMapping::*slot = nullptr;
        switch (classify(first[c])) {
        case Heading::Direction:
            slot = &ColumnMapping::direction;
            break;
        case Heading::Angle:
            slot = &ColumnMapping::angle;
            break;
        case Heading::Strike:
            slot = &ColumnMapping::strike;
            break;
        case Heading::FieldBook:
            slot = &ColumnMapping::fieldBook;
            break;
        case Heading::Type:
            slot = &ColumnMapping::type;
            break;
        case Heading::Weight:
            slot = &ColumnMapping::weight;
            break;
        case Heading::Station:
            slot = &ColumnMapping::station;
            break;
        case Heading::Notes:
            slot = &ColumnMapping::notes;
            break;
        case Heading::Traverse:
            slot = &ColumnMapping::traverse;
            break;
        case Heading::None:
            break;
        }
        if (slot && m.*slot < 0) {
            m.*slot = c;
            headed = true;
        }
    }
    if (headed) {
        m.headerRows = 1;
        if (m.direction >= 0 && m.angle >= 0)
            m.form = OrientationForm::DipDirectionDip;
        else if (m.fieldBook >= 0)
            m.form = OrientationForm::FieldBook;
        else if (m.strike >= 0 && m.angle >= 0)
            m.form = OrientationForm::StrikeDip;
        if (m.isValid())
            return m;
        m = ColumnMapping();
    }
    // By contents: the first rows' cells, counted per column.
    const int sample = std::min(int(table.rows.size()), 30);
    const int columns = table.columns();
    QVector<int> fieldBook(columns), numeric(columns);
    for (int r = 0; r < sample; ++r)
        for (int c = 0; c < table.rows[r].size(); ++c) {
            double a = 0, b = 0;
            if (parseFieldBookText(table.rows[r][c], a, b))
                ++fieldBook[c];
            else if (parseAngleText(table.rows[r][c], a))
                ++numeric[c];
        }
    for (int c = 0; c < columns; ++c)
        if (fieldBook[c] * 2 > sample) {
            m.form = OrientationForm::FieldBook;
            m.fieldBook = c;
            break;
        }
    if (m.fieldBook < 0) {
        for (int c = 0; c < columns; ++c)
            if (numeric[c] * 2 > sample) {
                if (m.direction < 0)
                    m.direction = c;
                else if (m.angle < 0)
                    m.angle = c;
            }
    }
    // A first row that is not data while the next is: a heading.
    if (m.isValid() && table.rows.size() >= 2) {
        const auto isData = [&m](const QStringList& row) {
            double a = 0, b = 0;
            if (m.form == OrientationForm::FieldBook)
                return parseFieldBookText(cellOf(row, m.fieldBook), a, b);
            return parseAngleText(cellOf(row, m.direction), a) && parseAngleText(cellOf(row, m.angle), b);
        };
        if (!isData(table.rows[0]) && isData(table.rows[1]))
            m.headerRows = 1;
    }
    return m;
}

// ---------------------------------------------------------------- rows

ImportResult importMeasurements(const ImportTable& table, const ColumnMapping& mapping,
                                const QVector<Traverse>& traverses) {
    ImportResult result;
    QHash<QString, int> traverseByName;
    QHash<int, int> traverseIds;
    for (const Traverse& t : traverses) {
        traverseByName.insert(t.name, t.id);
        traverseIds.insert(t.id, t.id);
    }
    result.measurements.reserve(table.rows.size());
    result.lines.reserve(table.rows.size());
    const auto unreadable = [](const QString& text) { return tr("无法识别\"%1\"").arg(text); };
    for (int r = std::max(0, mapping.headerRows); r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        bool empty = true;
        for (const QString& c : row)
            if (!c.isEmpty()) {
                empty = false;
                break;
            }
        if (empty)
            continue;
        Measurement m;
        QString problem;
        const auto number = [&](int column, const QString& missing, double& value) {
            if (!problem.isEmpty())
                return;
            const QString text = cellOf(row, column);
            if (text.isEmpty())
                problem = missing;
            else if (!parseAngleText(text, value))
                problem = unreadable(text);
        };
        switch (mapping.form) {
        case OrientationForm::DipDirectionDip:
            number(mapping.direction, tr("缺少倾向"), m.direction);
            number(mapping.angle, tr("缺少倾角"), m.angle);
            break;
        case OrientationForm::FieldBook: {
            const QString text = cellOf(row, mapping.fieldBook);
            if (text.isEmpty())
                problem = tr("缺少产状");
            else if (!parseFieldBookText(text, m.direction, m.angle))
                problem = unreadable(text);
            break;
        }
        case OrientationForm::StrikeDip: {
            double strike = 0;
            number(mapping.strike, tr("缺少走向"), strike);
            number(mapping.angle, tr("缺少倾角"), m.angle);
            if (problem.isEmpty() && !(strike >= 0 && strike <= 360))
                problem = tr("走向%1超出0–360").arg(angleText(strike));
            // Right-hand rule: the plane dips to the right of its strike.
            m.direction = std::fmod(strike + 90, 360.0);
            break;
        }
        }
        if (m.direction == 360)
            m.direction = 0;
        if (problem.isEmpty() && mapping.type >= 0) {
            const QString text = cellOf(row, mapping.type);
            if (!text.isEmpty()) {
                m.type = parseKindText(text);
                if (m.type == 0)
                    problem = unreadable(text);
            }
        }
        if (problem.isEmpty() && mapping.weight >= 0) {
            const QString text = cellOf(row, mapping.weight);
            if (!text.isEmpty() && !parseAngleText(text, m.weight))
                problem = unreadable(text);
        }
        if (problem.isEmpty() && mapping.traverse >= 0) {
            const QString text = cellOf(row, mapping.traverse);
            if (!text.isEmpty()) {
                bool isId = false;
                const int id = text.toInt(&isId);
                if (traverseByName.contains(text))
                    m.traverse = traverseByName.value(text);
                else if (isId && traverseIds.contains(id))
                    m.traverse = id;
                else
                    problem = tr("测线\"%1\"不存在").arg(text);
            }
        }
        if (problem.isEmpty())
            problem = measurementProblem(m);
        if (problem.isEmpty() && result.measurements.size() >= FieldLimits::MaxMeasurements)
            problem = tr("超过%1条测量数据").arg(FieldLimits::MaxMeasurements);
        const int line = r < table.lines.size() ? table.lines[r] : r + 1;
        if (!problem.isEmpty()) {
            result.rejected.append(RejectedRow{
                line, r < table.texts.size() ? table.texts[r] : row.join(QLatin1Char('\t')), problem});
            continue;
        }
        m.station = cellOf(row, mapping.station);
        m.notes = cellOf(row, mapping.notes);
        result.measurements.append(m);
        result.lines.append(line);
    }
    return result;
}
