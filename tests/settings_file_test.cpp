// The settings file on disk: what is read, what is refused, and how a new
// text replaces the file without losing anything.

#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "settings/ini_file_store.h"

namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("korunex-file-test-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path Write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
        return folder / name;
    }
    int Entries() const { return int(std::distance(fs::directory_iterator(folder), fs::directory_iterator())); }
    static std::optional<std::string> Replace(const fs::path& path, const std::string& text) {
        return UpdateSettingsFile(path, [&](std::string_view) -> std::optional<std::string> { return text; });
    }

    fs::path folder;
};

TEST_F(SettingsFile, OnlyARegularFileOfASaneSizeIsRead) {
    EXPECT_EQ(ReadSettingsFile(Write("a.ini", "[K]\n")).text, "[K]\n");
    EXPECT_EQ(ReadSettingsFile(folder / "none.ini").status, SettingsFileText::kMissing);

    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (folder / "socket").string();
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const fs::path large = Write("large.ini", "");
    fs::resize_file(large, kMaxSettingsFileBytes + 1);  // sparse: no disk is used
    fs::create_symlink(folder / "fifo", folder / "link-to-fifo");

    const std::pair<fs::path, const char*> refused[] = {
        {folder / "fifo", "is a FIFO, not a regular file"},
        {folder / "link-to-fifo", "is a FIFO, not a regular file"},
        {folder / "socket", "is a socket, not a regular file"},
        {"/dev/zero", "is a device, not a regular file"},
        {folder, "is a folder, not a file"},
        {large, "is larger than 64 MiB, too large for a settings file"},
        {large / "KORUNEX.ini", "cannot be read: a part of its folder is a file"},
    };
    for (const auto& [path, problem] : refused) {
        const SettingsFileText file = ReadSettingsFile(path);
        EXPECT_EQ(file.status, SettingsFileText::kRefused) << path;
        EXPECT_EQ(file.problem, problem) << path;
        EXPECT_EQ(IniFileStore(path).ReadInt("K", "TIMER", 55), 55) << "the saver reads the defaults";
    }
    ::close(listening);
}

TEST_F(SettingsFile, ReplacesTheFileInOneStepThroughLinksKeepingPermissions) {
    const fs::path target = Write("KORUNEX.ini", "old"), link = folder / "link.ini";
    fs::create_symlink(target.filename(), link);
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);

    EXPECT_FALSE(Replace(link, "new text"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadSettingsFile(target).text, "new text");
    EXPECT_EQ(fs::status(target).permissions(), mode);

    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(Replace(link, "newer text"), "is read-only");
    EXPECT_EQ(ReadSettingsFile(target).text, "new text");

    fs::permissions(target, mode);
    fs::create_hard_link(target, folder / "second-name.ini");
    EXPECT_EQ(Replace(target, "parted"), "has 2 hard links, which a new file would part from it; it is left alone");
    EXPECT_EQ(ReadSettingsFile(folder / "second-name.ini").text, "new text");
    EXPECT_EQ(Entries(), 3) << "no file was left behind";

    EXPECT_EQ(Replace(folder, "text"), "is a folder, not a file");
    EXPECT_FALSE(Replace(folder / "new" / "KORUNEX.ini", "made"));  // the folder is made
    EXPECT_EQ(ReadSettingsFile(folder / "new" / "KORUNEX.ini").text, "made");
}

TEST_F(SettingsFile, RootKeepsAUsersFileTheUsers) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const fs::path target = Write("KORUNEX.ini", "[K]\n");
    ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
    EXPECT_FALSE(Replace(target, "[K]\nA=1\n"));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
}

TEST_F(SettingsFile, WritersAtOnceLoseNothing) {
    const fs::path target = Write("KORUNEX.ini", "[K]\n");
    std::vector<std::thread> writers;
    for (int k = 0; k < 8; ++k)
        writers.emplace_back([&, k] {
            for (int round = 0; round < 10; ++round) {
                IniFileStore store(target);
                const std::string key = "W" + std::to_string(k) + "R" + std::to_string(round);
                EXPECT_TRUE(store.WriteString("K", key.c_str(), "1"));
            }
        });
    for (std::thread& writer : writers) writer.join();
    IniFileStore store(target);
    for (int k = 0; k < 8; ++k)
        for (int round = 0; round < 10; ++round)
            EXPECT_EQ(store.ReadInt("K", ("W" + std::to_string(k) + "R" + std::to_string(round)).c_str(), 0), 1);
    EXPECT_EQ(Entries(), 1);
}

TEST_F(SettingsFile, AFileIsInstalledOnceAndNeverOverAnother) {
    const fs::path source = Write("source.ini", "[MOJI ZAHYO]\n"), target = folder / "home" / "KORUNEX.ini";
    EXPECT_FALSE(InstallFileOnce(source, target));
    EXPECT_EQ(ReadSettingsFile(target).text, "[MOJI ZAHYO]\n");
    Write("home/KORUNEX.ini", "[KORUNEX]\nTIMER=70\n");
    EXPECT_FALSE(InstallFileOnce(source, target));
    EXPECT_EQ(ReadSettingsFile(target).text, "[KORUNEX]\nTIMER=70\n");
    EXPECT_EQ(int(std::distance(fs::directory_iterator(folder / "home"), fs::directory_iterator())), 1);
    EXPECT_TRUE(InstallFileOnce(folder / "none.ini", folder / "other.ini"));
    EXPECT_FALSE(fs::exists(folder / "other.ini"));
}

TEST_F(SettingsFile, SameFileMeansOneInodeHoweverSpelled) {
    const fs::path target = Write("a.ini", "x");
    fs::create_symlink(target, folder / "link");
    fs::create_hard_link(target, folder / "hard");
    EXPECT_TRUE(IsSameFile(target, folder / "link"));
    EXPECT_TRUE(IsSameFile(folder / "." / "a.ini", folder / "hard"));
    EXPECT_FALSE(IsSameFile(target, Write("b.ini", "x")));
    EXPECT_FALSE(IsSameFile(target, folder / "missing"));
}

}  // namespace
