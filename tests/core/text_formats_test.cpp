#include <gtest/gtest.h>

#include "core/comma_fields.h"
#include "core/text_util.h"

namespace qs {
namespace {

TEST(GetCommaField, TakesFieldsAsWritten) {
    struct Case {
        const char* line;
        int n;
        const char* expected;
    };
    const Case cases[] = {
        {"red, green,,blue", 1, "red"},
        {"red, green,,blue", 2, " green"},
        {"red, green,,blue", 3, ""},
        {"red, green,,blue", 4, "blue"},
        {"red, green,,blue", 5, ""},
        {"no comma here", 1, "no comma here"},
        {"no comma here", 2, ""},
        {"", 1, ""},
        {"", 3, ""},
        {"a,b", 0, ""},
        {",", 2, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetCommaField(c.line, c.n), c.expected) << "line \"" << c.line << "\" field " << c.n;
    }
}

TEST(SplitLines, AcceptsEveryLineEnd) {
    EXPECT_EQ(splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(ParseInt, AcceptsOnlyWholeSigned32BitNumbers) {
    EXPECT_EQ(parseInt("42"), 42);
    EXPECT_EQ(parseInt("-7"), -7);
    EXPECT_EQ(parseInt("+3"), 3);
    EXPECT_EQ(parseInt("2147483647"), 2147483647);
    EXPECT_EQ(parseInt("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "-", "1.5", "12a", " 1", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(parseInt(bad).has_value()) << bad;
    EXPECT_EQ(parseIntOrHex("$ff"), 255);
    EXPECT_EQ(parseIntOrHex("$FFFFFF"), 0xFFFFFF);
    EXPECT_FALSE(parseIntOrHex("$").has_value());
    EXPECT_FALSE(parseIntOrHex("$fg").has_value());
}

}  // namespace
}  // namespace qs
