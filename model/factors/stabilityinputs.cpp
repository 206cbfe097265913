#include "model/factors/stabilityinputs.h"

bool strengthIsDefault(const StabilityParams& params, int planeId, double defaultFriction) {
    const auto it = params.planes.constFind(planeId);
    if (it == params.planes.constEnd())
        return true;
    return it.value().cohesion == 0 && it.value().friction == defaultFriction;
}
