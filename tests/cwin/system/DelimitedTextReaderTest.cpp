// CDelimitedTextReader: cells, rows, trimming, line ends, named sources, progress.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cwin/controls/ProgBar.h"
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
    int refuseAt = -1;
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back(Cell{cell, length, row, column, endOfRow});
        return (int)cells.size() - 1 != refuseAt;
    }
};

// A reader with a progress bar of its own (a bar without a window counts its steps).
struct Reader
{
    CProgBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader{files, &bar};
    Recorder cells;
    bool Read(std::string text, char field = '|')
    {
        buffer = text;
        return reader.ReadDelimitedText(&buffer[0], (int)text.size(), field, 0, &cells);
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
    LRESULT StepBy(int n) override
    {
        steps += n;
        return CProgBar::StepBy(n);
    }
};

TEST(DelimitedText, ProgressStepsEachExaminedOffsetButNotSkippedLineEnds)
{
    CountingBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader(files, &bar);
    Recorder cells;
    char text[] = "ab|c";
    EXPECT_TRUE(reader.ReadDelimitedText(text, 4, '|', 0, &cells));
    EXPECT_EQ(1, bar.ranges);
    EXPECT_EQ(4, bar.lastMax);
    EXPECT_EQ(5, bar.steps);        // offsets 0 to 4, the terminator included
    EXPECT_EQ(1, bar.positions);
    EXPECT_EQ(0, bar.lastPos);

    CountingBar lines;
    reader.SetProgress(&lines);
    char twoLines[] = "a\r\n\r\nb";
    EXPECT_TRUE(reader.ReadDelimitedText(twoLines, 6, '|', 0, &cells));
    EXPECT_EQ(4, lines.steps);      // a, the CR, b, the terminator; not the skipped LF CR LF
}

TEST(DelimitedText, WithoutAProgressBarTheReaderStillWorks)
{
    CFileFunctions files;
    CDelimitedTextReader reader(files);
    Recorder cells;
    char text[] = "a|b";
    EXPECT_TRUE(reader.ReadDelimitedText(text, 3, '|', 0, &cells));
    EXPECT_EQ(2u, cells.cells.size());
}

TEST(DelimitedText, NegativeLengthFailsWithoutCells)
{
    Reader r;
    char text[] = "a|b";
    EXPECT_FALSE(r.reader.ReadDelimitedText(text, -1, '|', 0, &r.cells));
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
    EXPECT_TRUE(r.reader.ReadDelimitedText(&name[0], 0, ';', 0, &r.cells));
    std::vector<Cell> expected = { { "p", 1, 0, 0, false }, { "q", 1, 0, 1, true } };
    EXPECT_EQ(expected, r.cells.cells);
    EXPECT_EQ(live, g_heapRegistry.LiveBlocks());
}

TEST(DelimitedText, AnEmptyNameOrAMissingFileFails)
{
    Reader r;
    char empty[] = "";
    EXPECT_FALSE(r.reader.ReadDelimitedText(empty, 0, '|', 0, &r.cells));
    ScratchDir dir;
    std::string name = dir.File("missing.txt");
    EXPECT_FALSE(r.reader.ReadDelimitedText(&name[0], 0, '|', 0, &r.cells));
    EXPECT_TRUE(r.cells.cells.empty());
}

// Progress as the console program has it: an IProgress that is no control.
struct CountingProgress : IProgress
{
    int ranges = 0, steps = 0, positions = 0, lastMax = 0, lastPos = -1;
    LRESULT SetRange(int, int maximum, int) override
    {
        ++ranges;
        lastMax = maximum;
        return 0;
    }
    LRESULT SetPos(int position) override
    {
        ++positions;
        lastPos = position;
        return 0;
    }
    LRESULT Step() override
    {
        ++steps;
        return 0;
    }
    LRESULT StepBy(int n) override
    {
        steps += n;
        return 0;
    }
};

TEST(DelimitedTextReader, WithoutAFrameTheProgressIsAnyIProgress)
{
    CFileFunctions files;
    CountingProgress progress;
    CDelimitedTextReader reader(files, &progress);
    Recorder cells;
    char text[] = "ab|c\r\n";
    EXPECT_TRUE(reader.ReadDelimitedText(text, 6, '|', 0, &cells));
    std::vector<Cell> expected = { { "ab", 2, 0, 0, false }, { "c", 1, 0, 1, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(1, progress.ranges);
    EXPECT_EQ(6, progress.lastMax);
    EXPECT_EQ(5, progress.steps);   // a, b, the separator, c, the CR; not the LF nor the terminator
    EXPECT_EQ(1, progress.positions);
    EXPECT_EQ(0, progress.lastPos);
}

TEST(DelimitedTextReader, ANamedSourceIsAFileEvenWhenCalledClipboard)
{
    // The clipboard is the frame's source; the reader alone reads files only.
    ScratchDir dir;
    CurrentDir cwd{dir.Path()};
    ASSERT_TRUE(WriteBytes(dir.File("Clipboard"), "k|v\r\n"));
    CFileFunctions files;
    CDelimitedTextReader reader(files);
    Recorder cells;
    char name[] = "Clipboard";
    int live = g_heapRegistry.LiveBlocks();
    EXPECT_TRUE(reader.ReadDelimitedText(name, 0, '|', 0, &cells));
    std::vector<Cell> expected = { { "k", 1, 0, 0, false }, { "v", 1, 0, 1, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(live, g_heapRegistry.LiveBlocks());
}

// Cells as offsets into the buffer, so that zero bytes inside a cell show.
struct RawCell
{
    int offset, length, row, column;
    bool end;
    bool operator==(const RawCell& o) const
    {
        return offset == o.offset && length == o.length && row == o.row && column == o.column && end == o.end;
    }
};

std::ostream& operator<<(std::ostream& os, const RawCell& c)
{
    return os << "{@" << c.offset << "," << c.length << "," << c.row << "," << c.column << "," << c.end << "}";
}

struct RawRecorder : ITableReceiver
{
    const char* base = nullptr;
    std::vector<RawCell> cells;
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back(RawCell{ (int)(cell - base), length, row, column, endOfRow });
        return true;
    }
};

TEST(DelimitedText, LongRunsOfOrdinaryBytesEndAtTheirSeparator)
{
    // Cells of 15, 16, 17, 31, 32 and 33 bytes, then one of 40 at the end.
    std::string text;
    const int lengths[] = { 15, 16, 17, 31, 32, 33 };
    for (int n : lengths)
        text += std::string(n, 'q') + "|";
    text += std::string(40, 'z');
    Reader r;
    EXPECT_TRUE(r.Read(text));
    ASSERT_EQ(7u, r.cells.cells.size());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ((Cell{ std::string(lengths[i], 'q'), lengths[i], 0, i, false }), r.cells.cells[i]);
    EXPECT_EQ((Cell{ std::string(40, 'z'), 40, 0, 6, true }), r.cells.cells[6]);
}

TEST(DelimitedText, ASeparatorAtTheVeryEndGivesAnEmptyLastCell)
{
    CountingBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader(files, &bar);
    Recorder cells;
    char text[] = "abc|";
    EXPECT_TRUE(reader.ReadDelimitedText(text, 4, '|', 0, &cells));
    std::vector<Cell> expected = { { "abc", 3, 0, 0, false }, { "", 0, 0, 1, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(5, bar.steps);   // offsets 0 to 4
    EXPECT_EQ(0, bar.GetCounter());
}

TEST(DelimitedText, ZeroBytesInsideTheTextAreOrdinaryBytes)
{
    CountingBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader(files, &bar);
    RawRecorder cells;
    char text[] = "a\0b|c\0";   // length 6, the terminator at 6
    cells.base = text;
    EXPECT_TRUE(reader.ReadDelimitedText(text, 6, '|', 0, &cells));
    std::vector<RawCell> expected = { { 0, 3, 0, 0, false }, { 4, 2, 0, 1, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(std::string("a\0b\0c\0\0", 7), std::string(text, 7));   // the separator became the end
    EXPECT_EQ(7, bar.steps);
}

TEST(DelimitedText, ControlBytesAfterARowEndAreSkippedUpToTheFirstOtherByte)
{
    CountingBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader(files, &bar);
    Recorder cells;
    char text[] = "a\r\n\t\x01\x1F b";
    EXPECT_TRUE(reader.ReadDelimitedText(text, 8, '|', 0, &cells));
    std::vector<Cell> expected = { { "a", 1, 0, 0, true }, { " b", 2, 1, 0, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(5, bar.steps);   // a, the CR, the space, b, the terminator
}

TEST(DelimitedText, AReceiverThatStopsLeavesTheTextAsItWasCutSoFar)
{
    Reader r;
    r.cells.refuseAt = 1;
    EXPECT_FALSE(r.Read("ab  |cd|ef"));
    std::vector<Cell> expected = { { "ab", 4, 0, 0, false }, { "cd", 2, 0, 1, false } };
    EXPECT_EQ(expected, r.cells.cells);
    // The first cell's zero goes after "ab" and its separator stays; the second
    // cell's separator is overwritten; "ef" is never reached.
    EXPECT_EQ(std::string("ab\0 |cd\0ef", 10), r.buffer);
    EXPECT_EQ(7, r.bar.GetCounter());   // offsets 0 to 6
}

// The reader written out one offset at a time, as its rule reads: the
// reference the reader must match cell for cell, byte for byte and
// step for step.
bool ReadOneOffsetAtATime(char* text, int length, unsigned char field, unsigned char line, ITableReceiver* receiver,
                          CProgBar* bar)
{
    if (!line)
        line = 13;
    bar->SetRange(0, length, 0);
    bool result = false;
    int cellStart = 0, row = 0, column = 0;
    int off = 0;
    const unsigned columns = receiver->CellColumns();
    while (off <= length) {
        const unsigned char c = (unsigned char)text[off];
        const bool endOfRow = off == length || c == line;
        if (!endOfRow && c == field && !((columns >> (column < 31 ? column : 31)) & 1)) {
            ++column;   // a column the receiver does not read: not trimmed, not passed
            cellStart = off + 1;
        } else if (off == length || c == field || c == line) {
            int last = off;
            while (last > cellStart && text[last - 1] == ' ')
                --last;
            text[last] = 0;
            result = receiver->OnTableCell(text + cellStart, off - cellStart, row, column, endOfRow);
            if (!result)
                return false;
            ++column;
            if (endOfRow) {
                bar->Step();
                int next = off + 1;
                while (next <= length && (unsigned char)text[next] < 0x20)
                    ++next;
                cellStart = off = next;
                ++row;
                column = 0;
                continue;
            }
            cellStart = off + 1;
        }
        bar->Step();
        ++off;
    }
    bar->SetPos(0);
    return result;
}

// Records every cell with where the progress bar stood when it came.
struct ProgressRecorder : ITableReceiver
{
    const char* base = nullptr;
    CProgBar* bar = nullptr;
    int refuseAt = -1;
    unsigned columns = ~0u;
    unsigned CellColumns() override { return columns; }
    std::vector<RawCell> cells;
    std::vector<std::pair<int, int>> progress;   // counter, shown position
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back(RawCell{ (int)(cell - base), length, row, column, endOfRow });
        progress.push_back({ bar->GetCounter(), bar->GetShownPos() });
        return (int)cells.size() - 1 != refuseAt;
    }
};

void ExpectSameAsOneOffsetAtATime(const std::string& bytes, int length, char field, char line, int divisor,
                                  int refuseAt, const std::string& what, unsigned columns = ~0u)
{
    std::string mine = bytes, reference = bytes;
    CProgBar myBar, referenceBar;
    myBar.SetRedrawDivisor(divisor);
    referenceBar.SetRedrawDivisor(divisor);
    ProgressRecorder myCells, referenceCells;
    myCells.base = &mine[0];
    myCells.bar = &myBar;
    myCells.refuseAt = refuseAt;
    referenceCells.base = &reference[0];
    referenceCells.bar = &referenceBar;
    referenceCells.refuseAt = refuseAt;
    myCells.columns = referenceCells.columns = columns;

    CFileFunctions files;
    CDelimitedTextReader reader(files, &myBar);
    const bool myResult = reader.ReadDelimitedText(&mine[0], length, field, line, &myCells);
    const bool referenceResult = ReadOneOffsetAtATime(&reference[0], length, (unsigned char)field,
                                                      (unsigned char)line, &referenceCells, &referenceBar);
    EXPECT_EQ(referenceResult, myResult) << what;
    EXPECT_EQ(referenceCells.cells, myCells.cells) << what;
    EXPECT_EQ(referenceCells.progress, myCells.progress) << what;
    EXPECT_EQ(Escaped(reference), Escaped(mine)) << what;
    EXPECT_EQ(referenceBar.GetCounter(), myBar.GetCounter()) << what;
    EXPECT_EQ(referenceBar.GetShownPos(), myBar.GetShownPos()) << what;
}

// A receiver of some columns: the others come only when they end a row, and
// are neither trimmed nor passed otherwise; the bar steps over them all.
TEST(DelimitedText, ColumnsTheReceiverDoesNotReadComeOnlyAtARowEnd)
{
    struct Some : Recorder
    {
        unsigned CellColumns() override { return (1u << 1) | (1u << 31); }
    };
    CountingBar bar;
    CFileFunctions files;
    CDelimitedTextReader reader(files, &bar);
    Some cells;
    std::string text = "a |b |c \r\nd |e\r\nf \r";
    text += std::string(31, '|') + "x |y |z";
    std::string buffer = text;
    EXPECT_TRUE(reader.ReadDelimitedText(&buffer[0], (int)buffer.size(), '|', 0, &cells));
    std::vector<Cell> expected = { { "b", 2, 0, 1, false }, { "c", 2, 0, 2, true }, { "e", 1, 1, 1, true },
                                   { "f", 2, 2, 0, true }, { "", 0, 3, 1, false }, { "x", 2, 3, 31, false },
                                   { "y", 2, 3, 32, false }, { "z", 1, 3, 33, true } };
    EXPECT_EQ(expected, cells.cells);
    EXPECT_EQ(Escaped(std::string("a |b\0|c\0\r\nd |e\0\nf\0\r", 19)), Escaped(buffer.substr(0, 19)));
    EXPECT_EQ((int)text.size() - 1, bar.steps);   // offsets 0 to the terminator, but the skipped LFs
}

TEST(DelimitedText, GeneratedTextsAreReadAsOneOffsetAtATimeReadsThem)
{
    // Texts of separators, line ends, spaces, control and zero bytes and long
    // runs of ordinary bytes; fixed seeds, so every run reads the same texts.
    const char alphabet[] = { 'a', 'b', ' ', ' ', '|', '\r', '\n', '\0', '\t', '\x01', '\x1F',
                              '\xA6', ';', '\xFF', '\x80' };
    std::mt19937 random(1251);
    int texts = 0;
    for (int i = 0; i < 3000; ++i) {
        const int length = 1 + (int)(random() % (i % 10 == 0 ? 300 : 60));
        std::string bytes;
        while ((int)bytes.size() < length) {
            if (random() % 6 == 0)
                bytes += std::string(1 + random() % 40, "xyz\xC0 "[random() % 5]);
            else
                bytes += alphabet[random() % sizeof(alphabet)];
        }
        bytes.resize(length);
        // The byte at `length` is the terminator, or (in some texts) an
        // ordinary byte; bytes past it must stay as they are.
        bytes += random() % 4 == 0 ? "Q|\r" : std::string("\0Q|", 3);
        const char fields[] = { '|', '\xA6', ';', ' ', '\0' };
        const char lines[] = { 0, 0, 0, '\n', '|' };
        const char field = fields[random() % sizeof(fields)];
        const char line = lines[random() % sizeof(lines)];
        const int divisors[] = { 1, 1, 2, 3, 16 };
        const int divisor = divisors[random() % 5];
        const int refuseAt = random() % 3 == 0 ? (int)(random() % 12) : -1;
        // Every third text read by a receiver of only some columns.
        const unsigned columns = i % 3 == 0 ? (unsigned)random() : ~0u;
        ExpectSameAsOneOffsetAtATime(bytes, length, field, line, divisor, refuseAt,
                                     "text " + std::to_string(i) + ": " + Escaped(bytes), columns);
        if (::testing::Test::HasFailure())
            break;
        ++texts;
    }
    EXPECT_EQ(3000, texts);
}

}  // namespace

