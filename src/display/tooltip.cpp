#include "display/tooltip.h"

#include <cstring>

namespace {

// Copies at most 258 characters; true when that changed the stored text.
bool storeTipText(char* stored, const char* text) {
    char cut[kTipTextSize];
    size_t length = 0;
    while (length < kTipTextSize - 1 && text[length] != '\0') {
        cut[length] = text[length];
        ++length;
    }
    cut[length] = '\0';
    if (std::strcmp(stored, cut) == 0) {
        return false;
    }
    std::memcpy(stored, cut, length + 1);
    return true;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

unsigned trackTooltip(TooltipTool* tool, const RECT& rect, const char* text) {
    if (!tool->added) {
        tool->added = true;
        tool->rect = rect;
        tool->text[0] = '\0';
        storeTipText(tool->text, text);
        return TipAdd;
    }
    unsigned changes = 0;
    if (!sameRect(tool->rect, rect)) {
        tool->rect = rect;
        changes |= TipMove;
    }
    if (storeTipText(tool->text, text)) {
        changes |= TipText;
    }
    return changes;
}
