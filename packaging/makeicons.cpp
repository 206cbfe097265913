// Draws the program's icon into a hicolor icon tree for the package: PNGs at
// the usual sizes for the application and for the project file type, and a
// scalable SVG when the SVG module is there.
//
//   karven_makeicons OUTDIR   ->  OUTDIR/hicolor/NxN/{apps,mimetypes}/...
#include "platform/fileassociation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#ifdef KARVEN_ICONS_SVG
#include <QSvgGenerator>
#endif

#include <cstdio>

int main(int argc, char* argv[]) {
    // Raster and SVG painting of paths only: no application object needed.
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const QStringList names = {QStringLiteral("apps/karven"),
                               QStringLiteral("mimetypes/application-x-karven-project")};
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = root + QStringLiteral("%1x%1/").arg(size);
        for (const QString& name : names) {
            if (!platform::writeIconFile(folder + name + QStringLiteral(".png"), size)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(folder + name));
                return 1;
            }
        }
    }
#ifdef KARVEN_ICONS_SVG
    for (const QString& name : names) {
        const QString path = root + QStringLiteral("scalable/") + name + QStringLiteral(".svg");
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(64, 64));
        svg.setViewBox(QRect(0, 0, 64, 64));
        svg.setTitle(QStringLiteral("Karven"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        platform::paintIcon(painter, 64);
        painter.end();
    }
#endif
    return 0;
}
