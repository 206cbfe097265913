#include "app/mainwindow.h"

#include "app/appsettings.h"
#include "app/filedialogs.h"
#include "app/mdichild.h"
#include "app/myweb.h"
#include "dialogs/colorcombo.h"
#include "model/displayoptions.h"
#include "platform/fileassociation.h"
#include "platform/messagebox.h"
#include "platform/shortcut.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>

// The resources live in a static library: referencing their initialiser keeps
// the linker from dropping them.
static void initResources() {
    Q_INIT_RESOURCE(res);
}

MainWindow::MainWindow(QWidget* parent) : DocumentWindow(parent), ui((initResources(), new Ui::MainWindow)) {
    ui->setupUi(this);
    setWindowTitle(tr("澄岩赤平投影V2.3"));
    readSettings();

    setCentralWidget(ui->mdiArea);
    if (QTabBar* tabs = ui->mdiArea->findChild<QTabBar*>())
        tabs->setExpanding(false);

    caption = new QLabel(tr("澄岩赤平投影"), this);
    caption->setMinimumWidth(150);
    statusBar()->addWidget(caption);

    createRecentFileActions(tr("另存为"));

    connect(ui->mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::windowActivated);
    connect(ui->menu, &QMenu::aboutToShow, this, &MainWindow::updateRecentMenu);

    updateActions();
    ui->treeWidget->header()->hide();

    auto* start = new MyWeb;
    ui->mdiArea->addSubWindow(start);
    start->showMaximized();
    MyWeb::navigate(start, MyWeb::startPage());

    platform::registerFileType(QStringLiteral("KARVEN.File.20"), QStringLiteral("KARVEN Document File"),
                               QStringLiteral(".yty"), 1);

    buildDisplayStrip();
    statusBar()->setEnabled(activeMdiChild() != nullptr);
    finishFirstStartLayout();
}

MainWindow::~MainWindow() {
    // Tearing down the MDI area activates and deactivates sub-windows; this
    // window must not react to that any more.
    disconnect(ui->mdiArea, nullptr, this, nullptr);
    delete ui;
}

void MainWindow::buildDisplayStrip() {
    auto* strip = new QWidget(this);
    strip->setMinimumSize(550, 30);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);

    auto addLabel = [&](const QString& text) {
        auto* label = new QLabel(text, strip);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row->addWidget(label);
    };

    DisplayOptions& options = displayOptions();

    addLabel(tr("字体:"));
    fontSizeBox = new QSpinBox(strip);
    fontSizeBox->setObjectName(QStringLiteral("spinFontSize"));
    fontSizeBox->setRange(5, 50);
    fontSizeBox->setValue(options.fontSize);
    row->addWidget(fontSizeBox);
    connect(fontSizeBox, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int value) {
        displayOptions().fontSize = value;
        repaintActiveProject();
    });

    auto addPicker = [&](const QString& text, const QString& name, int DisplayOptions::*field) {
        addLabel(text);
        auto* combo = new ColorCombo(strip);
        combo->setObjectName(name);
        combo->setColor(options.*field);
        row->addWidget(combo);
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this, field](int color) {
            displayOptions().*field = color;
            repaintActiveProject();
        });
        return combo;
    };
    jointCombo = addPicker(tr("节理:"), QStringLiteral("comboJointColor"), &DisplayOptions::jointColor);
    beddingCombo = addPicker(tr("层理:"), QStringLiteral("comboBeddingColor"), &DisplayOptions::beddingColor);
    faultCombo = addPicker(tr("断层:"), QStringLiteral("comboFaultColor"), &DisplayOptions::faultColor);

    statusBar()->addPermanentWidget(strip);
}

void MainWindow::repaintActiveProject() {
    if (MdiChild* child = activeMdiChild())
        child->update();
}

MdiChild* MainWindow::activeMdiChild() const {
    if (QMdiSubWindow* window = ui->mdiArea->activeSubWindow())
        return qobject_cast<MdiChild*>(window->widget());
    return nullptr;
}

