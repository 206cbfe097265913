#include "app/viewerpage.h"

#include <QRegularExpression>

namespace ViewerPage {
namespace {

// rgba(r, g, b) without an alpha component: the opaque rgb(r, g, b).
QString opaqueColours(QString css) {
    static const QRegularExpression rgba(QStringLiteral("\\brgba\\s*\\(([^,()]*),([^,()]*),([^,()]*)\\)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return css.replace(rgba, QStringLiteral("rgb(\\1,\\2,\\3)"));
}

// The 计算书 lays its content on a white "paper" 1000 pixels wide with a
// padding of 10, centred on grey, in a 20-pixel font: a browser sizes the
// headings from that font (h2 1.5em, h3 1.17em) and starts the picture on
// its own line. Rich text has no box width, centring or padding for a
// block and sizes headings on its own, whatever the style says: it gets
// the paper as a centred table cell, the headings as bold paragraphs of
// the browser's sizes and margins, and the picture in a block.
QString reportPaper(QString html) {
    static const QRegularExpression paper(QStringLiteral("<div class=\"paper\">(.*)</div>(\\s*</body>)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = paper.match(html);
    if (!m.hasMatch())
        return html;
    QString content = m.captured(1);
    static const QRegularExpression picture(QStringLiteral("(</h3>\\s*)(<img\\b[^>]*>)"));
    content.replace(picture, QStringLiteral("\\1<p>\\2</p>"));
    static const QRegularExpression h2(QStringLiteral("<h2>(.*?)</h2>"));
    static const QRegularExpression h3(QStringLiteral("<h3>(.*?)</h3>"));
    content.replace(h2, QStringLiteral("<p style=\"font-size: 30px; font-weight: bold; margin-top: 25px; "
                                       "margin-bottom: 25px;\">\\1</p>"));
    content.replace(h3, QStringLiteral("<p style=\"font-size: 23px; font-weight: bold; margin-top: 23px; "
                                       "margin-bottom: 23px;\">\\1</p>"));
    html.replace(m.capturedStart(), m.capturedLength(),
                 QStringLiteral("<table align=\"center\" width=\"1020\" bgcolor=\"white\" border=\"0\" "
                                "cellspacing=\"0\" cellpadding=\"10\"><tr><td class=\"paper\">") +
                     content + QStringLiteral("</td></tr></table>") + m.captured(2));
    return html;
}

} // namespace

QString adapted(const QString& html) {
    // <style> elements and style="…" / style='…' attributes.
    static const QRegularExpression css(
        QStringLiteral("(<style\\b[^>]*>)(.*?)(</style\\s*>)|(\\bstyle\\s*=\\s*)(\"[^\"]*\"|'[^']*')"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString out;
    out.reserve(html.size());
    int from = 0;
    auto it = css.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += html.midRef(from, m.capturedStart() - from);
        if (m.capturedStart(1) >= 0)
            out += m.captured(1) + opaqueColours(m.captured(2)) + m.captured(3);
        else
            out += m.captured(4) + opaqueColours(m.captured(5));
        from = m.capturedEnd();
    }
    out += html.midRef(from);
    return reportPaper(out);
}

} // namespace ViewerPage
