#include "metrics/updaters.h"

#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/hostproc.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/temperature.h"
#include "metrics/uptime.h"

const MetricUpdater kMetricUpdaters[UpdaterCount] = {
    {nullptr, nullptr, nullptr},  // ByCompiler
    {updateDiskSpace, &Settings::diskInterval, nullptr},
    {updateUptime, &Settings::uptimeInterval, nullptr},
    {updateCpuLoad, &Settings::mainInterval, restartCpuLoad},
    {updateMemoryStatus, &Settings::mainInterval, nullptr},
    {updatePowerStatus, &Settings::mainInterval, nullptr},
    {updateProcessCount, &Settings::mainInterval, nullptr},
    {updateNetwork, &Settings::mainInterval, restartNetwork},
    {updateDriveTemperature, &Settings::hdtempInterval, nullptr},
    {updateClocks, &Settings::mainInterval, nullptr},
    {updateHostMemory, &Settings::mainInterval, nullptr},
    {updateGdiObjects, &Settings::mainInterval, nullptr},
};
