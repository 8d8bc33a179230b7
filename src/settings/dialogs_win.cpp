#include <windows.h>

#include <cstdlib>

#include "format/text.h"
#include "settings/dialogs.h"
#include "host/frame.h"

namespace {

int shellCalls;            // calls of the shell into Telvane under way
ModalDialog* innermost;    // the dialogs open, each pointing to the one it runs in
int closedHolds;           // references of dialogs closed since, to let go
HMODULE self;
HMODULE commonDialogs;     // this start's reference to comdlg32

constexpr SIZE_T kLetGoStackBytes = 64 * 1024;
constexpr UINT kShellWaitMs = 1000;

struct LetGo {
    HMODULE module;
    int references;
    HWND shell;
};

DWORD WINAPI letGoThread(void* parameter) {
    const LetGo job = *static_cast<LetGo*>(parameter);
    std::free(parameter);
    // A sent message is taken only where the shell's thread asks for its
    // messages, and the references were handed over as its outermost call
    // into Telvane returned: once this is answered, no code of Telvane's
    // is on that thread's stack. Without the shell's window (the shell is
    // ending) the references stay, and the DLL with them.
    DWORD_PTR answer;
    while (!SendMessageTimeoutA(job.shell, WM_NULL, 0, 0, SMTO_NORMAL, kShellWaitMs, &answer)) {
        if (!IsWindow(job.shell)) {
            return 0;
        }
    }
    for (int i = 1; i < job.references; ++i) {
        FreeLibrary(job.module);
    }
    FreeLibraryAndExitThread(job.module, 0);
    return 0;
}

void letGoOfClosedDialogs() {
    if (closedHolds == 0) {
        return;
    }
    auto* job = static_cast<LetGo*>(std::calloc(1, sizeof(LetGo)));
    if (job == nullptr) {
        return;  // kept for the next time
    }
    *job = LetGo{self, closedHolds, frame.hostWindow};
    HANDLE thread = CreateThread(nullptr, kLetGoStackBytes, letGoThread, job,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) {
        std::free(job);
        return;
    }
    CloseHandle(thread);
    closedHolds = 0;
}

}  // namespace

ShellCall::ShellCall() {
    ++shellCalls;
}

ShellCall::~ShellCall() {
    if (--shellCalls == 0) {
        letGoOfClosedDialogs();
    }
}

ModalDialog::ModalDialog() : outer_(innermost), dialog_(nullptr), ended_(false), held_(false) {
    HMODULE module = nullptr;
    held_ = GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCSTR>(&letGoThread), &module) != FALSE;
    if (held_) {
        self = module;
    }
    innermost = this;
}

ModalDialog::~ModalDialog() {
    // Modal loops nest: the one closing is the innermost.
    innermost = outer_;
    if (held_) {
        ++closedHolds;
        if (shellCalls == 0) {
            letGoOfClosedDialogs();
        }
    }
}

void cancelDialogs() {
    for (ModalDialog* open = innermost; open != nullptr; open = open->outer_) {
        open->ended_ = true;
        HWND dialog = open->dialog_;
        open->dialog_ = nullptr;
        if (dialog != nullptr && IsWindow(dialog)) {
            // As the user's Cancel: each dialog ends its own way.
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
}

int showMessageBox(HWND owner, const char* text, const char* title, unsigned flags) {
    ModalDialog modal;
    return MessageBoxA(owner, text, title, flags);
}

HMODULE holdCommonDialogs(const char* picker) {
    if (commonDialogs == nullptr) {
        commonDialogs = LoadLibraryA("comdlg32.dll");
    }
    HMODULE held = commonDialogs != nullptr ? LoadLibraryA("comdlg32.dll") : nullptr;
    if (held == nullptr) {
        char text[256];
        formatText(text, sizeof text,
                   "%s cannot open: Windows could not load comdlg32.dll (error %u).", picker,
                   static_cast<unsigned>(GetLastError()));
        showMessageBox(frame.hostWindow, text, kPluginName, MB_OK | MB_ICONWARNING);
    }
    return held;
}

void releaseCommonDialogs() {
    if (commonDialogs != nullptr) {
        FreeLibrary(commonDialogs);
        commonDialogs = nullptr;
    }
}
