#include "glyphs/text_window_fit.h"

#include "settings/ini_text_store.h"

FitOutcome RunFit(const FitJob& job) {
    FitOutcome outcome;
    outcome.generation = job.generation;
    outcome.entry = CheckEntry(job.choice);
    if (outcome.entry.problem != EntryProblem::kNone) {
        outcome.problem = FitProblem::kEntry;
        return outcome;
    }
    const std::optional<FontFace> face = FindFont(job.font, outcome.detail, job.style);
    if (!face) {
        outcome.problem = FitProblem::kFont;
        return outcome;
    }
    const IniTextStore file(job.fileText);
    outcome.letters = LoadLetters(CharactersToFit(job.choice, file, job.names), *face, outcome.detail);
    if (!outcome.letters) {
        outcome.problem = FitProblem::kFont;
        return outcome;
    }
    // The window always writes with the profile calls, which keep names in the code page.
    if (outcome.letters->missing.empty())
        if (std::optional<std::string> refusal = RefuseBeforeFit(*outcome.letters, job.choice.ShowsText(),
                                                                 ReadFileRecords(file, job.names), NameBytes::kCodePage)) {
            outcome.problem = FitProblem::kRefused;
            outcome.detail = std::move(*refusal);
            return outcome;
        }
    FitLetters(*outcome.letters);
    outcome.plan = PlanWindowSave(file, job.names, *outcome.letters, job.choice, LoadMonitorMode(file, job.names),
                                  outcome.detail);
    if (!outcome.plan) {
        outcome.problem = FitProblem::kRefused;
        return outcome;
    }
    outcome.previewText = TextAfterUpdate(job.fileText, *outcome.plan);
    return outcome;
}

FitWorker::FitWorker(std::function<void()> finished)
    : finished_(std::move(finished)), thread_([this] { Work(); }) {}

FitWorker::~FitWorker() {
    {
        std::lock_guard lock(mutex_);
        isStopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FitWorker::Request(FitJob job) {
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(job);
    }
    wake_.notify_one();
}

std::optional<FitOutcome> FitWorker::TakeOutcome() {
    std::lock_guard lock(mutex_);
    std::optional<FitOutcome> taken = std::move(outcome_);
    outcome_.reset();
    return taken;
}

void FitWorker::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return isStopping_ || pending_; });
        if (isStopping_) return;
        const FitJob job = std::move(*pending_);
        pending_.reset();
        lock.unlock();
        FitOutcome outcome = RunFit(job);
        lock.lock();
        // A newer job waiting makes this outcome stale: only the newest is kept.
        if (!pending_) outcome_ = std::move(outcome);
        lock.unlock();
        if (finished_) finished_();
    }
}
