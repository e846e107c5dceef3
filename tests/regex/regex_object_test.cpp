#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/automation_host.h"
#include "platform/posix/gbk.h"
#include "platform/posix/regexp_pcre2.h"
#include "support/printers.h"

namespace kestrova {
namespace {

// The Linux regular-expression class behind the automation seam, and nothing
// else, so that these tests depend on that class alone.
class RegExpHost final : public platform::AutomationHost {
public:
    void coInitialize() override { ++initialised; }
    void coUninitialize() override { --initialised; }
    std::shared_ptr<platform::Dispatch> createObject(const Text& progId) override {
        return progId == Text("VBScript.RegExp") ? posix::createRegExp() : nullptr;
    }
    int initialised = 0;
};

class RegexObjectTest : public ::testing::Test {
protected:
    RegExpHost host;
    platform::ScopedAdapter<platform::AutomationHost> guard{host};
};

const Text resultLinkPattern = "a target=#引号_blank#引号 href=#引号(.*?)#引号 class=#引号c-showurl";

TEST_F(RegexObjectTest, HoldsOneInitialisationFromConstructionToDestruction) {
    {
        RegexObject regex;
        EXPECT_EQ(host.initialised, 1);
        regex.execute("a", "a");
        EXPECT_EQ(host.initialised, 1);
    }
    EXPECT_EQ(host.initialised, 0);
}

TEST_F(RegexObjectTest, OptionsDecideWhatIsFound) {
    struct Case {
        const char* name;
        Text pattern;
        Text subject;
        bool caseSensitive;
        bool multiline;
        bool global;
        bool quotePlaceholder;
        std::vector<Text> found;
    };
    const Case cases[] = {
        {"placeholder replaced",
         "x=#引号(\\w+)#引号 y=#引号(\\w+)#引号",
         "x=\"a\" y=\"b\"",
         false,
         true,
         true,
         true,
         {"x=\"a\" y=\"b\""}},
        {"placeholder kept",
         "x=#引号(\\w+)#引号",
         "x=\"a\" x=#引号b#引号",
         false,
         true,
         true,
         false,
         {"x=#引号b#引号"}},
        {"case ignored by default", "abc", "xABCx", false, true, true, false, {"ABC"}},
        {"case kept when sensitive", "abc", "xABCx abc", true, true, true, false, {"abc"}},
        {"Chinese ignores case around it", "标题(A)", "标题a 标题A", false, true, true, false, {"标题a", "标题A"}},
        {"global finds all", "b\\d", "b1 b2 b3", false, true, true, false, {"b1", "b2", "b3"}},
        {"not global finds the first", "b\\d", "b1 b2 b3", false, true, false, false, {"b1"}},
        {"dot stops at a line feed", "a(.*)b", "a\nb", false, true, true, false, {}},
        {"dot takes a carriage return", "a(.*)b", "a\rb", false, true, true, false, {"a\rb"}},
        {"caret at line starts when multiline", "^b.", "a1\nb2\nb3", false, true, true, false, {"b2", "b3"}},
        {"caret at the start only otherwise", "^b.", "b1\nb2", false, false, true, false, {"b1"}},
        {"dollar ignores a final line feed unless multiline", "a$", "a\n", false, false, true, false, {}},
        {"dollar at a line end when multiline", "a$", "a\na", false, true, true, false, {"a", "a"}},
        {"lazy group stops at the first quote",
         "\"(.*?)\"",
         "\"a\" \"b\"",
         false,
         true,
         true,
         false,
         {"\"a\"", "\"b\""}},
        {"empty matches step over characters", "x*", "axb", false, true, true, false, {"", "x", "", ""}},
        {"script escapes", "\\u4E2D\\x41", "中A", true, true, true, false, {"中A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegexObject regex;
        ASSERT_TRUE(regex.execute(c.pattern, c.subject, c.caseSensitive, c.multiline, c.global, c.quotePlaceholder));
        std::vector<Text> found;
        for (int32_t i = 1; i <= regex.matchCount(); ++i) {
            found.push_back(regex.matchText(i));
        }
        EXPECT_EQ(found, c.found);
    }
}

TEST_F(RegexObjectTest, GroupsOfEveryMatchCountFromOne) {
    RegexObject regex;
    ASSERT_TRUE(regex.execute("<(\\w+)>", "<one> and <two>"));
    EXPECT_EQ(regex.matchCount(), 2);
    EXPECT_EQ(regex.subMatchCount(), 1);
    EXPECT_EQ(regex.subMatchText(1, 1), Text("one"));
    EXPECT_EQ(regex.subMatchText(2, 1), Text("two"));
    EXPECT_EQ(regex.matchText(2), Text("<two>"));
}

TEST_F(RegexObjectTest, AGroupThatTookNoPartIsEmpty) {
    RegexObject regex;
    ASSERT_TRUE(regex.execute("(a)|(b)", "b"));
    EXPECT_EQ(regex.subMatchCount(), 2);
    EXPECT_EQ(regex.subMatchText(1, 1), Text());
    EXPECT_EQ(regex.subMatchText(1, 2), Text("b"));
}

TEST_F(RegexObjectTest, NothingFoundStillGivesACollection) {
    RegexObject regex;
    EXPECT_TRUE(regex.execute("(z)", "abc"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchCount(), 0);
    EXPECT_EQ(regex.subMatchText(1, 1), Text());
    int32_t position = 7;
    EXPECT_EQ(regex.matchText(1, &position), Text());
    EXPECT_EQ(position, -1);
}

TEST_F(RegexObjectTest, ARejectedPatternFindsNothing) {
    RegexObject regex;
    EXPECT_FALSE(regex.execute("(unclosed", "(unclosed"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchCount(), 0);
    EXPECT_EQ(regex.matchText(1), Text());
    EXPECT_EQ(regex.replace("x"), Text());
}

TEST_F(RegexObjectTest, NumbersOutsideTheCollectionGiveEmptyTexts) {
    RegexObject regex;
    ASSERT_TRUE(regex.execute("(a)", "a a"));
    for (const int32_t n : {0, -1, 3, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(regex.matchText(n), Text());
        EXPECT_EQ(regex.subMatchText(n, 1), Text());
        EXPECT_EQ(regex.subMatchText(1, n), Text());
    }
}

TEST_F(RegexObjectTest, BeforeAnyExecuteEverythingIsEmpty) {
    RegexObject regex;
    EXPECT_EQ(regex.pattern(), Text());
    EXPECT_EQ(regex.replace("x"), Text());
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchCount(), 0);
}

TEST_F(RegexObjectTest, PatternReadsBackWithQuotesInPlace) {
    RegexObject regex;
    regex.execute("href=#引号(.*?)#引号", "", false, true, true, true);
    EXPECT_EQ(regex.pattern(), Text("href=\"(.*?)\""));
}

TEST_F(RegexObjectTest, ReplaceExpandsGroupsTheMatchAndDollars) {
    struct Case {
        Text pattern;
        Text subject;
        bool global;
        Text replacement;
        Text result;
    };
    const Case cases[] = {
        {"(\\w)=(\\w)", "a=b c=d", true, "$2=$1", "b=a d=c"},
        {"(\\w)=(\\w)", "a=b c=d", false, "$2=$1", "b=a c=d"},
        {"=", "a=b", true, "[$&]", "a[=]b"},
        {"=", "a=b", true, "$$", "a$b"},
        {"=", "a=b", true, "<$`|$'>", "a<a|b>b"},
        {"(=)", "a=b", true, "$2$0$", "a$2$0$b"},
        {"中", "一中二中", true, "文", "一文二文"},
        {"x", "abc", true, "y", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.replacement.bytes());
        RegexObject regex;
        ASSERT_TRUE(regex.execute(c.pattern, c.subject, false, true, c.global));
        EXPECT_EQ(regex.replace(c.replacement), c.result);
    }
}

TEST_F(RegexObjectTest, PositionsAreByteOffsetsAfterDoubleByteText) {
    struct Case {
        const char* name;
        Text pattern;
        Text subject;
        std::vector<int32_t> matchPositions;
        std::vector<int32_t> groupPositions;
    };
    // The second "ab" stands where the first one does in UTF-16 units.
    const Case cases[] = {
        {"ASCII only", "(b)", "ab ab", {1, 4}, {1, 4}},
        {"after Chinese", "a(b)", "中文 ab ab", {5, 8}, {6, 9}},
        {"case ignored", "A(B)", "中文 ab AB", {5, 8}, {6, 9}},
        // GB18030 bytes of U+1F600: four bytes that the converter reads as
        // four units.
        {"after a character outside the BMP", "a(b)", "😀ab😀ab", {4, 10}, {5, 11}},
        {"after single-byte 0x80 and 0xFF",
         "a(b)",
         "\x80\xFF"
         "ab\x80\xFF"
         "ab",
         {2, 6},
         {3, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegexObject regex;
        ASSERT_TRUE(regex.execute(c.pattern, c.subject));
        ASSERT_EQ(regex.matchCount(), static_cast<int32_t>(c.matchPositions.size()));
        for (int32_t i = 1; i <= regex.matchCount(); ++i) {
            int32_t matchPosition = -9;
            int32_t groupPosition = -9;
            const Text found = regex.matchText(i, &matchPosition);
            const Text group = regex.subMatchText(i, 1, &groupPosition);
            EXPECT_EQ(matchPosition, c.matchPositions[static_cast<size_t>(i - 1)]);
            EXPECT_EQ(groupPosition, c.groupPositions[static_cast<size_t>(i - 1)]);
            EXPECT_EQ(c.subject.bytes().substr(static_cast<size_t>(matchPosition), found.bytes().size()),
                      found.bytes());
        }
    }
}

std::string readFixture(const char* name) {
    std::ifstream file(std::string(KESTROVA_FIXTURE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST_F(RegexObjectTest, FindsTheFourResultLinksOfARealPage) {
    const std::string page = posix::utf8ToGbk(readFixture("result-page-hello.html"));
    ASSERT_GT(page.size(), 100000u);
    RegexObject regex;
    ASSERT_TRUE(regex.execute(resultLinkPattern, Text(page), false, false, true, true));
    ASSERT_EQ(regex.matchCount(), 4);
    ASSERT_EQ(regex.subMatchCount(), 1);
    const std::vector<Text> expected = {
        "http://www.baidu.com/link?url=TDT7WLICNCr0NeffjBvsBPWyrZWOD-fr7HtQkzKym8c_vE3W67pRaldD47-4EVeK",
        "http://www.baidu.com/link?url=gEuAslrSkKEnugLTJNutjNmHsec20bQbBdV978XPPPG",
        "http://www.baidu.com/link?url=wQnSJ64RAqSbu4AgVEvHaLxKhmLuDbmVnQ6ogzLrWn9dnDcJle5t6uQp1wWpBHku",
        "http://www.baidu.com/link?url=1ngi0RjzaTtmgrSWu7snbh-_gQXfLv2Duo4aEOtZbEK",
    };
    for (int32_t i = 1; i <= 4; ++i) {
        int32_t position = -1;
        EXPECT_EQ(regex.subMatchText(i, 1), expected[static_cast<size_t>(i - 1)]);
        regex.matchText(i, &position);
        EXPECT_EQ(static_cast<size_t>(position),
                  page.find("a target=\"_blank\" href=\"" + expected[static_cast<size_t>(i - 1)].bytes()));
    }
}

// One line of about 5 MB: Chinese text, characters outside the BMP right
// before links, and after the last link several anchors that open the pattern
// but never close it, so that the lazy group has to scan to the end each time.
TEST_F(RegexObjectTest, FindsEveryLinkInAFiveMegabyteLine) {
    const std::string filler = "<span class=\"c\">中文摘要 text 结果</span><a href=\"http://other/\">x</a> ";
    const auto pad = [&](std::string& page, size_t bytes) {
        for (const size_t end = page.size() + bytes; page.size() < end;) {
            page += filler;
        }
    };
    std::string page = "<html><body>";
    std::vector<std::string> links;
    for (int i = 0; i < 10; ++i) {
        pad(page, 50000);
        links.push_back("http://www.baidu.com/link?url=" + std::to_string(i) + "_中");
        page += std::string("😀") + "<a target=\"_blank\" href=\"" + links.back() + "\" class=\"c-showurl\">";
    }
    for (int i = 0; i < 5; ++i) {
        pad(page, 900000);
        page += "<a target=\"_blank\" href=\"http://never/closed\" class=\"c-other\">";
    }
    pad(page, 100000);
    ASSERT_GT(page.size(), 5000000u);
    ASSERT_EQ(page.find('\n'), std::string::npos);

    RegexObject regex;
    ASSERT_TRUE(regex.execute(resultLinkPattern, Text(page), false, false, true, true));
    ASSERT_EQ(regex.matchCount(), 10);
    for (int32_t i = 1; i <= 10; ++i) {
        SCOPED_TRACE(i);
        const std::string& link = links[static_cast<size_t>(i - 1)];
        EXPECT_EQ(regex.subMatchText(i, 1), Text(link));
        int32_t position = -1;
        regex.matchText(i, &position);
        const size_t expected = page.find("a target=\"_blank\" href=\"" + link);
        EXPECT_EQ(static_cast<size_t>(position), expected);
        EXPECT_EQ(page.substr(expected - 5, 4), std::string("😀"));
    }
}

// Every repeat of the group keeps its place for backtracking; at this length
// that is more than the compiled code's stack holds.
TEST_F(RegexObjectTest, ARepeatTooDeepForTheCompiledCodeStillMatches) {
    std::string subject;
    for (int i = 0; i < 200000; ++i) {
        subject += "ab";
    }
    subject += "c";
    RegexObject regex;
    ASSERT_TRUE(regex.execute("(a|b)*?c", Text(subject)));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.matchText(1).length(), static_cast<int32_t>(subject.size()));
    EXPECT_EQ(regex.subMatchText(1, 1), Text("b"));
}

}  // namespace
}  // namespace kestrova
