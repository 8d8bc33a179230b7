#include "worker/worker.h"

#include <cstdlib>
#include <cstring>

#include "format/format.h"

namespace {

WorkerContext* worker;  // this start's, or null
bool wakeUpsHeld;
bool wakeUpHeld;  // a request came while they were held

// The kind's place in the queue, given at its first request; -1 when all
// are taken.
int placeOf(WorkQueue* queue, const WorkKind* kind) {
    for (int q = 0; q < kWorkKinds; ++q) {
        if (queue->kinds[q] == kind) {
            return q;
        }
        if (queue->kinds[q] == nullptr) {
            queue->kinds[q] = kind;
            return q;
        }
    }
    return -1;
}

}  // namespace

void clearWork(Work* work, const WorkKind& kind) {
    std::memset(work, 0, sizeof *work);
    work->kind = &kind;
}

// ---- the queue ----

bool queueWork(WorkQueue* queue, const Work& work) {
    const int q = work.kind != nullptr ? placeOf(queue, work.kind) : -1;
    if (q < 0) {
        return false;
    }
    if (queue->isRunning[q] && std::memcmp(&queue->running[q], &work, sizeof work) == 0) {
        // The one running answers it, and one waiting was asked before it.
        queue->hasPending[q] = false;
        return false;
    }
    if (queue->hasPending[q]) {
        // The newest request takes the place; the one waiting is not run.
        queue->pending[q] = work;
        return false;
    }
    queue->pending[q] = work;
    queue->hasPending[q] = true;
    queue->order[q] = ++queue->asked;
    return true;
}

bool takeWork(WorkQueue* queue, Work* work) {
    int oldest = -1;
    for (int q = 0; q < kWorkKinds; ++q) {
        if (queue->hasPending[q] && (oldest < 0 || queue->order[q] < queue->order[oldest])) {
            oldest = q;
        }
    }
    if (oldest < 0) {
        return false;
    }
    *work = queue->pending[oldest];
    queue->hasPending[oldest] = false;
    queue->running[oldest] = *work;
    queue->isRunning[oldest] = true;
    return true;
}

void finishWork(WorkQueue* queue, const Work& answer) {
    const int q = placeOf(queue, answer.kind);  // found: given when it was queued
    if (q < 0) {
        return;
    }
    queue->isRunning[q] = false;
    queue->answers[q] = answer;
    queue->hasAnswer[q] = true;
}

bool takeAnswer(WorkQueue* queue, Work* answer) {
    for (int q = 0; q < kWorkKinds; ++q) {
        if (queue->hasAnswer[q]) {
            *answer = queue->answers[q];
            queue->hasAnswer[q] = false;
            return true;
        }
    }
    return false;
}

// ---- the queries ----

void runWork(Work* work) {
    if (work->kind != nullptr) {
        work->kind->run(work);
    }
}

void applyWork(const Work& work) {
    // Slot numbers of another format would name other segments.
    if (work.generation != 0 && work.generation != formatEngine.compiles) {
        return;
    }
    if (work.kind != nullptr) {
        work.kind->apply(work);
    }
}

// ---- the thread ----

void releaseWorker(WorkerContext* context) {
    if (__atomic_sub_fetch(&context->references, 1, __ATOMIC_ACQ_REL) == 0) {
        closeWorkerPlatform(context);
        std::free(context);
    }
}

void workerLoop(WorkerContext* context) {
    // On this thread's stack: the window compares with the copy it keeps.
    Work work;
    for (;;) {
        lockWorker(context);
        bool taken = false;
        while (!context->stopping && !(taken = takeWork(&context->queue, &work))) {
            unlockWorker(context);
            sleepWorker(context);
            lockWorker(context);
        }
        unlockWorker(context);
        if (!taken) {
            break;
        }
        runWork(&work);
        lockWorker(context);
        // After endPlugin nothing is posted: the window may be gone, and
        // its handle another window's.
        if (!context->stopping) {
            finishWork(&context->queue, work);
            postAnswers(context);
        }
        unlockWorker(context);
    }
    releaseWorker(context);
}

// ---- the window's side ----

void startWorker(HWND window) {
    stopWorker();
    wakeUpsHeld = false;
    wakeUpHeld = false;
    auto* context = static_cast<WorkerContext*>(std::calloc(1, sizeof(WorkerContext)));
    if (context == nullptr) {
        return;
    }
    context->references = 2;
    if (!startWorkerThread(context, window)) {
        std::free(context);
        return;
    }
    worker = context;
}

void stopWorker() {
    WorkerContext* context = worker;
    if (context == nullptr) {
        return;
    }
    worker = nullptr;
    lockWorker(context);
    context->stopping = true;
    unlockWorker(context);
    wakeWorker(context);
    // A worker stuck in a system call is left to end on its own: it holds
    // the context (and the module) until then, and touches nothing else.
    joinWorker(context, kWorkerStopWaitMs);
    releaseWorker(context);
}

void requestWork(const Work& work) {
    WorkerContext* context = worker;
    if (context == nullptr) {
        Work copy = work;
        answerWithoutWorker(&copy);
        return;
    }
    lockWorker(context);
    const bool wake = queueWork(&context->queue, work);
    unlockWorker(context);
    if (wake && wakeUpsHeld) {
        wakeUpHeld = true;
    } else if (wake) {
        wakeWorker(context);
    }
}

void holdWakeUps() {
    wakeUpsHeld = true;
}

void releaseWakeUps() {
    wakeUpsHeld = false;
    if (wakeUpHeld && worker != nullptr) {
        wakeWorker(worker);
    }
    wakeUpHeld = false;
}

bool collectAnswers() {
    WorkerContext* context = worker;
    bool any = false;
    Work answer;
    while (context != nullptr && context == worker) {
        lockWorker(context);
        const bool taken = takeAnswer(&context->queue, &answer);
        unlockWorker(context);
        if (!taken) {
            break;
        }
        // Applying may run a message loop (the log's message box), which
        // may end the plugin: the loop checks the worker again.
        applyWork(answer);
        any = true;
    }
    return any;
}