QMdiSubWindow* MainWindow::findMdiChild(const QString& path) const {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return nullptr;
    const QList<QMdiSubWindow*> windows = ui->mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        auto* child = qobject_cast<MdiChild*>(window->widget());
        if (child && child->currentFile() == canonical)
            return window;
    }
    return nullptr;
}

MdiChild* MainWindow::createMdiChild() {
    auto* child = new MdiChild;
    ui->mdiArea->addSubWindow(child);
    return child;
}

bool MainWindow::openFile(const QString& path) {
    if (QMdiSubWindow* existing = findMdiChild(path)) {
        ui->mdiArea->setActiveSubWindow(existing);
        return true;
    }
    if (!QFileInfo(path).isFile()) {
        MessageBox::warning(this, tr("\"%1\"文件不存在").arg(path));
        AppSettings::updateRecentFileList(path, false);
        return false;
    }
    if (!loadIntoNewWindow(path))
        return false;
    AppSettings::saveLastPath(path);
    statusBar()->showMessage(tr("成功打开文件"), 2000);
    return true;
}

bool MainWindow::loadIntoNewWindow(const QString& path) {
    auto* child = new MdiChild;
    if (!child->loadFile(path)) {
        // Not yet in the MDI area: the window goes without a save prompt.
        delete child;
        return false;
    }
    ui->mdiArea->addSubWindow(child);
    child->show();
    AppSettings::updateRecentFileList(path, true);
    return true;
}

bool MainWindow::openFiles(const QStringList& paths) {
    bool result = true;
    const int count = qMin(paths.size(), MaxFilesPerDrop);
    for (int i = 0; i < count; ++i)
        result = openFile(paths.at(i));
    return result;
}

void MainWindow::windowActivated(QMdiSubWindow*) {
    MdiChild* child = activeMdiChild();
    statusBar()->setEnabled(child != nullptr);
    updateActions();
    if (child) {
        updateOverview(child);
    } else {
        ui->treeWidget->clear();
        resetSketch();
    }
}

void MainWindow::resetSketch() {
    ui->widgetSketch->setSketch(60, 30, 300);
}

void MainWindow::updateActions() {
    MdiChild* child = activeMdiChild();
    const bool has = child != nullptr;
    for (QAction* action :
         {ui->actSave, ui->actSaveAs, ui->actData, ui->actBigCircle, ui->actPole, ui->actUpper, ui->actDown,
          ui->actAnalyse, ui->actMark, ui->actReport, ui->actCAD, ui->actPIC, ui->actTXT, ui->actExportCad,
          ui->actStability, ui->actMeasurements, ui->actImportMeasurements})
        action->setEnabled(has);
    ui->actFieldLayer->setEnabled(has && !child->project().field.isEmpty());
    ui->actFieldLayer->setChecked(has && !child->project().field.isEmpty() &&
                                  child->project().field.showLayer);
    ui->actRose->setEnabled(has && !child->project().field.isEmpty());
    const bool hasField = has && !child->project().field.isEmpty();
    ui->actJointSets->setEnabled(hasField);
    ui->actAutoSets->setEnabled(hasField);
    ui->actDrawSetWindow->setEnabled(hasField);
    if (!hasField)
        ui->actDrawSetWindow->setChecked(false);
    syncSetWindowTools();
    ui->actSetPlanes->setEnabled(hasField && !child->project().field.sets.isEmpty());
    for (QAction* action : {ui->actNew, ui->actOpen, ui->actExit, ui->actDock, ui->actDesklnk})
        action->setEnabled(true);
    if (!has)
        return;

    const DataCenter& project = child->project();
    const bool editing = project.analysisOff;
    const bool upper = project.UpperMode;
    const bool bigCircle = project.BigCircle;
    ui->actData->setEnabled(editing);
    ui->actBigCircle->setEnabled(editing || bigCircle);
    ui->actPole->setEnabled(editing || !bigCircle);
    ui->actUpper->setEnabled(editing || upper);
    ui->actDown->setEnabled(editing || !upper);
    for (QAction* action : {ui->actMark, ui->actReport, ui->actCAD, ui->actExportCad, ui->actPIC, ui->actTXT})
        action->setEnabled(!editing);
    ui->actAnalyse->setChecked(!editing);
    ui->actUpper->setChecked(upper);
    ui->actDown->setChecked(!upper);
    ui->actBigCircle->setChecked(bigCircle);
    ui->actPole->setChecked(!bigCircle);
}

