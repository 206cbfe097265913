#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "model/displayoptions.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QSettings>

#include <algorithm>

void MainWindow::readSettings() {
    QSettings settings;
    const QByteArray geometry = settings.value(QStringLiteral("geometry"), QByteArray()).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // First start: most of the screen, so that the whole toolbar and a
        // net of a readable size show at once. What the user makes of it is
        // stored at close and wins from then on.
        const QRect available = availableScreenGeometry();
        resize(available.width() * 9 / 10, available.height() * 9 / 10);
        move(available.x() + (available.width() - width()) / 2,
             available.y() + (available.height() - height()) / 2);
        firstStartGeometry = true;
    }
    const QByteArray state = settings.value(QStringLiteral("windowState"), QByteArray()).toByteArray();
    if (state.isEmpty() || !restoreState(state, 0)) {
        resizeDocks({ui->dockWidgetResult}, {firstStartDockWidth()}, Qt::Horizontal);
        firstStartState = true;
    }

    DisplayOptions& options = displayOptions();
    options.fontSize = AppSettings::sanitizedFontSize(settings.value(QStringLiteral("fontsize"), 20).toInt());
    options.jointColor = AppSettings::sanitizedColor(
        settings.value(QStringLiteral("jointcolor"), QStringLiteral("9")).toInt(), Qt::blue);
    options.beddingColor = AppSettings::sanitizedColor(
        settings.value(QStringLiteral("beddingcolor"), QStringLiteral("11")).toInt(), Qt::magenta);
    options.faultColor = AppSettings::sanitizedColor(
        settings.value(QStringLiteral("faultcolor"), QStringLiteral("7")).toInt(), Qt::red);
}

QRect MainWindow::availableScreenGeometry() const {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1511, 932);
}

int MainWindow::firstStartDockWidth() const {
    // Wide enough for the common overview rows, but never more than half
    // the window: the net needs the rest.
    return qMin(overviewWidthHint(), width() / 2);
}

void MainWindow::finishFirstStartLayout() {
    // The window cannot be narrower than its menus, toolbar and status strip,
    // which exist only now, and should show the whole toolbar (where the
    // screen allows): centre and split it at the size it really has.
    if (firstStartGeometry) {
        const QRect available = availableScreenGeometry();
        QSize wanted = size().expandedTo(minimumSizeHint());
        wanted.setWidth(qMax(wanted.width(), qMin(ui->toolBar->sizeHint().width(), available.width())));
        if (wanted != size()) {
            resize(wanted);
            move(available.x() + (available.width() - width()) / 2,
                 available.y() + (available.height() - height()) / 2);
        }
    }
    if (firstStartState)
        resizeDocks({ui->dockWidgetResult}, {firstStartDockWidth()}, Qt::Horizontal);
}

void MainWindow::writeSettings() {
    QSettings settings;
    const DisplayOptions& options = displayOptions();
    settings.setValue(QStringLiteral("windowState"), saveState(0));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("fontsize"), options.fontSize);
    settings.setValue(QStringLiteral("jointcolor"), options.jointColor);
    settings.setValue(QStringLiteral("beddingcolor"), options.beddingColor);
    settings.setValue(QStringLiteral("faultcolor"), options.faultColor);
}

void MainWindow::createRecentFileActions(const QString& anchorText) {
    const QList<QAction*> actions = ui->menu->actions();
    QAction* before = nullptr;
    for (int i = 0; i < actions.size(); ++i) {
        if (actions.at(i)->text() == anchorText) {
            before = i + 1 < actions.size() ? actions.at(i + 1) : nullptr;
            break;
        }
    }
    QAction* separator = new QAction(this);
    separator->setSeparator(true);
    ui->menu->insertAction(before, separator);
    for (int i = 0; i < AppSettings::MaxRecentFiles; ++i) {
        recentFileActs[i] = new QAction(this);
        recentFileActs[i]->setVisible(false);
        connect(recentFileActs[i], &QAction::triggered, this, &MainWindow::openRecentFile);
        ui->menu->insertAction(before, recentFileActs[i]);
    }
}

void MainWindow::updateRecentMenu() {
    const QStringList files = AppSettings::readRecentFiles();
    const int shown = qMin(files.size(), AppSettings::MaxRecentFiles);
    for (int i = 0; i < AppSettings::MaxRecentFiles; ++i) {
        QAction* action = recentFileActs[i];
        if (i < shown) {
            const QString& path = files.at(i);
            action->setText(tr("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
            action->setData(path);
            action->setStatusTip(path);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void MainWindow::openRecentFile() {
    auto* action = qobject_cast<QAction*>(sender());
    if (!action || !std::count(std::begin(recentFileActs), std::end(recentFileActs), action))
        return;
    openFile(action->data().toString());
}
