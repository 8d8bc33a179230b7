#include "display/placement.h"

#include <algorithm>
#include <cstdint>

#include "settings/settings.h"

bool hidden = false;
bool dragging = false;

namespace {

int32_t clampedCoordinate(int64_t value) {
    return static_cast<int32_t>(value < INT32_MIN   ? INT32_MIN
                                : value > INT32_MAX ? INT32_MAX
                                                    : value);
}

}  // namespace

bool edgeHideAt(const RECT& monitor, POINT* point) {
    if (!settings.autoHide || settings.inSlit) {
        return false;
    }
    // In 64 bits: a damaged file or any program's command may set any size,
    // and beside an edge far from the origin int sums would overflow.
    const int64_t width = settings.width;
    const int64_t height = settings.height;
    // One pixel row or column stays on screen for the cursor to find.
    POINT at = {settings.x, settings.y};
    if (settings.x == monitor.left) {
        at.x = clampedCoordinate(1 - width);
    } else if (settings.x == monitor.right - width) {
        at.x = monitor.right - 1;
    } else if (settings.y == monitor.top) {
        at.y = clampedCoordinate(1 - height);
    } else if (settings.y == monitor.bottom - height) {
        at.y = monitor.bottom - 1;
    } else {
        return false;
    }
    if (point && hidden) {
        *point = at;
    }
    return true;
}

void reanchorToDisplay(int oldWidth, int oldHeight, int newWidth, int newHeight) {
    if (settings.x > oldWidth / 2) {
        settings.x += newWidth - oldWidth;
    }
    if (settings.y > oldHeight / 2) {
        settings.y += newHeight - oldHeight;
    }
}

namespace {

// Squared gap between two rectangles (0 when they overlap), in 64 bits
// for coordinates from any file.
double gapBetween(const RECT& a, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const int64_t dx = std::max<int64_t>({0, a.left - right, left - a.right});
    const int64_t dy = std::max<int64_t>({0, a.top - bottom, top - a.bottom});
    return static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
}

// `start` moved so [start, start + size) lies in [low, high), or at low
// when it is larger.
int64_t within(int64_t start, int64_t size, int64_t low, int64_t high) {
    if (start + size > high) {
        start = high - size;
    }
    return start < low ? low : start;
}

}  // namespace

bool bringOntoMonitors(const MonitorArea* monitors, int count, int width, int height, POINT* at) {
    const int64_t left = at->x;
    const int64_t top = at->y;
    const int64_t right = left + width;
    const int64_t bottom = top + height;
    int nearest = -1;
    double nearestGap = 0;
    for (int i = 0; i < count; ++i) {
        const RECT& m = monitors[i].monitor;
        if (left < m.right && m.left < right && top < m.bottom && m.top < bottom) {
            return false;  // some of it shows: where the user put it
        }
        const double gap = gapBetween(m, left, top, right, bottom);
        if (nearest < 0 || gap < nearestGap) {
            nearest = i;
            nearestGap = gap;
        }
    }
    if (nearest < 0) {
        return false;
    }
    const RECT& work = monitors[nearest].work;
    at->x = static_cast<int32_t>(within(left, width, work.left, work.right));
    at->y = static_cast<int32_t>(within(top, height, work.top, work.bottom));
    return true;
}

unsigned char layeredAlpha() {
    return settings.transparency ? static_cast<unsigned char>(settings.alpha & 0xFF) : 255;
}

int placementHitTest(bool altDown) {
    return altDown && !settings.lockPos ? kHitBottomRight : kHitCaption;
}
