#include "app/myweb.h"

#include "app/viewerpage.h"
#include "ui_myweb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QPointer>
#include <QTextBrowser>
#include <QTextCodec>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Larger pages are not worth showing in the embedded viewer.
constexpr qint64 kMaxPageBytes = 64 * 1024 * 1024;

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString messagePage(const QString& title, const QString& body) {
    return QStringLiteral(
               "<html><body style=\"font-family:'Microsoft YaHei UI';\"><h3>%1</h3><p>%2</p></body></html>")
        .arg(escaped(title), body);
}

// Reads the page behind `target`; runs on a worker thread. `baseFolder`
// receives the folder that relative links of the page resolve against.
QString loadPage(const QString& target, QString& baseFolder) {
    const QUrl url(target);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        return messagePage(QCoreApplication::translate("MyWeb", "外部网页"),
                           QStringLiteral("<a href=\"%1\">%2</a>")
                               .arg(escaped(url.toString(QUrl::FullyEncoded)), escaped(target)));
    }
    QString path = target;
    if (scheme == QLatin1String("qrc"))
        path = QLatin1Char(':') + url.path();
    else if (scheme == QLatin1String("file"))
        path = url.toLocalFile();

    QFile file(path);
    if (file.size() > kMaxPageBytes || !file.open(QFile::ReadOnly)) {
        return messagePage(QCoreApplication::translate("MyWeb", "无法显示网页"),
                           escaped(QDir::toNativeSeparators(path)));
    }
    const QByteArray bytes = file.readAll();
    baseFolder = QFileInfo(path).absolutePath();
    QTextCodec* codec = QTextCodec::codecForHtml(bytes, QTextCodec::codecForName("UTF-8"));
    return codec->toUnicode(bytes);
}

} // namespace

MyWeb::MyWeb(QWidget* parent) : QWidget(parent), ui(new Ui::MyWeb) {
    ui->setupUi(this);
    setObjectName(QStringLiteral("MyWeb"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("起始页"));
    setPalette(QPalette(Qt::white));
    setAutoFillBackground(true);
    ui->axWidget->setOpenExternalLinks(true);
    ui->axWidget->setOpenLinks(true);
}

MyWeb::~MyWeb() {
    delete ui;
}

QString MyWeb::startPage() {
    return QStringLiteral("qrc:/res/start.html");
}

QTextBrowser* MyWeb::browser() const {
    return ui->axWidget;
}

void MyWeb::navigate(MyWeb* window, const QString& target) {
    QPointer<MyWeb> guarded(window);
    QtConcurrent::run([guarded, target]() {
        QString baseFolder;
        const QString html = loadPage(target, baseFolder);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        // The window lives on the GUI thread: hand the page over there and
        // check there whether the window still exists.
        QMetaObject::invokeMethod(
            app,
            [guarded, target, html, baseFolder]() {
                if (guarded)
                    guarded->showPage(target, html, baseFolder);
            },
            Qt::QueuedConnection);
    });
}

void MyWeb::showPage(const QString& target, const QString& html, const QString& baseFolder) {
    QTextBrowser* view = ui->axWidget;
    if (!baseFolder.isEmpty()) {
        const QString base = baseFolder.startsWith(QLatin1Char(':'))
                                 ? QStringLiteral("qrc") + baseFolder + QLatin1Char('/')
                                 : QUrl::fromLocalFile(baseFolder + QLatin1Char('/')).toString();
        view->document()->setBaseUrl(QUrl(base));
        view->setSearchPaths({baseFolder});
    }
    view->setHtml(ViewerPage::adapted(html));
    shown = target;
    emit pageShown(target);
}
