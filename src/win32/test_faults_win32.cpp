// The faults of the module's test build (test_faults_win32.h); never part
// of the shipped module.
#include "win32/test_faults_win32.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

struct FaultRequest {
    char point[16] = "";
    long from = 0;
    bool onward = false;
    long passages = 0;
};

FaultRequest ReadRequest() {
    FaultRequest request;
    char text[64] = "";
    const DWORD length = GetEnvironmentVariableA("KORUNEX_TEST_FAULT", text, sizeof text);
    if (length == 0 || length >= sizeof text) return request;
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon - text >= static_cast<long>(sizeof request.point)) return request;
    std::memcpy(request.point, text, colon - text);
    char* end = nullptr;
    request.from = std::strtol(colon + 1, &end, 10);
    request.onward = *end == '+';
    return request;
}

void WriteThroughNull() {
    *static_cast<volatile int*>(nullptr) = 1;
}

DWORD WINAPI FaultingThread(void*) {
    WriteThroughNull();
    return 0;
}

}  // namespace

bool TestFaultPoint(const char* point) {
    static FaultRequest request = ReadRequest();
    const bool frame = std::strcmp(point, "frame") == 0;
    const bool named = std::strcmp(request.point, point) == 0 || (frame && std::strcmp(request.point, "thread") == 0);
    if (!named) return false;
    ++request.passages;
    if (request.passages < request.from || (!request.onward && request.passages > request.from)) return false;

    if (std::strcmp(request.point, "frame") == 0) WriteThroughNull();
    if (std::strcmp(request.point, "thread") == 0) {
        // The frame goes on; the guarded thread waits here so that it is
        // still inside its run when the other thread faults.
        HANDLE thread = CreateThread(nullptr, 0, FaultingThread, nullptr, 0, nullptr);
        if (thread != nullptr) {
            WaitForSingleObject(thread, 5000);
            CloseHandle(thread);
        }
    }
    if (std::strcmp(request.point, "close") == 0) throw std::runtime_error("a close request failed on demand");
    return true;
}
