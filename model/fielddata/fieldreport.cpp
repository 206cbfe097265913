#include "model/fielddata/fieldreport.h"

#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "model/pngencoder.h"

#include <QCoreApplication>
#include <QImage>
#include <QTextStream>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldReport", text);
}

QString png(const QImage& picture) {
    return QString::fromLatin1(PngEncoder::encode(picture).toBase64());
}

QString number(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

} // namespace

void writeFieldSection(QTextStream& out, const DataCenter& project, const QImage& densityPicture,
                       const QImage& rosePicture) {
    const FieldData& field = project.field;
    if (field.isEmpty())
        return;
    const std::shared_ptr<const FieldView> view = FieldViews::of(project);
    const QLatin1String nl("\n");
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("结构面统计：") << "</h3>" << nl;
    out << "\t\t<p>" << nl;
    out << "\t\t" << tr("测量数据：%1条").arg(field.measurements.size());
    if (std::fabs(view->weightedCount - field.measurements.size()) > 1e-9)
        out << tr("（加权%1）").arg(number(view->weightedCount, 2));
    out << tr("，测线%1条").arg(field.traverses.size()) << " <br>" << nl;
    QString method;
    switch (field.density) {
    case DensityMethod::Fisher:
        method = tr("Fisher平滑，计数圆面积%1%（半顶角%2°）");
        break;
    case DensityMethod::Kamb:
        method = tr("Kamb法（计数圆使均匀分布的期望数为3σ），计数圆面积%1%（半顶角%2°）");
        break;
    case DensityMethod::Schmidt:
    default:
        method = tr("Schmidt计数，计数圆面积%1%（半顶角%2°）");
        break;
    }
    method = method.arg(number(view->countingArea, 2), number(view->coneHalfAngle, 2));
    out << "\t\t" << tr("等密图方法：") << method << " <br>" << nl;
    if (field.terzaghi && !field.traverses.isEmpty())
        out << "\t\t" << tr("Terzaghi校正：按测线夹角加权，最小夹角%1°").arg(number(field.minBiasAngle, 2))
            << " <br>" << nl;
    const QString unit = view->unit == QLatin1String("sigma") ? QStringLiteral("σ") : view->unit;
    out << "\t\t"
        << tr("最大密度：%1%2，位于极点对应的结构面%3°∠%4°")
               .arg(number(view->maxValue, 2), unit, number(view->maxDirection, 1), number(view->maxAngle, 1))
        << " <br>" << nl;
    QStringList levels;
    for (double level : view->levels)
        levels << number(level, 4);
    out << "\t\t" << tr("等值线：%1（%2）").arg(levels.join(QStringLiteral("、")), unit) << nl;
    out << "\t\t</p>" << nl;
    out << "\t\t<h4>" << tr("极点等密图：") << "</h4>" << nl;
    out << "\t\t<img width=\"600\" height:auto src=\"data:image/png;base64," << png(densityPicture) << "\" />"
        << nl;
    out << "\t\t<h4>" << tr("玫瑰花图：") << "</h4>" << nl;
    out << "\t\t<img width=\"500\" height:auto src=\"data:image/png;base64," << png(rosePicture) << "\" />"
        << nl;
}
