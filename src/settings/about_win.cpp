#include "settings/about.h"

#include "host/frame.h"
#include "settings/about_resource.h"

namespace {

constexpr int kHelpTabStop = 40;  // dialog units

// Centre on the desktop, whose left and top are taken as 0.
void centreDialog(HWND dialog) {
    RECT desktop;
    RECT own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        *reinterpret_cast<HWND*>(lParam) = dialog;
        UINT tabStops[1] = {kHelpTabStop};
        SendDlgItemMessageA(dialog, IDC_ABOUT_HELP, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(tabStops));
        SetDlgItemTextA(dialog, IDC_ABOUT_HELP, aboutHelpText());
        centreDialog(dialog);
        MessageBeep(0);
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(dialog, id);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

void runAboutDialog(HWND owner, HWND* shown) {
    DialogBoxParamA(frame.instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutDialogProc,
                    reinterpret_cast<LPARAM>(shown));
}
