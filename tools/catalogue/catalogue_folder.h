// The catalogue folder as vellumo-catalogue sees it: finding a requested file
// inside it and checking its contents.

#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
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

// A catalogue not yet written: the text of each list file and where each
// picture comes from, by the names they will have in the folder.
struct PlannedCatalogue {
    std::map<std::string, std::string> lists;
    std::map<std::string, std::filesystem::path> pictures;
};

// The same checks on a catalogue about to be written.
CheckResult checkCatalogue(const PlannedCatalogue &planned);

// List entries are Windows-1252; the program asks for files by their names
// in UTF-8, so that is how they are named in the folder. Nothing when a name
// is not UTF-8 or has a character that Windows-1252 lacks.
std::string utf8FromWindows1252(std::string_view text);
std::optional<std::string> windows1252FromUtf8(std::string_view text);

// The folder of a category's pictures: its name without spaces.
std::string pictureFolder(std::string category);

} // namespace catalogue
