#include <cstring>

#include "display/placement.h"
#include "display/render.h"
#include "display/tooltip.h"
#include "format/format.h"
#include "host/frame.h"

void paintWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);

    // Everything is drawn off screen and copied once, so the once-a-second
    // repaint does not flicker.
    HDC memoryDc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right - client.left,
                                            client.bottom - client.top);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);

    RECT gradient = client;  // the shell gets its own copy to scribble on
    MakeStyleGradient(memoryDc, &gradient, &render.style, settings.showBorder);

    RECT textRect = client;
    InflateRect(&textRect, -render.textInset, -render.textInset);

    PaintFont paintFont;
    choosePaintFont(&paintFont);
    HFONT font = CreateFontA(paintFont.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, paintFont.face);
    HGDIOBJ oldFont = SelectObject(memoryDc, font);
    SetTextColor(memoryDc, paintFont.color);
    SetBkMode(memoryDc, TRANSPARENT);

    const char* text = formatEngine.displayText;
    updateTooltip(textRect, text);

    int newWidth = 0;
    int newHeight = 0;
    bool measured = false;
    if (settings.autoResize >= 1 && settings.autoResize <= 3) {
        int longest = 0;
        int lines = 0;
        const char* line = measureLines(text, &longest, &lines);
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(memoryDc, line, longest, &extent);
        measured = autoResizeTarget(settings.autoResize, extent.cx, extent.cy, lines, &newWidth,
                                    &newHeight);
    }

    DrawTextA(memoryDc, text, static_cast<int>(std::strlen(text)), &textRect,
              textDrawFormat(settings.justification, formatEngine.multiLine));

    BitBlt(windowDc, 0, 0, settings.width, settings.height, memoryDc, 0, 0, SRCCOPY);

    SelectObject(memoryDc, oldFont);
    DeleteObject(font);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    EndPaint(window, &paint);

    if (measured && resizeWindow(newWidth, newHeight)) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

void issueWindowSize() {
    if (settings.inSlit) {
        SetWindowPos(frame.window, nullptr, 0, 0, settings.width, settings.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (frame.slitWindow) {
            SendMessageA(frame.slitWindow, SLIT_UPDATE, 0, 0);
        }
        return;
    }
    POINT at = {settings.x, settings.y};
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (hidden) {
        // Stay tucked away at the new size rather than popping out on
        // every text change; a window the new size leaves off the edge
        // is simply shown. No snapping, which would pull it back on screen.
        hidden = edgeHidePosition(nullptr);
        edgeHidePosition(&at);
        flags |= SWP_NOSENDCHANGING;
    }
    SetWindowPos(frame.window, nullptr, at.x, at.y, settings.width, settings.height, flags);
}
