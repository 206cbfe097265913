#include "model/displayoptions.h"

DisplayOptions& displayOptions() {
    static DisplayOptions options;
    return options;
}
