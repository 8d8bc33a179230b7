#include <windows.h>

#include <new>

#include "plugin/dialogs.h"
#include "plugin/frame.h"
#include "plugin/worker.h"

namespace {

struct WinWorker {
    CRITICAL_SECTION lock;
    HANDLE wake;  // auto-reset
    HANDLE thread;
    HWND window;
    HMODULE module;  // the thread's own reference to this DLL
};
static_assert(sizeof(WinWorker) <= sizeof(WorkerContext::platform), "worker platform part");

constexpr SIZE_T kWorkerStackBytes = 256 * 1024;

WinWorker& part(WorkerContext* context) {
    return *reinterpret_cast<WinWorker*>(context->platform);
}

DWORD WINAPI workerThread(void* parameter) {
    auto* context = static_cast<WorkerContext*>(parameter);
    // Read before the context may be freed. The reference keeps this code
    // mapped even when the shell unloads the plugin while a query is stuck;
    // the system call below drops it and never returns here.
    HMODULE module = part(context).module;
    workerLoop(context);
    FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

bool startWorkerThread(WorkerContext* context, HWND window) {
    WinWorker& w = *new (context->platform) WinWorker{};
    w.window = window;
    w.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (w.wake == nullptr) {
        return false;
    }
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&workerThread), &w.module)) {
        CloseHandle(w.wake);
        return false;
    }
    InitializeCriticalSection(&w.lock);
    // The queries need little stack; the shell's default would be reserved
    // (and under wine committed) for each start.
    w.thread = CreateThread(nullptr, kWorkerStackBytes, workerThread, context,
                            STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (w.thread == nullptr) {
        DeleteCriticalSection(&w.lock);
        FreeLibrary(w.module);
        CloseHandle(w.wake);
        return false;
    }
    return true;
}

void lockWorker(WorkerContext* context) {
    EnterCriticalSection(&part(context).lock);
}

void unlockWorker(WorkerContext* context) {
    LeaveCriticalSection(&part(context).lock);
}

void wakeWorker(WorkerContext* context) {
    SetEvent(part(context).wake);
}

void sleepWorker(WorkerContext* context) {
    WaitForSingleObject(part(context).wake, INFINITE);
}

bool joinWorker(WorkerContext* context, unsigned ms) {
    WinWorker& w = part(context);
    const bool ended = WaitForSingleObject(w.thread, ms) == WAIT_OBJECT_0;
    CloseHandle(w.thread);
    w.thread = nullptr;
    return ended;
}

void postAnswers(WorkerContext* context) {
    PostMessageA(part(context).window, kAnswersMessage, 0, 0);
}

void closeWorkerPlatform(WorkerContext* context) {
    WinWorker& w = part(context);
    DeleteCriticalSection(&w.lock);
    CloseHandle(w.wake);
}

void answerWithoutWorker(Work*) {}

void reportSmartLog(int result) {
    if (result == 0) {
        showMessageBox(frame.hostWindow,
                       "S.M.A.R.T. Log file is saved to\n\nC:\\Telvane.HDTemp.log\n",
                       "S.M.A.R.T. Log Saved", MB_OK);
    } else {
        showMessageBox(frame.hostWindow, "Access S.M.A.R.T. Error!\n\nNo Log file is saved.\n",
                       "S.M.A.R.T. Log Not Saved", MB_OK);
    }
}
