// project_xml OUTDIR file.yty ...: writes the drawing interchange XML of
// each project, analysed, in both representations with every label shown
// (NAME-gc.xml, NAME-pole.xml), for the DWG conformance test.
#include "cad/cadexport.h"
#include "cadtestutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: project_xml OUTDIR file.yty ...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
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
            QFile file(out + QLatin1Char('/') + QFileInfo(path).completeBaseName() +
                       (big ? QStringLiteral("-gc.xml") : QStringLiteral("-pole.xml")));
            if (!file.open(QIODevice::WriteOnly) || file.write(CadExport::drawingXml(project)) < 0)
                return 1;
        }
    }
    return 0;
}
