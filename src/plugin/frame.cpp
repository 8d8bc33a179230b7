#include "plugin/frame.h"

#include "format/format.h"
#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/hostproc.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/uptime.h"
#include "settings/settings.h"
#include "smart/smart.h"

PluginFrame frame;
unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};

void runAllUpdaters() {
    updateDiskSpace();
    updateUptime();
    updateSystemMetrics();
    updateNetwork();
    updateDriveTemperature();
    updateClocks();
    updateHostProcessStats();
}

void fullRefresh() {
    refreshIdentity();
    freeSegments();
    compileFormat(settings.strFormat, identityTexts());
    applyEscapes();
    runAllUpdaters();
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
