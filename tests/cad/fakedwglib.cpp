// Stand-in for the DWG library: behaves as told by FAKE_DWG_MODE and writes
// what it was given (the path and the clipboard's text) where the caller
// can check it.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QString>

#include <stdexcept>

extern "C" Q_DECL_EXPORT bool writeDwg(const char16_t* path) {
    const QByteArray mode = qgetenv("FAKE_DWG_MODE");
    if (mode == "throw")
        throw std::runtime_error("writer failed");
    if (mode == "false")
        return false;
    const QString file = QString::fromUtf16(path);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write("FAKEDWG\n");
    out.write(file.toUtf8() + '\n');
    out.write(QGuiApplication::clipboard()->text().toUtf8());
    return true;
}
