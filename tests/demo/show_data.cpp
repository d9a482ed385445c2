#include "tests/demo/show_data.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "tests/support/gl_context.h"

namespace murmur::test {

namespace fs = std::filesystem;

std::string builtContent() { return std::string(MURMUR_BIN_DIR) + "/../content_staging/quellon_data/"; }

ShowData::ShowData(std::initializer_list<std::string> without) {
    static std::atomic<int> serial{0};
    root_ = fs::temp_directory_path() /
            ("murmur_show_" + std::to_string(getpid()) + "_" + std::to_string(serial.fetch_add(1)));
    const fs::path source = builtContent();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const fs::path relative = fs::relative(entry.path(), source);
        if (entry.is_directory()) {
            fs::create_directories(root_ / relative);
            continue;
        }
        bool left = false;
        for (const std::string& prefix : without) left = left || relative.generic_string().rfind(prefix, 0) == 0;
        if (!left) fs::create_symlink(entry.path(), root_ / relative);
    }
    fs::create_directories(root_);
}

ShowData::~ShowData() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::unique_ptr<DemoController> openShow(const std::string& data, std::unique_ptr<IMusicPlayer> music,
                                         int width, int height) {
    auto show = std::make_unique<DemoController>();
    show->useMusicPlayer(std::move(music));
    if (!show->adoptGraphics(HeadlessGl::window(), width, height)) return nullptr;
    show->load(data);
    show->prepareMaterialPrograms();
    return show;
}

std::vector<std::string> logLinesWith(const std::string& text) {
    std::vector<std::string> lines;
    std::ifstream log("log.txt");
    for (std::string line; std::getline(log, line);)
        if (line.find(text) != std::string::npos) lines.push_back(line);
    return lines;
}

MeanColour meanOfWindow(int width, int height) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    const std::vector<Rgba> pixels = readPixels(0, 0, width, height);
    MeanColour mean;
    for (const Rgba& p : pixels) {
        mean.r += p.r;
        mean.g += p.g;
        mean.b += p.b;
    }
    const double count = static_cast<double>(pixels.size());
    mean.r /= count;
    mean.g /= count;
    mean.b /= count;
    return mean;
}

}  // namespace murmur::test
