#pragma once
// What the two stand-ins for the platform's password libraries share. Each
// keeps a log of its calls in standin.log beside itself, one line a call:
//   EVENT tick=MILLISECONDS key=value ...
// and answers as standin-answer.txt beside itself says, read at each call:
//   ANSWER HOLD_MS POST_CLOSE
// (the value returned; how long the verifier's dialog stays open, its own
// message loop running meanwhile; 1 to post a close request to the saver
// window just before answering). A missing file means "0 0 0".
// Test files only: never shipped.

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace standin {

struct Answer {
    int value = 0;
    unsigned long holdMs = 0;
    int postClose = 0;
};

inline HMODULE self = nullptr;

inline std::string Beside(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

inline void Log(const char* event, const char* format = "", ...) {
    FILE* log = std::fopen(Beside("standin.log").c_str(), "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s tick=%lu ", event, GetTickCount());
    va_list values;
    va_start(values, format);
    std::vfprintf(log, format, values);
    va_end(values);
    std::fputc('\n', log);
    std::fclose(log);
}

inline Answer ReadAnswer() {
    Answer answer;
    if (FILE* file = std::fopen(Beside("standin-answer.txt").c_str(), "r")) {
        if (std::fscanf(file, "%d %lu %d", &answer.value, &answer.holdMs, &answer.postClose) != 3) answer = {};
        std::fclose(file);
    }
    return answer;
}

// Logs loading and freeing; `freed` tells FreeLibrary from the process's end.
inline void LogAttachment(HINSTANCE instance, DWORD reason, void* reserved, const char* name) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        Log("attach", "library=%s", name);
    } else if (reason == DLL_PROCESS_DETACH) {
        Log("detach", "library=%s freed=%d", name, reserved == nullptr ? 1 : 0);
    }
}

}  // namespace standin
