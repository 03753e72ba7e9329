// The tools' picture outputs, checked before anything is written.

#include <system_error>

#include "linux/command_line.h"
#include "settings/settings_file.h"

void CheckPictureOutput(const std::string& picture, const std::filesystem::path& settingsFile) {
    namespace fs = std::filesystem;
    if (IsSameFile(picture, settingsFile))
        throw FileError{picture + " is the settings file; a picture is never written over it"};
    const fs::path folder = fs::path(picture).has_parent_path() ? fs::path(picture).parent_path() : fs::path(".");
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw FileError{"cannot write " + picture + ": no folder " + folder.string()};
    // A FIFO would hold the run until someone reads it, a device take the picture who knows where.
    const fs::file_status status = fs::status(picture, error);
    if (fs::is_directory(status)) throw FileError{"cannot write " + picture + ": it is a folder"};
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileError{"cannot write " + picture + ": it is no regular file"};
}
