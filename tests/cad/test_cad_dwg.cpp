// The interchange XML of every example project, in both representations
// and every labelling mode: accepted by the DWG library's own reader with
// one entity per element, and end to end written to DWG by the real
// library through the binding and read back by LibreDWG.
#include "cad/cadexport.h"
#include "cadtestutil.h"
#include "platform/dwgbinding.h"
#include "platform/messagebox.h"
#include "vantrel/caddoc.h"
#include "vantrel/interchange.h"

#include <QDomDocument>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Drawing {
    QString name;
    QByteArray xml;
    QStringList kinds; // element names in order
    QStringList texts;
};

QList<Drawing> allDrawings() {
    QList<Drawing> list;
    for (const QString& path : exampleProjects())
        for (const bool big : {true, false})
            for (int mode = 0; mode <= 3; ++mode) {
                DataCenter project;
                if (!loadAnalysed(project, path, big))
                    return {};
                project.ShowMark = qint16(mode);
                project.cadRadius = 50;
                project.cadTextPercent = 5;
                Drawing d;
                d.name = QStringLiteral("%1-%2-%3")
                             .arg(QFileInfo(path).completeBaseName())
                             .arg(big ? "gc" : "pole")
                             .arg(mode);
                d.xml = CadExport::drawingXml(project);
                QDomDocument doc;
                doc.setContent(d.xml);
                for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
                     e = e.nextSiblingElement()) {
                    d.kinds << e.tagName();
                    if (e.tagName() == QLatin1String("text"))
                        d.texts << e.firstChildElement(QStringLiteral("Txt")).text();
                }
                list << d;
            }
    return list;
}

bool ciRequired() {
    return qEnvironmentVariableIsSet("CI") && qgetenv("CI") != "false";
}
} // namespace

class TestCadDwg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void libraryReaderAcceptsEveryDrawing();
    void endToEndThroughTheLibrary();

private:
    QList<Drawing> drawings;
};

void TestCadDwg::initTestCase() {
    drawings = allDrawings();
    QVERIFY(drawings.size() >= 16);
}

void TestCadDwg::libraryReaderAcceptsEveryDrawing() {
    for (const Drawing& d : drawings) {
        vantrel::CadDocument doc;
        QVERIFY(vantrel::initCadDocument(doc));
        QVERIFY2(vantrel::parseInterchangeXml(d.xml.toStdString(), doc), qPrintable(d.name));
        const auto& entities = doc.modelSpace().entities;
        QCOMPARE(int(entities.size()), d.kinds.size());
        int t = 0;
        for (size_t i = 0; i < entities.size(); ++i) {
            const QString& kind = d.kinds[int(i)];
            switch (entities[i].kind) {
            case vantrel::EntityKind::Polyline2D:
                QVERIFY2(kind == QLatin1String("line") || kind == QLatin1String("polyline"),
                         qPrintable(kind));
                break;
            case vantrel::EntityKind::Circle:
                QCOMPARE(kind, QStringLiteral("circle"));
                break;
            case vantrel::EntityKind::Arc:
                QCOMPARE(kind, QStringLiteral("arc"));
                break;
            case vantrel::EntityKind::Text:
                QCOMPARE(kind, QStringLiteral("text"));
                QCOMPARE(QString::fromStdString(entities[i].text), d.texts[t++]);
                break;
            }
        }
    }
}

void TestCadDwg::endToEndThroughTheLibrary() {
    QList<MessageBox::Shown> boxes;
    MessageBox::setHook([&](const MessageBox::Shown& box) {
        boxes << box;
        return 0;
    });
    DwgBinding::setLibraryName(QStringLiteral(VANTREL_LIBRARY));
    QTemporaryDir dir;
    QStringList files;
    QList<const Drawing*> written;
    int index = 0;
    for (const QString& path : exampleProjects())
        for (const bool big : {true, false})
            for (int mode = 0; mode <= 3; ++mode) {
                DataCenter project;
                QVERIFY(loadAnalysed(project, path, big));
                project.ShowMark = qint16(mode);
                project.cadRadius = 50;
                project.cadTextPercent = 5;
                const Drawing& d = drawings[index++];
                const QString file = dir.filePath(d.name + QStringLiteral(".dwg"));
                QVERIFY2(CadExport::exportDwg(project, file), qPrintable(d.name));
                QVERIFY(QFileInfo(file).size() > 0);
                files << file;
                written << &d;
            }
    QVERIFY(boxes.isEmpty());
    MessageBox::setHook(nullptr);
    const QString keep = qEnvironmentVariable("KARVEN_KEEP_DWG");
    if (!keep.isEmpty())
        for (const QString& f : files)
            QFile::copy(f, keep + QLatin1Char('/') + QFileInfo(f).fileName());

    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty()) {
        if (ciRequired())
            QFAIL("node is missing");
        QSKIP("node is missing: the DWG files were written but not read back");
    }
    QProcess reader;
    reader.start(node, QStringList{QStringLiteral(KARVEN_SOURCE_DIR "/tests/dwg/readback.mjs")} + files);
    QVERIFY(reader.waitForFinished(600000));
    if (reader.exitCode() == 77) {
        if (ciRequired())
            QFAIL("@mlightcad/libredwg-web is not installed (npm install --prefix tests/tools)");
        QSKIP("@mlightcad/libredwg-web is not installed (npm install --prefix tests/tools)");
    }
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QList<QByteArray> lines = reader.readAllStandardOutput().trimmed().split('\n');
    QCOMPARE(lines.size(), files.size());
    for (int i = 0; i < lines.size(); ++i) {
        const Drawing& d = *written[i];
        const QJsonObject o = QJsonDocument::fromJson(lines[i]).object();
        QVERIFY2(o.value(QStringLiteral("error")).toInt() < 128, qPrintable(d.name));
        QCOMPARE(o.value(QStringLiteral("version")).toString(), QStringLiteral("AC1018"));
        const QJsonArray entities = o.value(QStringLiteral("entities")).toArray();
        QVERIFY2(entities.size() == d.kinds.size(),
                 qPrintable(QStringLiteral("%1: %2 entities read back, %3 written")
                                .arg(d.name)
                                .arg(entities.size())
                                .arg(d.kinds.size())));
        QStringList texts;
        int circles = 0, arcs = 0;
        for (const QJsonValue& v : entities) {
            const QJsonObject e = v.toObject();
            const QString type = e.value(QStringLiteral("type")).toString();
            QCOMPARE(e.value(QStringLiteral("layer")).toString(), QStringLiteral("KVQXTW"));
            circles += type == QLatin1String("CIRCLE");
            arcs += type == QLatin1String("ARC");
            if (type == QLatin1String("TEXT"))
                texts << e.value(QStringLiteral("text")).toString();
        }
        QCOMPARE(circles, d.kinds.count(QStringLiteral("circle")));
        QCOMPARE(arcs, d.kinds.count(QStringLiteral("arc")));
        QCOMPARE(texts, d.texts);
    }
}

QTEST_MAIN(TestCadDwg)
#include "test_cad_dwg.moc"
