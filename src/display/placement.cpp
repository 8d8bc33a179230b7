#include "display/placement.h"

#include <cstdint>

#include "settings/settings.h"

bool hidden = false;

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

unsigned char layeredAlpha() {
    return settings.transparency ? static_cast<unsigned char>(settings.alpha & 0xFF) : 255;
}

int placementHitTest(bool altDown) {
    return altDown && !settings.lockPos ? kHitBottomRight : kHitCaption;
}
