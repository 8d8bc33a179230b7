// The native build's answer to the log command: what it would have told
// the user.
#pragma once

#include "metrics/temperature.h"

struct TemperatureStandIn {
    int smartLogReports;
    char lastTitle[64];
    char lastText[kSmartLogReportSize];
};

extern TemperatureStandIn temperatureStandIn;
