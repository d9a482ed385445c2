#include <gtest/gtest.h>

#include "content/file_path.h"

namespace {

TEST(FilePath, SplitsADrivePathAndGivesItBack) {
    const FilePath path("D:\\data\\textures\\black.jpg");
    EXPECT_EQ(path.directory(), "D:\\data\\textures\\");
    EXPECT_EQ(path.name(), "black");
    EXPECT_EQ(path.extension(), "jpg");
    EXPECT_EQ(path.fileName(), "black.jpg");
    EXPECT_EQ(path.fullPath(), "D:\\data\\textures\\black.jpg");
}

TEST(FilePath, SplitsAtWhicheverSeparatorComesLast) {
    const FilePath slashes("models/robot_parts/arm.geo");
    EXPECT_EQ(slashes.directory(), "models/robot_parts/");
    EXPECT_EQ(slashes.name(), "arm");
    EXPECT_EQ(slashes.extension(), "geo");
    const FilePath backslashLast("a/b\\c.png");
    EXPECT_EQ(backslashLast.directory(), "a/b\\");
    EXPECT_EQ(backslashLast.name(), "c");
    const FilePath slashLast("a\\b/c.png");
    EXPECT_EQ(slashLast.directory(), "a\\b/");
    EXPECT_EQ(slashLast.fullPath(), "a\\b/c.png");
}

TEST(FilePath, DotsInTheFileName) {
    const FilePath hidden("dir/.hidden");
    EXPECT_EQ(hidden.name(), ".hidden");
    EXPECT_EQ(hidden.extension(), "");
    EXPECT_EQ(hidden.fileName(), ".hidden");
    const FilePath archive("archive.tar.gz");
    EXPECT_EQ(archive.directory(), "");
    EXPECT_EQ(archive.name(), "archive.tar");
    EXPECT_EQ(archive.extension(), "gz");
    const FilePath trailing("name.");
    EXPECT_EQ(trailing.name(), "name");
    EXPECT_EQ(trailing.extension(), "");
    EXPECT_EQ(trailing.fileName(), "name");
    // A dot in a directory name is not an extension.
    const FilePath dottedDir("v1.2/readme");
    EXPECT_EQ(dottedDir.name(), "readme");
    EXPECT_EQ(dottedDir.extension(), "");
}

TEST(FilePath, DegenerateAndUntouchedInputs) {
    const FilePath empty("");
    EXPECT_EQ(empty.directory(), "");
    EXPECT_EQ(empty.name(), "");
    EXPECT_EQ(empty.fullPath(), "");
    const FilePath dirOnly("data/fonts/");
    EXPECT_EQ(dirOnly.directory(), "data/fonts/");
    EXPECT_EQ(dirOnly.name(), "");
    EXPECT_EQ(dirOnly.extension(), "");
    const FilePath upper("setup.JPG");
    EXPECT_EQ(upper.extension(), "JPG");
    const FilePath bare("readme");
    EXPECT_EQ(bare.name(), "readme");
    EXPECT_EQ(bare.fullPath(), "readme");
}

}  // namespace
