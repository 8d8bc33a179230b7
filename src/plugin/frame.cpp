#include "plugin/frame.h"

#include "format/format.h"
#include "format/history.h"
#include "format/warnings.h"
#include "metrics/network.h"
#include "metrics/updaters.h"
#include "settings/settings.h"
#include "worker/worker.h"

unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};

namespace {

bool shown(unsigned updaters, int id) {
    return ((updaters >> id) & 1u) != 0 && kMetricUpdaters[id].update != nullptr;
}

// The interval setting an update timer runs at.
int Settings::*intervalOf(unsigned timer) {
    switch (timer) {
        case TIMER_MAIN:
            return &Settings::mainInterval;
        case TIMER_DISK:
            return &Settings::diskInterval;
        case TIMER_UPTIME:
            return &Settings::uptimeInterval;
        case TIMER_HDTEMP:
            return &Settings::hdtempInterval;
        default:
            return nullptr;
    }
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
    int Settings::*const interval = intervalOf(timer);
    if (interval == nullptr) {
        return;
    }
    for (int id = 0; id < UpdaterCount; ++id) {
        if (shown(formatEngine.updaters, id) && kMetricUpdaters[id].interval == interval) {
            kMetricUpdaters[id].update();
        }
    }
    if (timer == TIMER_MAIN) {
        recordGraphReadings();
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

bool refreshWarnings(uint32_t nowMs) {
    const int delay = heldWithin(settings.warningDelay, kWarningDelayRange);
    return updateWarnings(nowMs, static_cast<uint32_t>(delay) * 1000u);
}

bool applyAnswers(uint32_t nowMs) {
    if (!collectAnswers()) {
        return false;
    }
    const bool warned = refreshWarnings(nowMs);
    const bool changed = takeSegmentChanges();
    return changed || warned;
}
