#pragma once

// The sample projects shipped in examples/. They are produced by our own
// writer from these definitions; test_examples checks the shipped files
// still match, and make_examples rewrites them.
#include "model/datacenter.h"
#include "model/fielddata/projectsets.h"
#include "tests/common/testplanes.h"
#include "tests/model/fieldexample.h"

#include <QString>
#include <QVector>

#include <memory>

struct ExampleProject {
    QString fileName;
    std::unique_ptr<DataCenter> project;
};

inline std::vector<ExampleProject> exampleProjects() {
    std::vector<ExampleProject> list;

    // A road cut in jointed granite with three joint sets and a fault.
    auto road = std::make_unique<DataCenter>();
    road->ProjectName = QStringLiteral("G318线K12+350路堑边坡");
    road->slope.direction = 135;
    road->slope.angle = 65;
    road->slope.calculated = false;
    road->planes << makePlane(1, 120, 40, Joint) << makePlane(2, 200, 70, Joint)
                 << makePlane(3, 60, 55, Joint) << makePlane(4, 150, 35, Fault, QStringLiteral("F3"));
    road->IncludedAnglePlanar = 30;
    road->FrictionAnglePlanar = 27;
    road->ShowMark = 3;
    list.push_back({QStringLiteral("road-cut.yty"), std::move(road)});

    // A steep quarry face with bedding dipping into the face: toppling.
    auto quarry = std::make_unique<DataCenter>();
    quarry->ProjectName = QStringLiteral("石灰岩采石场北采面");
    quarry->slope.direction = 90;
    quarry->slope.angle = 80;
    quarry->slope.calculated = false;
    quarry->planes << makePlane(1, 270, 72, Bedding) << makePlane(2, 262, 68, Joint)
                   << makePlane(3, 95, 30, Joint) << makePlane(4, 20, 85, Joint)
                   << makePlane(5, 285, 78, Fault, QStringLiteral("F1"));
    quarry->Topple = true;
    quarry->IncludedAnglePlanar = 20;
    quarry->FrictionAnglePlanar = 32;
    quarry->ShowMark = 2;
    list.push_back({QStringLiteral("quarry-toppling.yty"), std::move(quarry)});

    // A dip slope controlled by bedding, drawn on the lower hemisphere.
    auto dip = std::make_unique<DataCenter>();
    dip->ProjectName = QStringLiteral("水库右岸顺层边坡");
    dip->UpperMode = false;
    dip->slope.direction = 180;
    dip->slope.angle = 50;
    dip->slope.calculated = false;
    dip->planes << makePlane(1, 175, 32, Bedding) << makePlane(2, 95, 78, Joint)
                << makePlane(3, 250, 60, Joint) << makePlane(4, 210, 45, Joint, QStringLiteral("卸荷裂隙"))
                << makePlane(5, 160, 28, Fault);
    dip->IncludedAnglePlanar = 30;
    dip->FrictionAnglePlanar = 25;
    dip->ShowMark = 3;
    list.push_back({QStringLiteral("dip-slope.yty"), std::move(dip)});

    // A cut in a field survey's rock mass: 200 measured planes (three sets
    // and scatter, tests/model/fieldexample.h) and the three set planes
    // the engineer took from them.
    auto survey = std::make_unique<DataCenter>();
    survey->ProjectName = QStringLiteral("S205线K85+200岩质边坡（现场测量）");
    survey->UpperMode = false;
    survey->slope.direction = 150;
    survey->slope.angle = 60;
    survey->slope.calculated = false;
    survey->planes << makePlane(1, 145, 35, Joint) << makePlane(2, 240, 78, Joint)
                   << makePlane(3, 320, 25, Bedding);
    survey->IncludedAnglePlanar = 30;
    survey->FrictionAnglePlanar = 30;
    survey->ShowMark = 3;
    survey->field.measurements = exampleMeasurements();
    Traverse scanline;
    scanline.id = 1;
    scanline.name = QStringLiteral("SL1");
    scanline.trend = 60;
    scanline.plunge = 0;
    survey->field.traverses << scanline;
    list.push_back({QStringLiteral("field-survey.yty"), std::move(survey)});

    // The same survey grouped into its joint sets: a window of 25° about
    // each set's pole (the steep set's window reaches across the primitive
    // circle), every measurement assigned to the window it falls in.
    auto grouped = std::make_unique<DataCenter>();
    {
        const DataCenter& from = *list.back().project;
        grouped->ProjectName = QStringLiteral("S205线K85+200岩质边坡（结构面分组）");
        grouped->UpperMode = from.UpperMode;
        grouped->slope = from.slope;
        grouped->planes = from.planes;
        grouped->IncludedAnglePlanar = from.IncludedAnglePlanar;
        grouped->FrictionAnglePlanar = from.FrictionAnglePlanar;
        grouped->ShowMark = from.ShowMark;
        grouped->field = from.field;
    }
    for (int s = 0; s < 3; ++s) {
        JointSet set;
        set.name = defaultSetName(s);
        set.color = defaultSetColor(s);
        set.centerDirection = exampleSets()[s].direction;
        set.centerAngle = exampleSets()[s].angle;
        set.halfAngle = 25;
        grouped->field.sets << set;
    }
    assignMeasurementsToSets(grouped->field);
    list.push_back({QStringLiteral("field-survey-sets.yty"), std::move(grouped)});

    for (ExampleProject& e : list) {
        e.project->updateSlopeGeometry();
        e.project->updatePlanesGeometry();
    }
    return list;
}
