#include "host/frame.h"

PluginFrame frame;
