// The exports' table writer: pieces in its three forms (formatted, put part by
// part, put straight into the buffer) come out in order and cut at 1023 bytes
// across the block writes of a table of several megabytes; a table of a set
// waits for the set's commit; a file that cannot be made takes nothing.
#include <gtest/gtest.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "TableWriter.h"
#include "TestSupport.h"
#include "cwin/system/HeapRegistry.h"

namespace {

std::string Printed(const char* format, ...)
{
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

// Writes line i in one of the forms and returns what the file must hold for it.
std::string PutLine(CTableWriter& file, int i)
{
    if (i % 1000 == 3) {
        // Two pieces longer than the cut: each keeps its first 1023 bytes.
        const std::string first(700, "П"[0]), second(700, "Р"[0]), third(1100, "ф"[0]);
        file.BeginPiece();
        file.Text(first.c_str());
        file.Text(second.c_str(), second.size());
        file.Int(i);
        file.Text("\r\n");
        file.EndPiece();
        file.Write("%s\r\n", third.c_str());
        return first + second.substr(0, 323) + third.substr(0, 1023);
    }
    switch (i % 3) {
    case 0:
        file.Write("%d|%s\r\n", i, "текст");
        return Printed("%d|%s\r\n", i, "текст");
    case 1:
        file.BeginPiece();
        file.Text("g");
        file.Int(-i);
        file.Text("|", 1);
        file.TwoDigits(i % 7 - 3);
        file.Text("|");
        file.Fixed5(i / 8.0 - 100);
        file.Text("\r\n");
        file.EndPiece();
        return Printed("g%d|%.2d|%.5f\r\n", -i, i % 7 - 3, i / 8.0 - 100);
    default: {
        const std::string line = Printed("r%d|%d\r\n", i, i * 7);
        char* out = file.Reserve(64);
        if (!out)
            return "(no room)";
        memcpy(out, line.data(), line.size());
        file.Advance(out + line.size());
        return line;
    }
    }
}

TEST(TableWriter, ATableOfSeveralBlocksHoldsEveryPieceInOrder)
{
    ScratchDir dir;
    const std::string name = dir.File("Moves.txt");
    ASSERT_TRUE(WriteBytes(name, "old table"));
    std::string expected;
    {
        CTableWriter file(name.c_str());
        for (int i = 0; i < 150000; ++i)
            expected += PutLine(file, i);
        // Nothing of the new table is in place before the close.
        std::string before;
        ASSERT_TRUE(ReadBytes(name, &before));
        EXPECT_EQ("old table", before);
        EXPECT_TRUE(file.Close());
        EXPECT_TRUE(file.Close());   // answered again
    }
    ASSERT_GT(expected.size(), (size_t)2 << 20);   // two whole blocks and the rest
    std::string bytes;
    ASSERT_TRUE(ReadBytes(name, &bytes));
    ASSERT_EQ(expected.size(), bytes.size());
    EXPECT_TRUE(bytes == expected) << "first difference at byte " << std::mismatch(bytes.begin(), bytes.end(),
                                                                                  expected.begin()).first -
                                                                       bytes.begin();
    EXPECT_FALSE(FileThere(name + ".tmp"));
}

TEST(TableWriter, ThreeTablesThroughOneHeldBufferAndASet)
{
    ScratchDir dir;
    CurrentDir here(dir.Path());
    const char* const names[] = {"Suppliers.txt", "Buyers.txt"};
    CReplacingFileSet set(names, 2);
    char* held = NULL;
    {
        CTableWriter suppliers("Suppliers.txt", &held, &set);
        suppliers.Write("ID|Name\r\n");
        ASSERT_NE(nullptr, held);
        EXPECT_TRUE(suppliers.Close());
    }
    // Whole beside its name, waiting for the set; the held block stays.
    EXPECT_FALSE(FileThere(dir.File("Suppliers.txt")));
    EXPECT_TRUE(FileThere(dir.File("Suppliers.txt.tmp")));
    char* const first = held;
    ASSERT_GE(g_heapRegistry.Size(held), (SIZE_T)(1 << 20));   // still the holder's to use
    {
        // A name the set does not hold is a table of its own, in place at once.
        CTableWriter positions("Positions.txt", &held, &set);
        positions.Write("%s|%d\r\n", "P", 1);
        EXPECT_TRUE(positions.Close());
    }
    std::string bytes;
    EXPECT_TRUE(ReadBytes(dir.File("Positions.txt"), &bytes) && bytes == "P|1\r\n") << Escaped(bytes);
    {
        CTableWriter buyers("Buyers.txt", &held, &set);
        buyers.BeginPiece();
        buyers.Text("B|");
        buyers.Int(2);
        buyers.Text("\r\n");
        buyers.EndPiece();
        EXPECT_TRUE(buyers.Close());
        EXPECT_TRUE(buyers.Close());
    }
    EXPECT_EQ(first, held);
    EXPECT_GE(g_heapRegistry.Size(held), (SIZE_T)(1 << 20));
    EXPECT_FALSE(FileThere(dir.File("Buyers.txt")));
    ASSERT_TRUE(set.Commit());
    EXPECT_TRUE(ReadBytes(dir.File("Suppliers.txt"), &bytes) && bytes == "ID|Name\r\n") << Escaped(bytes);
    EXPECT_TRUE(ReadBytes(dir.File("Buyers.txt"), &bytes) && bytes == "B|2\r\n") << Escaped(bytes);
    EXPECT_FALSE(FileThere(dir.File("Buyers.txt.tmp")));
    g_heapRegistry.Free(&held);
}

TEST(TableWriter, AFileThatCannotBeMadeTakesNothingAndGivesNoRoom)
{
    ScratchDir dir;
    const std::string name = dir.File("no folder\\Moves.txt");
    char* held = NULL;
    CTableWriter file(name.c_str(), &held);
    file.Write("%d\r\n", 1);
    file.BeginPiece();
    file.Text("x");
    file.Fixed5(1.5);
    file.EndPiece();
    EXPECT_EQ(nullptr, file.Reserve(16));
    EXPECT_FALSE(file.Close());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(nullptr, held);   // no block made for a table that has no file
    EXPECT_FALSE(FileThere(name));
}

TEST(TableWriter, RoomIsGivenUpToItsLimitOnly)
{
    ScratchDir dir;
    const std::string name = dir.File("t.txt");
    CTableWriter file(name.c_str());
    EXPECT_EQ(nullptr, file.Reserve(CTableWriter::kRoom + 1));
    // The whole room, taken again and again across the block writes.
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        char* out = file.Reserve(CTableWriter::kRoom);
        ASSERT_NE(nullptr, out) << i;
        const std::string line = std::string(CTableWriter::kRoom - 2, (char)('a' + i % 26)) + "\r\n";
        memcpy(out, line.data(), line.size());
        file.Advance(out + line.size());
        expected += line;
    }
    EXPECT_TRUE(file.Close());
    std::string bytes;
    ASSERT_TRUE(ReadBytes(name, &bytes));
    EXPECT_EQ(expected.size(), bytes.size());
    EXPECT_TRUE(bytes == expected);
}

}  // namespace
