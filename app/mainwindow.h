#pragma once

#include "app/documentwindow.h"
#include "model/fielddata/jointset.h"
#include "model/fielddata/setwindows.h"

#include <QRect>
#include <QStringList>

class ColorCombo;
class MdiChild;
class QAction;
class QLabel;
class QMdiSubWindow;
class QSpinBox;
class QTreeWidgetItem;

namespace Ui {
class MainWindow;
}

// The frame of the program: the MDI area with project and page windows,
// menus, toolbar, status-bar display strip and the overview dock.
class MainWindow : public DocumentWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Project window of the active sub-window, or none.
    MdiChild* activeMdiChild() const;
    // Sub-window whose project's file is the canonical form of `path`.
    QMdiSubWindow* findMdiChild(const QString& path) const;

    // Activates the window of an open file, or loads it in a new one.
    bool openFile(const QString& path) override;
    // Opens the first 32 paths; the result is that of the last one.
    bool openFiles(const QStringList& paths) override;

    void updateActions();
    void updateOverview(MdiChild* child);
    // Width of the overview dock at which the common rows show whole.
    int overviewWidthHint() const;

public slots:
    void windowActivated(QMdiSubWindow* window);
    void updateRecentMenu();
    void on_actNew_triggered();
    void on_actOpen_triggered();
    void on_actSave_triggered();
    void on_actSaveAs_triggered();
    void on_actExit_triggered();
    void on_actData_triggered();
    void on_actUpper_triggered(bool checked);
    void on_actDown_triggered(bool checked);
    void on_actBigCircle_triggered(bool checked);
    void on_actPole_triggered(bool checked);
    void on_actAnalyse_triggered(bool checked);
    void on_actMark_triggered();
    void on_treeWidget_itemClicked(QTreeWidgetItem* item, int column);
    void on_treeWidget_itemDoubleClicked(QTreeWidgetItem* item, int column);
    void on_actDock_triggered();
    void on_actReport_triggered();
    void on_actDesklnk_triggered();
    void on_actCAD_triggered();
    void on_actPIC_triggered();
    void on_actTXT_triggered();
    void on_actExportCad_triggered();
    void on_actStability_triggered();
    void on_actMeasurements_triggered();
    void on_actImportMeasurements_triggered();
    void on_actFieldLayer_triggered(bool checked);
    void on_actRose_triggered();
    void on_actJointSets_triggered();
    void on_actAutoSets_triggered();
    void on_actDrawSetWindow_triggered(bool checked);
    void on_actSetPlanes_triggered();

private slots:
    void openRecentFile();
    // 画分组窗: a window was dragged in a project window; the mode was
    // ended with Escape.
    void setWindowDrawn(const SetWindow& window);
    void setWindowToolFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Loads a file that is not open yet into a new project window.
    bool loadIntoNewWindow(const QString& path);
    MdiChild* createMdiChild();
    void setHemisphere(bool upper);
    void setRepresentation(bool bigCircle);
    void resetSketch();
    void fileSaved(MdiChild* child);
    void buildDisplayStrip();
    void repaintActiveProject();
    // A project's measurements were replaced: marks it modified, refreshes
    // the window, the overview and the commands.
    void fieldChanged(MdiChild* child);
    // A project's joint sets were changed (edited, found automatically,
    // drawn, or measurements moved between them); `before` are the sets as
    // they were. Carries the links of set planes over and asks whether to
    // update linked planes whose set's mean plane moved, then does what
    // fieldChanged does.
    void setsChanged(MdiChild* child, const QVector<JointSet>& before);
    // 画分组窗 is on in the active project window only, while checked.
    void syncSetWindowTools();

    void readSettings();
    QRect availableScreenGeometry() const;
    int firstStartDockWidth() const;
    void finishFirstStartLayout();
    void writeSettings();
    void createRecentFileActions(const QString& anchorText);

    Ui::MainWindow* ui;
    QAction* recentFileActs[8] = {};
    QLabel* caption = nullptr;
    QSpinBox* fontSizeBox = nullptr;
    ColorCombo* jointCombo = nullptr;
    ColorCombo* beddingCombo = nullptr;
    ColorCombo* faultCombo = nullptr;
    bool firstStartGeometry = false;
    bool firstStartState = false;
};
