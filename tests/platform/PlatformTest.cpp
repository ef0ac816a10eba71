// The environment the tests run in must be the system's: a wrong locale would
// turn every Cyrillic byte comparison into a silent mismatch.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

TEST(Platform, RussianCodePages)
{
    EXPECT_EQ(1251u, GetACP());
    EXPECT_EQ(866u, GetOEMCP());
}

TEST(Platform, LiteralsAreStoredInCodePage1251)
{
    // "Привет №" in code page 1251.
    const char* text = "Привет №";
    const unsigned char expected[] = { 0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0x20, 0xB9, 0 };
    EXPECT_EQ(0, memcmp(text, expected, sizeof(expected)));
}

TEST(Platform, OemBoxCharactersFoldAsTheReportParserExpects)
{
    // Light vertical, up-and-right, horizontal, up-and-horizontal; then "Я".
    const char oem[] = "\xB3\xC0\xC4\xC1\x9F";
    wchar_t wide[8];
    char ansi[8];
    int n = MultiByteToWideChar(CP_OEMCP, 0, oem, 5, wide, 8);
    ASSERT_EQ(5, n);
    ASSERT_EQ(5, WideCharToMultiByte(CP_ACP, 0, wide, n, ansi, 8, NULL, NULL));
    EXPECT_EQ('\xA6', ansi[0]);
    EXPECT_EQ('L', ansi[1]);
    EXPECT_EQ('-', ansi[2]);
    EXPECT_EQ('+', ansi[3]);
    EXPECT_EQ('\xDF', ansi[4]);
}
