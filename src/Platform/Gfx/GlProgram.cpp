#include "Platform/Gfx/GlProgram.h"

#include <algorithm>
#include <vector>

namespace Gfx::Internal {

const char* const kClipConversionGlsl = R"(
vec4 gfx_D3DToGL(vec4 p) {
    return vec4(p.x + p.w / gfx_TargetSize.x, -p.y + p.w / gfx_TargetSize.y, 2.0 * p.z - p.w, p.w);
}
)";

namespace {

std::string InfoLog(GLuint object, bool program) {
    GLint length = 0;
    if (program) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    std::vector<char> text(size_t(std::max(length, 1)), '\0');
    if (program) {
        glGetProgramInfoLog(object, GLsizei(text.size()), nullptr, text.data());
    } else {
        glGetShaderInfoLog(object, GLsizei(text.size()), nullptr, text.data());
    }
    return std::string(text.data());
}

GLuint Compile(GLenum stage, const std::string& source, std::string& log) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        log += (stage == GL_VERTEX_SHADER ? "vertex stage: " : "fragment stage: ") +
               InfoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

GLuint BuildProgram(const std::string& vertex, const std::string& fragment, std::string& log) {
    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, log);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, log);
    if (vs == 0 || fs == 0) {
        glDeleteShader(vs);
        glDeleteShader(fs);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "gfx_Position");
    glBindAttribLocation(program, 1, "gfx_Normal");
    glBindAttribLocation(program, 2, "gfx_Color");
    glBindAttribLocation(program, 3, "gfx_TexCoord");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        log += "link: " + InfoLog(program, true);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

} // namespace Gfx::Internal
