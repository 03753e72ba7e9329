// A long run of the heaviest scene: no frame leaves anything behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "logo_fixture.h"
#include "render/recording_raster.h"
#include "settings/ini_file_store.h"

namespace {

// Resident memory of this process, in bytes.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(LongRun, AHundredThousandFramesOfTheHeaviestSceneUseNoMoreMemory) {
    const std::filesystem::path source(KORUNEX_SOURCE_DATA_DIR);
    std::ifstream shapes(source / "KORUNEX.ini", std::ios::binary), heaviest(KORUNEX_TEST_DATA_DIR "/heaviest.settings");
    std::stringstream text;
    text << shapes.rdbuf() << "\r\n" << heaviest.rdbuf();
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "korunex-long-run.ini";
    std::ofstream(file, std::ios::binary) << text.str();

    IniFileStore store(file);
    const auto [names, settings, scene] = CreateTestLogo(store, 1920, 1080);
    ASSERT_EQ(settings->OPTIONN, 9);
    RecordingRaster raster;
    raster.keepsCalls = false;

    WindowBox previous = FirstPreviousBox(*scene);
    for (int frame = 0; frame < 1000; ++frame) previous = RenderFrame(*scene, *settings, raster, previous);
    const long before = ResidentBytes();
    for (int frame = 0; frame < 100000; ++frame) previous = RenderFrame(*scene, *settings, raster, previous);
    const long after = ResidentBytes();
    EXPECT_LT(after - before, 256 * 1024) << "resident memory grew from " << before << " to " << after << " bytes";
    std::filesystem::remove(file);
}

}  // namespace
