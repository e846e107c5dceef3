#include "foundation/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/fake_host.h"
#include "support/printers.h"

namespace kestrova {
namespace {

using testing::ElementsAre;
using testing::Optional;

class FilesTest : public testing::Test {
protected:
    fake::FakeHost host;
    platform::ScopedAdapter<platform::Host> guard{host};
};

TEST_F(FilesTest, RunDirectoryCutsThePathBeforeItsLastSeparator) {
    const struct {
        const char* executable;
        const char* expected;
    } cases[] = {
        {"C:\\Kestrova\\kestrova.exe", "C:\\Kestrova"},
        {"/opt/kestrova/bin/kestrova", "/opt/kestrova/bin"},
        {"C:\\a/b\\c.exe", "C:\\a/b"},
        {"/a\\b/c", "/a\\b"},
        {"\\kestrova.exe", ""},
        {"kestrova.exe", ""},
        {"", ""},
        // 0xB1 0x5C is one character whose second byte is a backslash.
        {"C:\\\xB1\x5C\\k.exe", "C:\\\xB1\x5C"},
        {"D:\\\xB1\x5Ck.exe", "D:"},
        {"D:\\\xC4\xE3\xBA\xC3\\k.exe", "D:\\\xC4\xE3\xBA\xC3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Text(c.executable)));
        host.setExecutablePath(c.executable);
        EXPECT_EQ(runDirectory(), Text(c.expected));
    }
}

TEST_F(FilesTest, WriteFileWritesTheNonEmptyPartsInOrderAndCloses) {
    ASSERT_TRUE(writeFile("C:\\out.txt", {Bytes{'a', 'b'}, Bytes(), Bytes{0, 'c'}}));
    EXPECT_THAT(host.file("C:\\out.txt"), Optional(Bytes{'a', 'b', 0, 'c'}));
    EXPECT_THAT(host.calls(), ElementsAre("create C:\\out.txt", "write 1 2", "write 1 2", "close 1"));
}

TEST_F(FilesTest, WriteFileReplacesAnExistingFile) {
    host.putFile("out.txt", Bytes{'l', 'o', 'n', 'g', 'e', 'r'});
    ASSERT_TRUE(writeFile("out.txt", {Bytes{'x'}}));
    EXPECT_THAT(host.file("out.txt"), Optional(Bytes{'x'}));
}

TEST_F(FilesTest, WriteFileOfEmptyBytesLeavesAnEmptyFile) {
    host.putFile("old.txt", Bytes{'o', 'l', 'd'});
    EXPECT_TRUE(writeFile("old.txt", {Bytes()}));
    EXPECT_TRUE(writeFile("new.txt", {}));
    EXPECT_THAT(host.file("old.txt"), Optional(Bytes()));
    EXPECT_THAT(host.file("new.txt"), Optional(Bytes()));
    EXPECT_THAT(host.calls(), ElementsAre("create old.txt", "close 1", "create new.txt", "close 2"));
}

TEST_F(FilesTest, WriteFileToAnEmptyPathCreatesNothing) {
    EXPECT_FALSE(writeFile("", {Bytes{'a'}}));
    EXPECT_TRUE(host.calls().empty());
    EXPECT_EQ(host.fileCount(), 0);
}

TEST_F(FilesTest, WriteFileAnswersFalseWhenTheFileCannotBeCreated) {
    host.failCreation(true);
    EXPECT_FALSE(writeFile("out.txt", {Bytes{'a'}}));
    EXPECT_EQ(host.file("out.txt"), std::nullopt);
    EXPECT_THAT(host.calls(), ElementsAre("create out.txt failed"));
}

TEST_F(FilesTest, WriteFileKeepsWhatWasWrittenBeforeAFailedWrite) {
    host.failWritesAfter(1);
    EXPECT_FALSE(writeFile("out.txt", {Bytes{'a'}, Bytes{'b'}, Bytes{'c'}}));
    EXPECT_THAT(host.file("out.txt"), Optional(Bytes{'a'}));
    EXPECT_FALSE(host.isOpen("out.txt"));
    EXPECT_THAT(host.calls(), ElementsAre("create out.txt", "write 1 1", "write 1 1 failed", "close 1"));
}

TEST_F(FilesTest, WriteFileAnswersFalseWhenClosingFails) {
    host.failClosing(true);
    EXPECT_FALSE(writeFile("out.txt", {Bytes{'a'}}));
    EXPECT_FALSE(host.isOpen("out.txt"));
}

TEST_F(FilesTest, WriteFileIsRefusedWhileAnotherWriterHoldsThePath) {
    const platform::FileHandle first = host.createFileForWriting("out.txt");
    ASSERT_NE(first, platform::INVALID_FILE);
    const unsigned char kept[] = {'k'};
    ASSERT_TRUE(host.writeToFile(first, kept, 1));
    EXPECT_FALSE(writeFile("out.txt", {Bytes{'x'}}));
    EXPECT_THAT(host.file("out.txt"), Optional(Bytes{'k'}));
    ASSERT_TRUE(host.closeFile(first));
    EXPECT_TRUE(writeFile("out.txt", {Bytes{'x'}}));
    EXPECT_THAT(host.file("out.txt"), Optional(Bytes{'x'}));
}

}  // namespace
}  // namespace kestrova
