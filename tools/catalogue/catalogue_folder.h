// The catalogue folder as vellumo-catalogue sees it: finding a requested file
// inside it and checking its contents.

#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

// The regular file that the decoded request path names inside root (which
// must be canonical), or nothing when there is none: missing files, folders,
// ".." segments and anything whose real location (symbolic links followed)
// lies outside root.
std::optional<std::filesystem::path> fileInside(const std::filesystem::path &root,
                                                std::string_view requestPath);

struct CheckResult {
    std::vector<std::string> problems; // each "FILE: what is wrong"
    std::vector<std::string> notes;    // worth a look, but not wrong
    std::size_t categoryCount = 0;
    std::size_t skinCount = 0;
};

// Reads the catalogue in dir: msnskins.txt, the list file of every category
// and the picture of every skin.
CheckResult checkCatalogue(const std::filesystem::path &dir);

} // namespace catalogue
