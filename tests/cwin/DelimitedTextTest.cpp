// Delimited text reader: cells, rows, trimming, line ends, named sources and
// progress, through the frame's ReadDelimitedText.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppFrame.h"
#include "HeapRegistry.h"
#include "TestSupport.h"

namespace {

struct Cell
{
    std::string text;
    int length, row, column;
    bool end;
    bool operator==(const Cell& o) const
    {
        return text == o.text && length == o.length && row == o.row && column == o.column && end == o.end;
    }
};

std::ostream& operator<<(std::ostream& os, const Cell& c)
{
    return os << "{" << Escaped(c.text) << "," << c.length << "," << c.row << "," << c.column << ","
              << c.end << "}";
}

struct Recorder : ITableReceiver
{
    std::vector<Cell> cells;
    int refuseAt = -1;
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back(Cell{cell, length, row, column, endOfRow});
        return (int)cells.size() - 1 != refuseAt;
    }
};

struct Reader
{
    CAppFrame frame;
    CProgBar bar;
    Recorder cells;
    Reader() { frame.SetProgressBar(&bar); }
    bool Read(std::string text, char field = '|')
    {
        buffer = text;
        return frame.ReadDelimitedText(&buffer[0], (int)text.size(), field, 0, &cells);
    }
    std::string buffer;
};

