#include "settings/profile_store_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/test_faults_win32.h"

int32_t Win32ProfileStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, byDefault, fileName_));
}

size_t Win32ProfileStore::ReadString(const char* section, const char* key, const char* byDefault,
                                     char* buffer, size_t capacity) const {
    if (capacity == 0) return 0;
    const DWORD size = static_cast<DWORD>(std::min<size_t>(capacity, 0x7FFFFFFF));
    return GetPrivateProfileStringA(section, key, byDefault, buffer, size, fileName_);
}

bool Win32ProfileStore::WriteString(const char* section, const char* key, const char* value) {
    if (TestFaultPoint("write")) return false;
    return WritePrivateProfileStringA(section, key, value, fileName_) != 0;
}

std::string Win32ProfileStore::Path() const {
    if (std::strpbrk(fileName_, "\\/:") != nullptr) return fileName_;
    char folder[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return fileName_;
    return std::string(folder) + "\\" + fileName_;
}

void Win32ProfileStore::Flush() const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_);
}

KeptFile Win32ProfileStore::KeepFile() const {
    Flush();
    KeptFile kept;
    HANDLE file = CreateFileA(Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        kept.kept = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return kept;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF) {
        kept.bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        kept.kept = kept.bytes.empty() ||
                    (ReadFile(file, kept.bytes.data(), static_cast<DWORD>(kept.bytes.size()), &read, nullptr) &&
                     read == kept.bytes.size());
        kept.existed = kept.kept;
    }
    CloseHandle(file);
    if (!kept.kept) kept.bytes.clear();
    return kept;
}

bool Win32ProfileStore::PutBackFile(const KeptFile& kept) {
    if (!kept.kept) return false;
    Flush();
    const std::string path = Path();
    if (!kept.existed) return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole = kept.bytes.empty() || (WriteFile(file, kept.bytes.data(), static_cast<DWORD>(kept.bytes.size()),
                                                        &written, nullptr) &&
                                              written == kept.bytes.size());
    return CloseHandle(file) && whole;
}
