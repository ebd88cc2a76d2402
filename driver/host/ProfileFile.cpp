#include "driver/host/ProfileFile.h"

#include "core/common/Tr.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace profile {

using text::Fill;

ParsedProfile LoadProfile(const std::string& path)
{
    ParsedProfile out;
    // Only a regular file of sensible size: a folder or an endless device
    // would throw or read for ever.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) > kMaxProfileBytes) {
        out.errors.push_back(Fill(std::filesystem::is_directory(path, ec)
                                      ? DTU_TR("profile", "%1: is a folder, not a profile")
                                  : std::filesystem::exists(path, ec)
                                      ? DTU_TR("profile", "%1: not a profile file (not a regular file, or over 1 MiB)")
                                      : DTU_TR("profile", "%1: cannot be read"),
                                  {path}));
        return out;
    }
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        out.errors.push_back(Fill(DTU_TR("profile", "%1: cannot be read"), {path}));
        return out;
    }
    return ParseProfile(text, path);
}

}  // namespace profile
