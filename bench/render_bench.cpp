// One frame of the show's pass chain on a synthetic scene: the shadow depth
// pass, the scene pass with the material programs into the two-attachment
// scene target, drifting smoke into both attachments, the distortion
// composite, the half-size glow with its blur and additive composite, and
// the dream overlay. Reports milliseconds per finished frame (glFinish), the
// CPU time the render thread spends submitting it, and how many times the
// submission called operator new (it should never).
#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "content/content_loader.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "content/material.h"
#include "content/sprite_renderer.h"
#include "content/texture.h"
#include "render/glow_pass.h"
#include "render/material_programs.h"
#include "render/post_processing.h"
#include "render/program_setup.h"
#include "render/render_targets.h"
#include "render/smoke_system.h"
#include "render/submesh_classes.h"
#include "tools/pictures/image_writers.h"

namespace {

bool gCountAllocations = false;  // the render thread is the only one that sets it
long gAllocations = 0;

void* allocate(std::size_t size) {
    if (gCountAllocations) ++gAllocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kSubmeshes = 5000;
constexpr int kSubmeshesPerMesh = 10;
constexpr int kMaxWidth = 1920;
constexpr int kMaxHeight = 1080;
constexpr int kPasses = 7;
const char* const kPassNames[kPasses] = {"update_ms",     "shadow_ms", "scene_ms",     "smoke_ms",
                                         "distortion_ms", "glow_ms",   "composite_ms"};

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A hidden window with a compatibility context: SDL's offscreen driver over
// EGL (llvmpipe without a GPU).
bool openContext(std::string& error) {
    static bool opened = false;
    if (opened) return true;
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL_Init: ") + SDL_GetError();
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_Window* window = SDL_CreateWindow("murmur bench", 0, 0, kMaxWidth, kMaxHeight,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window || !SDL_GL_CreateContext(window)) {
        error = std::string("no GL context: ") + SDL_GetError();
        return false;
    }
    glewExperimental = GL_TRUE;
    glewInit();  // reports an error without a GLX display, but loads the entry points
    while (glGetError() != GL_NO_ERROR) {
    }
    opened = true;
    return true;
}

sm::Mat4 lookAt(sm::Vec3 eye, sm::Vec3 target, sm::Vec3 up) {
    sm::Vec3 f = target - eye;
    sm::normalize(f);
    sm::Vec3 s = sm::cross(f, up);
    sm::normalize(s);
    const sm::Vec3 u = sm::cross(s, f);
    sm::Mat4 m;
    m.a[0] = s.x, m.a[4] = s.y, m.a[8] = s.z;
    m.a[1] = u.x, m.a[5] = u.y, m.a[9] = u.z;
    m.a[2] = -f.x, m.a[6] = -f.y, m.a[10] = -f.z;
    m.a[12] = -sm::dot(s, eye);
    m.a[13] = -sm::dot(u, eye);
    m.a[14] = sm::dot(f, eye);
    return m;
}

// Appends a box (36 vertices of format 5: every field) to the mesh.
SubMesh* addBox(Mesh& mesh, sm::Vec3 centre, sm::Vec3 half) {
    struct Face {
        sm::Vec3 normal, tangent;
    };
    const Face faces[6] = {{{1, 0, 0}, {0, 0, -1}}, {{-1, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {1, 0, 0}},
                           {{0, -1, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 0}},  {{0, 0, -1}, {-1, 0, 0}}};
    const float corners[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    std::vector<float> fields;
    for (const Face& f : faces) {
        const sm::Vec3 b = sm::cross(f.normal, f.tangent);
        for (const auto& c : corners) {
            const float u = c[0] * 2 - 1, v = c[1] * 2 - 1;
            const sm::Vec3 p = {centre.x + (f.normal.x + f.tangent.x * u + b.x * v) * half.x,
                                centre.y + (f.normal.y + f.tangent.y * u + b.y * v) * half.y,
                                centre.z + (f.normal.z + f.tangent.z * u + b.z * v) * half.z};
            fields.insert(fields.end(), {p.x, p.y, p.z, c[0], c[1], c[0], c[1], f.normal.x, f.normal.y, f.normal.z,
                                         f.tangent.x, f.tangent.y, f.tangent.z});
        }
    }
    SubMesh* s = mesh.addSubMesh();
    s->setVertices(5, fields);
    return s;
}

std::unique_ptr<Texture> patternTexture(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool dark = ((x / 8) + (y / 8)) % 2 != 0;
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(dark ? r / 2 : r), static_cast<std::uint8_t>(dark ? g / 2 : g),
                                     static_cast<std::uint8_t>(dark ? b / 2 : b), 255});
        }
    auto t = createTexture(size, size, 32, rgba.data(), GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true);
    glBindTexture(GL_TEXTURE_2D, 0);
    return t;
}

std::unique_ptr<Texture> softDisc(int size) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / (size * 0.5f) - 1.0f;
            const float v = (static_cast<float>(y) + 0.5f) / (size * 0.5f) - 1.0f;
            const float r = std::sqrt(u * u + v * v);
            const float a = r < 1.0f ? (1.0f - r) * (1.0f - r) : 0.0f;
            rgba.insert(rgba.end(), {220, 220, 225, static_cast<std::uint8_t>(a * 255.0f)});
        }
    auto t = createTexture(size, size, 32, rgba.data(), GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, false);
    glBindTexture(GL_TEXTURE_2D, 0);
    return t;
}

