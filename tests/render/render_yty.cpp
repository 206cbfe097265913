// render_yty: draws a project file's stereonet into a PNG.
//
//   render_yty in.yty out.png [--upper|--lower] [--circle|--pole]
//              [--analyse] [--mark N] [--size WxH] [--window]
//
// --window paints as the project window does (frame lines, R from the
// window rule); otherwise as the copied picture.
#include "model/datacenter.h"
#include "model/pngencoder.h"
#include "render/stereonet.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: render_yty in.yty out.png [--upper|--lower] [--circle|--pole] "
                             "[--analyse] [--mark N] [--size WxH] [--window]\n");
        return 2;
    }
    DataCenter project;
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly) || !project.readProject(&file)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QSize size(800, 600);
    bool window = false;
    for (int i = 3; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--upper") || a == QLatin1String("--lower")) {
            project.UpperMode = a == QLatin1String("--upper");
            project.slope.calculated = false;
            for (PlaneRecord& plane : project.planes)
                plane.calculated = false;
        } else if (a == QLatin1String("--circle") || a == QLatin1String("--pole")) {
            project.BigCircle = a == QLatin1String("--circle");
        } else if (a == QLatin1String("--analyse")) {
            project.analysisOff = false;
        } else if (a == QLatin1String("--mark") && i + 1 < args.size()) {
            project.ShowMark = qint16(args[++i].toInt());
        } else if (a == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() == 2)
                size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (a == QLatin1String("--window")) {
            window = true;
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(a));
            return 2;
        }
    }
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analyse();

    QImage image(size, QImage::Format_ARGB32);
    if (window) {
        QPainter painter(&image);
        paintStereonetWindow(painter, size, project);
    } else {
        renderStereonetImage(image, project);
    }
    QFile out(args[2]);
    if (!out.open(QIODevice::WriteOnly) || !PngEncoder::write(image, &out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
