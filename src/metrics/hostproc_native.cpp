#include "metrics/hostproc_native.h"

ProcessMemory nativeHostMemory = {};
bool nativeHostMemoryOk = false;
unsigned nativeGdiObjects = 0;
int nativeGdiQueries = 0;

bool queryHostProcessMemory(ProcessMemory& memory) {
    memory = nativeHostMemory;
    return nativeHostMemoryOk;
}

unsigned queryHostGdiObjects() {
    ++nativeGdiQueries;
    return nativeGdiObjects;
}
