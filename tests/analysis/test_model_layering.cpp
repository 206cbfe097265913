// The project model is shared by the program and by headless tools, so it
// must build against QtCore and QtGui alone: no source in model/ may pull in
// the widget module.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class TestModelLayering : public QObject {
    Q_OBJECT
private slots:
    void noWidgetIncludes();
};

void TestModelLayering::noWidgetIncludes() {
    const QDir dir(QStringLiteral(KARVEN_SOURCE_DIR "/model"));
    // Every source of the model, in its subfolders too.
    QStringList files;
    QDirIterator it(dir.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << dir.relativeFilePath(it.next());
    QVERIFY2(files.size() >= 5, qPrintable(dir.path()));
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]*)[>\"]"),
                                     QRegularExpression::MultilineOption);
    const QRegularExpression widgetHeader(QStringLiteral(
        "^(QtWidgets(/.*)?|QWidget|QApplication|QMainWindow|QDialog|QMessageBox|QAction|QMenu|QFileDialog|"
        "QGraphics\\w*|QStyle\\w*|Q\\w*Widget|QAbstract(Button|Scroll\\w*|ItemView|Slider|SpinBox)|"
        "QLabel|QPushButton|QLineEdit|QComboBox|QMdi\\w*|QDock\\w*|QToolBar|QStatusBar|"
        "platform/messagebox\\.h|render/.*|dialogs/.*|app/.*)$"));
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        auto match = include.globalMatch(text);
        while (match.hasNext()) {
            const QString header = match.next().captured(1);
            QVERIFY2(!widgetHeader.match(header).hasMatch(),
                     qPrintable(QStringLiteral("model/%1 includes %2").arg(name, header)));
        }
    }
}

QTEST_GUILESS_MAIN(TestModelLayering)
#include "test_model_layering.moc"
