// Visual comparison helper (not a test): shows a report file in a report
// window (MyWeb, the embedded viewer) and saves what the window shows, to
// set beside a browser's rendering of the same file.
//   report_snapshot REPORT.html OUT.png [WIDTHxHEIGHT]
#include "app/myweb.h"
#include "model/fonts.h"
#include "model/pngencoder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QTextBrowser>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: report_snapshot REPORT.html OUT.png [WIDTHxHEIGHT]\n");
        return 2;
    }
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Microsoft YaHei UI"), 9));
    QSize size(1100, 1400);
    if (args.size() > 3) {
        const QStringList wh = args.at(3).split(QLatin1Char('x'));
        size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
    }
    MyWeb page;
    page.resize(size);
    page.show();
    MyWeb::navigate(&page, args.at(1));
    QElapsedTimer timer;
    timer.start();
    while (page.shownTarget() != args.at(1) && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    page.grab();
    QApplication::processEvents();
    QFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || !PngEncoder::write(page.grab().toImage(), &out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
