#include "display/placement.h"

#include "settings/settings.h"

bool hidden = false;

bool edgeHideAt(const RECT& monitor, POINT* point) {
    if (!settings.autoHide || settings.inSlit) {
        return false;
    }
    // One pixel row or column stays on screen for the cursor to find.
    POINT at = {settings.x, settings.y};
    if (settings.x == monitor.left) {
        at.x = 1 - settings.width;
    } else if (settings.x == monitor.right - settings.width) {
        at.x = monitor.right - 1;
    } else if (settings.y == monitor.top) {
        at.y = 1 - settings.height;
    } else if (settings.y == monitor.bottom - settings.height) {
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
    constexpr int kCaption = 2;
    constexpr int kBottomRight = 17;
    return altDown && !settings.lockPos ? kBottomRight : kCaption;
}
