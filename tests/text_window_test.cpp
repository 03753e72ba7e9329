// The text window's decisions and its fitting, and what Save writes for a
// text or a clock, against the Linux tool's own file for the same choice.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "glyphs/text_choice.h"
#include "glyphs/text_window.h"
#include "glyphs/text_window_fit.h"
#include "linux/command_line.h"
#include "settings/ini_text_store.h"
#include "temp_ini_file.h"

namespace {

const char kSansBold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

std::string Record(const std::string& name) { return name + ",3,0,0,0,0,0,1,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,10,10,0,0,0"; }

// Records A, B, 0..9 and :, showing "AB" unless `slots` say otherwise;
// `extra` lines go into [KORUNEX].
std::string File(const std::string& extra = "", const std::string& slots = "OPTIONA1=1\r\nOPTIONA2=2\r\nOPTIONN=2\r\n") {
    std::string text = "[MOJI ZAHYO]\r\n";
    const std::vector<std::string> names = {"A", "B", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ":"};
    for (size_t k = 0; k < names.size(); ++k) text += "ZAHYO" + std::to_string(k + 1) + "=" + Record(names[k]) + "\r\n";
    text += "ZAHYO" + std::to_string(names.size() + 1) + "=ZAHYO-END\r\n[KORUNEX]\r\n" + slots;
    return text + extra;
}

class TextWindow : public ::testing::Test {
protected:
    void SetUp() override { LoadKeyNames(names); }

    // The value a planned write gives `key` of [KORUNEX], or nothing.
    std::optional<std::string> Written(const ShapeFileUpdate& update, const char* key) {
        std::optional<std::string> value;
        for (const IniWrite& write : update.writes)
            if (write.section == names.settingsSection && write.key == key) value = write.value;
        return value;
    }

