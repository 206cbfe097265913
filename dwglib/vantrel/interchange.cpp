#include "interchange.h"

#include "caddoc.h"

#include <QString>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace vantrel {

namespace {

// A minimal element tree of the document.
struct Node {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;                       // concatenated character data
    std::vector<std::unique_ptr<Node>> children;
    int otherChildNodes = 0;            // comments, non-blank text, PIs
};

std::unique_ptr<Node> load(const std::string& utf8)
{
    QXmlStreamReader xml(QByteArray::fromRawData(utf8.data(), int(utf8.size())));
    std::unique_ptr<Node> root;
    std::vector<Node*> stack;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            auto n = std::make_unique<Node>();
            n->name = xml.name().toString();
            n->attributes = xml.attributes();
            Node* raw = n.get();
            if (stack.empty()) {
                if (root)
                    throw std::runtime_error("second root element");
                root = std::move(n);
            } else {
                stack.back()->children.push_back(std::move(n));
            }
            stack.push_back(raw);
            break;
        }
        case QXmlStreamReader::EndElement:
            stack.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!stack.empty()) {
                stack.back()->text += xml.text();
                if (!xml.isWhitespace())
                    ++stack.back()->otherChildNodes;
            }
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            if (!stack.empty())
                ++stack.back()->otherChildNodes;
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !root)
        throw std::runtime_error("malformed XML");
    return root;
}

// Decimal number: optional sign, digits with an optional point, optional
// exponent; surrounding white space allowed. Infinity and NaN refused.
double number(const QString& s)
{
    const QString t = s.trimmed();
    static const QRegularExpression re(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!re.match(t).hasMatch())
        throw std::invalid_argument("not a number");
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw std::invalid_argument("not a finite number");
    return v;
}

int integer(const QString& s)
{
    const QString t = s.trimmed();
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d+$"));
    if (!re.match(t).hasMatch())
        throw std::invalid_argument("not an integer");
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok)
        throw std::invalid_argument("integer out of range");
    return v;
}

QString attribute(const Node& n, const char* name)
{
    const QString key = QString::fromLatin1(name);
    if (!n.attributes.hasAttribute(key))
        throw std::invalid_argument("missing attribute");
    return n.attributes.value(key).toString();
}

const Node& first(const Node& parent, const char* name)
{
    const QString key = QString::fromLatin1(name);
    for (const auto& c : parent.children)
        if (c->name == key)
            return *c;
    throw std::invalid_argument("missing element");
}

struct Property {
    int type = 0;
    int color = 256;
    double scale = 1.0;
};

Property property(const Node& p)
{
    Property r;
    r.type = integer(attribute(p, "type"));
    r.color = integer(attribute(p, "color"));
    r.scale = number(attribute(p, "scale"));
    return r;
}

void readPolyline(const Node& n, CadDocument& doc)
{
    // line and polyline alike: every Point adds a vertex in document
    // order; a Property (the last one wins) sets style, colour and scale.
    std::vector<Vec2> vertices;
    Property prop;
    for (const auto& c : n.children) {
        if (c->name == QLatin1String("Point"))
            vertices.push_back({number(attribute(*c, "x")), number(attribute(*c, "y"))});
        else if (c->name == QLatin1String("Property"))
            prop = property(*c);
    }
    addPolyline(doc, vertices, prop.type, prop.color, prop.scale);
}

void readCircle(const Node& n, CadDocument& doc)
{
    const Node& center = first(n, "Center");
    const Vec2 c{number(attribute(center, "x0")), number(attribute(center, "y0"))};
    const double r = number(first(n, "Radius").text);
    const Property p = property(first(n, "Property"));
    addCircle(doc, c, r, p.type, p.color, p.scale);
}

void readArc(const Node& n, CadDocument& doc)
{
    const Node& center = first(n, "Center");
    const Vec2 c{number(attribute(center, "x0")), number(attribute(center, "y0"))};
    const double r = number(first(n, "Radius").text);
    const Node& angle = first(n, "Angle");
    const double a1 = number(attribute(angle, "a1"));
    const double a2 = number(attribute(angle, "a2"));
    const Property p = property(first(n, "Property"));
    addArc(doc, c, r, a1, a2, p.type, p.color, p.scale);
}

void readText(const Node& n, CadDocument& doc)
{
    const Node& point = first(n, "Point");
    const Vec2 at{number(attribute(point, "x")), number(attribute(point, "y"))};
    const QString txt = first(n, "Txt").text;
    const double height = number(first(n, "Height").text);
    const Node& align = first(n, "Align");
    const int h = integer(attribute(align, "H"));
    const int v = integer(attribute(align, "V"));
    const double rotate = number(attribute(align, "rotate"));
    const QByteArray utf8 = txt.toUtf8();
    addText(doc, at, std::string(utf8.constData(), size_t(utf8.size())), height, h, v, rotate);
}

}  // namespace

bool parseInterchangeXml(const std::string& utf8, CadDocument& doc) noexcept
{
    try {
        const std::unique_ptr<Node> root = load(utf8);
        if (number(attribute(*root, "version")) > 1.01)
            return false;
        if (root->children.empty() && root->otherChildNodes == 0)
            return false;
        for (const auto& c : root->children) {
            const QString& name = c->name;
            if (name == QLatin1String("line") || name == QLatin1String("polyline"))
                readPolyline(*c, doc);
            else if (name == QLatin1String("circle"))
                readCircle(*c, doc);
            else if (name == QLatin1String("arc"))
                readArc(*c, doc);
            else if (name == QLatin1String("text"))
                readText(*c, doc);
            // any other name: skipped
        }
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace vantrel