void MainWindow::on_actNew_triggered() {
    MdiChild* child = createMdiChild();
    child->newFile();
    child->show();
}

void MainWindow::on_actOpen_triggered() {
    const QString chosen = FileDialogs::getOpenFileName(this, tr("打开文件"), AppSettings::lastPath(),
                                                        tr("数据文件(*.yty);;所有文件(*.*)"));
    if (!chosen.isEmpty())
        openFile(QDir::toNativeSeparators(chosen));
}

void MainWindow::fileSaved(MdiChild* child) {
    AppSettings::saveLastPath(child->currentFile());
    AppSettings::updateRecentFileList(child->currentFile(), true);
    statusBar()->showMessage(tr("保存文件"), 2000);
}

void MainWindow::on_actSave_triggered() {
    MdiChild* child = activeMdiChild();
    if (child && child->save())
        fileSaved(child);
}

void MainWindow::on_actSaveAs_triggered() {
    MdiChild* child = activeMdiChild();
    if (child && child->saveAs())
        fileSaved(child);
}

void MainWindow::on_actExit_triggered() {
    QApplication::closeAllWindows();
}

void MainWindow::setHemisphere(bool upper) {
    MdiChild* child = activeMdiChild();
    if (!child || !child->project().analysisOff)
        return;
    DataCenter& project = child->project();
    project.UpperMode = upper;
    ui->actUpper->setChecked(upper);
    ui->actDown->setChecked(!upper);
    project.slope.calculated = false;
    for (PlaneRecord& plane : project.planes)
        plane.calculated = false;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    child->update();
    updateOverview(child);
    child->setWindowModified(true);
}

void MainWindow::setRepresentation(bool bigCircle) {
    MdiChild* child = activeMdiChild();
    if (!child || !child->project().analysisOff)
        return;
    child->project().BigCircle = bigCircle;
    ui->actBigCircle->setChecked(bigCircle);
    ui->actPole->setChecked(!bigCircle);
    child->update();
    updateOverview(child);
    child->setWindowModified(true);
}

void MainWindow::on_actUpper_triggered(bool checked) {
    setHemisphere(checked);
    updateActions();
}

void MainWindow::on_actDown_triggered(bool checked) {
    setHemisphere(!checked);
    updateActions();
}

void MainWindow::on_actBigCircle_triggered(bool checked) {
    setRepresentation(checked);
    updateActions();
}

void MainWindow::on_actPole_triggered(bool checked) {
    setRepresentation(!checked);
    updateActions();
}

void MainWindow::on_actAnalyse_triggered(bool checked) {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    project.analysisOff = !checked;
    if (!checked)
        resetSketch();
    project.analyse();
    updateOverview(child);
    updateActions();
    child->update();
}

void MainWindow::on_actMark_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    project.ShowMark = qint16((project.ShowMark + 1) % 4);
    child->update();
}

void MainWindow::on_actDock_triggered() {
    ui->dockWidgetResult->setVisible(!ui->dockWidgetResult->isVisible());
}

void MainWindow::on_actReport_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    QString reportPath;
    if (!child->exportReport(reportPath))
        return;
    statusBar()->showMessage(tr("导出计算书"), 2000);
    auto* page = new MyWeb;
    ui->mdiArea->addSubWindow(page);
    page->setWindowTitle(QFileInfo(reportPath).fileName());
    page->showMaximized();
    MyWeb::navigate(page, reportPath);
}

void MainWindow::on_actDesklnk_triggered() {
    platform::createDesktopShortcut(tr("澄岩赤平投影"));
}

void MainWindow::on_actPIC_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    QImage image(child->width(), child->height(), QImage::Format_ARGB32);
    child->renderToImage(image);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(image);
    MessageBox::information(this, tr("图片已复制，再粘贴到word等其它软件"));
    showMinimized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    ui->mdiArea->closeAllSubWindows();
    if (!ui->mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}