    ProfileNames names;
};

TEST_F(TextWindow, EntriesAreCountedAsTheSlotsCountThem) {
    struct Case {
        const char* text;
        std::optional<std::string> clock;
        EntryProblem problem;
        size_t characters;
    };
    const Case cases[] = {
        {"KORUNEX", {}, EntryProblem::kNone, 7},
        {"", {}, EntryProblem::kEmpty, 0},
        {" \t ", {}, EntryProblem::kEmpty, 3},
        {"ABCDEFGHI", {}, EntryProblem::kNone, 9},
        {"ABCDEFGHIJ", {}, EntryProblem::kTooManyCharacters, 10},
        {"あいうえおかきくけ", {}, EntryProblem::kNone, 9},            // 27 bytes, 9 slots
        {"𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞", {}, EntryProblem::kNone, 9},                   // beyond the BMP: one slot each
        {"A\xff", {}, EntryProblem::kNotUtf8, 0},
        {"ignored with the clock", std::string("%H:%M"), EntryProblem::kNone, 0},
        {"", std::string(64, 'x'), EntryProblem::kClockFormat, 0},
        {"", std::string(63, 'x'), EntryProblem::kNone, 0},
        {"", std::string("%H時"), EntryProblem::kClockFormat, 0},
    };
    for (const Case& c : cases) {
        const EntryCheck check = CheckEntry({c.text, c.clock, true});
        EXPECT_EQ(check.problem, c.problem) << c.text;
        EXPECT_EQ(check.characters, c.characters) << c.text;
    }
    EXPECT_FALSE(IsDeviationWarned(kWarnedDeviationPercent));
    EXPECT_TRUE(IsDeviationWarned(std::nextafter(kWarnedDeviationPercent, 100.0)));
    EXPECT_FALSE(IsDeviationWarned(NAN));
}

TEST_F(TextWindow, TheWindowStartsFromWhatTheFileShows) {
    IniTextStore file(File("TOKEI=1\r\nTOKEIFMT=%H:%M\r\nGAMEN=2\r\n"));
    TextWindowStart start = LoadTextWindowStart(file, names);
    EXPECT_EQ(start.text, "AB");
    EXPECT_TRUE(start.isClockOn);
    EXPECT_EQ(start.clockFormat, "%H:%M");
    EXPECT_EQ(start.monitorMode, MonitorMode::kPrimary);

    // A text saved is the text the window next starts with, blanks included.
    const std::vector<TextRecord> records = {{Record("1")}, {""}, {Record("A")}, {Record("Z")}};
    std::string problem;
    const std::optional<ShapeFileUpdate> update = PlanChoice(file, names, records, {"1 AZ", {}, true}, problem);
    ASSERT_TRUE(update) << problem;
    WriteTextRecords(file, *update);
    start = LoadTextWindowStart(file, names);
    EXPECT_EQ(start.text, "1 AZ");
    EXPECT_FALSE(start.isClockOn);  // the text turned it off

    // A slot whose record is no single character, or no record, gives no text.
    for (const char* slots : {"OPTIONA1=99\r\nOPTIONN=1\r\n", "OPTIONA1=1\r\nOPTIONN=12\r\n"}) {
        const IniTextStore odd(File("", slots));
        EXPECT_EQ(LoadTextWindowStart(odd, names).text, "") << slots;
    }
    const IniTextStore named("[MOJI ZAHYO]\r\nZAHYO1=" + Record("LOGO") + "\r\nZAHYO2=ZAHYO-END\r\n[KORUNEX]\r\nOPTIONN=1\r\n");
    EXPECT_EQ(LoadTextWindowStart(named, names).text, "");
}

TEST_F(TextWindow, TextTurnsTheClockOffAndTheClockWritesItsSwitches) {
    struct Case {
        std::string fileExtra;
        TextChoice choice;
        std::optional<std::string> tokei, tokeiFormat, slots;
    };
    const Case cases[] = {
        {"TOKEI=1\r\n", {"AB", {}, true}, "0", {}, "2"},           // the saver would show the time instead
        {"", {"AB", {}, true}, {}, {}, "2"},                        // nothing to turn off: TOKEI stays as it is
        {"TOKEI=1\r\n", {"AB", {}, false}, {}, {}, {}},             // records alone change nothing the saver shows
        {"", {"", std::string("%H:%M"), true}, "1", "%H:%M", {}},  // the slots stay the user's
    };
    for (const Case& c : cases) {
        const IniTextStore file(File(c.fileExtra));
        std::string problem;
        const std::optional<ShapeFileUpdate> update =
            PlanChoice(file, names, {{Record("A")}, {Record("B")}}, c.choice, problem);
        ASSERT_TRUE(update) << problem;
        EXPECT_EQ(Written(*update, names.clockKey), c.tokei) << c.fileExtra << c.choice.text;
        EXPECT_EQ(Written(*update, names.clockFormatKey), c.tokeiFormat);
        EXPECT_EQ(Written(*update, "OPTIONN"), c.slots);
        EXPECT_EQ(update->added, 0);  // both records are in the file
    }
}

TEST_F(TextWindow, TheClockFitsOnlyCharactersNoRecordNames) {
    const IniTextStore file(File());
    EXPECT_EQ(CharactersToFit({"", std::string("%H:%M:%S"), true}, file, names), " ");  // all there: nothing to make
    EXPECT_EQ(CharactersToFit({"", std::string("%H-%M"), true}, file, names), "-");
    EXPECT_EQ(CharactersToFit({"", std::string("%p"), true}, file, names), "MP");  // A is there
    EXPECT_EQ(CharactersToFit({"XY", {}, true}, file, names), "XY");
}

// A store that fails its n-th write (counting from 0), and may fail to put the file back.
class FailingStore final : public ProfileStore {
public:
    FailingStore(std::string text, int failAt, bool canPutBack) : file_(std::move(text)), failAt_(failAt), canPutBack_(canPutBack) {}
    int32_t ReadInt(const char* s, const char* k, int32_t d) const override { return file_.ReadInt(s, k, d); }
    size_t ReadString(const char* s, const char* k, const char* d, char* b, size_t c) const override {
        return file_.ReadString(s, k, d, b, c);
    }
    bool WriteString(const char* s, const char* k, const char* v) override {
        return writes_++ != failAt_ && file_.WriteString(s, k, v);
    }
    KeptFile KeepFile() const override { return {true, true, file_.text()}; }
    bool PutBackFile(const KeptFile& kept) override {
        if (canPutBack_) file_ = IniTextStore(kept.bytes);
        return canPutBack_;
    }
    const std::string& text() const { return file_.text(); }

private:
    IniTextStore file_;
    int writes_ = 0, failAt_;
    bool canPutBack_;
};

TEST_F(TextWindow, AFailedWriteLeavesNoHalfOfTheTextInTheFile) {
    const std::string before = File("TOKEI=1\r\n");
    std::string problem;
    const std::optional<ShapeFileUpdate> update = PlanChoice(
        IniTextStore(before), names, {{Record("X")}, {Record("Y")}, {Record("Z")}}, {"XYZ", {}, true}, problem);
    ASSERT_TRUE(update) << problem;
    const int writes = int(update->writes.size());
    ASSERT_GT(writes, 5);
    for (int failAt = 0; failAt < writes; ++failAt) {
        FailingStore store(before, failAt, true);
        EXPECT_EQ(WriteWholeUpdate(store, *update), WriteOutcome::kFailedUnchanged) << failAt;
        EXPECT_EQ(store.text(), before) << failAt;
    }
    FailingStore stuck(before, writes - 1, false);
    EXPECT_EQ(WriteWholeUpdate(stuck, *update), WriteOutcome::kFailedPartly);
    FailingStore sound(before, writes, false);
    EXPECT_EQ(WriteWholeUpdate(sound, *update), WriteOutcome::kWritten);
    EXPECT_EQ(sound.text(), TextAfterUpdate(before, *update));
}

FitJob Job(const std::string& fileText, TextChoice choice, uint64_t generation = 1) {
    FitJob job;
    job.generation = generation;
    job.choice = std::move(choice);
    job.font = kSansBold;
    job.fileText = fileText;
    LoadKeyNames(job.names);
    return job;
}

// What the Linux tool leaves in a file that held `before`.
std::string LinuxToolFile(const std::string& before, std::optional<std::string> text, std::optional<std::string> clock) {
    TempIniFile file;
    file.Write(before);
    Options options;
    options.ini = file.path();
    options.text = std::move(text);
    options.clock = std::move(clock);
    options.font = kSansBold;
    options.switches.useText = true;
    testing::internal::CaptureStdout();
    const int status = RunTextCommand(options);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    return file.Read();
}

TEST_F(TextWindow, SavePlansWhatTheLinuxToolWrites) {
    const std::string before = File("TOKEI=1\r\nTOKEIFMT=%H:%M\r\n");
    struct Case {
        TextChoice choice;
        std::optional<std::string> text, clock;
    };
    const Case cases[] = {
        {{"KORUNEX", {}, true}, "KORUNEX", {}},
        {{"A é", {}, true}, "A é", {}},  // a blank slot, and a name the code page lacks
        {{"", std::string("%a %H.%M"), true}, {}, std::string("%a %H.%M")},
    };
    for (const Case& c : cases) {
        const FitOutcome fit = RunFit(Job(before, c.choice));
        ASSERT_EQ(fit.problem, FitProblem::kNone) << fit.detail;
        EXPECT_EQ(fit.previewText, LinuxToolFile(before, c.text, c.clock)) << c.choice.text;
        for (const LetterRow& row : LetterRows(*fit.letters))
            EXPECT_EQ(row.isWarned, !row.isBlank && row.deviation > kWarnedDeviationPercent) << row.character;
    }
    // The monitor mode goes with the records when it changed, and only then.
    const FitOutcome fit = RunFit(Job(before, {"AB", {}, true}));
    std::string problem;
    for (MonitorMode mode : {MonitorMode::kWhole, MonitorMode::kEach}) {
        const std::optional<ShapeFileUpdate> update =
            PlanWindowSave(IniTextStore(before), names, *fit.letters, {"AB", {}, true}, mode, problem);
        ASSERT_TRUE(update) << problem;
        const SaveSummary summary = SummarizeSave(*update, names);
        EXPECT_EQ(Written(*update, names.monitorKey), mode == MonitorMode::kEach ? std::optional<std::string>("1") : std::nullopt);
        EXPECT_EQ(summary.isModeWritten, mode == MonitorMode::kEach);
        EXPECT_TRUE(summary.isClockTurnedOff);
        EXPECT_EQ(summary.added, 2);  // the fitted A and B differ from the file's
        EXPECT_EQ(summary.reused, 0);
    }
}

TEST_F(TextWindow, FitsThatCannotBeSavedSayWhy) {
    const std::string before = File();
    EXPECT_EQ(RunFit(Job(before, {"ABCDEFGHIJ", {}, true})).problem, FitProblem::kEntry);
    FitJob noFont = Job(before, {"A", {}, true});
    noFont.font = "/no/such/font.ttf";
    EXPECT_EQ(RunFit(noFont).problem, FitProblem::kFont);
    const FitOutcome missing = RunFit(Job(before, {"Aあ", {}, true}));  // not in DejaVu Sans
    EXPECT_EQ(missing.problem, FitProblem::kRefused);
    EXPECT_NE(missing.detail.find("has no glyph for あ"), std::string::npos) << missing.detail;
    EXPECT_FALSE(missing.plan);
    EXPECT_TRUE(LetterRows(*missing.letters)[1].isMissing);
}

TEST_F(TextWindow, TheWorkerHandsBackOnlyTheNewestEntry) {
    std::mutex mutex;
    std::condition_variable finished;
    int finishedCount = 0;
    FitWorker worker([&] {
        std::lock_guard lock(mutex);
        ++finishedCount;
        finished.notify_all();
    });
    const std::string before = File();
    const char* const texts[] = {"K", "KO", "KOR", "KORU", "KORUN", "KORUNE", "KORUNEX"};
    uint64_t generation = 0;
    for (const char* text : texts) worker.Request(Job(before, {text, {}, true}, ++generation));
    // Every outcome handed back is the newest: wait until it comes.
    std::optional<FitOutcome> newest;
    for (int wait = 0; wait < 600 && !(newest && newest->generation == generation); ++wait) {
        std::unique_lock lock(mutex);
        finished.wait_for(lock, std::chrono::milliseconds(100));
        lock.unlock();
        if (std::optional<FitOutcome> taken = worker.TakeOutcome()) {
            EXPECT_GT(taken->generation, newest ? newest->generation : 0);
            newest = std::move(taken);
        }
    }
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->generation, generation);
    EXPECT_EQ(newest->letters->characters.size(), 7u);
    EXPECT_FALSE(worker.TakeOutcome());
}

}  // namespace
