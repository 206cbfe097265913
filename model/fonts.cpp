#include "model/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList families = QFontDatabase().families();
    auto present = [&](const QString& family) { return families.contains(family, Qt::CaseInsensitive); };
    auto pick = [&](const QStringList& candidates) {
        QStringList found;
        for (const QString& c : candidates)
            if (present(c))
                found << c;
        return found;
    };
    if (!present(QStringLiteral("SimSun"))) {
        const QStringList serif = pick({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                        QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")});
        if (!serif.isEmpty())
            QFont::insertSubstitutions(QStringLiteral("SimSun"), serif);
    }
    if (!present(QStringLiteral("Microsoft YaHei UI"))) {
        const QStringList sans = pick({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                       QStringLiteral("Noto Serif CJK SC")});
        if (!sans.isEmpty())
            QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei UI"), sans);
    }
}