void addNumber(Mesh& mesh, const char* name, float value) {
    auto p = std::make_unique<MeshProperty>();
    p->name = name;
    p->valueType = kPropFloat;
    p->animationKind = kPropConstant;
    p->createHolder();
    p->value = value;
    mesh.addProperty(std::move(p));
}

// Everything one frame draws, built once.
struct Scene {
    int width, height;
    ContentLoader loader;
    ContentManager content{&loader};
    std::vector<std::unique_ptr<Texture>> textures;
    std::vector<std::unique_ptr<Material>> materials;
    Geometry world;
    Geometry smokeSources;
    std::vector<SubMesh*> sorted;
    SubmeshClasses classes;
    MaterialPrograms programs;
    ShadowTarget shadow;
    ScreenQuad quad;
    PostProcessing post;
    std::unique_ptr<SpriteRenderer> sprites;
    SmokeSystem smoke;
    sm::Mat4 view, projection, viewProjection, lightView, lightProjection;
    sm::Vec3 eye{0.0f, 90.0f, 170.0f};
    std::vector<std::string> problems;

    Scene(int w, int h) : width(w), height(h) {
        createStartupTargets(width, height, shadow, quad);
        content.loadPrograms(MURMUR_SOURCE_DIR "/data/effects/");
        buildWorld();
        post.create(content, quad, width, height, &problems);
        FrameBuffer::unbind();
        ShaderProgram* sprite = prepareProgram(content, "Sprite", {{"a_position", 0}, {"a_coords", 1}}, &problems);
        sprites = std::make_unique<SpriteRenderer>(sprite, pixelOrthoMatrix(static_cast<float>(width), static_cast<float>(height)));
        ShaderProgram* particle = prepareProgram(content, "DistortParticle", {{"a_position", 0}}, &problems);
        post.prepareDistortion(content, &problems);
        buildSmoke(particle);
        world.collectSubMeshes(sorted);
        sortByOpacity(sorted);
        classifySubmeshes(sorted, classes);
        programs.prepare(content);

        view = lookAt(eye, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
        projection = sm::perspectiveFovX(1.2f, static_cast<float>(width) / static_cast<float>(height), 1.0f, 2000.0f);
        viewProjection = projection * view;
        lightView = lookAt({140.0f, 260.0f, 90.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
        lightProjection = sm::perspectiveFovX(1.3f, 1.0f, 10.0f, 1000.0f);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glDepthFunc(GL_LEQUAL);
        // Let the smoke reach its steady state before anything is timed.
        smoke.view = view;
        smoke.projection = projection;
        for (int i = 0; i < 240; ++i) smoke.update(1.0f / 60.0f);
    }

    void buildWorld() {
        textures.push_back(patternTexture(64, 200, 180, 150));  // 0 diffuse
        textures.push_back(patternTexture(64, 128, 128, 255));  // 1 normal map (flat)
        textures.push_back(patternTexture(64, 255, 240, 220));  // 2 light map
        textures.push_back(patternTexture(64, 90, 200, 255));   // 3 glowing screen
        Texture* diffuse = textures[0].get();
        Texture* normal = textures[1].get();
        Texture* light = textures[2].get();
        Texture* screen = textures[3].get();
        // Colour, Diff, DiffNorm, DiffLightMap, DiffNormLightmap, a transparent
        // Diff, an opaque glowing colour and a transparent glowing screen.
        const auto material = [&](const char* name, Texture* d, Texture* n, float opacity) {
            auto m = std::make_unique<Material>();
            m->name = name;
            m->diffuseMap = d;
            m->bumpMap = n;
            m->opacity = opacity;
            materials.push_back(std::move(m));
        };
        material("painted", nullptr, nullptr, 1.0f);
        material("crate", diffuse, nullptr, 1.0f);
        material("plate", diffuse, normal, 1.0f);
        material("wall", diffuse, nullptr, 1.0f);
        material("floor", diffuse, normal, 1.0f);
        material("glass", diffuse, nullptr, 0.5f);
        material("glow_lamp", nullptr, nullptr, 1.0f);
        material("glow_screen", screen, nullptr, 0.7f);

        int made = 0;
        for (int m = 0; made < kSubmeshes; ++m) {
            Mesh& mesh = *world.addMesh(m, "mesh" + std::to_string(m));
            mesh.castShadows = true;
            for (int i = 0; i < kSubmeshesPerMesh && made < kSubmeshes; ++i, ++made) {
                if (made == 0) {  // the floor
                    SubMesh* floor = addBox(mesh, {0.0f, -1.0f, 0.0f}, {260.0f, 1.0f, 160.0f});
                    floor->material = materials[4].get();
                    floor->lightMap = light;
                    continue;
                }
                const int gx = made % 100, gz = made / 100;
                const float x = (static_cast<float>(gx) - 49.5f) * 5.0f;
                const float z = (static_cast<float>(gz) - 24.5f) * 6.0f;
                const float h = 1.0f + static_cast<float>((made * 7919) % 13);
                SubMesh* box = addBox(mesh, {x, h, z}, {1.6f, h, 1.6f});
                const int kind = (made * 31) % 8;
                box->material = materials[static_cast<std::size_t>(kind)].get();
                if (kind == 3 || kind == 4) box->lightMap = light;
            }
        }
        world.refreshSubMeshList();
        uploadGeometry(world);
    }

    void buildSmoke(ShaderProgram* particle) {
        textures.push_back(softDisc(64));
        for (int i = 0; i < 3; ++i) {
            Mesh& mesh = *smokeSources.addMesh(i, "vent" + std::to_string(i));
            const float x = -120.0f + 120.0f * static_cast<float>(i);
            SubMesh* s = mesh.addSubMesh();
            s->setVertices(0, {x, 0.5f, 20.0f, x + 30.0f, 0.5f, 20.0f, x, 0.5f, -10.0f});
            addNumber(mesh, "particles_per_second", 200.0f);
            addNumber(mesh, "life_time_min", 0.3f);
            addNumber(mesh, "life_time_max", 0.6f);
            addNumber(mesh, "size_start", 2.0f);
            addNumber(mesh, "size_end", 5.0f);
            addNumber(mesh, "opacity_start", 0.5f);
            addNumber(mesh, "opacity_end", 0.0f);
            addNumber(mesh, "speed_start", 20.0f);
            addNumber(mesh, "speed_end", 5.0f);
        }
        smoke.build(&smokeSources, particle, textures.back().get(), &quad, &problems);
    }

    // The update's share of the frame that the passes need, then every pass;
    // after(i) runs once each of the kPasses steps is submitted.
    template <typename After>
    void frame(float t, float dt, After after) {
        smoke.view = view;
        smoke.projection = projection;
        smoke.update(dt);
        post.dream()->advance(t, dt);
        after(0);
        programs.renderShadowMap(classes.shadowCasters, shadow, lightView, lightProjection);
        after(1);
        post.beginScene();
        programs.uniforms.viewProjection = viewProjection;
        programs.uniforms.eyePosition = eye;
        programs.uniforms.lightPosition = eye;
        post.drawToSceneColour();
        programs.drawSubmeshesShadowed(sorted, *shadow.depth);
        after(2);
        post.drawToSceneColourAndDistortion();
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
        smoke.draw();
        after(3);
        post.compositeDistortion(sprites.get());
        after(4);
        renderGlow(post, programs, classes);
        after(5);
        post.compositeGlow(*sprites);
        post.dream()->draw(t);
        after(6);
    }
    void frame(float t, float dt) {
        frame(t, dt, [](int) {});
    }
};

// With MURMUR_BENCH_PICTURES set to a folder, the first frame of each size
// is written there as frame_WxH.png, to look at what was measured.
void savePicture(int width, int height) {
    const char* folder = std::getenv("MURMUR_BENCH_PICTURES");
    if (!folder) return;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width * height * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    pictures::Image image;
    image.width = width;
    image.height = height;
    image.channels = 3;
    for (int y = height - 1; y >= 0; --y) {
        const auto row = rows.begin() + static_cast<std::ptrdiff_t>(y * width * 3);
        image.pixels.insert(image.pixels.end(), row, row + width * 3);
    }
    std::string error;
    const std::string path =
        std::string(folder) + "/frame_" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    if (!pictures::writePng(path, image, error)) std::fprintf(stderr, "%s\n", error.c_str());
}

void BM_Frame(benchmark::State& state) {
    std::string error;
    if (!openContext(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Scene scene(width, height);
    for (const std::string& p : scene.problems) std::fprintf(stderr, "scene: %s\n", p.c_str());
    float t = 100.0f;
    const float dt = 1.0f / 60.0f;
    scene.frame(t, dt);  // compiles whatever the driver compiles on first use
    glFinish();
    savePicture(width, height);

    double submitCpu = 0.0, submitWall = 0.0;
    long allocations = 0;
    for (auto _ : state) {
        t += dt;
        const double cpu0 = threadCpuSeconds();
        const double wall0 = wallSeconds();
        gAllocations = 0;
        gCountAllocations = true;
        scene.frame(t, dt);
        gCountAllocations = false;
        submitCpu += threadCpuSeconds() - cpu0;
        submitWall += wallSeconds() - wall0;
        allocations += gAllocations;
        glFinish();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["submit_cpu_ms"] = submitCpu / frames * 1e3;
    state.counters["submit_wall_ms"] = submitWall / frames * 1e3;
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
    state.counters["submeshes"] = static_cast<double>(scene.sorted.size());
    long particles = 0;
    for (const auto& e : scene.smoke.emitters()) particles += e->activeCount;
    state.counters["particles"] = static_cast<double>(particles);
    state.counters["gl_error"] = static_cast<double>(glGetError());
    const unsigned char* renderer = glGetString(GL_RENDERER);
    state.SetLabel(renderer ? reinterpret_cast<const char*>(renderer) : "unknown renderer");
}
BENCHMARK(BM_Frame)->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frame with the driver drained after every step, so that each
// step's own cost shows (the total is higher: nothing overlaps).
void BM_FramePasses(benchmark::State& state) {
    std::string error;
    if (!openContext(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    float t = 100.0f;
    const float dt = 1.0f / 60.0f;
    scene.frame(t, dt);
    glFinish();
    double spent[kPasses] = {};
    for (auto _ : state) {
        t += dt;
        double start = wallSeconds();
        scene.frame(t, dt, [&](int pass) {
            glFinish();
            const double now = wallSeconds();
            spent[pass] += now - start;
            start = now;
        });
    }
    const double frames = static_cast<double>(state.iterations());
    for (int i = 0; i < kPasses; ++i) state.counters[kPassNames[i]] = spent[i] / frames * 1e3;
}
BENCHMARK(BM_FramePasses)->Args({1280, 720})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
