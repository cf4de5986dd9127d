// Paths built from the host's folders and our file names.
#include <gtest/gtest.h>

#include "base/Files.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

TEST(PathsTest, JoinUsesOneSeparatorAtTheSeam) {
    const std::string d(1, PathDelim);
    EXPECT_EQ(JoinPath("/data", "Quorvel"), "/data" + d + "Quorvel");
    EXPECT_EQ(JoinPath("/data/", "\\Quorvel\\configuration.xml"), "/data" + d + "Quorvel" + d + "configuration.xml");
    EXPECT_EQ(JoinPath("/data//", "/x"), "/data" + d + "x");
    EXPECT_EQ(JoinPath("/data", "Quorvel", "mainform.config.xml"), "/data" + d + "Quorvel" + d + "mainform.config.xml");
    EXPECT_EQ(JoinPath("", "a.xml"), "a.xml");
    EXPECT_EQ(JoinPath("/", "a.xml"), "/a.xml");
}

TEST(PathsTest, FileNameAndFolder) {
    EXPECT_EQ(ExtractFileName("/opt/pavo/Host.EXE"), "Host.EXE");
    EXPECT_EQ(ExtractFileDir("/opt/pavo/Host.EXE"), "/opt/pavo");
    EXPECT_EQ(ExtractFileName("host"), "host");
    EXPECT_EQ(ExtractFileDir("host"), "");
    EXPECT_EQ(ExtractFileDir("/host"), "/");
}

class FilesTest : public TempFolderTest {};

TEST_F(FilesTest, AtomicWriteReplacesWholeOrNothing) {
    const std::string target = Path("t.xml");
    EXPECT_TRUE(WriteFileAtomic(target, "first"));
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_TRUE(WriteFileAtomic(target, "second, longer"));
    EXPECT_EQ(ReadAll(target), "second, longer");

    // The temporary name is taken by a folder: the target stays as it was and
    // the folder is not removed.
    std::filesystem::create_directory(Path("t.xml.tmp"));
    EXPECT_FALSE(WriteFileAtomic(target, "third"));
    EXPECT_EQ(ReadAll(target), "second, longer");
    EXPECT_TRUE(std::filesystem::is_directory(Path("t.xml.tmp")));

    std::filesystem::create_directory(Path("sub"));  // a folder cannot be replaced
    EXPECT_FALSE(WriteFileAtomic(Path("sub"), "x"));
    EXPECT_FALSE(WriteFileAtomic(Path("none/x.xml"), "x"));
    EXPECT_FALSE(std::filesystem::exists(Path("none")));
}

TEST_F(FilesTest, CyrillicNamesReachTheFileSystemAsUtf8) {
    // "Настройки.xml" in cp1251.
    const std::string name = "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8.xml";
    EXPECT_TRUE(WriteFileAtomic(JoinPath(Folder(), name), "x"));
    EXPECT_TRUE(std::filesystem::exists(Path("\xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB8.xml")));
    EXPECT_TRUE(FileExists(JoinPath(Folder(), name)));
    EXPECT_TRUE(DeleteFile(JoinPath(Folder(), name)));
    EXPECT_FALSE(FileExists(JoinPath(Folder(), name)));
}

}  // namespace
}  // namespace quorvel::testing
