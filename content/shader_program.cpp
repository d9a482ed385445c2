#include "content/shader_program.h"

#include <cstdio>
#include <exception>
#include <vector>

ShaderProgram::~ShaderProgram() {
    if (program != 0) glDeleteProgram(program);
    if (vertexShader != 0) glDeleteShader(vertexShader);
    if (fragmentShader != 0) glDeleteShader(fragmentShader);
}

bool isLinked(GLuint program) {
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

bool ShaderProgram::bindAttributes(std::initializer_list<AttributeBinding> bindings) {
    for (const AttributeBinding& binding : bindings) glBindAttribLocation(program, binding.location, binding.name);
    glLinkProgram(program);
    ++relinks;
    const bool linked = isLinked(program);
    if (linked) validateProgram(program);
    return linked;
}

GLint ShaderProgram::uniformLocation(const char* uniform) const { return glGetUniformLocation(program, uniform); }

void ShaderProgram::setVec3(const char* uniform, sm::Vec3 v) const { setVec3(uniformLocation(uniform), v); }
void ShaderProgram::setVec4(const char* uniform, sm::Vec4 v) const { setVec4(uniformLocation(uniform), v); }
void ShaderProgram::setMat4(const char* uniform, const sm::Mat4& m) const { setMat4(uniformLocation(uniform), m); }
void ShaderProgram::setFloat(const char* uniform, float v) const { glUniform1f(uniformLocation(uniform), v); }
void ShaderProgram::setTexture(const char* uniform, int unit, GLuint texture) const {
    setTexture(uniformLocation(uniform), unit, texture);
}

void ShaderProgram::setVec3(GLint location, sm::Vec3 v) { glUniform3f(location, v.x, v.y, v.z); }
void ShaderProgram::setVec4(GLint location, sm::Vec4 v) { glUniform4f(location, v.x, v.y, v.z, v.w); }
void ShaderProgram::setMat4(GLint location, const sm::Mat4& m) { glUniformMatrix4fv(location, 1, GL_FALSE, m.a); }
void ShaderProgram::setTexture(GLint location, int unit, GLuint texture) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(location, unit);
}

namespace {

// The whole file as bytes followed by a NUL; false when it cannot be read.
bool readSource(const std::string& path, std::vector<char>& source) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        // A folder opens too, and on some file systems reports an enormous
        // size at its end; a buffer that cannot be had means an unreadable file.
        try {
            source.assign(static_cast<std::size_t>(size) + 1, '\0');
        } catch (const std::exception&) {
            ok = false;
        }
    }
    if (ok) ok = std::fread(source.data(), 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
    std::fclose(file);
    return ok;
}

// Links the two compiled shaders of `result` (null when either is missing).
std::unique_ptr<ShaderProgram> linkShaders(std::unique_ptr<ShaderProgram> result) {
    if (result->vertexShader == 0 || result->fragmentShader == 0) return nullptr;
    result->program = glCreateProgram();
    glAttachShader(result->program, result->vertexShader);
    glAttachShader(result->program, result->fragmentShader);
    glLinkProgram(result->program);
    if (isLinked(result->program)) validateProgram(result->program);
    return result;
}

}  // namespace

GLuint compileShaderFile(GLenum type, const std::string& path) {
    std::vector<char> source;
    if (!readSource(path, source)) return 0;
    return compileShaderSource(type, source.data());
}

GLuint compileShaderSource(GLenum type, const char* text) {
    const GLuint shader = glCreateShader(type);
    if (shader == 0) return 0;
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

std::unique_ptr<ShaderProgram> createProgram(const std::string& vertexPath, const std::string& fragmentPath) {
    auto result = std::make_unique<ShaderProgram>();
    result->vertexPath = vertexPath;
    result->fragmentPath = fragmentPath;
    result->vertexShader = compileShaderFile(GL_VERTEX_SHADER, vertexPath);
    if (result->vertexShader == 0) return nullptr;
    result->fragmentShader = compileShaderFile(GL_FRAGMENT_SHADER, fragmentPath);
    return linkShaders(std::move(result));
}

std::unique_ptr<ShaderProgram> createProgramFromSource(const char* vertexSource, const char* fragmentSource) {
    auto result = std::make_unique<ShaderProgram>();
    result->vertexShader = compileShaderSource(GL_VERTEX_SHADER, vertexSource);
    if (result->vertexShader == 0) return nullptr;
    result->fragmentShader = compileShaderSource(GL_FRAGMENT_SHADER, fragmentSource);
    return linkShaders(std::move(result));
}

bool validateProgram(GLuint program) {
    glValidateProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_VALIDATE_STATUS, &status);
    if (status == GL_TRUE) return true;
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    if (length > 0) {
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetProgramInfoLog(program, length, nullptr, log.data());
        std::printf("validate log: %s\n", log.data());
        std::fflush(stdout);
    }
    return false;
}


std::string linkProblem(const std::string& name, const ShaderProgram& program) {
    std::string problem = "program " + name;
    if (!program.vertexPath.empty()) problem += " (" + program.vertexPath + " with " + program.fragmentPath + ")";
    problem += " does not link";
    GLint length = 0;
    if (program.program != 0) glGetProgramiv(program.program, GL_INFO_LOG_LENGTH, &length);
    if (length > 1) {
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetProgramInfoLog(program.program, length, nullptr, log.data());
        std::string first(log.data());
        first = first.substr(0, first.find('\n'));
        while (!first.empty() && (first.back() == ' ' || first.back() == '\r')) first.pop_back();
        if (!first.empty()) problem += ": " + first;
    }
    return problem;
}
