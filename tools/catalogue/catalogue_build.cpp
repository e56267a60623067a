#include "catalogue_build.h"

#include "catalogue_folder.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace catalogue {

namespace {

struct Category {
    std::string name;                                    // UTF-8, as the folder is named
    std::vector<std::pair<std::string, fs::path>> skins; // name and picture
};

// By name, letters of either case together.
bool byName(const std::string &a, const std::string &b)
{
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
            return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
        return text;
    };
    const std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
}

class SourceReader
{
public:
    std::vector<std::string> problems;

    std::vector<Category> read(const fs::path &source)
    {
        std::vector<Category> categories;
        for (const fs::path &path : entries(source)) {
            std::error_code error;
            if (!fs::is_directory(path, error)) {
                problem(path, "is not a folder; the source holds one folder per category");
                continue;
            }
            Category category{path.filename().string(), {}};
            if (!nameFits(path, category.name))
                continue;
            const std::vector<fs::path> pictures = entries(path);
            if (pictures.empty())
                problem(path, "holds no pictures");
            for (const fs::path &picture : pictures) {
                std::string extension = picture.extension().string();
                std::transform(extension.begin(), extension.end(), extension.begin(),
                               [](unsigned char c) { return char(std::tolower(c)); });
                if (!fs::is_regular_file(picture, error) || extension != ".gif") {
                    problem(picture, "is not a picture named <skin>.gif");
                    continue;
                }
                const std::string skin = picture.stem().string();
                if (nameFits(picture, skin))
                    category.skins.emplace_back(skin, picture);
            }
            std::sort(category.skins.begin(), category.skins.end(),
                      [](const auto &a, const auto &b) { return byName(a.first, b.first); });
            categories.push_back(std::move(category));
        }
        if (categories.empty() && problems.empty())
            problem(source, "holds no category folders");
        std::sort(categories.begin(), categories.end(),
                  [](const Category &a, const Category &b) { return byName(a.name, b.name); });
        return categories;
    }

    // The categories in the order of the order file: every one named once.
    std::vector<Category> ordered(std::vector<Category> categories, const fs::path &orderFile)
    {
        std::ifstream in(orderFile, std::ios::binary);
        if (!in) {
            problem(orderFile, "cannot be read");
            return categories;
        }
        std::vector<Category> result;
        std::string line;
        while (std::getline(in, line)) {
            if (line.ends_with('\r'))
                line.pop_back();
            if (result.empty() && line.starts_with("\xEF\xBB\xBF"))
                line.erase(0, 3);
            if (line.empty())
                continue;
            const auto named = [&](const Category &c) { return c.name == line; };
            if (std::any_of(result.begin(), result.end(), named)) {
                problem(orderFile, "names \"" + line + "\" twice");
                continue;
            }
            const auto found = std::find_if(categories.begin(), categories.end(), named);
            if (found == categories.end()) {
                problem(orderFile, "names \"" + line + "\", which has no folder in the source");
                continue;
            }
            result.push_back(std::move(*found));
            categories.erase(found);
        }
        for (const Category &left : categories)
            problem(orderFile, "does not name the category \"" + left.name + "\"");
        return result;
    }

private:
    void problem(const fs::path &path, const std::string &what)
    {
        problems.push_back(path.string() + ": " + what);
    }

