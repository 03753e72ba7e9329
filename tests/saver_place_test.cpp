// Where the saver draws: the command lines XScreenSaver, its settings program
// and users give, with and without the window XScreenSaver names.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "linux/saver_place.h"

namespace {

SaverRequest Place(std::vector<std::string> args, const char* named = nullptr) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return ChooseSaverPlace(ReadOptions(int(argv.size()), argv.data(), 0), named);
}

struct Expected {
    SaverPlace place;
    uint64_t window;
};

void ExpectPlace(const SaverRequest& request, Expected expected, const std::string& what) {
    EXPECT_EQ(request.place, expected.place) << what;
    EXPECT_EQ(request.targetWindow, expected.window) << what;
}

}  // namespace

TEST(SaverPlace, RootMeansTheWindowXScreenSaverNamesElseTheRoot) {
    ExpectPlace(Place({"--root"}, "0x400008"), {SaverPlace::kEmbedded, 0x400008}, "daemon");
    ExpectPlace(Place({"-root"}, "4194312"), {SaverPlace::kEmbedded, 4194312}, "one dash, decimal id");
    ExpectPlace(Place({"--root"}), {SaverPlace::kEmbedded, 0}, "no daemon: the root");
    ExpectPlace(Place({"--root"}, ""), {SaverPlace::kEmbedded, 0}, "empty variable");
}

TEST(SaverPlace, WindowIdWinsOverRootAndTheNamedWindow) {
    // The settings program's preview: the programs line plus --window-id.
    ExpectPlace(Place({"--root", "--set", "COLOR=2", "--window-id", "0x200e22"}, "0x200e22"),
                {SaverPlace::kEmbedded, 0x200e22}, "preview");
    ExpectPlace(Place({"-window-id", "0x123", "-root"}, "0x999"), {SaverPlace::kEmbedded, 0x123}, "either order");
}

TEST(SaverPlace, WithoutAPlaceTheNamedWindowElseFullScreen) {
    ExpectPlace(Place({}, "0x400008"), {SaverPlace::kEmbedded, 0x400008}, "named");
    ExpectPlace(Place({}), {SaverPlace::kFullScreen, 0}, "plain");
    ExpectPlace(Place({"--window"}, "0x400008"), {SaverPlace::kWindow, 0}, "own window");
    ExpectPlace(Place({"-window"}), {SaverPlace::kWindow, 0}, "own window, one dash");
}

TEST(SaverPlace, ContradictionsAndBadIdsAreClearErrors) {
    EXPECT_THROW(Place({"--window", "--root"}), UsageError);
    EXPECT_THROW(Place({"-window", "--window-id", "0x10"}), UsageError);
    for (const char* bad : {"0x", "zz", "0", "0x1ffffffff"}) {
        try {
            Place({"--root"}, bad);
            ADD_FAILURE() << bad << " accepted";
        } catch (const UsageError& error) {
            EXPECT_NE(error.message.find("XSCREENSAVER_WINDOW"), std::string::npos) << error.message;
        }
    }
    EXPECT_THROW(Place({"--window-id", "0x1a0000x"}), UsageError);
}

TEST(SaverPlace, WaylandWhenAskedOrWhenTheSessionHasNoXDisplay) {
    struct Case {
        std::vector<std::string> args;
        const char *wayland, *display, *named;
        bool choosesWayland;
    };
    const Case cases[] = {
        {{"--wayland"}, nullptr, nullptr, nullptr, true},       // asked, whatever the session
        {{"-wayland"}, nullptr, ":0", nullptr, true},
        {{}, "wayland-1", nullptr, nullptr, true},              // a Wayland session alone
        {{}, "wayland-1", "", nullptr, true},                   // an empty DISPLAY is none
        {{}, "wayland-1", ":0", nullptr, false},                // Xwayland is there: X11 as before
        {{}, nullptr, ":0", nullptr, false},
        {{}, "", nullptr, nullptr, false},
        {{}, nullptr, nullptr, nullptr, false},                 // nothing: X11 says what is missing
        {{}, "wayland-1", nullptr, "0x400008", false},          // XScreenSaver names an X window
        {{"--root"}, "wayland-1", nullptr, nullptr, false},
        {{"--window"}, "wayland-1", nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        const Options options = ReadOptions(int(argv.size()), argv.data(), 0);
        EXPECT_EQ(ChoosesWayland(options, c.wayland, c.display, c.named), c.choosesWayland)
            << (c.args.empty() ? "" : c.args[0]) << " WAYLAND_DISPLAY=" << (c.wayland ? c.wayland : "(unset)")
            << " DISPLAY=" << (c.display ? c.display : "(unset)");
    }
    for (std::vector<std::string> args : {std::vector<std::string>{"--wayland", "--window"},
                                          {"--root", "--wayland"}, {"--wayland", "--window-id", "0x10"}}) {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        EXPECT_THROW(ChoosesWayland(ReadOptions(int(argv.size()), argv.data(), 0), "wayland-1", nullptr, nullptr),
                     UsageError)
            << args[0] << " " << args[1];
    }
}
