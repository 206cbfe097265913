#include "app/mdichild.h"

#include "app/appsettings.h"
#include "app/filedialogs.h"
#include "app/setwindowtool.h"
#include "model/factors/stabilityproblems.h"
#include "platform/messagebox.h"
#include "render/stereonet.h"
#include "ui_mdichild.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSettings>

#include <cmath>

namespace {
// Numbers new projects for the life of the process.
int sequenceNumber = 1;

// A criterion from the store; what is not a finite number reads as 0, as a
// malformed text does.
double storedAngle(const QSettings& settings, const QString& key, double fallback) {
    const double value = settings.value(key, fallback).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

// Keeps the wait cursor up for one scope.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
} // namespace

MdiChild::MdiChild(QWidget* parent)
    : QWidget(parent), ui(new Ui::MdiChild), windowTool(new SetWindowTool(this)) {
    ui->setupUi(this);
    setObjectName(QStringLiteral("MdiChild"));
    setAttribute(Qt::WA_DeleteOnClose);
    readDocumentSettings();
}

MdiChild::~MdiChild() {
    delete ui;
}

void MdiChild::readDocumentSettings() {
    const bool defaultUpper = dataCenter.UpperMode;
    {
        QSettings settings;
        dataCenter.UpperMode = settings.value(QStringLiteral("project"), true).toBool();
        dataCenter.BigCircle = settings.value(QStringLiteral("express"), true).toBool();
        dataCenter.IncludedAnglePlanar = storedAngle(settings, QStringLiteral("included1"), 30.0);
        dataCenter.FrictionAnglePlanar = storedAngle(settings, QStringLiteral("friction1"), 27.0);
        dataCenter.Topple = settings.value(QStringLiteral("topple"), false).toBool();
        const int mark = settings.value(QStringLiteral("show"), 0).toInt();
        dataCenter.ShowMark = qint16(mark >= 0 && mark <= 3 ? mark : 0);
    }
    // The slope face was projected for the built-in hemisphere; project it
    // again when the stored default is the other one.
    if (dataCenter.UpperMode != defaultUpper) {
        dataCenter.slope.calculated = false;
        dataCenter.updateSlopeGeometry();
    }
}

void MdiChild::writeDocumentSettings() {
    QSettings settings;
    settings.setValue(QStringLiteral("project"), dataCenter.UpperMode);
    settings.setValue(QStringLiteral("express"), dataCenter.BigCircle);
    settings.setValue(QStringLiteral("included1"), dataCenter.IncludedAnglePlanar);
    settings.setValue(QStringLiteral("friction1"), dataCenter.FrictionAnglePlanar);
    settings.setValue(QStringLiteral("topple"), dataCenter.Topple);
    settings.setValue(QStringLiteral("show"), int(dataCenter.ShowMark));
}

void MdiChild::newFile() {
    untitled = true;
    curFile = tr("新文件%1.yty").arg(sequenceNumber++);
    setWindowTitle(curFile + QStringLiteral("[*]"));
    setWindowModified(true);
}

bool MdiChild::loadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QFile::ReadOnly | QFile::Text)) {
        MessageBox::warning(this, tr("无法打开文件\"%1\"").arg(path));
        return false;
    }
    const bool ok = dataCenter.readProject(&file);
    file.close();
    if (!ok) {
        MessageBox::warning(this, tr("打开文件\"%1\"失败").arg(path));
        return false;
    }
    setCurrentFile(path);
    dataCenter.updateSlopeGeometry();
    dataCenter.updatePlanesGeometry();
    // The file opens with its values as they stand; out-of-range inputs are
    // named here and nothing is calculated until they are mended.
    if (dataCenter.stability.enabled) {
        const QList<ParamProblem> problems =
            stabilityParamProblems(dataCenter.stability, dataCenter.slope.angle);
        if (!problems.isEmpty())
            MessageBox::warning(this, tr("文件\"%1\"中的稳定性计算参数超出范围，修正前不计算稳定系数：\n%2")
                                          .arg(path, paramProblemsText(problems)));
    }
    return true;
}

bool MdiChild::save() {
    return untitled ? saveAs() : saveFile(curFile);
}

QString MdiChild::proposedSavePath() const {
    const QFileInfo info(curFile);
    QString folder;
    if (!untitled && info.exists())
        folder = QDir::toNativeSeparators(info.canonicalPath());
    else
        folder = AppSettings::lastPath();
    return folder + QDir::separator() + info.completeBaseName();
}

bool MdiChild::saveAs() {
    const QString chosen = FileDialogs::getSaveFileName(this, tr("另存"), proposedSavePath(),
                                                        tr("数据文件(*.yty);;所有文件(*.*)"));
    if (chosen.isEmpty())
        return false;
    return saveFile(chosen);
}

bool MdiChild::saveFile(const QString& path) {
    QString error;
    {
        WaitCursor wait;
        QSaveFile file(path);
        if (!file.open(QFile::WriteOnly | QFile::Text)) {
            error = tr("无法打开写入文件%1").arg(QDir::toNativeSeparators(path));
        } else {
            const bool written = dataCenter.writeProject(&file);
            // A failed or short write (a full disk) must not replace the
            // earlier file; the save file alone would commit what it got.
            if (!written || !file.flush() || file.size() != file.pos())
                file.cancelWriting();
            if (!file.commit())
                error = tr("无法写入文件%1%").arg(QDir::toNativeSeparators(path));
        }
    }
    if (!error.isEmpty()) {
        MessageBox::warning(this, error);
        return false;
    }
    setCurrentFile(path);
    return true;
}

void MdiChild::setCurrentFile(const QString& path) {
    curFile = QFileInfo(path).canonicalFilePath();
    if (curFile.isEmpty())
        curFile = QFileInfo(path).absoluteFilePath();
    untitled = false;
    setWindowModified(false);
    setWindowTitle(userFriendlyCurrentFile() + QStringLiteral("[*]"));
}

QString MdiChild::userFriendlyCurrentFile() const {
    return QFileInfo(curFile).fileName();
}

bool MdiChild::maybeSave() {
    if (!isWindowModified())
        return true;
    switch (MessageBox::askSave(this, tr("是否保存对'%1'的修改?").arg(userFriendlyCurrentFile()))) {
    case MessageBox::Save:
        return save();
    case MessageBox::Discard:
        return true;
    case MessageBox::Cancel:
    default:
        return false;
    }
}

void MdiChild::closeEvent(QCloseEvent* event) {
    if (maybeSave()) {
        writeDocumentSettings();
        event->accept();
    } else {
        event->ignore();
    }
}

void MdiChild::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintStereonetWindow(painter, size(), dataCenter);
    painter.resetTransform();
    windowTool->paint(painter);
}

void MdiChild::renderToImage(QImage& image) {
    renderStereonetImage(image, dataCenter);
}
