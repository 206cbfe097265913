#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace Ui {
class MyWeb;
}

// A sub-window of the main window that shows a page: the built-in start
// page or a local HTML file such as a calculation report.
class MyWeb : public QWidget {
    Q_OBJECT
public:
    explicit MyWeb(QWidget* parent = nullptr);
    ~MyWeb() override;

    // Address of the built-in start page.
    static QString startPage();

    // Shows `target` (an address or a local file path) in `window`. Returns
    // at once: the page is read on the global thread pool and shown on the
    // GUI thread later; a window closed meanwhile is left alone.
    static void navigate(MyWeb* window, const QString& target);

    QTextBrowser* browser() const;
    // The target last shown, empty before the first navigation completes.
    QString shownTarget() const { return shown; }

signals:
    void pageShown(const QString& target);

private:
    Q_INVOKABLE void showPage(const QString& target, const QString& html, const QString& baseFolder);

    Ui::MyWeb* ui;
    QString shown;
};
