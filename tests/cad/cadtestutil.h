#pragma once

// Helpers shared by the CAD export tests: a recording sink, a small DXF
// group reader and project fixtures.

#include "cad/caddrawing.h"
#include "model/datacenter.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

struct Primitive {
    QString kind; // circle, arc, line, polyline, text
    QVector<double> numbers;
    QVector<QPointF> vertices;
    int style = 0;
    int colour = 0;
    double scale = 0;
    QString text;
    int h = 0, v = 0;
};

class RecordingSink : public CadSink {
public:
    QList<Primitive> items;

    void circle(double x, double y, double radius, int style, int colour, double scale) override {
        add("circle", {x, y, radius}, style, colour, scale);
    }
    void arc(double x, double y, double radius, double a, double b, int style, int colour,
             double scale) override {
        add("arc", {x, y, radius, a, b}, style, colour, scale);
    }
    void line(double x1, double y1, double x2, double y2, int style, int colour, double scale) override {
        add("line", {x1, y1, x2, y2}, style, colour, scale);
    }
    void polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) override {
        add("polyline", {}, style, colour, scale);
        items.last().vertices = vertices;
    }
    void text(double x, double y, double height, const QString& text, int h, int v,
              double rotation) override {
        add("text", {x, y, height, rotation}, 0, 256, 1);
        items.last().text = text;
        items.last().h = h;
        items.last().v = v;
    }

private:
    void add(const char* kind, QVector<double> numbers, int style, int colour, double scale) {
        Primitive p;
        p.kind = QLatin1String(kind);
        p.numbers = numbers;
        p.style = style;
        p.colour = colour;
        p.scale = scale;
        items.append(p);
    }
};

// One DXF group as read back: the code line trimmed, the raw value line.
struct Group {
    int code;
    QByteArray value;
};

// Splits CR LF lines into groups; fails (empty) on an odd line count.
inline QList<Group> dxfGroups(const QByteArray& bytes, int firstLine = 0) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<Group> groups;
    for (int i = firstLine; i + 1 < lines.size(); i += 2) {
        QByteArray code = lines[i];
        QByteArray value = lines[i + 1];
        if (code.endsWith('\r'))
            code.chop(1);
        if (value.endsWith('\r'))
            value.chop(1);
        groups.append({code.trimmed().toInt(), value});
    }
    return groups;
}

// Entities of the ENTITIES section: each the list of its groups.
inline QList<QList<Group>> dxfEntities(const QByteArray& bytes) {
    const QList<Group> groups = dxfGroups(bytes);
    QList<QList<Group>> entities;
    bool inside = false;
    for (int i = 0; i < groups.size(); ++i) {
        const Group& g = groups[i];
        if (!inside) {
            if (g.code == 2 && g.value == "ENTITIES")
                inside = true;
            continue;
        }
        if (g.code == 0) {
            if (g.value == "ENDSEC")
                break;
            entities.append(QList<Group>());
        }
        entities.last().append(g);
    }
    return entities;
}

inline QByteArray groupValue(const QList<Group>& entity, int code, int nth = 0) {
    for (const Group& g : entity)
        if (g.code == code && nth-- == 0)
            return g.value;
    return QByteArray("<missing>");
}

inline QString dataPath(const QString& name) {
    return QStringLiteral(KARVEN_TEST_DATA "/") + name;
}

inline QStringList exampleProjects() {
    QStringList files;
    const QString dir = QStringLiteral(KARVEN_SOURCE_DIR "/examples");
    for (const QString& name : {QStringLiteral("dip-slope.yty"), QStringLiteral("quarry-toppling.yty"),
                                QStringLiteral("road-cut.yty")})
        if (QFile::exists(dir + QLatin1Char('/') + name))
            files << dir + QLatin1Char('/') + name;
    files << dataPath(QStringLiteral("eight-planes.yty"));
    return files;
}

// Loads a project and runs its analysis in the given representation.
inline bool loadAnalysed(DataCenter& project, const QString& path, bool bigCircle) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !project.readProject(&file))
        return false;
    if (project.BigCircle != bigCircle) {
        project.BigCircle = bigCircle;
    }
    project.slope.calculated = false;
    for (PlaneRecord& p : project.planes)
        p.calculated = false;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
    return true;
}
