#pragma once
// Windows as the owners of their state, and window numbers as handles.

#include <windows.h>

#include <cstdint>

// The window that a number from the command line names; it may be null or
// name no window at all.
inline HWND AsWindow(uint64_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

// The window `number` names when there is one, else the foreground window.
inline HWND WindowOrForeground(uint64_t number) {
    HWND window = AsWindow(number);
    return window != nullptr && IsWindow(window) ? window : GetForegroundWindow();
}

// A window's record lives in one of its slots: GWLP_USERDATA for a window,
// DWLP_USER for a dialog. The window does not own it: its owner keeps it
// alive for as long as the window can receive messages, or detaches it.
inline void AttachRecord(HWND window, int slot, void* record) {
    SetWindowLongPtrW(window, slot, reinterpret_cast<LONG_PTR>(record));
}

// The record kept in `slot`, or null before one is attached.
template <typename Record>
Record* RecordOf(HWND window, int slot) {
    return reinterpret_cast<Record*>(GetWindowLongPtrW(window, slot));
}
