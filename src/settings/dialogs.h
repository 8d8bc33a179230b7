// Telvane's dialogs (the About box, the two pickers, its message boxes)
// run a modal message loop on the shell's thread, inside Telvane's code.
// The shell goes on handling its commands there, and one of them may end
// the plugin and unload it: a plugin manager's unload or reload, another
// plugin's hot key. So:
// - while a dialog is open the DLL holds a reference to itself; it lets
//   go on a thread of its own, once the shell's thread has left Telvane's
//   code, through FreeLibraryAndExitThread, so nothing ever returns into
//   an unmapped DLL;
// - endPlugin cancels every dialog open, so none is left owned by a
//   window that is gone, and the code after a dialog learns that its
//   start has ended.
// Everything here runs on the shell's thread.
#pragma once

#include "host/wintypes.h"

// Held by every call of the shell into Telvane on its thread (the window
// procedure, the start and end functions). When the outermost returns,
// the references of the dialogs closed meanwhile are let go.
class ShellCall {
public:
    ShellCall();
    ~ShellCall();
    ShellCall(const ShellCall&) = delete;
    ShellCall& operator=(const ShellCall&) = delete;
};

// Around one modal loop: holds the DLL while it runs.
class ModalDialog {
public:
    ModalDialog();
    ~ModalDialog();
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Where the dialog puts its window once it exists (at WM_INITDIALOG),
    // so endPlugin can cancel it.
    HWND* window() { return &dialog_; }
    // endPlugin ran while the dialog was open: its answer belongs to a
    // start that is over.
    bool ended() const { return ended_; }

private:
    friend void cancelDialogs();
    ModalDialog* outer_;
    HWND dialog_;
    bool ended_;
    bool held_;
};

// endPlugin: cancels every dialog open, innermost first.
void cancelDialogs();

// MessageBoxA, held as a dialog. Its owner should be the shell's window,
// which outlives the plugin: a message box cannot be cancelled from here.
int showMessageBox(HWND owner, const char* text, const char* title, unsigned flags);

// The pickers' DLL, comdlg32, is loaded when a picker first opens, not
// with the plugin: a broken chain of the DLLs it needs must not keep the
// whole plugin from loading. It stays loaded until endPlugin.
// A picker holds a reference of its own while it is open (endPlugin may
// run inside it) and frees it afterwards; null, after telling the user
// that `picker` cannot open, when comdlg32 cannot be loaded.
HMODULE holdCommonDialogs(const char* picker);
// endPlugin: lets go of this start's reference.
void releaseCommonDialogs();
