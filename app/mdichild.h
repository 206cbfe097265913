#pragma once

#include "model/datacenter.h"

#include <QString>
#include <QWidget>

class QImage;
class SetWindowTool;

namespace Ui {
class MdiChild;
}

// One project in a sub-window of the main window: the project itself, its
// file, the modified mark and the save prompt.
class MdiChild : public QWidget {
    Q_OBJECT
public:
    explicit MdiChild(QWidget* parent = nullptr);
    ~MdiChild() override;

    DataCenter& project() { return dataCenter; }
    const DataCenter& project() const { return dataCenter; }

    void newFile();
    bool loadFile(const QString& path);
    bool save();
    bool saveAs();
    bool saveFile(const QString& path);
    // Writes the HTML report to a file the user chooses; `reportPath`
    // receives the written path.
    bool exportReport(QString& reportPath);
    bool maybeSave();
    void setCurrentFile(const QString& path);

    QString currentFile() const { return curFile; }
    bool isUntitled() const { return untitled; }
    // File name of the current file without its folder.
    QString userFriendlyCurrentFile() const;
    // Proposed name for save-as and report dialogs: the current file's folder
    // when it exists, else "lastpath", then a backslash and the base name.
    QString proposedSavePath() const;

    // Renders the stereonet into `image` at the image's size.
    void renderToImage(QImage& image);

    void readDocumentSettings();
    void writeDocumentSettings();

    // 画分组窗: set windows dragged on the net (mdichild_setwindow.cpp).
    SetWindowTool* setWindowTool() const { return windowTool; }

    // The measurements as they were before the last import (a file or rows
    // pasted), while that import can be undone.
    QVector<Measurement> measurementsBeforeImport;
    bool importUndoable = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DataCenter dataCenter;
    Ui::MdiChild* ui;
    SetWindowTool* windowTool;
    QString curFile;
    bool untitled = true;
};
