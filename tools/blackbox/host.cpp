// The shell's windows: the host window plugins register with and send
// their messages to, and the slit that docked plugin windows live in.
// Also the message loop, and the answering of plugin dialogs so that
// scripted runs never wait for a click.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell.h"

namespace {

constexpr UINT kAnswerDialog = WM_APP + 1;
constexpr UINT_PTR kDialogScanTimer = 1;
constexpr UINT kDialogScanMs = 100;
constexpr int kSlitMargin = 2;
constexpr size_t kMaxRegisteredMessages = 64;

HWND host = nullptr;
HWND slit = nullptr;
HHOOK cbtHook = nullptr;
std::vector<shell::Registration> registered;
std::vector<HWND> docked;
std::vector<HWND> sticky;
std::vector<HWND> answered;  // dialogs already printed and answered
int answeredCount = 0;
std::string onDialog;        // the script line to run inside the next dialog
bool runEndedInDialog = false;

// ---- registrations ----

std::vector<unsigned> messageList(LPARAM lParam) {
    std::vector<unsigned> messages;
    auto list = reinterpret_cast<const unsigned*>(lParam);
    for (size_t i = 0; list && i < kMaxRegisteredMessages && list[i] != 0; ++i) {
        messages.push_back(list[i]);
    }
    return messages;
}

shell::Registration* findRegistration(HWND window) {
    for (auto& entry : registered) {
        if (entry.window == window) {
            return &entry;
        }
    }
    return nullptr;
}

void registerWindow(HWND window, LPARAM lParam) {
    if (!IsWindow(window)) {
        return;
    }
    shell::Registration* entry = findRegistration(window);
    if (!entry) {
        registered.push_back({window, {}});
        entry = &registered.back();
    }
    for (unsigned message : messageList(lParam)) {
        if (std::find(entry->messages.begin(), entry->messages.end(), message) ==
            entry->messages.end()) {
            entry->messages.push_back(message);
        }
    }
}

void unregisterWindow(HWND window, LPARAM lParam) {
    shell::Registration* entry = findRegistration(window);
    if (!entry) {
        return;
    }
    if (lParam == 0) {
        entry->messages.clear();
    }
    for (unsigned message : messageList(lParam)) {
        auto& m = entry->messages;
        m.erase(std::remove(m.begin(), m.end(), message), m.end());
    }
    registered.erase(std::remove_if(registered.begin(), registered.end(),
                                    [](const shell::Registration& r) { return r.messages.empty(); }),
                     registered.end());
}

// ---- dialogs ----

bool isDialog(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

BOOL CALLBACK collectText(HWND child, LPARAM lParam) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Static") == 0 || _stricmp(name, "Edit") == 0) {
        std::string text = windowText(child);
        if (!text.empty()) {
            reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(text);
        }
    }
    return TRUE;
}

