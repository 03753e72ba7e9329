#pragma once
// The text window's fitting, away from the window: one job at a time on a
// thread of its own, the newest job replacing any not yet begun, so that
// typing never waits for a fit and only the last entry's letters come back.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "glyphs/text_window.h"

struct FitJob {
    uint64_t generation = 0;  // the entry it was made for
    TextChoice choice;
    std::string font;   // the face (Windows) or fontconfig pattern or file (Linux)
    FontFace style;     // bold and italic
    std::string fileText;  // the settings file as it stood when the entry changed
    ProfileNames names;
};

enum class FitProblem {
    kNone,
    kEntry,    // `entry` says what
    kFont,     // `detail` says why
    kRefused,  // the file or the letters refuse it: `detail` says why
};

struct FitOutcome {
    uint64_t generation = 0;
    FitProblem problem = FitProblem::kNone;
    EntryCheck entry;
    std::string detail;
    std::optional<TextLetters> letters;   // fitted, when the font gave them
    std::optional<ShapeFileUpdate> plan;  // what Save would write into `fileText`
    std::string previewText;              // `fileText` after the plan: what the preview draws
};

// Everything a fit does, in the calling thread: the entry checked, the
// letters loaded and fitted, and the save planned into the job's file text.
FitOutcome RunFit(const FitJob& job);

class FitWorker {
public:
    // `finished` is called on the worker's thread after each outcome is ready.
    explicit FitWorker(std::function<void()> finished);
    // Waits for the fit under way, if any; a job not begun is dropped.
    ~FitWorker();
    FitWorker(const FitWorker&) = delete;
    FitWorker& operator=(const FitWorker&) = delete;

    void Request(FitJob job);
    // The newest outcome not taken yet.
    std::optional<FitOutcome> TakeOutcome();

private:
    void Work();

    std::function<void()> finished_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<FitJob> pending_;
    std::optional<FitOutcome> outcome_;
    bool isStopping_ = false;
    std::thread thread_;  // last: starts once the rest is ready
};
