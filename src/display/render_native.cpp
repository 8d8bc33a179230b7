// Native stand-in for the window calls of resizeWindow: counts the sizes
// issued so tests can see whether a resize reached the window.
#include "display/render.h"

int issuedWindowSizes = 0;

void issueWindowSize() {
    ++issuedWindowSizes;
}
