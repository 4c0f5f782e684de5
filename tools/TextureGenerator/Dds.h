#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// DDS files of the texture generator: uncompressed A8R8G8B8 pictures and cube maps, and cube
// maps compressed as DXT1.
namespace Dds {

// Texels as 0xAARRGGBB, rows top first. A cube map's picture holds its six faces one below
// the other in the order +x, -x, +y, -y, +z, -z.
struct Picture {
    int width, height;
    std::vector<std::uint32_t> argb;

    Picture(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), argb(std::size_t(w) * std::size_t(h), fill) {}
    std::uint32_t& At(int x, int y) { return argb[std::size_t(y) * std::size_t(width) + x]; }
    std::uint32_t At(int x, int y) const { return argb[std::size_t(y) * std::size_t(width) + x]; }
};

std::uint32_t Argb(double a, double r, double g, double b);

std::string Uncompressed(const Picture& picture, bool cube = false);
// Each 4x4 block as two 5:6:5 end colours and 2-bit indices. The texels are dithered by a
// fixed pattern before they are quantised, so dark gradients do not break into bands.
std::string Dxt1Cube(const Picture& faces);

// Writes a file whole or not at all, making its folder first (none for a bare name); false
// (said on standard error) when that fails.
bool Write(const std::filesystem::path& path, const std::string& bytes);

} // namespace Dds
