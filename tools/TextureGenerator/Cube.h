#pragma once

// "kvtexgen cube": six pictures of a game's own, one per face, made into one DDS cube map.
namespace CubeTool {

// kvtexgen cube [--dxt1] <cube.dds> <+x> <-x> <+y> <-y> <+z> <-z>, with `argc` and `argv`
// after the word "cube". Returns the exit status; what went wrong goes to standard error.
int Main(int argc, char** argv);

} // namespace CubeTool
