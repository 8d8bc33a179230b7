// Native build only: every metric family's stand-in of the OS back to its
// first state, and with it the families' own memory of earlier readings,
// the worker and the settings record they read, as in a process just
// started: so that no test depends on the tests that ran before it, in
// one process or each in its own. Test fixtures call it in SetUp.
#pragma once

void resetStandIns();
