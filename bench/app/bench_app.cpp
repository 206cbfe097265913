// Start-up of the shell, offscreen: time from constructing the main window to
// its first exposure, and resident memory after start-up and after opening
// the example projects.
#include "app/mainwindow.h"
#include "model/fonts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

// Resident set size of this process in KiB, from /proc (0 where unknown).
double residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QFile::ReadOnly | QFile::Text))
        return 0;
    // /proc files report no size: read them whole rather than to "the end".
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble();
    return 0;
}

// Spins the event loop until the window is exposed, without the polling
// sleeps of the test library. False after five seconds.
bool waitExposed(QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// Runs once and first, before other windows have grown the heap: the
// counters are the figures of interest.
void BM_ResidentMemory(benchmark::State& state) {
    const QStringList examples =
        QDir(QStringLiteral(KARVEN_SOURCE_DIR "/examples")).entryList({QStringLiteral("*.yty")}, QDir::Files);
    double afterStart = 0;
    double afterOpen = 0;
    for (auto _ : state) {
        MainWindow window;
        window.show();
        waitExposed(window);
        settle();
        afterStart = residentKiB();
        for (const QString& name : examples)
            window.openFile(QStringLiteral(KARVEN_SOURCE_DIR "/examples/") + name);
        settle();
        afterOpen = residentKiB();
        // Close nothing through the prompts: the projects are unmodified.
        window.findChild<QMdiArea*>()->closeAllSubWindows();
        settle();
    }
    state.counters["rss_after_start_MiB"] = afterStart / 1024.0;
    state.counters["rss_with_examples_MiB"] = afterOpen / 1024.0;
    state.counters["examples_opened"] = examples.size();
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_StartupToShownWindow(benchmark::State& state) {
    for (auto _ : state) {
        MainWindow window;
        window.show();
        if (!waitExposed(window))
            state.SkipWithError("main window never exposed");
        benchmark::DoNotOptimize(window.isVisible());
        state.PauseTiming();
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToShownWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Keep the user's settings out of it: a private configuration folder.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Microsoft YaHei UI"), 9));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
