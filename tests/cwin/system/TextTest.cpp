// CopyText and FormatInto: the bounded texts in fixed-size fields.
#include <gtest/gtest.h>

#include <stdarg.h>
#include <string.h>

#include "cwin/system/Text.h"

namespace {

TEST(CopyText, CopiesAShortTextWhole)
{
    char field[8];
    memset(field, 'x', sizeof(field));
    CopyText(field, sizeof(field), "abc");
    EXPECT_STREQ("abc", field);
    EXPECT_EQ('x', field[4]);    // nothing written past the terminator
}

TEST(CopyText, CutsToOneLessThanTheFieldAndTerminates)
{
    char field[5];
    CopyText(field, sizeof(field), "abcdefgh");
    EXPECT_STREQ("abcd", field);
    CopyText(field, sizeof(field), "abcd");    // exactly fits
    EXPECT_STREQ("abcd", field);
}

TEST(CopyText, AnEmptyTextEmptiesTheField)
{
    char field[4] = "abc";
    CopyText(field, sizeof(field), "");
    EXPECT_STREQ("", field);
}

TEST(CopyText, ANullTextReadsAsPrintfShowsIt)
{
    char field[16];
    CopyText(field, sizeof(field), NULL);
    EXPECT_STREQ("(null)", field);
    char small[4];
    CopyText(small, sizeof(small), NULL);
    EXPECT_STREQ("(nu", small);
}

TEST(CopyText, ReadsTheTextNoFurtherThanTheFieldHolds)
{
    // No terminator within the first four bytes; the copy must stop at three.
    const char unterminated[4] = {'w', 'x', 'y', 'z'};
    char field[4];
    CopyText(field, sizeof(field), unterminated);
    EXPECT_STREQ("wxy", field);
}

TEST(CopyText, ATextInsideTheFieldMovesToItsStart)
{
    char field[8] = "..abc";
    CopyText(field, sizeof(field), field + 2);
    EXPECT_STREQ("abc", field);
}

TEST(CopyText, AFieldOfSizeOneGetsOnlyTheTerminatorAndOfSizeZeroNothing)
{
    char field[2] = {'q', 'r'};
    CopyText(field, 1, "abc");
    EXPECT_EQ(0, field[0]);
    EXPECT_EQ('r', field[1]);
    field[0] = 'q';
    CopyText(field, 0, "abc");
    EXPECT_EQ('q', field[0]);
}

const char* Format(char* field, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const char* result = FormatInto(field, size, format, args);
    va_end(args);
    return result;
}

TEST(FormatInto, FormatsCutsToOneLessThanTheFieldAndAlwaysTerminates)
{
    struct Case
    {
        size_t      size;
        const char* expected;
    } cases[] = {
        {16, "12-abc-3.50"},   // fits with room
        {12, "12-abc-3.50"},   // exactly fits
        {11, "12-abc-3.5"},    // one too long: cut, terminated
        {5, "12-a"},
        {1, ""},
    };
    for (const Case& c : cases) {
        char field[16];
        memset(field, 'x', sizeof(field));
        EXPECT_EQ(field, Format(field, c.size, "%d-%s-%.2f", 12, "abc", 3.5)) << c.size;
        EXPECT_STREQ(c.expected, field) << c.size;
        if (c.size < sizeof(field)) {
            EXPECT_EQ('x', field[c.size]) << c.size;   // nothing written past the field
        }
    }
    char untouched[2] = {'q', 'r'};
    Format(untouched, 0, "%s", "abc");
    EXPECT_EQ('q', untouched[0]);
}

}  // namespace
