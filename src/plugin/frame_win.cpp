#include <windows.h>

#include "plugin/frame.h"
#include "settings/settings.h"

void restartTimer(unsigned id, int seconds) {
    if (frame.window == nullptr) {
        return;
    }
    KillTimer(frame.window, id);
    SetTimer(frame.window, id, timerPeriodMs(seconds), nullptr);
}