    // The entries of a folder, sorted so that problems come in a fixed order.
    std::vector<fs::path> entries(const fs::path &dir)
    {
        std::vector<fs::path> paths;
        std::error_code error;
        for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
            paths.push_back(it->path());
        if (error)
            problem(dir, "cannot be read: " + error.message());
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    // Names go into lists separated by "*", in Windows-1252.
    bool nameFits(const fs::path &path, const std::string &name)
    {
        if (name.find('*') != std::string::npos) {
            problem(path, "the name contains '*', which separates the entries of a list");
            return false;
        }
        if (!windows1252FromUtf8(name)) {
            problem(path, "the name has characters that the lists (Windows-1252) cannot hold");
            return false;
        }
        return true;
    }
};

PlannedCatalogue plan(const std::vector<Category> &categories)
{
    PlannedCatalogue planned;
    std::string categoryList;
    for (const Category &category : categories) {
        categoryList += (categoryList.empty() ? "" : "*") + *windows1252FromUtf8(category.name);
        std::string skinList;
        for (const auto &[skin, picture] : category.skins) {
            skinList += (skinList.empty() ? "" : "*") + *windows1252FromUtf8(skin);
            planned.pictures.emplace(pictureFolder(category.name) + "/" + skin + ".gif", picture);
        }
        // A category called like the list of categories keeps that list, so that
        // the check reports the name.
        planned.lists.emplace(category.name + ".txt", skinList);
    }
    planned.lists.insert_or_assign("msnskins.txt", categoryList);
    return planned;
}

// A folder removed at the end of the scope unless released.
struct Scratch {
    fs::path path;
    ~Scratch()
    {
        std::error_code ignored;
        if (!path.empty())
            fs::remove_all(path, ignored);
    }
};

// A new empty folder beside target, named after it.
fs::path makeFolderBeside(const fs::path &target, const std::string &kind)
{
    const std::string name = "." + target.filename().string() + "." + kind + "-XXXXXX";
    std::string pattern = (target.parent_path() / name).string();
    if (!mkdtemp(pattern.data()))
        throw fs::filesystem_error("cannot make a folder", fs::path(pattern),
                                   std::error_code(errno, std::generic_category()));
    return pattern;
}

void write(const PlannedCatalogue &planned, const fs::path &dir)
{
    for (const auto &[name, text] : planned.lists) {
        std::ofstream out(dir / name, std::ios::binary);
        if (!out.write(text.data(), std::streamsize(text.size())) || !out.flush())
            throw fs::filesystem_error("cannot write", dir / name,
                                       std::make_error_code(std::errc::io_error));
    }
    for (const auto &[name, picture] : planned.pictures) {
        fs::create_directories((dir / name).parent_path());
        fs::copy_file(picture, dir / name);
    }
}

bool isWithin(const fs::path &inner, const fs::path &outer)
{
    const auto mismatch = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return mismatch.first == outer.end();
}

int refuse(const std::vector<std::string> &problems, const std::string &intro)
{
    std::cerr << "vellumo-catalogue: " << intro << "; nothing written:\n";
    for (const std::string &problem : problems)
        std::cerr << problem << "\n";
    return 1;
}

} // namespace

int buildCatalogue(const BuildOptions &options)
{
    std::error_code error;
    if (!fs::is_directory(options.source, error)) {
        std::cerr << "vellumo-catalogue: " << options.source.string() << " is not a folder\n";
        return 1;
    }
    SourceReader reader;
    std::vector<Category> categories = reader.read(options.source);
    if (options.orderFile && reader.problems.empty())
        categories = reader.ordered(std::move(categories), *options.orderFile);
    if (!reader.problems.empty())
        return refuse(reader.problems, "cannot build a catalogue from " + options.source.string());
    const PlannedCatalogue planned = plan(categories);
    const CheckResult planCheck = checkCatalogue(planned);
    if (!planCheck.problems.empty())
        return refuse(planCheck.problems, "the catalogue would have problems");

    fs::path target = fs::weakly_canonical(fs::absolute(options.target), error);
    if (target.filename().empty())
        target = target.parent_path();
    const std::string shown = options.target.string();
    if (fs::exists(target, error) && !fs::is_directory(target, error)) {
        std::cerr << "vellumo-catalogue: " << shown << " is not a folder; nothing written\n";
        return 1;
    }
    if (fs::exists(target, error) && !fs::is_empty(target, error) && !options.force) {
        std::cerr << "vellumo-catalogue: " << shown
                  << " is not empty; nothing written (--force replaces it)\n";
        return 1;
    }
    if (isWithin(fs::weakly_canonical(options.source, error), target)) {
        std::cerr << "vellumo-catalogue: the source lies in " << shown
                  << ", which would be replaced; nothing written\n";
        return 1;
    }

    try {
        fs::create_directories(target.parent_path());
        Scratch staging{makeFolderBeside(target, "new")};
        write(planned, staging.path);
        const CheckResult written = checkCatalogue(staging.path);
        if (!written.problems.empty())
            return refuse(written.problems, "the written catalogue fails its check");
        if (fs::exists(target)) {
            Scratch old{makeFolderBeside(target, "old")};
            fs::rename(target, old.path);
            try {
                fs::rename(staging.path, target);
            } catch (const fs::filesystem_error &) {
                fs::rename(old.path, target);
                old.path.clear();
                throw;
            }
        } else {
            fs::rename(staging.path, target);
        }
        staging.path.clear();
        for (const std::string &note : written.notes)
            std::cout << "note: " << note << "\n";
        std::cout << "Catalogue OK: " << written.categoryCount << " categories, "
                  << written.skinCount << " skins written to " << shown << "\n";
        return 0;
    } catch (const fs::filesystem_error &failure) {
        std::cerr << "vellumo-catalogue: " << failure.what() << "; " << shown << " is as it was\n";
        return 1;
    }
}

} // namespace catalogue
