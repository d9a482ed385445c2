// murmur-look: the robot posed at chosen times, ray-cast from views around
// him, for the author to look at.
//   murmur-look --data DIR --at T1,T2,... --out FILE.jpg [--size WxH]
//               [--views front,side,back,wide,top,high,far,farside,plan]
//   murmur-look --montage OUT.jpg FILE...
// One row per time, one column per view, each labelled with its time; the
// plan view draws the run paths over the hall. --montage tiles pictures
// (such as murmur-capture's frames) halved, four to a row.
#include "content/image.h"
#include "tools/look/ray_view.h"
#include "tools/look/show_player.h"
#include "tools/model/vec_ops.h"
#include "tools/pictures/image_writers.h"
#include "tools/pictures/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& s)
{
    std::vector<std::string> out;
    std::stringstream ss(s);
    for (std::string part; std::getline(ss, part, ',');)
        if (!part.empty()) out.push_back(part);
    return out;
}

look::View viewAround(const std::string& kind, const sm::Mat4& hip)
{
    using model::normalized;
    sm::Vec3 at = sm::transformPoint(hip, {});
    sm::Vec3 f = normalized({hip.a[8], 0.0f, hip.a[10]});
    sm::Vec3 l = normalized({hip.a[0], 0.0f, hip.a[2]});
    sm::Vec3 up{0, 1, 0};
    sm::Vec3 target = at + up * 15.0f;
    look::View v;
    v.fovX = 0.75f;
    if (kind == "front") v.eye = at + f * 330.0f + up * 35.0f;
    else if (kind == "side") v.eye = at + l * 330.0f + up * 35.0f;
    else if (kind == "back") v.eye = at - f * 330.0f + up * 60.0f;
    else if (kind == "wide") v.eye = at + f * 600.0f + l * 400.0f + up * 200.0f, v.fovX = 1.0f;
    else if (kind == "far") v.eye = at + f * 500.0f + l * 300.0f + up * 60.0f, v.fovX = 1.0f;
    else if (kind == "farside") v.eye = at + l * 600.0f - f * 100.0f + up * 60.0f, v.fovX = 1.0f;
    else if (kind == "top") v.eye = at + up * 600.0f + f * 5.0f, v.fovX = 1.0f;
    else v.eye = at + f * 250.0f + l * 150.0f + up * 180.0f;
    v.target = target;
    v.near = std::max(0.0f, sm::length(v.eye - target) - 160.0f);
    if (kind == "plan") {
        // The whole hall from straight above, the roof cut away.
        v.eye = {0, 9000, 1};
        v.target = {0, 0, 0};
        v.fovX = 2.0f * std::atan(2050.0f / 9000.0f);
        v.near = 9000.0f - 700.0f;
    }
    return v;
}

// The run paths drawn over a plan view: a dot every twentieth of a second,
// a colour per clip, a bright dot each second.
void drawPaths(const look::ShowPlayer& show, const look::View& v, pictures::Image& pic)
{
    using model::normalized;
    sm::Vec3 f = normalized(v.target - v.eye), r = normalized(sm::cross(f, {0, 1, 0})), u = sm::cross(r, f);
    float tx = std::tan(v.fovX * 0.5f), ty = tx * static_cast<float>(pic.height) / static_cast<float>(pic.width);
    const struct {
        const char* name;
        float t0, t1;
        std::uint8_t rgb[3];
    } clips[] = {{"run01", 140, 155, {255, 60, 60}},   {"run02", 155, 170, {60, 255, 60}},
                 {"run021", 178, 190, {80, 160, 255}}, {"run03", 202, 215, {255, 230, 40}},
                 {"throw", 134.06f, 140, {255, 255, 255}}, {"branch", 170, 178, {255, 255, 255}},
                 {"jump", 190, 196, {255, 255, 255}},  {"flip", 196, 202, {255, 255, 255}}};
    for (const auto& c : clips) {
        SceneNode* tree = show.animation(c.name);
        if (!tree || tree->children.empty()) continue;
        SceneNode* point = tree->children[0];
        for (float t = c.t0; t <= c.t1; t += 0.05f) {
            tree->updatePose(t, sm::identityMatrix());
            sm::Vec3 p = sm::transformPoint(point->world, {});
            p.y = 0.0f;
            sm::Vec3 d = p - v.eye;
            float z = sm::dot(d, f);
            float px = sm::dot(d, r) / z / tx, py = sm::dot(d, u) / z / ty;
            int x = static_cast<int>((px + 1.0f) * 0.5f * pic.width), y = static_cast<int>((1.0f - py) * 0.5f * pic.height);
            bool second = std::fmod(t - c.t0 + 0.001f, 1.0f) < 0.05f;
            int rad = second ? 3 : 1;
            for (int dy = -rad; dy <= rad; ++dy)
                for (int dx = -rad; dx <= rad; ++dx) {
                    int xx = x + dx, yy = y + dy;
                    if (xx < 0 || yy < 0 || xx >= pic.width || yy >= pic.height) continue;
                    std::uint8_t* q = &pic.pixels[(static_cast<std::size_t>(yy) * pic.width + xx) * 3];
                    for (int k = 0; k < 3; ++k) q[k] = second ? 255 : c.rgb[k];
                }
        }
    }
}

} // namespace

