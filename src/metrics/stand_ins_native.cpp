#include "metrics/stand_ins.h"

#include "metrics/clocks_native.h"
#include "metrics/disk.h"
#include "metrics/disk_native.h"
#include "metrics/hostproc_native.h"
#include "metrics/network.h"
#include "metrics/network_native.h"
#include "metrics/system.h"
#include "metrics/system_native.h"
#include "metrics/temperature_native.h"
#include "metrics/uptime_native.h"
#include "settings/settings.h"
#include "smart/smart_fake.h"
#include "worker/worker_native.h"

namespace {

constexpr uint64_t k2024 = 133485408000000000ULL;  // 2024-01-01 00:00:00 UTC as a file time

}  // namespace

void resetStandIns() {
    endNetwork();  // its change notifications too, before the stand-in forgets them
    clockStandIn = ClockStandIn{k2024, -60, 0, 0};
    diskStandIn = DiskStandIn{};
    hostProcessStandIn = HostProcessStandIn{};
    networkStandIn = NetworkStandIn{};
    systemStandIn = SystemStandIn{};
    uptimeStandIn = UptimeStandIn{};
    fakeSmartDrive = FakeSmartDrive{};  // detached: every query yields 255
    temperatureStandIn = TemperatureStandIn{};
    stopWorker();
    workerStandIn.posts = 0;  // threads still ending stay counted until they end
    settings = Settings{};    // what the families read, as before any file was

    restartNetwork();
    resetIdentity();
    resetSystemState();
    platformId = 0;  // probed again by createSystemSampler
    osClass = 0;
    resetDriveTemperature();
    resetDiskSpace();
}
