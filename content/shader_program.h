#pragma once

#include <GL/glew.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "math/mat4.h"
#include "math/vec.h"

// One attribute name and the location it is bound to.
struct AttributeBinding {
    const char* name;
    GLuint location;
};

// A linked GLSL program made of one vertex and one fragment shader. Deletes
// its GL objects when destroyed.
class ShaderProgram {
public:
    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    // The files it was compiled from (empty when it was made otherwise).
    std::string vertexPath;
    std::string fragmentPath;
    // How often bindAttributes has linked it again: uniform locations kept
    // from before a relink may no longer hold.
    unsigned relinks = 0;

    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ~ShaderProgram();

    // The attribute-location convention: binds each name to its location,
    // links again, and validates when the link succeeds. Returns the link
    // status.
    bool bindAttributes(std::initializer_list<AttributeBinding> bindings);

    // Setters by uniform name (looked up on every call; for per-frame work
    // keep the location from uniformLocation and use the overloads below).
    GLint uniformLocation(const char* uniform) const;
    void setVec3(const char* uniform, sm::Vec3 v) const;
    void setVec4(const char* uniform, sm::Vec4 v) const;
    void setMat4(const char* uniform, const sm::Mat4& m) const;
    void setFloat(const char* uniform, float v) const;
    // Activates unit GL_TEXTURE0 + unit, binds the texture there and points
    // the sampler at the unit.
    void setTexture(const char* uniform, int unit, GLuint texture) const;

    static void setVec3(GLint location, sm::Vec3 v);
    static void setVec4(GLint location, sm::Vec4 v);
    static void setMat4(GLint location, const sm::Mat4& m);
    static void setTexture(GLint location, int unit, GLuint texture);
};

// Compiles one shader (GL_VERTEX_SHADER or GL_FRAGMENT_SHADER) from a file
// read as raw bytes. Returns 0 when the file cannot be read or the source
// does not compile.
GLuint compileShaderFile(GLenum type, const std::string& path);
// The same from source text in memory.
GLuint compileShaderSource(GLenum type, const char* source);

// Compiles the vertex shader, then (only if that worked) the fragment
// shader, and links them. Null when either shader fails. A program whose link
// fails is still returned, unvalidated; one that links is validated.
std::unique_ptr<ShaderProgram> createProgram(const std::string& vertexPath, const std::string& fragmentPath);
// The same from source texts in memory: the engine's own programs.
std::unique_ptr<ShaderProgram> createProgramFromSource(const char* vertexSource, const char* fragmentSource);

// Validates a linked program; when validation fails prints
// "validate log: <log>" to standard output. Returns the validation status.
bool validateProgram(GLuint program);

// GL_LINK_STATUS of a program.
bool isLinked(GLuint program);

// Why a program does not link, for a log line: "program NAME (VERTEX with
// FRAGMENT) does not link", followed by the first line of the driver's link
// log when it has one.
std::string linkProblem(const std::string& name, const ShaderProgram& program);