TEST(DelimitedText, CellsRowsAndTheLineFeedAfterCarriageReturn)
{
    Reader r;
    EXPECT_TRUE(r.Read("a|b\r\nc"));
    std::vector<Cell> expected = { { "a", 1, 0, 0, false }, { "b", 1, 0, 1, true }, { "c", 1, 1, 0, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, ATrailingSeparatorGivesAnEmptyLastCellAndNoEmptyRow)
{
    Reader r;
    EXPECT_TRUE(r.Read("a|\r\n"));
    std::vector<Cell> expected = { { "a", 1, 0, 0, false }, { "", 0, 0, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, TrailingSpacesAreCutButCountInTheLength)
{
    Reader r;
    EXPECT_TRUE(r.Read("x  |y\r   |  z  "));
    std::vector<Cell> expected = { { "x", 3, 0, 0, false }, { "y", 1, 0, 1, true },
                                   { "", 3, 1, 0, false }, { "  z", 5, 1, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, EmptyLinesAreNotRows)
{
    Reader r;
    EXPECT_TRUE(r.Read("a\r\n\r\n\r\nb\r\n"));
    std::vector<Cell> expected = { { "a", 1, 0, 0, true }, { "b", 1, 1, 0, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, ALeadingLineEndIsAnEmptyFirstRow)
{
    Reader r;
    EXPECT_TRUE(r.Read("\r\na|b"));
    std::vector<Cell> expected = { { "", 0, 0, 0, true }, { "a", 1, 1, 0, false }, { "b", 1, 1, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, OnlyCarriageReturnEndsALine)
{
    Reader r;
    EXPECT_TRUE(r.Read("a|b\nc|d\n"));
    std::vector<Cell> expected = { { "a", 1, 0, 0, false }, { "b\nc", 3, 0, 1, false },
                                   { "d\n", 2, 0, 2, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, ControlBytesAreSkippedOnlyAtTheStartOfALine)
{
    Reader r;
    EXPECT_TRUE(r.Read("a\t|b\r\n\t\tc"));
    std::vector<Cell> expected = { { "a\t", 2, 0, 0, false }, { "b", 1, 0, 1, true }, { "c", 1, 1, 0, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, AHighSeparatorByteSplitsTheDecodedReport)
{
    Reader r;
    EXPECT_TRUE(r.Read("\xA6" "01.02.03\xA6kind\xA6\r\n", '\xA6'));
    std::vector<Cell> expected = { { "", 0, 0, 0, false }, { "01.02.03", 8, 0, 1, false },
                                   { "kind", 4, 0, 2, false }, { "", 0, 0, 3, true } };
    EXPECT_EQ(expected, r.cells.cells);
}

TEST(DelimitedText, AReceiverThatRefusesStopsTheReading)
{
    Reader r;
    r.cells.refuseAt = 1;
    EXPECT_FALSE(r.Read("a|b|c\r\nd"));
    EXPECT_EQ(2u, r.cells.cells.size());
    EXPECT_EQ(3, r.bar.GetCounter());   // offsets 0 to 2 stepped, then stopped: no SetPos(0)
}

struct CountingBar : CProgBar
{
    int ranges = 0, steps = 0, positions = 0, lastMax = 0, lastPos = -1;
    LRESULT SetRange(int minimum, int maximum, int ignored) override
    {
        ++ranges;
        lastMax = maximum;
        return CProgBar::SetRange(minimum, maximum, ignored);
    }
    LRESULT SetPos(int position) override
    {
        ++positions;
        lastPos = position;
        return CProgBar::SetPos(position);
    }
    LRESULT Step() override
    {
        ++steps;
        return CProgBar::Step();
    }
};

TEST(DelimitedText, ProgressStepsEachExaminedOffsetButNotSkippedLineEnds)
{
    CAppFrame frame;
    CountingBar bar;
    frame.SetProgressBar(&bar);
    Recorder cells;
    char text[] = "ab|c";
    EXPECT_TRUE(frame.ReadDelimitedText(text, 4, '|', 0, &cells));
    EXPECT_EQ(1, bar.ranges);
    EXPECT_EQ(4, bar.lastMax);
    EXPECT_EQ(5, bar.steps);        // offsets 0 to 4, the terminator included
    EXPECT_EQ(1, bar.positions);
    EXPECT_EQ(0, bar.lastPos);

    CountingBar lines;
    frame.SetProgressBar(&lines);
    char twoLines[] = "a\r\n\r\nb";
    EXPECT_TRUE(frame.ReadDelimitedText(twoLines, 6, '|', 0, &cells));
    EXPECT_EQ(4, lines.steps);      // a, the CR, b, the terminator; not the skipped LF CR LF
}

TEST(DelimitedText, WithoutAProgressBarTheReaderStillWorks)
{
    CAppFrame frame;
    Recorder cells;
    char text[] = "a|b";
    EXPECT_TRUE(frame.ReadDelimitedText(text, 3, '|', 0, &cells));
    EXPECT_EQ(2u, cells.cells.size());
}

TEST(DelimitedText, NegativeLengthFailsWithoutCells)
{
    Reader r;
    char text[] = "a|b";
    EXPECT_FALSE(r.frame.ReadDelimitedText(text, -1, '|', 0, &r.cells));
    EXPECT_TRUE(r.cells.cells.empty());
    EXPECT_EQ(-1, r.bar.GetMaximum());
}

TEST(DelimitedText, LengthZeroNamesAFileThatIsReadAndReleased)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("t.txt"), "p;q\r\n"));
    Reader r;
    std::string name = dir.File("t.txt");
    int live = g_heapRegistry.LiveBlocks();
    EXPECT_TRUE(r.frame.ReadDelimitedText(&name[0], 0, ';', 0, &r.cells));
    std::vector<Cell> expected = { { "p", 1, 0, 0, false }, { "q", 1, 0, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
    EXPECT_EQ(live, g_heapRegistry.LiveBlocks());
}

TEST(DelimitedText, AnEmptyNameOrAMissingFileFails)
{
    Reader r;
    char empty[] = "";
    EXPECT_FALSE(r.frame.ReadDelimitedText(empty, 0, '|', 0, &r.cells));
    ScratchDir dir;
    std::string name = dir.File("missing.txt");
    EXPECT_FALSE(r.frame.ReadDelimitedText(&name[0], 0, '|', 0, &r.cells));
    EXPECT_TRUE(r.cells.cells.empty());
}

bool PutOnClipboard(const wchar_t* text)
{
    if (!OpenClipboard(NULL))
        return false;
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(data), text, bytes);
    GlobalUnlock(data);
    bool ok = SetClipboardData(CF_UNICODETEXT, data) != NULL;
    CloseClipboard();
    return ok;
}

TEST(DelimitedText, TheClipboardSourceReadsTheClipboardText)
{
    // "Иван|5" as UTF-16: the reader sees it in code page 1251.
    ASSERT_TRUE(PutOnClipboard(L"\x0418\x0432\x0430\x043D|5\r\n"));
    Reader r;
    char name[] = "Clipboard";
    int live = g_heapRegistry.LiveBlocks();
    EXPECT_TRUE(r.frame.ReadDelimitedText(name, 0, '|', 0, &r.cells));
    std::vector<Cell> expected = { { "Иван", 4, 0, 0, false }, { "5", 1, 0, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
    EXPECT_EQ(live, g_heapRegistry.LiveBlocks());

    // The name is case-sensitive: "clipboard" is a file name.
    char lower[] = "clipboard";
    r.cells.cells.clear();
    EXPECT_FALSE(r.frame.ReadDelimitedText(lower, 0, '|', 0, &r.cells));
}

TEST(DelimitedText, AnEmptyClipboardFails)
{
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();
    Reader r;
    char name[] = "Clipboard";
    EXPECT_FALSE(r.frame.ReadDelimitedText(name, 0, '|', 0, &r.cells));
    EXPECT_TRUE(r.cells.cells.empty());
}

}  // namespace
