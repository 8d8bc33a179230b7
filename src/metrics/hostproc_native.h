// Controls for the native stand-ins of the process queries, for tests.
#pragma once

#include "metrics/hostproc.h"

extern ProcessMemory nativeHostMemory;  // handed out even when failing
extern bool nativeHostMemoryOk;
extern unsigned nativeGdiObjects;
extern int nativeGdiQueries;            // calls of queryHostGdiObjects
