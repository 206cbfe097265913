#include "classcad.h"

#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QMimeData>

namespace vantrel {

bool ClassCad::InitCaddoc(CadDocument& doc)
{
    return initCadDocument(doc);
}

bool ClassCad::ParseXml(const QString& xml, CadDocument& doc)
{
    const QByteArray utf8 = xml.toUtf8();
    return parseInterchangeXml(std::string(utf8.constData(), size_t(utf8.size())), doc);
}

bool ClassCad::write(const QString& path)
{
    try {
        if (path.isEmpty() || !QGuiApplication::instance())
            return false;
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        const QMimeData* mime = clipboard->mimeData(QClipboard::Clipboard);
        if (!mime || !mime->hasText())
            return false;
        CadDocument doc;
        InitCaddoc(doc);  // result ignored, as the conversion defines it
        if (!ParseXml(clipboard->text(QClipboard::Clipboard), doc))
            return false;
        const Bytes bytes = writeDwg(doc, QDateTime::currentSecsSinceEpoch());
        const QByteArray p = path.toUtf8();
        return saveFileAtomically(std::string(p.constData(), size_t(p.size())), bytes);
    } catch (...) {
        return false;
    }
}

}  // namespace vantrel
