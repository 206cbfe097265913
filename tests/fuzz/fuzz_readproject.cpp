// Feeds arbitrary bytes to the project reader, then runs the geometry and
// the analysis on whatever was read, as a loaded window would.
#include "model/datacenter.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    Q_UNUSED(app);

    QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    DataCenter dc;
    if (dc.readProject(&buffer)) {
        dc.updateSlopeGeometry();
        dc.updatePlanesGeometry();
        dc.analysisOff = false;
        dc.analyse();
        dc.buildConclusion();
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        dc.writeProject(&out);
    }
    return 0;
}
