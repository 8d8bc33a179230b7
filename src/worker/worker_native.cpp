#include "worker/worker_native.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

WorkerStandIn workerStandIn;

namespace {

// Outlives the context, which the thread may free as it ends.
struct Ending {
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
};

struct NativeWorker {
    std::mutex lock;
    std::mutex wakeLock;
    std::condition_variable wakeChanged;
    bool woken = false;
    std::shared_ptr<Ending> ending = std::make_shared<Ending>();
    std::thread thread;
};
static_assert(sizeof(NativeWorker) <= sizeof(WorkerContext::platform), "worker platform part");

NativeWorker& part(WorkerContext* context) {
    return *reinterpret_cast<NativeWorker*>(context->platform);
}

}  // namespace

bool startWorkerThread(WorkerContext* context, HWND) {
    NativeWorker& w = *new (context->platform) NativeWorker;
    std::shared_ptr<Ending> ending = w.ending;
    __atomic_add_fetch(&workerStandIn.threadsLive, 1, __ATOMIC_SEQ_CST);
    w.thread = std::thread([context, ending] {
        workerLoop(context);
        {
            std::lock_guard<std::mutex> hold(ending->lock);
            ending->done = true;
        }
        ending->changed.notify_all();
        __atomic_sub_fetch(&workerStandIn.threadsLive, 1, __ATOMIC_SEQ_CST);
    });
    return true;
}

void lockWorker(WorkerContext* context) {
    part(context).lock.lock();
}

void unlockWorker(WorkerContext* context) {
    part(context).lock.unlock();
}

void wakeWorker(WorkerContext* context) {
    NativeWorker& w = part(context);
    {
        std::lock_guard<std::mutex> hold(w.wakeLock);
        w.woken = true;
    }
    w.wakeChanged.notify_one();
}

void sleepWorker(WorkerContext* context) {
    NativeWorker& w = part(context);
    std::unique_lock<std::mutex> hold(w.wakeLock);
    w.wakeChanged.wait(hold, [&w] { return w.woken; });
    w.woken = false;
}

bool joinWorker(WorkerContext* context, unsigned ms) {
    NativeWorker& w = part(context);
    bool ended;
    {
        std::unique_lock<std::mutex> hold(w.ending->lock);
        ended = w.ending->changed.wait_for(hold, std::chrono::milliseconds(ms),
                                           [&w] { return w.ending->done; });
    }
    if (ended) {
        w.thread.join();
    } else {
        w.thread.detach();
    }
    return ended;
}

void postAnswers(WorkerContext*) {
    __atomic_add_fetch(&workerStandIn.posts, 1, __ATOMIC_SEQ_CST);
}

void closeWorkerPlatform(WorkerContext* context) {
    part(context).~NativeWorker();
}

void answerWithoutWorker(Work* work) {
    runWork(work);
    applyWork(*work);
}
