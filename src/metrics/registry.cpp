#include "metrics/registry.h"

#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/hostproc.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/uptime.h"
#include "plugin/frame.h"
#include "smart/smart.h"

const MetricUpdater kMetricUpdaters[UpdaterCount] = {
    {nullptr, 0},  // ByCompiler
    {updateDiskSpace, TIMER_DISK},
    {updateUptime, TIMER_UPTIME},
    {updateSystemMetrics, TIMER_MAIN},
    {updateNetwork, TIMER_MAIN},
    {updateDriveTemperature, TIMER_HDTEMP},
    {updateClocks, TIMER_MAIN},
    {updateHostProcessStats, TIMER_MAIN},
};