// Pictures tiled into one, halved, four to a row, each labelled with its
// file name: murmur-look --montage OUT.jpg FILE...
int montage(const std::string& out, const std::vector<std::string>& files)
{
    std::string error;
    auto font = pictures::FontFace::open("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", error);
    if (font) font->setPixelSize(14);
    std::vector<::Image> pics;
    for (const std::string& f : files) {
        ::Image im;
        if (!loadImage(f, im) || im.channels < 3) {
            std::fprintf(stderr, "murmur-look: cannot read %s\n", f.c_str());
            return 1;
        }
        pics.push_back(std::move(im));
    }
    if (pics.empty()) return 2;
    const int w = static_cast<int>(pics[0].width) / 2, h = static_cast<int>(pics[0].height) / 2, cols = 4;
    const int rows = (static_cast<int>(pics.size()) + cols - 1) / cols;
    pictures::Image sheet;
    sheet.width = w * cols;
    sheet.height = h * rows;
    sheet.channels = 3;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 0);
    for (std::size_t i = 0; i < pics.size(); ++i) {
        const ::Image& im = pics[i];
        int ox = static_cast<int>(i % cols) * w, oy = static_cast<int>(i / cols) * h;
        for (int y = 0; y < h && 2 * y + 1 < static_cast<int>(im.height); ++y)
            for (int x = 0; x < w && 2 * x + 1 < static_cast<int>(im.width); ++x)
                for (int k = 0; k < 3; ++k) {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                            sum += im.pixels[((2 * y + dy) * im.width + 2 * x + dx) * im.channels + k];
                    sheet.pixels[((oy + y) * static_cast<std::size_t>(sheet.width) + ox + x) * 3 + k] =
                        static_cast<std::uint8_t>(sum / 4);
                }
        if (font) {
            std::string name = files[i].substr(files[i].find_last_of('/') + 1);
            pictures::Mask m = font->renderLine(pictures::fromUtf8(name), 2);
            for (int y = 0; y < m.height && y < h; ++y)
                for (int x = 0; x < m.width && x < w; ++x) {
                    float c = m.at(x, y);
                    std::uint8_t* p = &sheet.pixels[((oy + y + 2) * static_cast<std::size_t>(sheet.width) + ox + x + 2) * 3];
                    for (int k = 0; k < 3; ++k) p[k] = static_cast<std::uint8_t>(p[k] * (1 - c) + 255 * c);
                }
        }
    }
    if (!pictures::writeJpeg(out, sheet, 88, error)) {
        std::fprintf(stderr, "murmur-look: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "--montage")
        return montage(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    std::string data, outFile, views = "front,side";
    std::vector<float> times;
    int width = 480, height = 360;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i], v = argv[i + 1];
        if (a == "--data") data = v;
        else if (a == "--out") outFile = v;
        else if (a == "--views") views = v;
        else if (a == "--size") std::sscanf(v.c_str(), "%dx%d", &width, &height);
        else if (a == "--at")
            for (const std::string& t : split(v)) times.push_back(std::strtof(t.c_str(), nullptr));
    }
    if (data.empty() || outFile.empty() || times.empty()) {
        std::fprintf(stderr, "usage: murmur-look --data DIR --at T1,T2,... --out FILE.jpg [--size WxH] [--views LIST]\n");
        return 2;
    }
    std::sort(times.begin(), times.end());
    look::ShowPlayer show;
    std::string error;
    if (!show.load(data, error)) {
        std::fprintf(stderr, "murmur-look: %s\n", error.c_str());
        return 1;
    }
    look::RayView ray(data);
    std::vector<std::string> kinds = split(views);
    pictures::Image sheet;
    sheet.width = width * static_cast<int>(kinds.size());
    sheet.height = height * static_cast<int>(times.size());
    sheet.channels = 3;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 0);
    auto font = pictures::FontFace::open("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", error);
    if (font) font->setPixelSize(16);
    for (std::size_t row = 0; row < times.size(); ++row) {
        show.playTo(times[row]);
        sm::Mat4 hip = show.bone("Hip");
        std::vector<look::Drawn> set = show.set(), actors = show.actors();
        for (std::size_t col = 0; col < kinds.size(); ++col) {
            look::View view = viewAround(kinds[col], hip);
            pictures::Image pic = ray.render(set, actors, view, width, height);
            if (kinds[col] == "plan") drawPaths(show, view, pic);
            for (int y = 0; y < height; ++y)
                std::copy_n(&pic.pixels[static_cast<std::size_t>(y) * width * 3], width * 3,
                            &sheet.pixels[((row * height + y) * static_cast<std::size_t>(sheet.width) + col * width) * 3]);
        }
        if (font) {
            char label[32];
            std::snprintf(label, sizeof label, "%.2f", static_cast<double>(times[row]));
            pictures::Mask m = font->renderLine(pictures::fromUtf8(label), 2);
            for (int y = 0; y < m.height && y < height; ++y)
                for (int x = 0; x < m.width && x < sheet.width; ++x) {
                    float c = m.at(x, y);
                    std::uint8_t* p = &sheet.pixels[((row * height + y + 4) * static_cast<std::size_t>(sheet.width) + x + 4) * 3];
                    for (int k = 0; k < 3; ++k) p[k] = static_cast<std::uint8_t>(p[k] * (1 - c) + 255 * c);
                }
        }
    }
    if (!pictures::writeJpeg(outFile, sheet, 88, error)) {
        std::fprintf(stderr, "murmur-look: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
