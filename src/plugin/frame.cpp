#include "plugin/frame.h"

#include "format/format.h"
#include "metrics/network.h"
#include "metrics/registry.h"
#include "settings/settings.h"

PluginFrame frame;
unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};

namespace {

bool shown(unsigned updaters, int id) {
    return ((updaters >> id) & 1u) != 0 && kMetricUpdaters[id].update != nullptr;
}

}  // namespace

void runAllUpdaters() {
    for (int id = 0; id < UpdaterCount; ++id) {
        if (shown(formatEngine.updaters, id)) {
            kMetricUpdaters[id].update();
        }
    }
}

void runTimerUpdaters(unsigned timer) {
    for (int id = 0; id < UpdaterCount; ++id) {
        if (shown(formatEngine.updaters, id) && kMetricUpdaters[id].timer == timer) {
            kMetricUpdaters[id].update();
        }
    }
}

void runUpdater(UpdaterId id) {
    if (shown(formatEngine.updaters, id)) {
        kMetricUpdaters[id].update();
    }
}

void compileAndUpdate(unsigned previousUpdaters) {
    compileFormat(settings.strFormat, identityTexts());
    applyEscapes();
    for (int id = 0; id < UpdaterCount; ++id) {
        if (shown(formatEngine.updaters, id) && !shown(previousUpdaters, id) &&
            kMetricUpdaters[id].restart != nullptr) {
            kMetricUpdaters[id].restart();
        }
    }
    runAllUpdaters();
}

void fullRefresh() {
    refreshIdentity();
    const unsigned previous = formatEngine.updaters;
    freeSegments();
    compileAndUpdate(previous);
}

unsigned timerPeriodMs(int seconds) {
    // The longest period SetTimer accepts is 0x7FFFFFFF ms.
    constexpr int kMaxSeconds = 0x7FFFFFFF / 1000;
    if (seconds < 1) {
        seconds = 1;
    } else if (seconds > kMaxSeconds) {
        seconds = kMaxSeconds;
    }
    return static_cast<unsigned>(seconds) * 1000u;
}
