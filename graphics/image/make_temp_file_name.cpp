#include "graphics/image/make_temp_file_name.h"

#include "graphics/platform/current_directory.h"
#include "graphics/platform/temp_file.h"

namespace gfx {

std::string MakeTempFileName(const char* prefix) {
    const std::string current = CurrentDirectory();
    std::string folder = TempFolder();
    if (folder.empty() || !ChangeCurrentDirectory(folder)) folder = "c:\\";
    if (!current.empty()) ChangeCurrentDirectory(current);
    return CreateUniqueTempFile(folder, prefix ? prefix : "TMP");
}

}  // namespace gfx
