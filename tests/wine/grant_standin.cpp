// icacls.exe for the installer's tests: Wine's own accepts any grant and
// changes nothing, so this one tells what the installer asked of it. Each
// call appends a line to C:\grant-calls.txt: whether the named file was
// there at that moment, then the arguments. While C:\grant-fails exists it
// fails, as a grant refused by the system would.

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const bool targetExists = argc > 1 && GetFileAttributesW(argv[1]) != INVALID_FILE_ATTRIBUTES;
    if (FILE* calls = _wfopen(L"C:\\grant-calls.txt", L"a")) {
        std::fputws(targetExists ? L"exists" : L"missing", calls);
        for (int i = 1; i < argc; ++i) std::fwprintf(calls, L" [%ls]", argv[i]);
        std::fputws(L"\n", calls);
        std::fclose(calls);
    }
    const bool mustFail = GetFileAttributesW(L"C:\\grant-fails") != INVALID_FILE_ATTRIBUTES;
    return mustFail ? 5 : 0;
}
