#include "batch/batchdwg.h"

#ifdef KARVEN_BATCH_DWG
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"
#endif

#include <QDateTime>

#include <exception>
#include <string>

namespace BatchDwg {

bool available() {
#ifdef KARVEN_BATCH_DWG
    return true;
#else
    return false;
#endif
}

Result writeDwgFile(const QByteArray& xml, const QString& path) {
#ifdef KARVEN_BATCH_DWG
    try {
        vantrel::CadDocument doc;
        vantrel::initCadDocument(doc); // as the library's own conversion: the result is not a refusal
        if (!vantrel::parseInterchangeXml(std::string(xml.constData(), size_t(xml.size())), doc))
            return Result::Refused;
        const vantrel::Bytes bytes = vantrel::writeDwg(doc, QDateTime::currentSecsSinceEpoch());
        const QByteArray p = path.toUtf8(); // the writer takes UTF-8 paths
        return vantrel::saveFileAtomically(std::string(p.constData(), size_t(p.size())), bytes)
                   ? Result::Written
                   : Result::NotWritten;
    } catch (...) {
        return Result::Refused; // the writer throws on documents it cannot encode
    }
#else
    Q_UNUSED(xml);
    Q_UNUSED(path);
    return Result::NotWritten;
#endif
}

} // namespace BatchDwg