// Prints the dialog as one line and presses its OK button (or, without
// one, its default button, else cancel).
void answerDialog(HWND dialog) {
    // Closed dialogs leave the list first, so a handle that is reused
    // for a new dialog is answered again.
    answered.erase(std::remove_if(answered.begin(), answered.end(),
                                  [](HWND w) { return !IsWindow(w); }),
                   answered.end());
    if (!IsWindow(dialog) || !isDialog(dialog) || !IsWindowVisible(dialog) ||
        std::find(answered.begin(), answered.end(), dialog) != answered.end()) {
        return;
    }
    answered.push_back(dialog);
    ++answeredCount;
    std::vector<std::string> texts{windowText(dialog)};
    EnumChildWindows(dialog, collectText, reinterpret_cast<LPARAM>(&texts));
    std::string line;
    for (size_t i = 0; i < texts.size(); ++i) {
        line += (i ? " | " : "") + texts[i];
    }
    shell::say("dialog", shell::escape(line));
    if (!onDialog.empty()) {
        // Inside the dialog's own message loop, as a shell handles a
        // command that arrives while a plugin's dialog is open.
        const std::string command = onDialog;
        onDialog.clear();
        shell::say("ondialog", shell::escape(command));
        if (!shell::runCommand(command)) {
            runEndedInDialog = true;
        }
        if (!IsWindow(dialog)) {
            return;  // the plugin closed it
        }
    }

    int id = IDOK;
    if (!GetDlgItem(dialog, IDOK)) {
        LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDCANCEL;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && isDialog(reinterpret_cast<HWND>(wParam))) {
        // Answer once the dialog runs its own loop, not inside activation.
        PostMessageA(host, kAnswerDialog, wParam, 0);
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

BOOL CALLBACK answerIfDialog(HWND window, LPARAM) {
    answerDialog(window);
    return TRUE;
}

// ---- slit ----

bool layingOut = false;
bool layoutAgain = false;

void layoutSlit() {
    if (layingOut) {
        layoutAgain = true;
        return;
    }
    layingOut = true;
    do {
        layoutAgain = false;
        docked.erase(std::remove_if(docked.begin(), docked.end(),
                                    [](HWND w) { return !IsWindow(w) || GetParent(w) != slit; }),
                     docked.end());
        int width = 0;
        for (HWND w : docked) {
            RECT r;
            GetWindowRect(w, &r);
            width = std::max(width, static_cast<int>(r.right - r.left));
        }
        int y = kSlitMargin;
        for (HWND w : docked) {
            RECT r;
            GetWindowRect(w, &r);
            int x = kSlitMargin + (width - (r.right - r.left)) / 2;
            SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            y += (r.bottom - r.top) + kSlitMargin;
        }
        int slitWidth = width + 2 * kSlitMargin;
        int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        SetWindowPos(slit, nullptr, screenWidth - slitWidth, 0, slitWidth, y,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(slit, docked.empty() ? SW_HIDE : SW_SHOWNOACTIVATE);
        InvalidateRect(slit, nullptr, TRUE);
    } while (layoutAgain);
    layingOut = false;
}

void dock(HWND window) {
    if (!IsWindow(window) || window == slit || window == host ||
        std::find(docked.begin(), docked.end(), window) != docked.end()) {
        return;
    }
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    SetParent(window, slit);
    docked.push_back(window);
    layoutSlit();
}

void undock(HWND window) {
    auto it = std::find(docked.begin(), docked.end(), window);
    if (it == docked.end()) {
        return;
    }
    docked.erase(it);
    if (IsWindow(window)) {
        SetParent(window, nullptr);
        LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        SetWindowLongPtrA(window, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    layoutSlit();
}

LRESULT CALLBACK slitProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case SLIT_ADD:
            dock(reinterpret_cast<HWND>(lParam));
            return 0;
        case SLIT_REMOVE:
            undock(reinterpret_cast<HWND>(lParam));
            return 0;
        case SLIT_UPDATE:
            layoutSlit();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT r;
            GetClientRect(window, &r);
            MakeStyleGradient(dc, &r, static_cast<StyleItem*>(GetSettingPtr(STYLE_TOOLBAR)), true);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case MSG_REGISTER:
            registerWindow(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case MSG_UNREGISTER:
            unregisterWindow(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case MSG_HIDE_MENUS:
            return 0;  // our menus are never on screen
        case kAnswerDialog:
            answerDialog(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kDialogScanTimer) {
                EnumThreadWindows(GetCurrentThreadId(), answerIfDialog, 0);
            }
            return 0;
        case WM_CLOSE:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

namespace shell {

HWND hostWindow() { return host; }
HWND slitWindow() { return slit; }

bool createWindows(HINSTANCE instance) {
    WNDCLASSA hostClass{};
    hostClass.lpfnWndProc = hostProc;
    hostClass.hInstance = instance;
    hostClass.lpszClassName = "BlackboxStandIn";
    WNDCLASSA slitClass{};
    slitClass.lpfnWndProc = slitProc;
    slitClass.hInstance = instance;
    slitClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    slitClass.lpszClassName = "BBSlit";
    if (!RegisterClassA(&hostClass) || !RegisterClassA(&slitClass)) {
        std::fprintf(stderr, "blackbox: RegisterClass failed (error %lu)\n", GetLastError());
        return false;
    }
    // Under wine the desktop process may still be restarting when a run
    // begins (after the previous X display went away); give it a moment.
    for (int attempt = 0; attempt < 20 && !(host && slit); ++attempt) {
        if (attempt > 0) {
            std::fprintf(stderr, "blackbox: CreateWindow failed (error %lu), retrying\n",
                         GetLastError());
            Sleep(250);
        }
        if (!host) {
            host = CreateWindowExA(WS_EX_TOOLWINDOW, "BlackboxStandIn", "Blackbox", WS_POPUP, 0,
                                   0, 0, 0, nullptr, nullptr, instance, nullptr);
        }
        if (host && !slit) {
            slit = CreateWindowExA(WS_EX_TOOLWINDOW, "BBSlit", "Slit", WS_POPUP | WS_CLIPCHILDREN,
                                   0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
        }
    }
    return host && slit;
}

void destroyWindows() {
    if (slit) {
        DestroyWindow(slit);
    }
    if (host) {
        DestroyWindow(host);
    }
    slit = host = nullptr;
}

const std::vector<Registration>& registrations() { return registered; }

std::vector<HWND> windowsFor(unsigned message) {
    std::vector<HWND> windows;
    for (const auto& entry : registered) {
        if (IsWindow(entry.window) &&
            std::find(entry.messages.begin(), entry.messages.end(), message) !=
                entry.messages.end()) {
            windows.push_back(entry.window);
        }
    }
    return windows;
}

int sendToRegistered(unsigned message, WPARAM wParam, LPARAM lParam) {
    int sent = 0;
    // A copy: a window may register or unregister while handling it.
    for (HWND window : windowsFor(message)) {
        if (IsWindow(window)) {
            SendMessageA(window, message, wParam, lParam);
            ++sent;
        }
    }
    return sent;
}

int broadcast(const std::string& command) {
    int sent = 0;
    for (HWND window : windowsFor(MSG_BROADCAST)) {
        if (!IsWindow(window)) {
            continue;
        }
        // Each receiver gets its own copy, in case it writes into it.
        std::vector<char> text(command.begin(), command.end());
        text.push_back('\0');
        SendMessageA(window, MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(text.data()));
        ++sent;
    }
    return sent;
}

bool isDocked(HWND window) {
    return std::find(docked.begin(), docked.end(), window) != docked.end() &&
           GetParent(window) == slit;
}

std::vector<HWND>& stickyWindows() { return sticky; }

HWND pluginWindow() {
    for (const auto& entry : registered) {
        if (IsWindow(entry.window)) {
            return entry.window;
        }
    }
    for (HWND window : sticky) {
        if (IsWindow(window)) {
            return window;
        }
    }
    return nullptr;
}

void pumpPending() {
    MSG msg;
    // Bounded, so a window that never validates cannot hold the script.
    for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void pumpFor(unsigned milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (true) {
        pumpPending();
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

void installDialogAnswerer() {
    cbtHook = SetWindowsHookExA(WH_CBT, cbtProc, nullptr, GetCurrentThreadId());
    SetTimer(host, kDialogScanTimer, kDialogScanMs, nullptr);
}

int answeredDialogCount() { return answeredCount; }

void runOnNextDialog(const std::string& command) { onDialog = command; }

bool dialogEndedRun() { return runEndedInDialog; }

void removeDialogAnswerer() {
    KillTimer(host, kDialogScanTimer);
    if (cbtHook) {
        UnhookWindowsHookEx(cbtHook);
        cbtHook = nullptr;
    }
}

}  // namespace shell
