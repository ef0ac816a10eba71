// CopyText: the one bounded copy of a text into a fixed-size field.
#include <gtest/gtest.h>

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

}  // namespace
