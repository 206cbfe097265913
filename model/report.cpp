// The HTML calculation report: one self-contained page with the settings,
// the stereonet picture as a PNG data URI, and every plane and wedge with its
// attitude and stability message.
#include "model/datacenter.h"
#include "model/factors/stabilityreport.h"
#include "model/fielddata/fieldreport.h"
#include "model/fielddata/setsreport.h"
#include "model/labels.h"
#include "model/pngencoder.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QTextStream>

namespace {

// Project name and plane notes are the user's own text; inside the page they
// must stay text, never markup.
QString htmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString pngBase64(const QImage& picture) {
    return QString::fromLatin1(PngEncoder::encode(picture).toBase64());
}

} // namespace

bool DataCenter::writeReport(QIODevice* device, const QImage& picture) {
    return writeReport(device, picture, QImage(), QImage());
}

bool DataCenter::writeReport(QIODevice* device, const QImage& picture, const QImage& densityPicture,
                             const QImage& rosePicture) {
    QTextStream out(device);
    out.setCodec("UTF-8");
    const QLatin1String nl("\n");

    out << "<!DOCTYPE html>" << nl;
    out << "<html>" << nl;
    out << "\t<head>" << nl;
    out << "\t\t<meta charset=\"utf-8\">" << nl;
    out << "\t\t<title>" << tr("澄岩赤平投影分析计算书") << "</title>" << nl;
    out << "\t\t<style type=\"text/css\">" << nl;
    out << "\t\t\tbody{background: rgba(234,234,234);}" << nl;
    out << "\t\t\t.paper{" << nl;
    out << "\t\t\t\twidth: 1000px;" << nl;
    out << "\t\t\t\toverflow: hidden;" << nl;
    out << "\t\t\t\tbackground-color: white;" << nl;
    out << "\t\t\t\tcolor: black;" << nl;
    out << "\t\t\t\tfont-size: 20px;" << nl;
    out << "\t\t\t\tmargin: auto;" << nl;
    out << "\t\t\t\tpadding:10px;}" << nl;
    out << "\t\t</style>" << nl;
    out << "\t</head>" << nl;
    out << "\t<body>" << nl;
    out << "\t\t<div class=\"paper\">" << nl;
    out << "\t\t<h2>" << tr("工程名称：%1").arg(htmlText(ProjectName)) << "</h2>" << nl;
    out << "\t\t<hr>" << nl;
    out << "\t\t<p><b>" << nl;
    out << Labels::removeZeroDecimals(
               "\t\t" + tr("边坡产状：%1°∠%2° <br>")
                            .arg(Labels::angleText(slope.direction), Labels::angleText(slope.angle)))
        << nl;
    out << "\t\t" << tr("投影方式：%1 <br>").arg(UpperMode ? tr("上半球投影") : tr("下半球投影")) << nl;
    out << "\t\t" << tr("表示方式：%1 <br>").arg(BigCircle ? tr("大圆法") : tr("极点法")) << nl;
    out << Labels::removeZeroDecimals("\t\t" + tr("滑动判据：倾夹角%1°，摩擦圆%2° <br>")
                                                   .arg(Labels::angleText(IncludedAnglePlanar),
                                                        Labels::angleText(FrictionAnglePlanar)))
        << nl;
    if (Topple)
        out << Labels::removeZeroDecimals("\t\t" + tr("倾倒判据：倾夹角%1°，摩擦圆%2° <br>")
                                                       .arg(Labels::angleText(IncludedAngleTopple),
                                                            Labels::angleText(FrictionAngleTopple)))
            << nl;
    else
        out << "\t\t" << tr("倾倒判据：不判断倾倒破坏 <br>") << nl;
    out << "\t\t" << tr("分析时间：") << htmlText(analysisTime) << " <br>" << nl;
    out << "\t\t</b></p>" << nl;
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("示意图:") << "</h3>" << nl;
    out << "\t\t<img width=\"600\" height:auto src=\"data:image/png;base64," << pngBase64(picture) << "\" />"
        << nl;
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("结构面：") << "</h3>" << nl;
    out << "\t\t<ul>" << nl;
    for (const PlaneRecord& plane : planes) {
        PlaneRecord shown = plane;
        shown.notes = htmlText(plane.notes);
        out << "\t\t<li>" << tr("%1、").arg(plane.id) << Labels::kindText(shown)
            << Labels::attitudeText(plane.direction, plane.angle) << tr("：") << " <br>" << nl;
        out << "\t\t" << tr("结构面") << Labels::stateMessage(*this, plane.state) << "</li>" << nl;
    }
    out << "\t\t</ul>" << nl;
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("楔形体：") << "</h3>" << nl;
    out << "\t\t<ul>" << nl;
    for (const PlaneRecord& wedge : wedges) {
        out << "\t\t<li>" << Labels::wedgeName(wedge) << Labels::attitudeText(wedge.direction, wedge.angle)
            << tr("：") << " <br>" << nl;
        out << "\t\t" << tr("楔形体") << Labels::stateMessage(*this, wedge.state) << "</li>" << nl;
    }
    out << "\t\t</ul>" << nl;
    writeStabilitySection(out, *this);
    writeFieldSection(out, *this, densityPicture, rosePicture);
    writeJointSetsSection(out, *this);
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("澄岩赤平投影V2.3") << "</h3>" << nl;
    out << "\t\t</div>" << nl;
    out << "\t</body>" << nl;
    out << "</html>" << nl;
    out.flush();
    return true;
}
