#include "platform/fake/fake_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/printers.h"

namespace kestrova {
namespace {

using testing::ElementsAre;
using testing::Optional;

const unsigned char ab[] = {'a', 'b'};

TEST(FakeHost, AnswersTheExecutablePathAndTimeItWasGiven) {
    fake::FakeHost host;
    host.setExecutablePath("C:\\k\\k.exe");
    host.setTime({2021, 1, 2, 3, 4, 5});
    EXPECT_EQ(host.executablePath(), Text("C:\\k\\k.exe"));
    EXPECT_EQ(host.localTime(), (DateTime{2021, 1, 2, 3, 4, 5}));
}

TEST(FakeHost, CreationEmptiesTheFileAndWritesAppend) {
    fake::FakeHost host;
    host.putFile("f", Bytes{'o', 'l', 'd'});
    const platform::FileHandle file = host.createFileForWriting("f");
    ASSERT_NE(file, platform::INVALID_FILE);
    EXPECT_THAT(host.file("f"), Optional(Bytes()));
    ASSERT_TRUE(host.writeToFile(file, ab, 2));
    ASSERT_TRUE(host.writeToFile(file, ab, 1));
    EXPECT_TRUE(host.isOpen("f"));
    EXPECT_TRUE(host.closeFile(file));
    EXPECT_FALSE(host.isOpen("f"));
    EXPECT_THAT(host.file("f"), Optional(Bytes{'a', 'b', 'a'}));
    EXPECT_EQ(host.file("g"), std::nullopt);
}

TEST(FakeHost, RefusesASecondWriterAndUnknownOrClosedHandles) {
    fake::FakeHost host;
    const platform::FileHandle first = host.createFileForWriting("f");
    ASSERT_NE(first, platform::INVALID_FILE);
    EXPECT_EQ(host.createFileForWriting("f"), platform::INVALID_FILE);
    EXPECT_NE(host.createFileForWriting("g"), platform::INVALID_FILE);
    EXPECT_EQ(host.createFileForWriting(""), platform::INVALID_FILE);
    EXPECT_TRUE(host.closeFile(first));
    EXPECT_FALSE(host.writeToFile(first, ab, 2));
    EXPECT_FALSE(host.closeFile(first));
    EXPECT_THAT(host.calls(), ElementsAre("create f", "create f failed", "create g", "create  failed", "close 1",
                                          "write 1 2 failed", "close 1 failed"));
}

TEST(FakeHost, FailureSwitchesTakeEffectAndCanBeLifted) {
    fake::FakeHost host;
    host.failCreation(true);
    EXPECT_EQ(host.createFileForWriting("f"), platform::INVALID_FILE);
    EXPECT_EQ(host.fileCount(), 0);
    host.failCreation(false);
    const platform::FileHandle file = host.createFileForWriting("f");
    ASSERT_NE(file, platform::INVALID_FILE);

    host.failWritesAfter(0);
    EXPECT_FALSE(host.writeToFile(file, ab, 2));
    EXPECT_THAT(host.file("f"), Optional(Bytes()));
    host.failWritesAfter(std::nullopt);
    EXPECT_TRUE(host.writeToFile(file, ab, 2));

    host.failClosing(true);
    EXPECT_FALSE(host.closeFile(file));
    EXPECT_FALSE(host.isOpen("f"));
    EXPECT_THAT(host.file("f"), Optional(Bytes{'a', 'b'}));
}

}  // namespace
}  // namespace kestrova
