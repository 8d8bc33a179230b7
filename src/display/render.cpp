#include "display/render.h"

#include <cstdint>
#include <cstring>

#include "format/format.h"
#include "settings/settings_os.h"

RenderState render;

namespace {

size_t boundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != '\0') {
        ++length;
    }
    return length;
}

int readInt(int index) {
    const void* value = GetSettingPtr(index);
    if (!value) {
        return 0;
    }
    int result;
    std::memcpy(&result, value, sizeof result);
    return result;
}

// The style block the shell gives for `index`, or `fallback` when it knows
// no such index. Anyone may send a style number, so null is expected; and
// only 1..6 are blocks: for others the shell hands out its integers and
// other values, far shorter than the block copied from them.
void copyStyle(int index, const StyleItem& fallback, StyleItem* out) {
    const void* block = isStyleIndex(index) ? GetSettingPtr(index) : nullptr;
    if (block) {
        std::memcpy(out, block, sizeof *out);
    } else if (out != &fallback) {
        *out = fallback;
    }
}

}  // namespace

void refreshStyle() {
    render.textInset = readInt(SETTING_BORDER_WIDTH) + readInt(SETTING_BEVEL_WIDTH);
    copyStyle(settings.styleType, render.style, &render.style);
}

void choosePaintFont(PaintFont* font) {
    const char* face = settings.fontFace;
    if (settings.useRefFont) {
        // Read afresh each paint so a style change shows without a refresh.
        static StyleItem fontBlock;
        static StyleItem colourBlock;
        copyStyle(STYLE_TOOLBAR, render.style, &fontBlock);
        copyStyle(settings.styleType, render.style, &colourBlock);
        font->height = fontBlock.fontHeight;
        font->color = colourBlock.textColor;
        face = fontBlock.fontFace;
    } else {
        font->height = settings.fontHeight;
        font->color = settings.fontColor;
    }
    // The shell's face field need not be terminated.
    size_t length = boundedLength(face, sizeof font->face - 1);
    std::memcpy(font->face, face, length);
    font->face[length] = '\0';
}

const char* measureLines(const char* text, int* longest, int* lines) {
    size_t length = boundedLength(text, kTextSize - 1);
    std::memcpy(scratchText, text, length);
    scratchText[length] = '\0';

    const char* best = scratchText + length;  // the empty string
    int bestLength = 0;
    int count = 0;
    for (char* line = std::strtok(scratchText, "\r"); line; line = std::strtok(nullptr, "\r")) {
        int lineLength = static_cast<int>(std::strlen(line));
        if (count == 0 || lineLength > bestLength) {
            best = line;
            bestLength = lineLength;
        }
        ++count;
    }
    std::memmove(scratchText, best, static_cast<size_t>(bestLength));
    scratchText[bestLength] = '\0';
    *longest = bestLength;
    *lines = count;
    return scratchText;
}

bool autoResizeTarget(int mode, int cx, int cy, int lines, int* width, int* height) {
    // In 64 bits: a huge font's extent times the lines must not overflow.
    const int64_t inset = render.textInset;
    int64_t w = settings.width;
    int64_t h = settings.height;
    switch (mode) {
    case 1:
        w = cx + 2 * inset + 4;
        break;
    case 2:
        h = static_cast<int64_t>(cy) * lines + 2 * inset;
        break;
    case 3:
        w = cx + 2 * inset + 4;
        h = static_cast<int64_t>(cy) * lines + 2 * inset;
        break;
    default:
        return false;
    }
    // Held as resizeWindow holds it, so the next paint measures the size
    // the window has and stops there.
    const VirtualScreenSize screen = virtualScreenSize();
    *width = windowSizeWithin(w, screen.width);
    *height = windowSizeWithin(h, screen.height);
    return true;
}

unsigned textDrawFormat(int justification, bool multiLine) {
    constexpr unsigned kSingleLineCentred = kDrawTextExpandTabs | kDrawTextSingleLine | kDrawTextVCenter;
    // Only the alignment bits: any program may send a justification, and
    // other bits would measure instead of drawing or rewrite the text.
    constexpr unsigned kAlignment = kDrawTextCenter | kDrawTextRight;
    // The text is shown as written: an "&" is no mnemonic to underline.
    return (static_cast<unsigned>(justification) & kAlignment) | kDrawTextNoPrefix |
           (multiLine ? kDrawTextExpandTabs : kSingleLineCentred);
}

bool resizeWindow(int cx, int cy) {
    // Compared before the minimum so a caller asking for the current size
    // never moves anything.
    if (cx == settings.width && cy == settings.height) {
        return false;
    }
    const VirtualScreenSize screen = virtualScreenSize();
    settings.width = windowSizeWithin(cx, screen.width);
    settings.height = windowSizeWithin(cy, screen.height);
    issueWindowSize();
    return true;
}
