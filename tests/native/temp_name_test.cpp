#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "encoding/posix/posix_temp_folder.h"
#include "encoding/temp_names.h"
#include "errors.h"
#include "oracles/scratch_dir.h"

namespace orvix {
namespace {

namespace fs = std::filesystem;

std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

// A platform that hands out scripted names and knows which files exist.
class ScriptedFolder : public TempFolder {
public:
    std::vector<std::string> names;
    std::set<std::string> existing;
    std::vector<std::string> prefixes;
    std::size_t next = 0;

    std::string createUniqueFile(std::string_view prefix) override {
        prefixes.emplace_back(prefix);
        const std::string name = names.at(next++ % names.size());
        existing.insert(name);
        return name;
    }
    bool exists(const std::string& path) const override { return existing.count(path) != 0; }
};

TEST(TempNames, ExtensionReplacesTheFileNamesLastDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Temp\\~~3F2A.TMP", "C:\\Temp\\~~3F2A.tiff"},
        {"/tmp/~~1A07.TMP", "/tmp/~~1A07.tiff"},
        {"/tmp/a.b/~~1.x.TMP", "/tmp/a.b/~~1.x.tiff"},
        {"/tmp/a.b/noext", "/tmp/a.b/noext.tiff"},
        {"C:\\a.b\\noext", "C:\\a.b\\noext.tiff"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(replaceExtension(path, ".tiff"), expected) << path;
}

TEST(TempNames, PrefixesHandedToThePlatform) {
    ScriptedFolder folder;
    folder.names = {"/t/~~1.TMP"};
    makeTempFileName(folder, ".pdf");
    makePageTempFileName(folder, 12, ".jpg");
    makePageTempFileName(folder, 0, ".jpg");
    EXPECT_EQ(folder.prefixes, (std::vector<std::string>{"~~", "~~12-", "~~0-"}));
}

TEST(TempNames, NameThatExistsIsSkipped) {
    ScriptedFolder folder;
    folder.names = {"/t/~~A.TMP", "/t/~~B.TMP", "/t/~~C.TMP"};
    folder.existing = {"/t/~~A.tiff", "/t/~~B.tiff"};
    EXPECT_EQ(makeTempFileName(folder, ".tiff"), "/t/~~C.tiff");
    EXPECT_EQ(folder.prefixes.size(), 3u);
}

TEST(TempNames, GivesUpWhenEveryNameIsTaken) {
    ScriptedFolder folder;
    folder.names = {"/t/~~A.TMP"};
    folder.existing = {"/t/~~A.jpg"};
    EXPECT_THROW(makePageTempFileName(folder, 3, ".jpg"), Error);
}

TEST(TempNames, PosixNamesFollowTheWindowsPattern) {
    oracle::ScratchDir dir;
    PosixTempFolder folder(dir.path().string());
    const std::regex plain(R"(~~[0-9A-F]{1,4}\.tiff)");
    const std::regex page1(R"(~~1[0-9A-F]{1,4}\.jpg)");

    const std::string a = makeTempFileName(folder, ".tiff");
    const std::string b = makeTempFileName(folder, ".tiff");
    EXPECT_NE(a, b) << "the first name's file was never created";
    for (const auto& name : {a, b}) {
        EXPECT_TRUE(std::regex_match(fileName(name), plain)) << name;
        EXPECT_EQ(fs::path(name).parent_path(), dir.path());
        EXPECT_FALSE(fs::exists(name));
        EXPECT_TRUE(fs::exists(replaceExtension(name, ".TMP"))) << "the platform's placeholder stays";
    }
    for (int page : {1, 12, 100}) {
        const std::string name = makePageTempFileName(folder, page, ".jpg");
        EXPECT_TRUE(std::regex_match(fileName(name), page1)) << name;
    }
}

// Two folder objects on one directory start from the same clock value, so
// the second one keeps meeting numbers the first has taken.
TEST(TempNames, PosixFolderSkipsNumbersInUse) {
    oracle::ScratchDir dir;
    PosixTempFolder first(dir.path().string()), second(dir.path().string());
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        names.insert(first.createUniqueFile("~~x"));
        names.insert(second.createUniqueFile("~~x"));
    }
    EXPECT_EQ(names.size(), 100u);
    for (const auto& n : names) EXPECT_TRUE(fs::exists(n)) << n;
}

TEST(TempNames, PosixFolderThatCannotBeWrittenIsAnError) {
    oracle::ScratchDir dir;
    PosixTempFolder folder(dir.file("missing"));
    EXPECT_THROW(makeTempFileName(folder, ".pdf"), Error);
}

TEST(TempNames, SystemFolderIsTmpdir) {
    oracle::ScratchDir dir;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", dir.path().c_str(), 1);
    const std::string name = makeTempFileName(*systemTempFolder(), ".pdf");
    if (old) ::setenv("TMPDIR", saved.c_str(), 1);
    else ::unsetenv("TMPDIR");
    EXPECT_EQ(fs::path(name).parent_path(), dir.path());
}

}  // namespace
}  // namespace orvix
