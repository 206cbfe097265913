// Not a test: writes, for each project file given, the DXF drawing and the
// program's own stereonet picture side by side into a folder, for looking
// at the export in a second CAD reader, and a picture of the options dialog.
//   cad_snapshot OUTDIR file.yty ...
#include "cad/caddialog.h"
#include "cad/cadexport.h"
#include "cadtestutil.h"
#include "model/fonts.h"
#include "render/stereonet.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Microsoft YaHei UI"), 9));
    if (argc < 3) {
        std::fprintf(stderr, "usage: cad_snapshot OUTDIR file.yty ...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    {
        CADDialog dialog;
        dialog.show();
        dialog.grab().save(out + QStringLiteral("/caddialog.png"));
    }
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        for (const bool big : {true, false}) {
            DataCenter project;
            if (!loadAnalysed(project, path, big)) {
                std::fprintf(stderr, "cannot read %s\n", argv[i]);
                return 1;
            }
            project.ShowMark = 3;
            project.cadRadius = 50;
            project.cadTextPercent = 5;
            const QString base = out + QLatin1Char('/') + QFileInfo(path).completeBaseName() +
                                 (big ? QStringLiteral("-gc") : QStringLiteral("-pole"));
            if (!CadExport::exportDxf(project, base + QStringLiteral(".dxf")))
                return 1;
            QImage image(900, 900, QImage::Format_ARGB32);
            image.fill(Qt::white);
            renderStereonetImage(image, project);
            image.save(base + QStringLiteral(".png"));
        }
    }
    return 0;
}
