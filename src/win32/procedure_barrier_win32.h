#pragma once
// The one exception barrier of every window and dialog procedure: no C++
// exception may leave a procedure into the platform's code.

#include <windows.h>

// Runs a window procedure's body. An exception that escapes it gets the
// platform's default processing, except a close request: that default would
// destroy the window without the password, so a failure while a close is
// decided refuses it, as a wrong password does.
template <typename Body>
LRESULT WithoutThrowing(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        if (message == WM_CLOSE) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Runs a dialog procedure's body. An exception that escapes it reports the
// message as not handled; one while the dialog opens ends it as Cancel does,
// since a half-opened dialog must not save what it holds.
template <typename Body>
INT_PTR DialogWithoutThrowing(HWND dialog, UINT message, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        if (message == WM_INITDIALOG) EndDialog(dialog, 0);
        return FALSE;
    }
}
