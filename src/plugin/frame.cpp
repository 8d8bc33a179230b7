#include "plugin/frame.h"

PluginFrame frame;
unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};
