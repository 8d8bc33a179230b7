// Resource ids of the About dialog, shared by the .rc script and the code.
#pragma once

#define IDD_ABOUT 103
#define IDC_ABOUT_HELP 1004
