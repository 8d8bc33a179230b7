// The slow queries — a file server that is gone, a busy or failing device,
// a broken name service — run on one thread of Telvane's own, so the
// shell's thread, which the whole desktop waits on, never waits for them.
// The window asks; the worker answers through a posted message.
//
// The worker knows no query. The module that owns one declares its kind
// beside it: a function that asks the system on the worker's thread and
// one that applies the answer on the window's thread. The request and
// the answer share the work's bytes, as the module lays them out.
//
// Hand-over rules: each kind of query has one place in the queue, the
// newest request taking it; a request equal to the one running is not
// queued again, and drops one of its kind waiting; answers for a format
// that has since been compiled anew are dropped; nothing waits on the
// worker but endPlugin, and that only for a bounded time.
#pragma once

#include "host/wintypes.h"

// Posted to the window when answers wait (WM_APP + 1).
constexpr unsigned kAnswersMessage = 0x8001;

// Room for the largest request and answer of any kind; each kind checks
// its own against it at compile time (workData).
constexpr int kWorkBytes = 3264;
// Kinds with a place in the queue: a request of a further kind is dropped.
constexpr int kWorkKinds = 8;

struct Work;

// A kind of slow query, declared by the module that owns it.
struct WorkKind {
    void (*run)(Work* work);          // any thread: asks, and answers into the bytes
    void (*apply)(const Work& work);  // the window's thread
};

// One query: what to ask, filled by the window, then what came back.
struct Work {
    const WorkKind* kind;
    unsigned generation;  // the format compile the answer belongs to; 0: any
    alignas(8) unsigned char bytes[kWorkBytes];
};

// Cleared work of one kind: requests compare byte for byte.
void clearWork(Work* work, const WorkKind& kind);

// The work's bytes as the kind's own request and answer.
template <typename Data>
Data& workData(Work* work) {
    static_assert(sizeof(Data) <= kWorkBytes, "a kind's request and answer fit the work's bytes");
    static_assert(alignof(Data) <= 8, "the work's bytes are aligned for 8-byte fields");
    return *reinterpret_cast<Data*>(work->bytes);
}
template <typename Data>
const Data& workData(const Work& work) {
    return workData<Data>(const_cast<Work*>(&work));
}

// ---- the window's side ----

// Starts the worker of this start; answers are posted to `window`.
void startWorker(HWND window);
// Stops it: waits up to kWorkerStopWaitMs for a query under way, then
// leaves a worker stuck in a system call to end on its own.
void stopWorker();
constexpr unsigned kWorkerStopWaitMs = 1000;
// Hands a query over. Without a worker the platform decides (see
// answerWithoutWorker).
void requestWork(const Work& work);
// Holds the worker's wake-ups: a request made meanwhile is queued, and
// the worker woken for it by releaseWakeUps(). The window holds them from
// its tick to the paint that shows the tick, so the tick's queries do not
// run beside that paint: under wine both go through its one server
// process, and the paint would wait for the query.
void holdWakeUps();
void releaseWakeUps();
// On the posted message: applies every answer waiting. True when any was.
bool collectAnswers();

// ---- the queue, without locking (the caller holds the lock) ----

struct WorkQueue {
    const WorkKind* kinds[kWorkKinds];  // each kind's place, in the order first asked
    Work pending[kWorkKinds];
    bool hasPending[kWorkKinds];
    unsigned order[kWorkKinds];  // when each pending one was asked
    unsigned asked;
    Work running[kWorkKinds];  // as asked, without its answer
    bool isRunning[kWorkKinds];
    Work answers[kWorkKinds];
    bool hasAnswer[kWorkKinds];
};

// Queues `work`; false when it needs no wake-up (equal to the one running
// or already waiting, or of a kind without a place).
bool queueWork(WorkQueue* queue, const Work& work);
// The longest waiting query, now counted as running; false when none.
bool takeWork(WorkQueue* queue, Work* work);
// The answer to a query taken before.
void finishWork(WorkQueue* queue, const Work& answer);
bool takeAnswer(WorkQueue* queue, Work* answer);

// Asks the system (any thread) and applies an answer (the window's thread).
void runWork(Work* work);
void applyWork(const Work& work);

// ---- one worker: shared by the window and the thread ----

struct WorkerContext {
    WorkQueue queue;  // under the lock
    bool stopping;    // under the lock
    int references;   // the window's and the thread's; the last to let go frees it
    alignas(8) unsigned char platform[192];  // lock, wake-up, thread, window
};

// The thread's whole life; lets go of the context at the end.
void workerLoop(WorkerContext* context);
void releaseWorker(WorkerContext* context);

// Platform side (worker_win.cpp; worker_native.cpp natively).
// Makes the lock and wake-up and starts a thread that runs workerLoop;
// false (with nothing left behind) when it cannot.
bool startWorkerThread(WorkerContext* context, HWND window);
void lockWorker(WorkerContext* context);
void unlockWorker(WorkerContext* context);
void wakeWorker(WorkerContext* context);
// Waits, unlocked, for the next wake-up.
void sleepWorker(WorkerContext* context);
// Waits up to `ms` for the thread to end; lets go of it either way.
bool joinWorker(WorkerContext* context, unsigned ms);
// Tells the window answers are waiting (called under the lock).
void postAnswers(WorkerContext* context);
// Frees the lock and wake-up, once neither side uses them.
void closeWorkerPlatform(WorkerContext* context);
// A query asked while no worker runs: Windows drops it, since the thread
// asking must not wait; the native stand-in answers it at once.
void answerWithoutWorker(Work* work);
