// The frame's delimited text: its reader with the frame's progress bar, and the
// clipboard as a named source (the reader's own rules: tests/cwin/system).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cwin/frame/AppFrame.h"
#include "cwin/system/DelimitedText.h"
#include "cwin/system/HeapRegistry.h"
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
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back(Cell{cell, length, row, column, endOfRow});
        return true;
    }
};

struct Reader
{
    CAppFrame frame;
    CProgBar bar;
    Recorder cells;
    Reader() { frame.SetProgressBar(&bar); }
};

TEST(FrameDelimitedText, TheFrameReadsWithItsReaderAndAdvancesItsProgressBar)
{
    Reader r;
    char text[] = "a|bc  \r\nd";
    EXPECT_TRUE(r.frame.ReadDelimitedText(text, 9, '|', 0, &r.cells));
    std::vector<Cell> expected = { { "a", 1, 0, 0, false }, { "bc", 4, 0, 1, true }, { "d", 1, 1, 0, true } };
    EXPECT_EQ(expected, r.cells.cells);
    // The frame's bar got the text's length as its range and was set back to 0 at the end.
    EXPECT_EQ(9, r.bar.GetMaximum());
    EXPECT_EQ(0, r.bar.GetCounter());
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

TEST(DelimitedTextOnDesktop, TheClipboardSourceReadsTheClipboardText)
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

TEST(DelimitedTextOnDesktop, AnEmptyClipboardFails)
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
