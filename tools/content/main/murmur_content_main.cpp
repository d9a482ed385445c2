// murmur-content: authors the demo's data tree and packs it into "demodat".
//
//   murmur-content --out DIR [--data DIR] [--staging DIR] [--title-font FILE] [--text-font FILE] [--only STEP]
//                  [--preview DIR]
//
// Writes DIR/demodat and DIR/setup.jpg. The tree is first written to
// STAGING/quellon_data (default DIR/content_staging), which is cleared first.
// --only runs one step (by the name it prints) into the staging folder,
// over what is there, and packs nothing: a quick look at one kind of content
// while working on it. --preview renders views of the set (ray cast, no GL)
// into DIR.
#include "tools/content/archive.h"
#include "tools/content/assets.h"
#include "tools/music/soundtrack.h"
#include "tools/world/world.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct Options {
    fs::path out;
    fs::path data = MURMUR_DATA_DIR;
    fs::path staging;
    std::string titleFont = MURMUR_TITLE_FONT;
    std::string textFont = MURMUR_TEXT_FONT;
    std::string only;
    std::string preview;
};

int usage()
{
    std::fprintf(stderr, "usage: murmur-content --out DIR [--data DIR] [--staging DIR] [--title-font FILE] "
                         "[--text-font FILE] [--only STEP] [--preview DIR]\n");
    return 2;
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--out") options.out = value;
        else if (arg == "--data") options.data = value;
        else if (arg == "--staging") options.staging = value;
        else if (arg == "--title-font") options.titleFont = value;
        else if (arg == "--text-font") options.textFont = value;
        else if (arg == "--only") options.only = value;
        else if (arg == "--preview") options.preview = value;
        else return false;
    }
    if (options.out.empty()) return false;
    if (options.staging.empty()) options.staging = options.out / "content_staging";
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) return usage();
    auto started = std::chrono::steady_clock::now();

    std::string error;
    auto titleFace = pictures::FontFace::open(options.titleFont, error);
    auto textFace = titleFace ? pictures::FontFace::open(options.textFont, error) : nullptr;
    if (!titleFace || !textFace) {
        std::fprintf(stderr, "murmur-content: %s\n", error.c_str());
        return 1;
    }
    content::Fonts fonts{*titleFace, *textFace};

    std::error_code ec;
    fs::create_directories(options.out, ec);
    fs::path root = options.staging / "quellon_data";
    // A single step keeps what the last full run wrote beside it (the world's
    // light maps read the surface textures, for one).
    if (options.only.empty()) fs::remove_all(root, ec);
    if (ec) {
        std::fprintf(stderr, "murmur-content: %s: cannot clear the staging folder: %s\n", root.string().c_str(),
                     ec.message().c_str());
        return 1;
    }
    content::Staging staging(root);

    // Each step reports its time, so slow steps are easy to find.
    auto step = [&](const char* name, auto&& work) {
        if (!options.only.empty() && options.only != name) return;
        auto begin = std::chrono::steady_clock::now();
        work();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        std::printf("  %-22s %6.2f s\n", name, s);
    };
    step("data folders", [&] {
        content::makeDataFolders(staging);
        content::copyHandWritten(staging, options.data);
    });
    step("title pictures", [&] {
        content::writeLoaderPicture(staging, fonts);
        content::writeSetupPicture(staging, fonts, options.out / "setup.jpg");
        content::writeIcon(staging, fonts, options.out / "murmur.png");
        content::writeEndPicture(staging, fonts);
    });
    step("effect textures", [&] { content::writeEffectTextures(staging); });
    step("greetings", [&] { content::writeGreetings(staging, fonts); });
    step("dream sequence", [&] { content::writeDreamSequence(staging); });
    step("surface textures", [&] { content::writeSurfaceTextures(staging); });
    step("world", [&] { world::writeWorld(staging, fonts, options.preview); });
    step("bitmap font", [&] { content::writeBitmapFont(staging, fonts.title); });
    step("soundtrack", [&] {
        std::string musicError;
        if (!music::writeSoundtrack((root / "music" / "soundtrk.mp3").string(), musicError)) staging.fail(musicError);
    });

    if (staging.failed()) {
        std::fprintf(stderr, "murmur-content: %s\n", staging.error().c_str());
        return 1;
    }
    if (!options.only.empty()) return 0;
    bool packed = false;
    step("archive", [&] { packed = content::packFolder(root, options.out / "demodat", error); });
    if (!packed) {
        std::fprintf(stderr, "murmur-content: %s\n", error.c_str());
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("murmur-content: wrote %s and %s in %.1f s\n", (options.out / "demodat").string().c_str(),
                (options.out / "setup.jpg").string().c_str(), seconds);
    return 0;
}
