#pragma once

#include <GL/glew.h>

#include <array>

#include "content/shader_program.h"
#include "content/texture.h"
#include "math/mat4.h"
#include "math/vec.h"

// Draws textured quads with the "Sprite" program (attributes a_position 0,
// a_coords 1; uniforms u_mvp, u_tex, u_color). A sprite pass is `begin`, any
// number of draws, then `end`, which puts depth testing and blending back as
// `begin` found them.
class SpriteRenderer {
public:
    // Binds the program's attributes to their fixed locations and relinks it.
    // The program is not owned; the matrix is copied.
    SpriteRenderer(ShaderProgram* program, const sm::Mat4& mvp);

    // Uses the program; its uniform locations are looked up again when it
    // has been relinked since (others share the program and relink it too).
    void begin();
    // A quad with corners (0, height), (0, 0), (width, height), (width, 0);
    // placement and scale come from the mvp matrix. A null texture draws
    // nothing.
    void draw(const Texture* texture, int width, int height);
    void drawTinted(const Texture* texture, sm::Vec4 colour, int width, int height);
    // Four corners (x, y pairs) in triangle-strip order, textured with
    // coordinates (0, 1), (0, 0), (1, 1), (1, 0).
    void drawQuad(GLuint texture, const std::array<float, 8>& corners, sm::Vec4 colour);
    void end();

    ShaderProgram* program() const { return program_; }
    const sm::Mat4& mvp() const { return mvp_; }
    void setMvp(const sm::Mat4& mvp) { mvp_ = mvp; }

private:
    ShaderProgram* program_;
    sm::Mat4 mvp_;
    bool depthWasEnabled_ = false;
    bool blendWasEnabled_ = false;
    GLint mvpLocation_ = -1;
    GLint texLocation_ = -1;
    GLint colorLocation_ = -1;
    unsigned relinksSeen_ = 0;  // the program's relinks when the locations were looked up

    void findLocations();
};

