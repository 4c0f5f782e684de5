#pragma once

// Internal to the graphics layer: GLSL program building, and the conversion from the game's
// clip space (depth 0..w, pixel centres at integer coordinates, rows top first) to OpenGL's that
// every vertex stage of the layer ends with.

#include <epoxy/gl.h>
#include <string>

namespace Gfx::Internal {

// GLSL: `vec4 gfx_D3DToGL(vec4 p)`, using `uniform vec2 gfx_TargetSize` (declared by the caller).
// +1/2 pixel right and down, y flipped so that row 0 of every framebuffer is the top row, and
// depth 0..w mapped to -w..w.
extern const char* const kClipConversionGlsl;

// Compiles and links a program from complete vertex and fragment sources, with attribute
// locations 0 position, 1 normal, 2 colour, 3 texture coordinate. 0 on failure, with the
// compiler's log in `log`.
GLuint BuildProgram(const std::string& vertex, const std::string& fragment, std::string& log);

} // namespace Gfx::Internal
