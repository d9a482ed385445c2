#include "app/data_archive.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void spit(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// One entry of an archive made for a test. `raw` entries are stored as
// given, with the claimed size and CRC below (so they can lie).
struct Entry {
    std::string name;
    std::string data;
    bool deflate = false;
    bool raw = false;
    uLong claimedSize = 0;
    uLong claimedCrc = 0;
};

void writeZip(const fs::path& path, const std::vector<Entry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    for (const Entry& e : entries) {
        zip_fileinfo info{};
        const int method = e.deflate ? Z_DEFLATED : 0;
        ASSERT_EQ(zipOpenNewFileInZip2(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                       Z_DEFAULT_COMPRESSION, e.raw ? 1 : 0),
                  ZIP_OK);
        if (!e.data.empty()) {
            ASSERT_EQ(zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())), ZIP_OK);
        }
        const int closed = e.raw ? zipCloseFileInZipRaw(zip, e.claimedSize, e.claimedCrc) : zipCloseFileInZip(zip);
        ASSERT_EQ(closed, ZIP_OK);
    }
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

uLong crcOf(const std::string& data) {
    return crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
}

// Each case works in a fresh folder: "target" is where the archive is
// unpacked, "outside" is a neighbour that nothing may reach, and the log
// goes to "log.txt" there.
class DataArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("murmur-archive-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "target");
        fs::create_directories(dir_ / "outside");
        fs::current_path(dir_);
        configureLog(false, true);
    }
    void TearDown() override {
        configureLog(false, false);
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    std::string log() const { return slurp(dir_ / "log.txt"); }
    fs::path target() const { return dir_ / "target"; }
    std::string targetDirectory() const { return target().string() + "/"; }
    std::string archive() const { return (dir_ / "demodat").string(); }
    int extract() { return extractArchive(archive(), targetDirectory()); }
    // Every file and folder under the test folder but outside the target.
    std::vector<std::string> strayPaths() const {
        std::vector<std::string> stray;
        for (const auto& e : fs::recursive_directory_iterator(dir_)) {
            const std::string relative = fs::relative(e.path(), dir_).string();
            if (relative == "target" || relative.rfind("target/", 0) == 0 || relative == "outside" ||
                relative == "log.txt" || relative == "demodat")
                continue;
            stray.push_back(relative);
        }
        return stray;
    }

    fs::path previous_;
    fs::path dir_;
};

TEST_F(DataArchiveTest, UnpacksOverwritesAndLeavesOtherFilesAlone) {
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 13);
    writeZip(archive(), {{"quellon_data/", ""},
                         {"quellon_data/models/", ""},
                         {"quellon_data/models/fan.geo", "new fan", true},
                         {"quellon_data/models/big.bin", big, true},
                         {"quellon_data/stored.txt", "stored bytes"},
                         {"quellon_data/empty.txt", ""},
                         {"quellon_data\\textures\\", ""},
                         {"quellon_data\\textures\\black.png", "black"},
                         {"quellon_data\\textures/mixed.png", "mixed"}});
    fs::create_directories(target() / "quellon_data/models");
    spit(target() / "quellon_data/models/fan.geo", "the old fan, longer than the new one");
    spit(target() / "quellon_data/models/old.geo", "no longer in the archive");

    for (int run = 0; run < 2; ++run) {
        ExtractionCounts counts;
        EXPECT_EQ(extractArchive(archive(), targetDirectory(), &counts), 0);
        EXPECT_EQ(counts.written, 9);
        EXPECT_EQ(counts.refused + counts.damaged + counts.failed, 0);
        EXPECT_TRUE(counts.wholeList);
        EXPECT_EQ(slurp(target() / "quellon_data/models/fan.geo"), "new fan");
        EXPECT_EQ(slurp(target() / "quellon_data/models/big.bin"), big);
        EXPECT_EQ(slurp(target() / "quellon_data/stored.txt"), "stored bytes");
        ASSERT_TRUE(fs::is_regular_file(target() / "quellon_data/empty.txt"));
        EXPECT_EQ(fs::file_size(target() / "quellon_data/empty.txt"), 0u);
        EXPECT_EQ(slurp(target() / "quellon_data/textures/black.png"), "black");
        EXPECT_EQ(slurp(target() / "quellon_data/textures/mixed.png"), "mixed");
        EXPECT_EQ(slurp(target() / "quellon_data/models/old.geo"), "no longer in the archive");
    }
    EXPECT_EQ(log(), "") << "a sound archive unpacks without a word";
}

