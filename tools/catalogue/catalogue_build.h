// Building a catalogue folder from a folder of pictures sorted into one
// subfolder per category.

#pragma once

#include <filesystem>
#include <optional>

namespace catalogue {

struct BuildOptions {
    std::filesystem::path source;
    std::filesystem::path target;
    std::optional<std::filesystem::path> orderFile; // categories, one per line
    bool force = false;                             // replace a target that is not empty
};

// Writes the catalogue of options.source into options.target and reports on
// standard output and error; answers the exit code. Nothing is written when
// the pictures would make a catalogue that "check" reports problems in; the
// target is replaced only by a complete catalogue.
int buildCatalogue(const BuildOptions &options);

} // namespace catalogue
