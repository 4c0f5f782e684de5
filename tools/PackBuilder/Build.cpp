#include "FileSystem/CodePage.h"
#include "FileSystem/Pack.h"
#include "PackTool.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace fs = std::filesystem;

namespace PackTool {

int Build(const std::string& folder, const std::string& packPath) {
    Pack::Entries entries;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file()) {
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::cerr << "kvpack: cannot read " << it->path() << "\n";
            return 1;
        }
        const std::string relative = it->path().lexically_relative(folder).generic_string();
        const auto name = CodePage::FromUtf8(relative);
        if (!name) {
            std::cerr << "kvpack: " << relative << " is not a name of the data's code page\n";
            return 1;
        }
        entries[*name] = std::move(bytes);
    }
    if (error) {
        std::cerr << "kvpack: cannot list " << folder << ": " << error.message() << "\n";
        return 1;
    }
    if (!Pack::Write(entries, packPath)) {
        std::cerr << "kvpack: cannot write " << packPath << "\n";
        return 1;
    }
    return 0;
}

} // namespace PackTool
