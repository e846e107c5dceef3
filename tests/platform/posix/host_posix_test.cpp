#include "platform/posix/host_posix.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/date_time.h"
#include "foundation/files.h"
#include "support/printers.h"

namespace kestrova {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class PosixHostTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kestrova-host-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory = pattern;
    }
    void TearDown() override { fs::remove_all(directory); }

    // A path inside the temporary directory, in code page 936.
    Text at(const Text& name) const { return Text(directory.string()) + "/" + name; }

    fs::path directory;
    posix::PosixHost host;
    platform::ScopedAdapter<platform::Host> guard{host};
};

TEST_F(PosixHostTest, ChineseFileNamesReachTheFileSystemInUtf8) {
    ASSERT_TRUE(writeFile(at("结果.txt"), {Bytes{'h', 'i'}}));
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{utf8(u8"结果.txt")});
    EXPECT_EQ(readAll(directory / u8"结果.txt"), "hi");
}

TEST_F(PosixHostTest, WritingOverALongerFileLeavesOnlyTheNewBytes) {
    writeAll(directory / "out.txt", "a much longer earlier content");
    ASSERT_TRUE(writeFile(at("out.txt"), {Bytes{'a', 0, 'b'}, Bytes{'\r', '\n'}}));
    EXPECT_EQ(readAll(directory / "out.txt"), std::string("a\0b\r\n", 5));
}

TEST_F(PosixHostTest, EmptyBytesGiveAZeroLengthFile) {
    writeAll(directory / "old.txt", "old");
    EXPECT_TRUE(writeFile(at("old.txt"), {Bytes()}));
    EXPECT_TRUE(writeFile(at("new.txt"), {Bytes()}));
    EXPECT_EQ(fs::file_size(directory / "old.txt"), 0u);
    ASSERT_TRUE(fs::exists(directory / "new.txt"));
    EXPECT_EQ(fs::file_size(directory / "new.txt"), 0u);
}

TEST_F(PosixHostTest, PathsThatCannotBeCreatedAnswerFalse) {
    // A missing directory on the way, and directories themselves.
    const char* const paths[] = {"missing/out.txt", "", "sub"};
    fs::create_directory(directory / "sub");
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(writeFile(at(path), {Bytes{'x'}}));
    }
    EXPECT_FALSE(fs::exists(directory / "missing"));
    EXPECT_TRUE(fs::is_directory(directory / "sub"));
}

TEST_F(PosixHostTest, ASecondWriterIsRefusedWhileTheFirstHoldsTheFile) {
    writeAll(directory / "out.txt", "earlier");
    const platform::FileHandle first = host.createFileForWriting(at("out.txt"));
    ASSERT_NE(first, platform::INVALID_FILE);
    const unsigned char content[] = {'f', 'i', 'r', 's', 't'};
    ASSERT_TRUE(host.writeToFile(first, content, sizeof content));

    EXPECT_EQ(host.createFileForWriting(at("out.txt")), platform::INVALID_FILE);
    EXPECT_FALSE(writeFile(at("out.txt"), {Bytes{'s', 'e', 'c', 'o', 'n', 'd'}}));
    EXPECT_EQ(readAll(directory / "out.txt"), "first");

    ASSERT_TRUE(host.closeFile(first));
    EXPECT_EQ(readAll(directory / "out.txt"), "first");
    EXPECT_TRUE(writeFile(at("out.txt"), {Bytes{'s'}}));
    EXPECT_EQ(readAll(directory / "out.txt"), "s");
}

TEST(PosixHost, RunDirectoryNamesTheTestProgramsDirectory) {
    posix::PosixHost host;
    platform::ScopedAdapter<platform::Host> guard(host);
    const Text directory = runDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.bytes().back(), '/');
    EXPECT_TRUE(fs::equivalent(directory.bytes() + "/test_platform_posix", "/proc/self/exe"));
}

TEST(PosixHost, LocalTimeIsTheLocalClockToTheSecond) {
    posix::PosixHost host;
    const auto local = [](std::time_t moment) {
        std::tm fields{};
        localtime_r(&moment, &fields);
        return DateTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                        fields.tm_hour,        fields.tm_min,     fields.tm_sec};
    };
    // The clock may pass a second boundary during the call: either side is right.
    const std::time_t before = std::time(nullptr);
    const DateTime now = host.localTime();
    const std::time_t after = std::time(nullptr);
    EXPECT_TRUE(now == local(before) || now == local(after))
        << testing::PrintToString(now) << " between " << testing::PrintToString(local(before)) << " and "
        << testing::PrintToString(local(after));
}

}  // namespace
}  // namespace kestrova
