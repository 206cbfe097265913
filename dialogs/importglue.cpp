// Temporary stand-in for the model's import parser.
#include "dialogs/importglue.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextCodec>

#include <cmath>

namespace ImportGlue {

Table fromText(const QString& text) {
    Table t;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    QChar sep = QLatin1Char('\t');
    if (!text.contains(sep))
        sep = text.contains(QLatin1Char(','))   ? QLatin1Char(',')
              : text.contains(QLatin1Char(';')) ? QLatin1Char(';')
                                                : QLatin1Char(' ');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        t.rows << (sep == QLatin1Char(' ') ? lines[i].simplified().split(sep) : lines[i].split(sep));
        t.lines << i + 1;
    }
    return t;
}

bool readFile(const QString& path, int, Table& table, QString& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    table.encoding = QStringLiteral("UTF-8");
    if (state.invalidChars > 0) {
        text = QTextCodec::codecForName("GBK")->toUnicode(bytes);
        table.encoding = QStringLiteral("GBK");
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList sheets = table.sheets;
    table = fromText(text);
    table.encoding = state.invalidChars > 0 ? QStringLiteral("GBK") : QStringLiteral("UTF-8");
    return true;
}

Mapping guess(const QVector<QStringList>& rows) {
    Mapping m;
    if (rows.isEmpty())
        return m;
    bool number = false;
    rows.first().value(0).toDouble(&number);
    m.header = !number;
    for (int c = 0; c < rows.first().size(); ++c) {
        const QString h = rows.first()[c].trimmed();
        if (h.contains(QStringLiteral("倾向"))) {
            m.direction = c;
            m.fromHeader = true;
        } else if (h.contains(QStringLiteral("倾角"))) {
            m.angle = c;
            m.fromHeader = true;
        } else if (h.contains(QStringLiteral("产状"))) {
            m.combined = c;
            m.form = FieldBook;
            m.fromHeader = true;
        } else if (h.contains(QStringLiteral("类型")))
            m.kind = c;
        else if (h.contains(QStringLiteral("权重")))
            m.weight = c;
        else if (h.contains(QStringLiteral("测点")))
            m.station = c;
        else if (h.contains(QStringLiteral("备注")))
            m.notes = c;
    }
    return m;
}

void map(const QVector<QStringList>& rows, const QVector<int>& lines, const Mapping& mapping,
         QVector<Measurement>& accepted, QVector<RejectedRow>& rejected) {
    for (int r = mapping.header ? 1 : 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        Measurement m;
        bool ok1 = false, ok2 = false;
        QString bad;
        if (mapping.form == FieldBook) {
            const QStringList parts =
                row.value(mapping.combined)
                    .split(QRegularExpression(QStringLiteral("[∠/°\\s]+")), Qt::SkipEmptyParts);
            m.direction = parts.value(0).toDouble(&ok1);
            m.angle = parts.value(1).toDouble(&ok2);
            bad = row.value(mapping.combined);
        } else {
            m.direction = row.value(mapping.direction).toDouble(&ok1);
            m.angle = row.value(mapping.angle).toDouble(&ok2);
            bad = ok1 ? row.value(mapping.angle) : row.value(mapping.direction);
            if (mapping.form == StrikeRight)
                m.direction = std::fmod(m.direction + 90.0, 360.0);
        }
        if (mapping.weight >= 0)
            m.weight = row.value(mapping.weight).toDouble();
        if (mapping.station >= 0)
            m.station = row.value(mapping.station);
        if (mapping.notes >= 0)
            m.notes = row.value(mapping.notes);
        QString reason = ok1 && ok2 ? measurementProblem(m) : QStringLiteral("无法识别\"%1\"").arg(bad);
        if (reason.isEmpty())
            accepted << m;
        else
            rejected << RejectedRow{lines.value(r), row.join(QLatin1Char(',')), reason};
    }
}

} // namespace ImportGlue
