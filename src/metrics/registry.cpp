#include "metrics/registry.h"

#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/hostproc.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/temperature.h"
#include "metrics/uptime.h"
#include "plugin/frame.h"

const MetricUpdater kMetricUpdaters[UpdaterCount] = {
    {nullptr, 0, nullptr},  // ByCompiler
    {updateDiskSpace, TIMER_DISK, nullptr},
    {updateUptime, TIMER_UPTIME, nullptr},
    {updateCpuLoad, TIMER_MAIN, restartCpuLoad},
    {updateMemoryStatus, TIMER_MAIN, nullptr},
    {updatePowerStatus, TIMER_MAIN, nullptr},
    {updateProcessCount, TIMER_MAIN, nullptr},
    {updateNetwork, TIMER_MAIN, restartNetwork},
    {updateDriveTemperature, TIMER_HDTEMP, nullptr},
    {updateClocks, TIMER_MAIN, nullptr},
    {updateHostMemory, TIMER_MAIN, nullptr},
    {updateGdiObjects, TIMER_MAIN, nullptr},
};
