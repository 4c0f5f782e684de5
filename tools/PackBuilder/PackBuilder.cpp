// kvpack: builds a pack from a folder, lists a pack's entries, extracts a pack or one entry.

#include "PackTool.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "Usage: kvpack <folder> <pack.kpk>\n"
    "           packs every file under folder into a new pack, each named by its path\n"
    "           relative to folder (subfolders joined with '/')\n"
    "       kvpack -l <pack.kpk>\n"
    "           lists the pack's entries, one per line: the name, a tab, the size in bytes\n"
    "       kvpack -x <pack.kpk> <folder> [<entry>]\n"
    "           extracts every entry, or only the entry named, into folder (made when\n"
    "           missing, with the subfolders the names hold)\n"
    "Names are UTF-8 here and Windows-1252 inside the pack.\n";

int Usage() {
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "-l") {
        return PackTool::List(args[1]);
    }
    if ((args.size() == 3 || args.size() == 4) && args[0] == "-x") {
        return PackTool::Extract(args[1], args[2], args.size() == 4 ? args[3] : std::string());
    }
    if (args.size() == 2 && !args[0].starts_with("-")) {
        return PackTool::Build(args[0], args[1]);
    }
    return Usage();
}
