// The native build's worker: a thread of the C++ library's, for tests of
// the hand-over; without a started worker, queries are answered at once.
#pragma once

#include "worker/worker.h"

struct WorkerStandIn {
    // Changed by the worker threads: read with __atomic_load_n.
    int posts;        // answers posted to the window
    int threadsLive;  // worker threads not yet ended
};

extern WorkerStandIn workerStandIn;
