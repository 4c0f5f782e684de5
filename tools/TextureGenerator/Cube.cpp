#include "Cube.h"

#include "Dds.h"
#include "Platform/Gfx/Image.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace CubeTool {

namespace {

const char* const kUsage =
    "usage: kvtexgen cube [--dxt1] <cube.dds> <+x> <-x> <+y> <-y> <+z> <-z>\n"
    "  Six square pictures of one size (PNG, JPEG, BMP, TGA, PNM or DDS), each the face as\n"
    "  seen from the centre of the cube, become one cube map: 32-bit texels, or DXT1 with\n"
    "  --dxt1 (a sixth of the size; the faces must then be a multiple of 4 wide).\n";

// Reads and decodes one face; false (said on standard error) when it cannot be used.
bool ReadFace(const std::string& path, Gfx::Image& face) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "kvtexgen: cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    if (bytes.empty() || Gfx::DecodeImage(bytes.data(), bytes.size(), face) != 0) {
        std::fprintf(stderr, "kvtexgen: %s is no picture the engine reads\n", path.c_str());
        return false;
    }
    if (face.faces != 1 || face.width != face.height) {
        std::fprintf(stderr, "kvtexgen: %s is %ux%u%s; a face must be one square picture\n",
                     path.c_str(), face.width, face.height, face.faces != 1 ? " of six faces" : "");
        return false;
    }
    return true;
}

} // namespace

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    const bool dxt1 = !args.empty() && args.front() == "--dxt1";
    if (dxt1) {
        args.erase(args.begin());
    }
    if (args.size() != 7) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Gfx::Image faces[6];
    for (int i = 0; i < 6; ++i) {
        if (!ReadFace(args[std::size_t(i) + 1], faces[i])) {
            return 1;
        }
        if (faces[i].width != faces[0].width) {
            std::fprintf(stderr, "kvtexgen: %s is %ux%u, the first face %ux%u\n",
                         args[std::size_t(i) + 1].c_str(), faces[i].width, faces[i].height,
                         faces[0].width, faces[0].height);
            return 1;
        }
    }
    const int size = int(faces[0].width);
    if (dxt1 && size % 4 != 0) {
        std::fprintf(stderr, "kvtexgen: DXT1 needs faces a multiple of 4 wide, not %d\n", size);
        return 1;
    }
    // The faces one below the other, as 0xAARRGGBB texels.
    Dds::Picture cube(size, size * 6);
    for (int i = 0; i < 6; ++i) {
        const std::uint8_t* rgba = faces[i].rgba.data();
        for (int t = 0; t < size * size; ++t, rgba += 4) {
            cube.argb[std::size_t(i) * std::size_t(size) * std::size_t(size) + std::size_t(t)] =
                std::uint32_t(rgba[3]) << 24 | std::uint32_t(rgba[0]) << 16 |
                std::uint32_t(rgba[1]) << 8 | rgba[2];
        }
    }
    return Dds::Write(args[0], dxt1 ? Dds::Dxt1Cube(cube) : Dds::Uncompressed(cube, true)) ? 0 : 1;
}

} // namespace CubeTool
