#include "driver/host/ProfileFile.h"

#include "core/common/Tr.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace profile {

using text::Fill;

namespace {

struct Words {
    const char* folder;
    const char* notFile;
};

// The text of a small regular file, or nothing with the error naming it.
std::optional<std::string> ReadSmall(const std::string& path, const Words& words, std::string& error)
{
    // Only a regular file of sensible size: a folder or an endless device
    // would throw or read for ever.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) > kMaxProfileBytes) {
        error = Fill(std::filesystem::is_directory(path, ec) ? words.folder
                     : std::filesystem::exists(path, ec)     ? words.notFile
                                                             : DTU_TR("profile", "%1: cannot be read"),
                     {path});
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        error = Fill(DTU_TR("profile", "%1: cannot be read"), {path});
        return std::nullopt;
    }
    return text;
}

}  // namespace

ParsedProfile LoadProfile(const std::string& path)
{
    ParsedProfile out;
    std::string error;
    const auto text = ReadSmall(path,
                                {DTU_TR("profile", "%1: is a folder, not a profile"),
                                 DTU_TR("profile", "%1: not a profile file (not a regular file, or over 1 MiB)")},
                                error);
    if (!text) {
        out.errors.push_back(error);
        return out;
    }
    return ParseProfile(*text, path);
}

production::ParsedPlan LoadPlan(const std::string& path)
{
    production::ParsedPlan out;
    std::string error;
    const auto text = ReadSmall(path,
                                {DTU_TR("profile", "%1: is a folder, not a test plan"),
                                 DTU_TR("profile", "%1: not a test plan (not a regular file, or over 1 MiB)")},
                                error);
    if (!text) {
        out.errors.push_back(error);
        return out;
    }
    return production::ParsePlan(*text, path);
}

}  // namespace profile
