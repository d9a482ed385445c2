// The archive format: packing order, folder entries, time stamps, integrity,
// and that the tool gives the same bytes on every run.
#include "test_archive.h"
#include "tools/content/archive.h"
#include "tools/music/mp3_codec.h"
#include "tools/music/timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace testing_tools;

namespace {

fs::path freshFolder(const std::string& name)
{
    fs::path dir = scratchFolder(name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> names(const std::vector<ArchiveEntry>& entries)
{
    std::vector<std::string> out;
    for (const ArchiveEntry& e : entries) out.push_back(e.name);
    return out;
}

// Every entry's folder is an entry of its own, listed before it.
void expectFoldersFirst(const std::vector<ArchiveEntry>& entries, const std::string& top)
{
    std::set<std::string> seen;
    for (const ArchiveEntry& e : entries) {
        EXPECT_TRUE(e.name.rfind(top, 0) == 0) << e.name << " lies outside " << top;
        EXPECT_LT(e.name.size(), 260u) << e.name;
        EXPECT_EQ(e.name.find('\\'), std::string::npos) << e.name;
        std::string parent = e.name;
        if (parent.back() == '/') parent.pop_back();
        size_t slash = parent.rfind('/');
        if (slash != std::string::npos) {
            parent = parent.substr(0, slash + 1);
            EXPECT_TRUE(seen.count(parent)) << e.name << " comes before its folder entry " << parent;
        }
        EXPECT_TRUE(seen.insert(e.name).second) << "duplicate entry " << e.name;
    }
}

} // namespace

TEST(PackFolder, StoresFoldersBeforeTheirContentsInSortedOrder)
{
    fs::path root = freshFolder("pack") / "quellon_data";
    writeText(root / "b.txt", "bee");
    writeText(root / "a.txt", std::string(10000, 'a'));
    writeText(root / "zoo" / "deep" / "x.png", "not really a png");
    writeText(root / "models" / "empty.geo", "");
    fs::create_directories(root / "music");
    fs::path zip = root.parent_path() / "demodat";
    std::string error;
    ASSERT_TRUE(content::packFolder(root, zip, error)) << error;

    std::vector<ArchiveEntry> entries;
    ASSERT_TRUE(readArchive(zip.string(), entries, error)) << error;
    std::vector<std::string> expected = {"quellon_data/",        "quellon_data/a.txt",  "quellon_data/b.txt",
                                         "quellon_data/models/", "quellon_data/models/empty.geo",
                                         "quellon_data/music/",  "quellon_data/zoo/",   "quellon_data/zoo/deep/",
                                         "quellon_data/zoo/deep/x.png"};
    EXPECT_EQ(names(entries), expected);
    EXPECT_EQ(entries[1].bytes, std::string(10000, 'a'));
    EXPECT_EQ(entries[4].bytes, "");
    EXPECT_EQ(entries[8].bytes, "not really a png");
    EXPECT_FALSE(fs::exists(zip.string() + ".partial"));
    EXPECT_EQ(std::system(("unzip -tq '" + zip.string() + "' > /dev/null").c_str()), 0);

    // Packing again gives the same bytes: fixed time stamps, fixed order.
    std::string first = readFile(zip.string());
    fs::last_write_time(root / "b.txt", fs::file_time_type::clock::now() - std::chrono::hours(50));
    ASSERT_TRUE(content::packFolder(root.string() + "/", zip, error)) << error;
    EXPECT_EQ(readFile(zip.string()), first);
}

TEST(PackFolder, MissingFolderFailsAndLeavesNoArchive)
{
    fs::path dir = freshFolder("missing");
    std::string error;
    EXPECT_FALSE(content::packFolder(dir / "nothing", dir / "demodat", error));
    EXPECT_NE(error.find("nothing"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "demodat"));

    fs::create_directories(dir / "tree");
    EXPECT_FALSE(content::packFolder(dir / "tree", dir / "no_such_folder" / "demodat", error));
    EXPECT_NE(error.find("no_such_folder"), std::string::npos) << error;

    // "tree/" and a 250-byte file name make an entry name of 255 bytes: fine;
    // one more folder level takes it past what the demo can read.
    std::string longName(250, 'n');
    writeText(dir / "tree" / longName, "x");
    EXPECT_TRUE(content::packFolder(dir / "tree", dir / "demodat", error)) << error;
    writeText(dir / "tree" / "deeper" / longName, "x");
    EXPECT_FALSE(content::packFolder(dir / "tree", dir / "demodat", error));
    EXPECT_NE(error.find(longName), std::string::npos) << error;
    EXPECT_NE(error.find("longer than 259"), std::string::npos) << error;
    // The failed run left the earlier archive in place.
    std::vector<ArchiveEntry> entries;
    ASSERT_TRUE(readArchive((dir / "demodat").string(), entries, error)) << error;
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_FALSE(fs::exists(dir / "demodat.partial"));
}

TEST(BuiltArchive, PassesUnzipTestWithEveryEntryUnderTheDataFolder)
{
    std::string archive = std::string(MURMUR_BIN_DIR) + "/demodat";
    EXPECT_EQ(std::system(("unzip -tq '" + archive + "' > /dev/null").c_str()), 0);
    std::vector<ArchiveEntry> entries;
    std::string error;
    ASSERT_TRUE(readArchive(archive, entries, error)) << error;
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().name, "quellon_data/");
    expectFoldersFirst(entries, "quellon_data/");
    std::vector<std::string> all_names = names(entries);
    std::set<std::string> present(all_names.begin(), all_names.end());
    for (const char* folder : {"models/", "models/robot_parts/", "textures/", "textures/greetz/", "textures/dream/",
                               "textures/lightmaps/", "effects/", "animations/", "materials/", "fonts/", "cameras/",
                               "music/"})
        EXPECT_TRUE(present.count(std::string("quellon_data/") + folder)) << folder;
}

TEST(BuiltArchive, CarriesTheSoundtrack)
{
    // The stream the show plays: the music folder of the staged tree is what
    // the archive packed.
    const std::string path = std::string(MURMUR_BIN_DIR) + "/../content_staging/quellon_data/music/soundtrk.mp3";
    music::DecodedAudio audio;
    std::string error;
    ASSERT_TRUE(music::decodeMp3File(path, audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_NEAR(static_cast<double>(audio.frames()) / 44100.0, music::timeline::kLength, 0.1);

    std::vector<ArchiveEntry> entries;
    ASSERT_TRUE(readArchive(std::string(MURMUR_BIN_DIR) + "/demodat", entries, error)) << error;
    const auto packed = std::find_if(entries.begin(), entries.end(),
                                     [](const ArchiveEntry& e) { return e.name == "quellon_data/music/soundtrk.mp3"; });
    ASSERT_NE(packed, entries.end());
    EXPECT_TRUE(packed->bytes == readFile(path)) << "the archive holds the staged soundtrack";
}

TEST(BuiltArchive, SecondRunOfTheToolIsByteIdentical)
{
    fs::path out = freshFolder("rerun");
    std::string command = std::string("'") + MURMUR_BIN_DIR + "/murmur-content' --out '" + out.string() +
                          "' --data '" + MURMUR_SOURCE_DIR + "/data' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string built = readFile(std::string(MURMUR_BIN_DIR) + "/demodat");
    std::string again = readFile((out / "demodat").string());
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(built == again) << "demodat differs between runs (" << built.size() << " vs " << again.size()
                                << " bytes)";
    EXPECT_TRUE(readFile(std::string(MURMUR_BIN_DIR) + "/setup.jpg") == readFile((out / "setup.jpg").string()));
    fs::remove_all(out);
}
