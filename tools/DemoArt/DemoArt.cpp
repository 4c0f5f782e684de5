// kvart <folder>: draws the demo game's pictures into folder (creating its subfolders).
// The drawing is deterministic: every run writes the same files.

#include "Art.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: kvart <folder>\n";
        return 2;
    }
    const fs::path folder = argv[1];
    for (const Art::Picture& picture : Art::DrawAll()) {
        const fs::path path = folder / picture.path;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error) {
            std::cerr << "kvart: cannot create " << path.parent_path() << ": " << error.message()
                      << "\n";
            return 1;
        }
        if (!picture.canvas.WritePng(path.string())) {
            std::cerr << "kvart: cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
