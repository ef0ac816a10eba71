// The report's text before its cells: the table found between its markers
// (the search runs a word and sixteen bytes at a time, so every case is tried
// at every start alignment), and the decoding from the OEM code page, which
// goes a slice at a time through long reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "ReportText.h"

namespace {

const std::string kStart = "\xA6.........";   // vertical line, nine dots
const std::string kEnd = "L--------+";        // corner, eight dashes, tee

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// The text placed `offset` bytes past a 64-byte boundary, zero-terminated,
// with room behind it for the word-wide reads past the terminator.
struct PlacedText
{
    std::vector<char> storage;
    char* text;

    PlacedText(const std::string& bytes, size_t offset) : storage(bytes.size() + 256, 'Z')
    {
        uintptr_t base = ((uintptr_t)storage.data() + 63) & ~(uintptr_t)63;
        text = reinterpret_cast<char*>(base) + offset;
        memcpy(text, bytes.data(), bytes.size());
        text[bytes.size()] = 0;
    }
};

// A report row of three cells.
const std::string kRow = "\xA6 12\xA6 Товар\xA6 5,00\xA6\r\n";

struct Located
{
    const char* name;
    std::string head, body, tail;
    size_t rows;   // the table's CR bytes and one
};

TEST(ReportTable, TheTableRunsFromTheFirstStartToTheFirstEndAtEveryAlignment)
{
    const Located cases[] = {
        {"markers only", "", "", "", 1},
        {"three rows between titles", "Title\r\n\r\n", Repeat(kRow, 3), "\r\nFooter\r\n", 4},
        // A start needs all nine dots, an end its tee; the rows' separators
        // are the start's first byte and their 'L's the end's.
        {"false starts and ends",
         "\xA6........ \xA6\xA6.......\r\nL---------\r\n",
         "L--------\r\nLL\rL-------+\r\xA6", "", 4},
        // More than 255 sixteen-byte windows of CRs before and inside the table.
        {"CRs only", Repeat("\r\n", 5000), Repeat("\r", 9000) + "x", "", 9001},
        {"an end's first byte in every window", "", Repeat("L\r", 3000), "", 3001},
        {"later markers are text after the end", "", kRow, "\r\n" + kStart + "\r\n" + kEnd, 2},
        {"a long table", Repeat("x", 70), Repeat(kRow, 2000), "", 2001},
    };
    for (const Located& c : cases) {
        const std::string whole = c.head + kStart + c.body + kEnd + c.tail;
        for (size_t offset = 0; offset < 32; ++offset) {
            SCOPED_TRACE(std::string(c.name) + ", offset " + std::to_string(offset));
            PlacedText placed(whole, offset);
            ReportTable table = {};
            ASSERT_EQ(TableLocated, LocateReportTable(placed.text, &table));
            EXPECT_EQ(placed.text + c.head.size(), table.start);
            EXPECT_EQ(kStart.size() + c.body.size(), table.length);
            EXPECT_EQ(c.rows, table.rows);
            // The text ends where the end marker was.
            EXPECT_EQ(0, placed.text[c.head.size() + kStart.size() + c.body.size()]);
        }
    }
}

TEST(ReportTable, AnEndBeforeTheStartLetsTheTableRunToTheTextsEnd)
{
    const std::string head = "Title\r\n" + kEnd + "\r\n\r\n";
    const std::string table = kStart + Repeat(kRow, 40) + "\r\nlast";
    for (size_t offset = 0; offset < 32; ++offset) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        PlacedText placed(head + table, offset);
        ReportTable found = {};
        ASSERT_EQ(TableLocated, LocateReportTable(placed.text, &found));
        EXPECT_EQ(placed.text + head.size(), found.start);
        EXPECT_EQ(table.size(), found.length);
        EXPECT_EQ(42u, found.rows);
        EXPECT_EQ(0, placed.text[7]);   // ended at the end marker
    }
}

TEST(ReportTable, AMissingMarkerOrOneBehindAStrayZeroIsNotFound)
{
    const struct
    {
        const char* name;
        std::string text;
        ReportTableFound result;
    } cases[] = {
        {"no start", "Title\r\n" + Repeat(kRow, 3) + kEnd, NoTableStart},
        {"eight dots", "\xA6........\r\n" + kRow + kEnd, NoTableStart},
        {"no end", kStart + Repeat(kRow, 300), NoTableEnd},
        {"no tee", kStart + kRow + "L--------\r\n", NoTableEnd},
        {"start behind a zero", Repeat("\r\n", 100) + std::string(1, '\0') + kStart + kRow + kEnd, NoTableStart},
        {"end behind a zero", kStart + Repeat(kRow, 100) + std::string(1, '\0') + kEnd, NoTableEnd},
    };
    for (const auto& c : cases) {
        for (size_t offset = 0; offset < 32; ++offset) {
            SCOPED_TRACE(std::string(c.name) + ", offset " + std::to_string(offset));
            PlacedText placed(c.text, offset);
            ReportTable table = {};
            EXPECT_EQ(c.result, LocateReportTable(placed.text, &table));
        }
    }
}

// OEM 866 to ANSI 1251: 0x80 'А' is 0xC0, 0xE0 'р' is 0xF0, 0xF0 'Ё' is 0xA8;
// ASCII stays. The marks sit at both ends of each 65,536-byte slice.
TEST(ReportDecoding, ALongReportIsDecodedWholeAcrossItsSlices)
{
    ASSERT_EQ(866u, GetOEMCP());
    ASSERT_EQ(1251u, GetACP());
    const int length = 2 * 65536 + 100;
    std::vector<char> text(length + 1, 'a');
    const struct
    {
        int at;
        char oem, ansi;
    } marks[] = {
        {0, '\x80', '\xC0'},      {65535, '\xE0', '\xF0'},  {65536, '\xF0', '\xA8'},
        {65537, '\x80', '\xC0'},  {131071, '\xE0', '\xF0'}, {131072, '\x80', '\xC0'},
        {length - 1, '\xF0', '\xA8'},
    };
    for (const auto& m : marks)
        text[m.at] = m.oem;
    text[length] = 'Z';
    EXPECT_EQ(length, DecodeOemText(text.data(), length));
    EXPECT_EQ(0, text[length]);
    int plain = 0;
    for (int i = 0; i < length; ++i)
        plain += text[i] == 'a';
    EXPECT_EQ(length - (int)(sizeof(marks) / sizeof(marks[0])), plain);
    for (const auto& m : marks)
        EXPECT_EQ(m.ansi, text[m.at]) << "byte " << m.at;
}

TEST(ReportDecoding, ShortAndEmptyTexts)
{
    char text[] = "\x80\xE0\xF0 L--------+\r\nZ";
    const int length = (int)strlen(text) - 1;   // the Z stays outside
    EXPECT_EQ(length, DecodeOemText(text, length));
    EXPECT_EQ(std::string("\xC0\xF0\xA8 L--------+\r\n"), std::string(text));
    // A failed read's -1 and an empty file pass through untouched.
    char untouched[] = "x";
    EXPECT_EQ(-1, DecodeOemText(untouched, -1));
    EXPECT_EQ(0, DecodeOemText(untouched, 0));
    EXPECT_EQ('x', untouched[0]);
}

}  // namespace