TEST_F(DataArchiveTest, FilesWaitForTheirFolderEntry) {
    writeZip(archive(), {{"late/file.txt", "before its folder"},
                         {"late/", ""},
                         {"missing/file.txt", "no folder entry at all"},
                         {"late/after.txt", "after its folder"}});
    extract();
    EXPECT_TRUE(fs::is_directory(target() / "late"));
    EXPECT_FALSE(fs::exists(target() / "late/file.txt"));
    EXPECT_FALSE(fs::exists(target() / "missing"));
    EXPECT_EQ(slurp(target() / "late/after.txt"), "after its folder");
    const std::string text = log();
    EXPECT_NE(text.find("skipped late/file.txt: folder late: "), std::string::npos) << text;
    EXPECT_NE(text.find("skipped missing/file.txt: folder missing: "), std::string::npos) << text;
}

TEST_F(DataArchiveTest, NamesThatLeaveTheTargetAreRefused) {
    // An absolute name that a careless unpacker would honour: it points at
    // a folder that exists.
    const std::string absolute = (dir_ / "outside" / "absolute.txt").string();
    const std::string backslashed = "\\" + fs::relative(dir_ / "outside" / "backslashed.txt", "/").string();
    const std::vector<std::string> refused = {"../up.txt",
                                              "quellon_data/../../up2.txt",
                                              "..\\up3.txt",
                                              "quellon_data\\..\\..\\up4.txt",
                                              "quellon_data/..\\..\\up5.txt",
                                              "../outside/",
                                              absolute,
                                              backslashed,
                                              "C:/drive.txt",
                                              "c:drive2.txt",
                                              "C:\\drive3.txt",
                                              "./",
                                              "",
                                              "//server/share.txt"};
    std::vector<Entry> entries = {{"quellon_data/", ""}};
    for (const std::string& name : refused) entries.push_back({name, "escaped"});
    entries.push_back({"quellon_data/./kept.txt", "kept"});
    entries.push_back({"quellon_data/..b", "dots inside a name are plain characters"});
    entries.push_back({"quellon_data/" + std::string(300, 'n'), "a name too long to hold"});
    writeZip(archive(), entries);
    ExtractionCounts counts;
    extractArchive(archive(), targetDirectory(), &counts);
    EXPECT_EQ(counts.written, 3);
    EXPECT_EQ(counts.refused, static_cast<int>(refused.size()) + 1);

    EXPECT_EQ(strayPaths(), std::vector<std::string>{});
    EXPECT_TRUE(fs::is_empty(dir_ / "outside"));
    EXPECT_FALSE(fs::exists(target() / "C:"));
    EXPECT_FALSE(fs::exists(target() / "c:drive2.txt"));
    EXPECT_EQ(slurp(target() / "quellon_data/kept.txt"), "kept") << "a harmless \".\" is passed over";
    EXPECT_TRUE(fs::exists(target() / "quellon_data/..b"));
    EXPECT_EQ(std::distance(fs::directory_iterator(target() / "quellon_data"), fs::directory_iterator()), 2);
    const std::string text = log();
    EXPECT_EQ(countOf(text, "skipped an entry of the data archive: its name is longer than 259 characters"), 1)
        << text;
    for (const std::string& name : refused)
        EXPECT_EQ(countOf(text, "skipped " + name + ": "), 1) << name << "\n" << text;
}

