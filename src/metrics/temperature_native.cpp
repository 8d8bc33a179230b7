#include "metrics/temperature_native.h"

#include "format/text.h"

TemperatureStandIn temperatureStandIn;

void reportSmartLog(const char* title, const char* text) {
    ++temperatureStandIn.smartLogReports;
    copyText(temperatureStandIn.lastTitle, sizeof temperatureStandIn.lastTitle, title);
    copyText(temperatureStandIn.lastText, sizeof temperatureStandIn.lastText, text);
}
