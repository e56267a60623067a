#include "catalogue_folder.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace catalogue {

std::optional<fs::path> fileInside(const fs::path &root, std::string_view requestPath)
{
    // A NUL would cut the name short, a backslash is a separator elsewhere.
    if (requestPath.find('\0') != std::string_view::npos
        || requestPath.find('\\') != std::string_view::npos)
        return std::nullopt;

    // Built segment by segment: an absolute-looking path ("//etc/passwd")
    // stays relative to root.
    fs::path relative;
    std::size_t start = 0;
    while (start <= requestPath.size()) {
        std::size_t end = requestPath.find('/', start);
        if (end == std::string_view::npos)
            end = requestPath.size();
        const std::string_view segment = requestPath.substr(start, end - start);
        if (segment == "..")
            return std::nullopt;
        if (!segment.empty() && segment != ".")
            relative /= segment;
        start = end + 1;
    }
    if (relative.empty())
        return std::nullopt;

    std::error_code error;
    const fs::path real = fs::canonical(root / relative, error);
    if (error)
        return std::nullopt;
    // Compared component by component, so that a sibling folder whose name
    // merely begins with root's name does not count as inside.
    const auto mismatch = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
    if (mismatch.first != root.end())
        return std::nullopt;
    if (!fs::is_regular_file(real, error))
        return std::nullopt;
    return real;
}

namespace {

constexpr std::string_view listOfCategories = "msnskins";
// The program refuses a list with more entries.
constexpr std::size_t maxListEntries = 32767;

// Bytes 0x80 to 0x9F of Windows-1252; the rest of the code page equals
// Latin-1. The five undefined bytes stand for the control characters of the
// same value, as they do in the program.
constexpr std::array<char32_t, 32> windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return out;
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// Characters that cannot stand in a file name on Windows, where the
// pictures end up.
std::optional<char> forbiddenCharacter(std::string_view name)
{
    for (char c : name) {
        if (std::string_view("\\/:?\"<>|").find(c) != std::string_view::npos)
            return c;
    }
    return std::nullopt;
}

class Checker
{
public:
    explicit Checker(const fs::path &dir) : m_dir(dir) {}
    explicit Checker(const PlannedCatalogue &planned) : m_planned(&planned) {}

    CheckResult run()
    {
        const std::string categoryList = std::string(listOfCategories) + ".txt";
        std::map<std::string, std::string> categoriesSeen; // lowered name -> name
        std::map<std::string, std::string> foldersSeen;    // lowered folder -> category
        for (const std::string &category : readList(categoryList)) {
            ++m_result.categoryCount;
            const std::string key = lowered(category);
            if (!categoriesSeen.emplace(key, category).second) {
                problem(categoryList, "category " + inQuotes(category) + " is listed twice");
                continue;
            }
            if (key == listOfCategories) {
                problem(categoryList, "a category cannot be called " + inQuotes(category)
                                          + ": its list file would be this file");
                continue;
            }
            if (const auto c = forbiddenCharacter(category)) {
                problem(categoryList, "category " + inQuotes(category)
                                          + " contains the character '" + *c + "'");
                continue;
            }
            const std::string folder = pictureFolder(category);
            if (folder.empty()) {
                problem(categoryList, "category " + inQuotes(category) + " has no folder name");
                continue;
            }
            // Lowered too: the pictures may end up on a server that ignores case.
            const auto [other, isNewFolder] = foldersSeen.emplace(lowered(folder), category);
            if (!isNewFolder) {
                problem(categoryList, "categories " + inQuotes(other->second) + " and "
                                          + inQuotes(category) + " share the picture folder "
                                          + inQuotes(folder));
                continue;
            }
            checkCategory(category, folder);
        }
        return std::move(m_result);
    }

private:
    void problem(const std::string &file, const std::string &what)
    {
        m_result.problems.push_back(file + ": " + what);
    }

    // The text of a list file, or nothing after reporting why there is none.
    std::optional<std::string> listText(const std::string &name)
    {
        if (m_planned) {
            const auto list = m_planned->lists.find(name);
            if (list != m_planned->lists.end())
                return list->second;
            problem(name, "missing");
            return std::nullopt;
        }
        const fs::path path = m_dir / name;
        std::error_code error;
        if (!fs::is_regular_file(path, error)) {
            problem(name, "missing");
            return std::nullopt;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            problem(name, "cannot be read");
            return std::nullopt;
        }
        return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The entries of a list file in UTF-8, with a problem for each rule it
    // breaks. Empty entries are left out; the others are kept even when the
    // file has problems, so that checking can go on.
    std::vector<std::string> readList(const std::string &name)
    {
        std::optional<std::string> read = listText(name);
        if (!read)
            return {};
        std::string text = std::move(*read);
        if (text.empty()) {
            problem(name, "is empty");
            return {};
        }
        if (text.starts_with("\xEF\xBB\xBF")) {
            problem(name, "begins with a UTF-8 byte order mark");
            text.erase(0, 3);
        }

        const std::size_t lastContent = text.find_last_not_of("\r\n");
        const bool endsWithBreak = lastContent != text.size() - 1;
        if (endsWithBreak) {
            problem(name, "ends with a line break");
            text.erase(lastContent == std::string::npos ? 0 : lastContent + 1);
        }
        if (text.find_first_of("\r\n") != std::string::npos)
            problem(name, "contains a line break");
        if (std::any_of(text.begin(), text.end(), [](unsigned char c) {
                return (c < 0x20 && c != '\r' && c != '\n') || c == 0x7f;
            }))
            problem(name, "contains a control character");

        if (text.starts_with('*'))
            problem(name, "begins with '*'");
        if (text.ends_with('*'))
            problem(name, "ends with '*'");
        if (text.find("**") != std::string::npos)
            problem(name, "has an empty entry ('**')");
        if (std::size_t(std::count(text.begin(), text.end(), '*')) >= maxListEntries) {
            problem(name, "has more than " + std::to_string(maxListEntries)
                              + " entries, which the program refuses");
            return {};
        }

        std::vector<std::string> entries;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('*', start);
            if (end == std::string::npos)
                end = text.size();
            if (end > start)
                entries.push_back(
                    utf8FromWindows1252(std::string_view(text).substr(start, end - start)));
            start = end + 1;
        }
        return entries;
    }

