#pragma once

#include "model/datacenter.h"

#include <QColor>
#include <QImage>

// A project with every kind text, every state message and the number forms
// the report has to get right; tests/report/data/fixture_report.html holds
// its page as worked out by hand.
inline void fillFixtureProject(DataCenter& p) {
    p.ProjectName = QStringLiteral("某水库左岸K1+200边坡");
    p.slope.direction = 120.0;
    p.slope.angle = 45.0;
    p.UpperMode = false;
    p.BigCircle = false;
    p.IncludedAnglePlanar = 30;
    p.FrictionAnglePlanar = 27.5;
    p.Topple = true;
    p.IncludedAngleTopple = 20;
    p.FrictionAngleTopple = 30;
    p.analysisTime = QStringLiteral("2026-12-07 10:20:30");

    struct P {
        int type;
        const char* notes;
        double direction, angle;
        int state;
    };
    const P planes[] = {
        {Joint, "", 300, 45, 34},     {Fault, "F2", 205.5, 60, 12}, {Bedding, "", 10, 20, 13},
        {Fault, "", 0, 88, 40},       {7, "K1.0", 150, 30.04, 14},  {Joint, "", 130, 40.5, 33},
        {Joint, "", 355.5, 0.96, 99}, {Bedding, "", 90, 89.94, 1},
    };
    p.planes.clear();
    int id = 1;
    for (const P& x : planes) {
        PlaneRecord r;
        r.id = id++;
        r.type = x.type;
        r.notes = QString::fromUtf8(x.notes);
        r.direction = x.direction;
        r.angle = x.angle;
        r.state = x.state;
        p.planes.append(r);
    }

    struct W {
        int id;
        double trend, plunge;
        int state;
    };
    const W wedges[] = {
        {102, 123.44, 30, 32}, {103, 100.0, 10.0, 10}, {204, 200.96, 0.04, 11},
        {305, 45.5, 12.5, 31}, {608, 270, 27, 12},
    };
    p.wedges.clear();
    for (const W& x : wedges) {
        PlaneRecord r;
        r.id = x.id;
        r.direction = x.trend;
        r.angle = x.plunge;
        r.state = x.state;
        p.wedges.append(r);
    }
}

// A picture that is easy to find again: white, with a solid block of
// `block` in its middle half.
inline QImage blockPicture(int w, int h, const QColor& block) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    for (int y = h / 4; y < 3 * h / 4; ++y)
        for (int x = w / 4; x < 3 * w / 4; ++x)
            image.setPixelColor(x, y, block);
    return image;
}
