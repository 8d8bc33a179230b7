#include <windows.h>

#include "host/frame.h"
#include "metrics/temperature.h"
#include "settings/dialogs.h"

void reportSmartLog(const char* title, const char* text) {
    showMessageBox(frame.hostWindow, text, title, MB_OK);
}
