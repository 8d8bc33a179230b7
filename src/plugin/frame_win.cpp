#include <windows.h>

#include "format/format.h"
#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/hostproc.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/uptime.h"
#include "plugin/frame.h"
#include "settings/settings.h"
#include "smart/smart.h"

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

void restartTimer(unsigned id, int seconds) {
    if (frame.window == nullptr) {
        return;
    }
    KillTimer(frame.window, id);
    SetTimer(frame.window, id, timerPeriodMs(seconds), nullptr);
}
