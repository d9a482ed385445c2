#include "render/render_targets.h"

sm::Mat4 pixelOrthoMatrix(float width, float height) {
    sm::Mat4 m;
    for (float& v : m.a) v = 0.0f;
    m.a[0] = 2.0f / width;
    m.a[5] = 2.0f / height;
    m.a[10] = -0.01f;
    m.a[12] = -1.0f;
    m.a[13] = -1.0f;
    m.a[14] = 0.0f;
    m.a[15] = 1.0f;
    return m;
}

int halfSize(int side) { return static_cast<int>(static_cast<float>(side) * 0.5f); }

std::unique_ptr<Texture> createRenderTexture(int width, int height, GLint filter) {
    return createTexture(width, height, 32, nullptr, GL_CLAMP_TO_EDGE, filter, filter, false);
}

bool createStartupTargets(int windowWidth, int windowHeight, ShadowTarget& shadow, ScreenQuad& quad) {
    shadow.depth = createDepthTexture(windowWidth, windowHeight);
    shadow.color = createRenderTexture(windowWidth, windowHeight, GL_NEAREST);
    shadow.frameBuffer.create(windowWidth, windowHeight, 32);
    bool complete = false;
    if (shadow.color) {
        shadow.frameBuffer.attachColor(*shadow.color, 0);
        complete = shadow.frameBuffer.attachDepth(*shadow.depth);
    }
    FrameBuffer::unbind();
    quad.create();
    return complete;
}

