#include "FileSystem/DataPaths.h"

#include "Game/Exception.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Lower(x) < Lower(y); });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) { return Lower(x) < Lower(y); });
    return less || (!greater && a < b);
}

std::vector<std::string> Segments(const std::string& path) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        out.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// The entry of folder named segment, exactly or else ignoring case.
std::optional<fs::path> MatchSegment(const fs::path& folder, const std::string& segment,
                                     bool wantFolder) {
    std::error_code error;
    const fs::path exact = folder / segment;
    const auto fits = [&](const fs::path& p) {
        return wantFolder ? fs::is_directory(p, error) : fs::is_regular_file(p, error);
    };
    if (fits(exact)) {
        return exact;
    }
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualIgnoringCase(name, segment) && fits(it->path()) && (!best || name < *best)) {
            best = name;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return folder / *best;
}

} // namespace

namespace DataPaths {

std::string Normalise(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    while (out.rfind("./", 0) == 0) {
        out.erase(0, 2);
    }
    return out;
}

bool IsRefused(const std::string& normalised) {
    if (!normalised.empty() && normalised[0] == '/') {
        return true;
    }
    if (normalised.size() >= 2 && normalised[1] == ':' &&
        std::isalpha(static_cast<unsigned char>(normalised[0]))) {
        return true;
    }
    const std::vector<std::string> segments = Segments(normalised);
    return std::find(segments.begin(), segments.end(), "..") != segments.end();
}

std::vector<std::string> ListArchives(const std::string& folder, const std::string& extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError)) {
            continue;
        }
        if (EqualIgnoringCase(it->path().extension().string(), extension)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(folder + "/" + name);
    }
    return paths;
}

std::optional<std::string> FindIgnoringCase(const std::string& folder,
                                            const std::string& relative) {
    const std::vector<std::string> segments = Segments(relative);
    fs::path at = folder;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (segments[i].empty() || segments[i] == ".") {
            if (i + 1 == segments.size()) {
                return std::nullopt;
            }
            continue;
        }
        const auto next = MatchSegment(at, segments[i], i + 1 < segments.size());
        if (!next) {
            return std::nullopt;
        }
        at = *next;
    }
    return at.string();
}

std::string ExecutableRoot() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        throw exception("Cannot find the executable's path: " + error.message());
    }
    std::string root = exe.parent_path().parent_path().string();
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    return root;
}

} // namespace DataPaths
