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
    return out;
}

} // namespace ViewerPage
