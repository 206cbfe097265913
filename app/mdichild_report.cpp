// The report command of a project window: asks for a file name, renders the
// stereonet at the window's size and writes the HTML calculation report.
#include "app/filedialogs.h"
#include "app/mdichild.h"
#include "platform/messagebox.h"
#include "render/fieldlayer.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>

namespace {
// Keeps the wait cursor up while the report is written.
class ReportWaitCursor {
public:
    ReportWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~ReportWaitCursor() { QApplication::restoreOverrideCursor(); }
    ReportWaitCursor(const ReportWaitCursor&) = delete;
    ReportWaitCursor& operator=(const ReportWaitCursor&) = delete;
};
} // namespace

bool MdiChild::exportReport(QString& reportPath) {
    const QString chosen = FileDialogs::getSaveFileName(this, tr("保存"), proposedSavePath(),
                                                        tr("网页文件(*.html);;所有文件(*.*)"));
    if (chosen.isEmpty())
        return false;

    QString error;
    {
        ReportWaitCursor wait;
        QSaveFile file(chosen);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            error = tr("无法打开写入文件%1").arg(QDir::toNativeSeparators(chosen));
        } else {
            QImage picture(width(), height(), QImage::Format_ARGB32);
            renderToImage(picture);
            QImage density, rose;
            FieldLayer::renderReportPictures(dataCenter, density, rose);
            // An unwritten or short-written report (a full disk) must not
            // replace an earlier file of that name.
            if (!dataCenter.writeReport(&file, picture, density, rose) || !file.flush() ||
                file.size() != file.pos())
                file.cancelWriting();
            if (file.commit())
                reportPath = chosen;
            else
                error = tr("无法写入文件%1%").arg(QDir::toNativeSeparators(chosen));
        }
    }
    if (!error.isEmpty()) {
        MessageBox::warning(this, error);
        return false;
    }
    return true;
}
