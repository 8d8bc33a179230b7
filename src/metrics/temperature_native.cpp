#include "metrics/temperature_native.h"

TemperatureStandIn temperatureStandIn;

void reportSmartLog(int result) {
    ++temperatureStandIn.smartLogReports;
    temperatureStandIn.lastSmartLog = result;
}
