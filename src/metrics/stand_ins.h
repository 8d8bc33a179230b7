// Native build only: every metric family's stand-in of the OS back to its
// first state, and the families' own memory of earlier readings with it,
// so that no test depends on the tests that ran before it. Test fixtures
// call it in SetUp.
#pragma once

void resetStandIns();
