#include "platform/net/RequestDefaults.h"

namespace {
RequestDefaults g_defaults;
}

void setRequestDefaults(const RequestDefaults &defaults) {
    g_defaults = defaults;
}

const RequestDefaults &requestDefaults() {
    return g_defaults;
}