TEST_F(DataArchiveTest, NamesReachTheLogWithControlCharactersEscaped) {
    writeZip(archive(), {{"quellon_data/", ""},
                         {"quellon_data/a\n[12:00:00-T    ] forged line/b.txt", "no such folder"},
                         {"../\x1b[31mred\ttab\r.txt", "climbs out"}});
    extract();
    const std::string text = log();
    EXPECT_EQ(countOf(text, "\n"), 2) << text;
    EXPECT_NE(text.find("skipped quellon_data/a\\n[12:00:00-T    ] forged line/b.txt: folder "
                        "quellon_data/a\\n[12:00:00-T    ] forged line: "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("skipped ../\\x1B[31mred\\ttab\\r.txt: name climbs out of its folder"), std::string::npos)
        << text;
}

TEST_F(DataArchiveTest, PlantedLinksAreNeverFollowed) {
    fs::create_directories(target() / "quellon_data");
    fs::create_directory_symlink(dir_ / "outside", target() / "quellon_data/models");
    spit(dir_ / "outside/victim.txt", "keep me");
    fs::create_symlink(dir_ / "outside/victim.txt", target() / "quellon_data/link.txt");
    fs::create_symlink(dir_ / "outside/new.txt", target() / "quellon_data/dangling.txt");
    writeZip(archive(), {{"quellon_data/", ""},
                         {"quellon_data/models/", ""},
                         {"quellon_data/models/fan.geo", "through the link"},
                         {"quellon_data/models/sub/", ""},
                         {"quellon_data/link.txt", "overwritten through the link"},
                         {"quellon_data/dangling.txt", "created through the link"},
                         {"quellon_data/fine.txt", "fine"}});
    ExtractionCounts counts;
    extractArchive(archive(), targetDirectory(), &counts);
    EXPECT_EQ(counts.written, 2) << "quellon_data/ and fine.txt";
    EXPECT_EQ(counts.refused, 5);

    EXPECT_EQ(slurp(dir_ / "outside/victim.txt"), "keep me");
    EXPECT_FALSE(fs::exists(dir_ / "outside/fan.geo"));
    EXPECT_FALSE(fs::exists(dir_ / "outside/sub"));
    EXPECT_FALSE(fs::exists(dir_ / "outside/new.txt"));
    EXPECT_TRUE(fs::is_symlink(target() / "quellon_data/link.txt"));
    EXPECT_EQ(slurp(target() / "quellon_data/fine.txt"), "fine");
    const std::string text = log();
    EXPECT_NE(text.find("skipped quellon_data/models/fan.geo: folder quellon_data/models: it is a link"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("can't create folder quellon_data/models/sub/: folder quellon_data/models: it is a link"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("skipped quellon_data/link.txt: it is a link"), std::string::npos) << text;
    EXPECT_NE(text.find("skipped quellon_data/dangling.txt: it is a link"), std::string::npos) << text;
}

TEST_F(DataArchiveTest, MissingAndTruncatedArchivesEndWithOneLine) {
    extract();
    EXPECT_EQ(countOf(log(), "\n"), 1);
    EXPECT_NE(log().find("can't open the data archive " + archive() + ": No such file or directory"),
              std::string::npos)
        << log();

    writeZip(archive(), {{"quellon_data/", ""}, {"quellon_data/a.txt", std::string(5000, 'a'), true}});
    const std::string whole = slurp(archive());
    for (std::size_t length : {whole.size() - 10, whole.size() / 2, std::size_t{3}, std::size_t{0}}) {
        spit(archive(), whole.substr(0, length));
        configureLog(false, true);
        extract();
        EXPECT_EQ(countOf(log(), "\n"), 1) << "cut to " << length << " bytes:\n" << log();
        EXPECT_NE(log().find("the data archive " + archive()), std::string::npos) << log();
    }
    EXPECT_TRUE(fs::is_empty(target()));

    // An empty archive (behind one byte of something else, which the zip
    // format allows).
    spit(archive(), std::string("#PK\x05\x06", 5) + std::string(18, '\0'));
    configureLog(false, true);
    extract();
    EXPECT_NE(log().find("holds no entries"), std::string::npos) << log();
}

TEST_F(DataArchiveTest, DamagedListStopsAfterTheEntriesBeforeIt) {
    writeZip(archive(), {{"first.txt", "first"}, {"second.txt", "second"}, {"third.txt", "third"}});
    std::string bytes = slurp(archive());
    // Spoil the signature of the second record of the central directory.
    const std::size_t central = bytes.find("PK\x01\x02");
    const std::size_t second = bytes.find("PK\x01\x02", central + 1);
    ASSERT_NE(second, std::string::npos);
    bytes[second + 3] = 9;
    spit(archive(), bytes);
    ExtractionCounts counts;
    extractArchive(archive(), targetDirectory(), &counts);
    EXPECT_EQ(counts.written, 1);
    EXPECT_FALSE(counts.wholeList);
    EXPECT_EQ(slurp(target() / "first.txt"), "first");
    EXPECT_FALSE(fs::exists(target() / "third.txt"));
    EXPECT_EQ(countOf(log(), "\n"), 1) << log();
    EXPECT_NE(log().find("is damaged after the entry first.txt; unpacking stopped"), std::string::npos) << log();
}

TEST_F(DataArchiveTest, DamagedEntriesAreRemovedAndTheRestUnpacked) {
    const std::string good = "the bytes as they were packed";
    std::vector<Entry> entries = {{"crc.txt", good}};
    // Claims more bytes than it holds, with their CRC.
    const std::string longer = good + " and some more";
    entries.push_back({"short.txt", good, false, true, static_cast<uLong>(longer.size()), crcOf(longer)});
    // Not a deflate stream at all.
    entries.push_back({"garbage.txt", std::string(64, '\xff'), true, true, 100, 0});
    entries.push_back({"after.txt", "after"});
    writeZip(archive(), entries);
    std::string bytes = slurp(archive());
    const std::size_t stored = bytes.find(good);
    ASSERT_NE(stored, std::string::npos);
    bytes[stored] = 'T';  // the stored copy of crc.txt now fails its CRC
    spit(archive(), bytes);
    spit(target() / "garbage.txt", "an earlier copy");

    ExtractionCounts counts;
    extractArchive(archive(), targetDirectory(), &counts);
    EXPECT_EQ(counts.written, 1);
    EXPECT_EQ(counts.damaged, 3);
    EXPECT_TRUE(counts.wholeList);
    EXPECT_FALSE(fs::exists(target() / "crc.txt"));
    EXPECT_FALSE(fs::exists(target() / "short.txt"));
    EXPECT_FALSE(fs::exists(target() / "garbage.txt"));
    EXPECT_EQ(slurp(target() / "after.txt"), "after");
    const std::string text = log();
    EXPECT_NE(text.find("crc.txt fails its CRC check; not written"), std::string::npos) << text;
    EXPECT_NE(text.find("short.txt holds 29 bytes instead of 43; not written"), std::string::npos) << text;
    EXPECT_NE(text.find("garbage.txt is damaged in the data archive; not written"), std::string::npos) << text;
}

TEST_F(DataArchiveTest, DataFolderThatIsALinkOrWritableByOthersIsNotUsed) {
    const std::string temporary = (dir_ / "tmp").string() + "/";
    fs::create_directories(temporary);
    const std::string data = temporary + "quellon_data";
    const std::string privateTarget = temporary + "murmur-" + std::to_string(geteuid()) + "/";

    // The folder is made before it is judged, for this user alone whatever
    // the umask says.
    const mode_t previousMask = umask(002);
    EXPECT_EQ(extractionTarget(temporary), temporary) << "no data folder yet";
    umask(previousMask);
    struct stat st;
    ASSERT_EQ(lstat(data.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(extractionTarget(temporary), temporary) << "the user's own data folder";
    EXPECT_EQ(log(), "");

    fs::remove(data);
    fs::create_directory_symlink(dir_ / "outside", data);
    EXPECT_EQ(extractionTarget(temporary), privateTarget);
    EXPECT_NE(log().find(data + " is a link; the data goes into " + privateTarget + "quellon_data instead"),
              std::string::npos)
        << log();
    ASSERT_EQ(stat(privateTarget.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(extractionTarget(temporary), privateTarget) << "the private folder is used again";
    EXPECT_TRUE(fs::is_empty(dir_ / "outside"));

    // Others could put their own programs and pictures in a folder they can
    // write in, even one of this user's own.
    for (const mode_t mode : {0777u, 0775u, 0757u}) {
        configureLog(false, true);
        fs::remove(data);
        fs::create_directory(data);
        ASSERT_EQ(chmod(data.c_str(), mode), 0);
        EXPECT_EQ(extractionTarget(temporary), privateTarget) << std::oct << mode;
        EXPECT_NE(log().find(data + " is writable by other users; the data goes into " + privateTarget),
                  std::string::npos)
            << log();
    }

    // A private folder that others can enter is not private: a fresh one is made.
    chmod(privateTarget.c_str(), 0755);
    const std::string fresh = extractionTarget(temporary);
    EXPECT_NE(fresh, privateTarget);
    EXPECT_EQ(fresh.rfind(temporary + "murmur-", 0), 0u) << fresh;
    ASSERT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(DataArchiveTest, WithoutAPrivateFolderThereIsNoTarget) {
    // A temporary directory that is a file: nothing can be made inside it.
    spit(dir_ / "tmp", "not a folder");
    const std::string temporary = (dir_ / "tmp").string() + "/";
    EXPECT_EQ(extractionTarget(temporary), "");
    const std::string text = log();
    EXPECT_NE(text.find("can't make a private folder in " + temporary), std::string::npos) << text;
    EXPECT_NE(text.find(temporary + "quellon_data cannot be reached: Not a directory, and there is no private "
                                    "folder to put the data in instead"),
              std::string::npos)
        << text;
}

TEST_F(DataArchiveTest, SummaryNamesTheCountsAndWhereTheDataWent) {
    ExtractionCounts counts;
    counts.written = 512;
    counts.refused = 2;
    counts.damaged = 1;
    counts.wholeList = true;
    EXPECT_EQ(extractionSummary("/opt/murmur/demodat", "/tmp/quellon_data/", counts),
              "the data archive /opt/murmur/demodat was unpacked into /tmp/quellon_data/: 512 entries written, "
              "2 refused, 1 damaged, 0 failed");
    counts.wholeList = false;
    EXPECT_NE(extractionSummary("a", "b/", counts).find("; unpacking stopped before the end of the archive"),
              std::string::npos);
}

// Handing a folder to another user needs root (or the capability to change
// owners); CI runs as root, so these cases run there.
bool handToAnotherUser(const fs::path& path) { return chown(path.c_str(), 12345, 12345) == 0; }

TEST_F(DataArchiveTest, FoldersOfAnotherUserAreNotUsed) {
    const std::string temporary = (dir_ / "tmp").string() + "/";
    fs::create_directories(temporary + "quellon_data");
    if (!handToAnotherUser(temporary + "quellon_data"))
        GTEST_SKIP() << "cannot give a folder to another user without root or CAP_CHOWN (" << std::strerror(errno)
                     << "); CI runs as root and runs this case";
    const std::string privateTarget = temporary + "murmur-" + std::to_string(geteuid()) + "/";
    EXPECT_EQ(extractionTarget(temporary), privateTarget);
    EXPECT_NE(log().find("quellon_data is another user's folder; the data goes into " + privateTarget),
              std::string::npos)
        << log();

    // A folder inside the tree that belongs to someone else is not written into.
    fs::create_directories(target() / "quellon_data/models");
    ASSERT_TRUE(handToAnotherUser(target() / "quellon_data/models"));
    writeZip(archive(), {{"quellon_data/models/fan.geo", "fan"}});
    ExtractionCounts counts;
    extractArchive(archive(), targetDirectory(), &counts);
    EXPECT_EQ(counts.refused, 1);
    EXPECT_FALSE(fs::exists(target() / "quellon_data/models/fan.geo"));
    EXPECT_NE(log().find("skipped quellon_data/models/fan.geo: folder quellon_data/models belongs to another user"),
              std::string::npos)
        << log();
}

}  // namespace
