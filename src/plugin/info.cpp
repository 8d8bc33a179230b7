#include "plugin/info.h"

#include "plugin/frame.h"

extern "C" const char* pluginInfo(int field) {
    switch (field) {
        case 1:
            return kPluginName;
        case 2:
            return kPluginVersion;
        case 3:
            return "Telvane developers";
        case 4:
            return "2006-02-28";
        case 5:
            return "https://telvane.example.org/";
        case 6:
            return "developers@telvane.example.org";
        default:
            return TELVANE_NAME_VERSION;
    }
}
