#pragma once

#include "model/fielddata/measurements.h"
#include "render/rosepicture.h"

#include <QDialog>
#include <QImage>

namespace Ui {
class RoseDialog;
}

// 玫瑰花图: the rose diagram of a project's measurements in a window of its
// own; strike or dip direction, 5° or 10° sectors, counts or percent,
// weighted or not. 复制图片 puts the diagram on the clipboard as a picture.
// The choices are remembered ("rosestrike", "rosesector", "rosepercent",
// "roseweighted").
class RoseDialog : public QDialog {
    Q_OBJECT
public:
    explicit RoseDialog(const FieldData& field, QWidget* parent = nullptr);
    ~RoseDialog() override;

    RoseSettings options() const;
    // The diagram as the window shows it.
    QImage picture() const;

public slots:
    void on_pushCopy_clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();

    Ui::RoseDialog* ui;
    FieldData field;
};
