// CPU load, physical and swap memory, battery and process count
// (%CP %RP %RT %RF %RU %SP %ST %SF %SU %BP %BL %CN).
#pragma once

extern unsigned platformId;  // 1 Windows 9x family, 2 NT family
extern int osClass;          // 0 9x, 1 NT <= 4, 2 NT > 4

void probeOsVersion();
// probeOsVersion, then the sampler variant for the platform.
void createSystemSampler();
void destroySystemSampler();
void updateSystemMetrics();
