/* Preloaded into wine's processes by scripts/wine-run. qemu-user copies
 * the host's sysinfo() byte counts into a 32-bit process's record without
 * rescaling them, so a machine with more than 4 GiB reports its memory
 * modulo 4 GiB (and Telvane's %RP went negative). No Windows does that:
 * for 32-bit processes this fills the memory fields from /proc/meminfo in
 * kilobyte units, which fit. 64-bit processes get an empty library. */
#if defined(__i386__)
#define _GNU_SOURCE
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/sysinfo.h>
#include <unistd.h>

static unsigned long field(const char* text, const char* name) {
    const char* at = strstr(text, name);
    unsigned long value = 0;
    if (at != NULL) {
        sscanf(at + strlen(name), " %lu", &value);
    }
    return value;
}

int sysinfo(struct sysinfo* info) {
    if (syscall(SYS_sysinfo, info) != 0) {
        return -1;
    }
    /* A line break first, so every name is found as "\nName:". */
    char text[8192] = "\n";
    FILE* meminfo = fopen("/proc/meminfo", "r");
    if (meminfo == NULL) {
        return 0;
    }
    size_t length = fread(text + 1, 1, sizeof text - 2, meminfo);
    fclose(meminfo);
    text[length + 1] = '\0';
    info->totalram = field(text, "\nMemTotal:");
    info->freeram = field(text, "\nMemFree:");
    info->sharedram = field(text, "\nShmem:");
    info->bufferram = field(text, "\nBuffers:");
    info->totalswap = field(text, "\nSwapTotal:");
    info->freeswap = field(text, "\nSwapFree:");
    info->totalhigh = 0;
    info->freehigh = 0;
    info->mem_unit = 1024;
    return 0;
}
#endif