    void checkCategory(const std::string &category, const std::string &folder)
    {
        const std::string listName = category + ".txt";
        for (const std::string &skin : readList(listName)) {
            ++m_result.skinCount;
            const std::string key = lowered(skin);
            const auto [seen, isNew] = m_skinsSeen.emplace(key, listName);
            if (!isNew) {
                problem(listName, "skin " + inQuotes(skin)
                                      + (seen->second == listName
                                             ? " is listed twice"
                                             : " is also listed in " + seen->second));
                continue;
            }
            if (skin.starts_with(' '))
                problem(listName, "skin " + inQuotes(skin) + " begins with a space");
            if (key == listOfCategories)
                problem(listName, "a skin cannot be called " + inQuotes(skin));
            if (const auto c = forbiddenCharacter(skin)) {
                problem(listName, "skin " + inQuotes(skin) + " contains the character '" + *c
                                      + "'");
                continue;
            }
            checkPicture(folder + "/" + skin + ".gif");
        }
    }

    void checkPicture(const std::string &name)
    {
        fs::path path = m_dir / name;
        if (m_planned) {
            const auto picture = m_planned->pictures.find(name);
            path = picture != m_planned->pictures.end() ? picture->second : fs::path();
        }
        // A planned picture is reported where it comes from.
        const std::string shown = m_planned && !path.empty() ? path.string() : name;
        std::error_code error;
        if (path.empty() || !fs::is_regular_file(path, error)) {
            problem(shown, "missing");
            return;
        }
        std::array<unsigned char, 10> header{};
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char *>(header.data()), std::streamsize(header.size()));
        const std::string_view magic(reinterpret_cast<const char *>(header.data()), 6);
        if (in.gcount() != std::streamsize(header.size())
            || (magic != "GIF87a" && magic != "GIF89a")) {
            problem(shown, "is not a GIF picture");
            return;
        }
        const int width = header[6] | (header[7] << 8);
        const int height = header[8] | (header[9] << 8);
        if (width < 150 || width > 260 || height < 220 || height > 360) {
            m_result.notes.push_back(shown + ": is " + std::to_string(width) + " x "
                                     + std::to_string(height)
                                     + " pixels; the preview shows 203 x 293");
        }
    }

    fs::path m_dir;
    const PlannedCatalogue *m_planned = nullptr;
    CheckResult m_result;
    std::map<std::string, std::string> m_skinsSeen; // lowered name -> list file
};

} // namespace

CheckResult checkCatalogue(const fs::path &dir)
{
    return Checker(dir).run();
}

CheckResult checkCatalogue(const PlannedCatalogue &planned)
{
    return Checker(planned).run();
}

std::string utf8FromWindows1252(std::string_view text)
{
    std::string out;
    for (const unsigned char c : text) {
        const char32_t u = c >= 0x80 && c < 0xA0 ? windows1252High[c - 0x80] : c;
        if (u < 0x80) {
            out += char(u);
        } else if (u < 0x800) {
            out += char(0xC0 | (u >> 6));
            out += char(0x80 | (u & 0x3F));
        } else {
            out += char(0xE0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3F));
            out += char(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> windows1252FromUtf8(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Windows-1252 needs no character beyond three UTF-8 bytes.
        const std::size_t length = lead < 0x80                ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                                           : 0;
        if (length == 0 || i + length > text.size())
            return std::nullopt;
        char32_t u = length == 1 ? lead : lead & (length == 2 ? 0x1F : 0x0F);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            u = (u << 6) | (next & 0x3F);
        }
        if ((length == 2 && u < 0x80) || (length == 3 && u < 0x800)) // overlong
            return std::nullopt;
        i += length;
        const auto high = std::find(windows1252High.begin(), windows1252High.end(), u);
        if (high != windows1252High.end())
            out += char(0x80 + (high - windows1252High.begin()));
        else if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            out += char(u);
        else
            return std::nullopt;
    }
    return out;
}

std::string pictureFolder(std::string category)
{
    std::erase(category, ' ');
    return category;
}

} // namespace catalogue
