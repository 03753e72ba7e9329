// MPR.DLL for the tests: a password change that logs each call and answers
// what the test has set (see lock_standin.h).

#include "lock_standin.h"

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags,
                                                                  LPVOID reserved) {
    standin::Log("change", "provider=%s owner=%llu flags=%lu reserved=%llu", provider != nullptr ? provider : "(none)",
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(owner)), flags,
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(reserved)));
    return static_cast<DWORD>(standin::ReadAnswer().value);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    standin::LogAttachment(instance, reason, reserved, "MPR.DLL");
    return TRUE;
}
