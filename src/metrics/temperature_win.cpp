#include <windows.h>

#include "host/frame.h"
#include "metrics/temperature.h"
#include "settings/dialogs.h"

void reportSmartLog(int result) {
    if (result == 0) {
        showMessageBox(frame.hostWindow,
                       "S.M.A.R.T. Log file is saved to\n\nC:\\Telvane.HDTemp.log\n",
                       "S.M.A.R.T. Log Saved", MB_OK);
    } else {
        showMessageBox(frame.hostWindow, "Access S.M.A.R.T. Error!\n\nNo Log file is saved.\n",
                       "S.M.A.R.T. Log Not Saved", MB_OK);
    }
}
