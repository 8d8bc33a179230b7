#pragma once
// %DT? %DF? %DU? %DP? %DQ?
void updateDiskSpace();
