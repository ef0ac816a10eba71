// Record array: binding, commit order and identifiers, growth, the view index,
// removal, the template, and the raw-image save and load.
#include <gtest/gtest.h>

#include <string.h>

#include "HeapRegistry.h"
#include "RecordArray.h"
#include "TestSupport.h"

namespace {

struct Rec
{
    uint32_t id;
    int32_t value;
    char text[8];
};

struct Table
{
    CRecordArray array;
    Rec* block = nullptr;
    Rec* pending = nullptr;
    Rec* current = nullptr;
    int count = -1;

    bool Bind(int step = 10) { return array.Bind(&block, &pending, &current, step, &count); }
    void Add(int value)
    {
        pending->value = value;
        ASSERT_TRUE(array.Append());
    }
};

TEST(RecordArray, BindStartsEmptyWithSlotZeroPending)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    EXPECT_EQ(0, t.count);
    EXPECT_EQ(t.block, t.pending);
    EXPECT_EQ(0u, t.pending->id);
    EXPECT_EQ(10, t.array.Capacity());
    EXPECT_EQ(0, t.array.ViewCount());
}

TEST(RecordArray, BindRefusesABadRecordSizeOrNoPendingVariable)
{
    CRecordArray a;
    void* block = NULL;
    void* pending = NULL;
    EXPECT_FALSE(a.Bind(&block, &pending, NULL, 0, 10, NULL));
    EXPECT_FALSE(a.Bind(&block, NULL, NULL, 8, 10, NULL));
}

TEST(RecordArray, UnboundOperationsFailWithErrorTwo)
{
    CRecordArray a;
    EXPECT_FALSE(a.Append());
    EXPECT_EQ(CRecordArray::ErrorNotBound, a.GetLastError());
    EXPECT_EQ(nullptr, a.FindById(1));
    EXPECT_FALSE(a.RebuildView());
    EXPECT_FALSE(a.Save("never.dat"));
    EXPECT_FALSE(a.Load("never.dat"));
    EXPECT_FALSE(a.AppendMany(3));
    EXPECT_EQ(CRecordArray::ErrorNotBound, a.GetLastError());
}

TEST(RecordArray, AppendsCommitInOrderWithIdentifiersOneTwoThree)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(10);
    t.Add(20);
    t.Add(30);
    EXPECT_EQ(3, t.count);
    EXPECT_EQ(1u, t.block[0].id);
    EXPECT_EQ(2u, t.block[1].id);
    EXPECT_EQ(3u, t.block[2].id);
    EXPECT_EQ(20, t.block[1].value);
    ASSERT_EQ(3, t.array.ViewCount());
    EXPECT_EQ(0u, t.array.View()[0]);
    EXPECT_EQ(1u, t.array.View()[1]);
    EXPECT_EQ(2u, t.array.View()[2]);
    EXPECT_EQ(&t.block[3], t.pending);
    EXPECT_EQ(&t.block[1], t.array.FindById(2));
    EXPECT_EQ(nullptr, t.array.FindById(9));
}

TEST(RecordArray, TheEleventhAppendGrowsToTwentyPlusTheExtraSlot)
{
    Table t;
    ASSERT_TRUE(t.Bind(10));
    for (int i = 0; i < 10; ++i)
        t.Add(i);
    EXPECT_EQ(20, t.array.Capacity());
    EXPECT_EQ(21u * sizeof(Rec), g_heapRegistry.Size(t.block));
    t.Add(10);
    EXPECT_EQ(20, t.array.Capacity());
    EXPECT_EQ(11, t.count);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(i, t.block[i].value);
}

TEST(RecordArray, GetAtCoversTheCapacitySlots)
{
    Table t;
    ASSERT_TRUE(t.Bind(10));
    EXPECT_EQ(&t.block[0], t.array.GetAt(0));
    EXPECT_EQ(&t.block[9], t.array.GetAt(9));
    EXPECT_EQ(nullptr, t.array.GetAt(10));
    EXPECT_EQ(nullptr, t.array.GetAt(-1));
}

TEST(RecordArray, RemovingSlotOneClosesTheGapAndRenumbersTheView)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(10);
    t.Add(20);
    t.Add(30);
    // View 2, 0, 1.
    ASSERT_TRUE(t.array.RebuildView(true));
    ASSERT_TRUE(t.array.AddToView(3, -1));
    ASSERT_TRUE(t.array.AddToView(1, -1));
    ASSERT_TRUE(t.array.AddToView(2, -1));
    ASSERT_TRUE(t.array.RemoveAt(1));
    EXPECT_EQ(2, t.count);
    EXPECT_EQ(30, t.block[1].value);
    EXPECT_EQ(3u, t.block[1].id);
    EXPECT_EQ(0u, t.block[2].id);
    ASSERT_EQ(2, t.array.ViewCount());
    EXPECT_EQ(1u, t.array.View()[0]);
    EXPECT_EQ(0u, t.array.View()[1]);
    EXPECT_EQ(&t.block[2], t.pending);
}

TEST(RecordArray, RemovalOutsideTheCommittedRecordsIsRefused)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    EXPECT_FALSE(t.array.RemoveAt(0));     // empty store
    t.Add(1);
    EXPECT_FALSE(t.array.RemoveAt(1));     // the pending slot
    EXPECT_FALSE(t.array.RemoveAt(-1));
    EXPECT_FALSE(t.array.RemoveById(0));
    EXPECT_EQ(1, t.count);
    EXPECT_EQ(1u, t.block[0].id);
    EXPECT_TRUE(t.array.RemoveById(1));
    EXPECT_EQ(0, t.count);
}

TEST(RecordArray, FreedIdentifiersReturnOnlyAfterARebuild)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(1);
    t.Add(2);
    t.Add(3);
    ASSERT_TRUE(t.array.RemoveById(2));
    t.Add(4);
    EXPECT_EQ(4u, t.block[2].id);   // identifiers keep increasing
}

TEST(RecordArray, TheTemplateFillsEveryNewPendingRecord)
{
    Table t;
    Rec templ = { 77, 5, "tpl" };
    ASSERT_TRUE(t.Bind());
    t.array.SetTemplate(&templ);
    ASSERT_TRUE(t.array.Append());   // commits the untouched first slot
    EXPECT_EQ(5, t.pending->value);
    EXPECT_STREQ("tpl", t.pending->text);
    EXPECT_EQ(0u, t.pending->id);    // the identifier is never copied
    t.pending->value = 9;
    ASSERT_TRUE(t.array.Append());
    EXPECT_EQ(9, t.block[1].value);
    EXPECT_EQ(5, t.pending->value);
}

TEST(RecordArray, ViewOperations)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(1);
    t.Add(2);
    t.Add(3);
    EXPECT_EQ(&t.block[1], t.array.GetByView(1));
    EXPECT_EQ(nullptr, t.array.GetByView(3));
    EXPECT_EQ(nullptr, t.current);
    EXPECT_EQ(&t.block[2], t.array.SelectByView(2));
    EXPECT_EQ(&t.block[2], t.current);
    EXPECT_EQ(nullptr, t.array.SelectByView(-1));
    EXPECT_EQ(&t.block[2], t.current);
    // Identifier 0 or unknown takes the fallback slot; slots past the capacity are refused.
    ASSERT_TRUE(t.array.RebuildView(true));
    EXPECT_TRUE(t.array.AddToView(0, 2));
    EXPECT_TRUE(t.array.AddToView(99, 1));
    EXPECT_FALSE(t.array.AddToView(99, 10));
    ASSERT_EQ(2, t.array.ViewCount());
    EXPECT_EQ(2u, t.array.View()[0]);
    EXPECT_EQ(1u, t.array.View()[1]);
    ASSERT_TRUE(t.array.RemoveByView(0));
    EXPECT_EQ(2, t.count);
    EXPECT_EQ(1, t.block[0].value);
    EXPECT_EQ(2, t.block[1].value);
    ASSERT_TRUE(t.array.RebuildView());
    EXPECT_EQ(2, t.array.ViewCount());
}

TEST(RecordArray, MaximumCountRefusesWithErrorZero)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.array.SetMaximumCount(2);
    t.Add(1);
    t.Add(2);
    EXPECT_FALSE(t.array.Append());
    EXPECT_EQ(CRecordArray::ErrorFull, t.array.GetLastError());
    EXPECT_EQ(2, t.count);
}

TEST(RecordArray, SaveAndLoadKeepTheRecordsAndTheirIdentifiers)
{
    ScratchDir dir;
    std::string file = dir.File("three.dat");
    {
        Table t;
        ASSERT_TRUE(t.Bind());
        t.Add(10);
        t.Add(20);
        t.Add(30);
        ASSERT_TRUE(t.array.Save(file.c_str()));
    }
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file, &bytes));
    ASSERT_EQ(3 * sizeof(Rec), bytes.size());

    Table u;
    ASSERT_TRUE(u.Bind());
    u.Add(99);
    ASSERT_TRUE(u.array.Load(file.c_str()));
    ASSERT_EQ(3, u.count);
    EXPECT_EQ(1u, u.block[0].id);
    EXPECT_EQ(30, u.block[2].value);
    EXPECT_EQ(3u, u.block[2].id);
    EXPECT_EQ(3, u.array.ViewCount());
    EXPECT_EQ(&u.block[3], u.pending);
    u.Add(40);
    EXPECT_EQ(4u, u.block[3].id);
}

TEST(RecordArray, LoadRefusesAFileThatIsNotWholeRecords)
{
    ScratchDir dir;
    std::string file = dir.File("odd.dat");
    ASSERT_TRUE(WriteBytes(file, std::string(sizeof(Rec) + 3, 'x')));
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(5);
    EXPECT_FALSE(t.array.Load(file.c_str()));
    EXPECT_EQ(1, t.count);          // the table is left as it was
    EXPECT_EQ(5, t.block[0].value);
    EXPECT_FALSE(t.array.Load(dir.File("missing.dat").c_str()));
}

TEST(RecordArray, AppendManyTakesRecordsAsTheyAre)
{
    Table t;
    ASSERT_TRUE(t.Bind(10));
    ASSERT_TRUE(t.array.AppendMany(12));
    EXPECT_EQ(12, t.count);
    EXPECT_EQ(20, t.array.Capacity());
    EXPECT_EQ(12, t.array.ViewCount());
    EXPECT_EQ(11u, t.array.View()[11]);
}

TEST(RecordArray, NextIdGivesTheLowestFreeIdentifierAfterARebuild)
{
    Table t;
    ASSERT_TRUE(t.Bind());
    t.Add(1);
    t.Add(2);
    t.Add(3);
    ASSERT_TRUE(t.array.RemoveById(1));
    // A save and load rebuilds the bitmap from the records: 1 is free again.
    ScratchDir dir;
    std::string file = dir.File("gap.dat");
    ASSERT_TRUE(t.array.Save(file.c_str()));
    ASSERT_TRUE(t.array.Load(file.c_str()));
    EXPECT_EQ(1u, t.array.NextId(false));
    EXPECT_EQ(1u, t.array.NextId(true));
    EXPECT_EQ(4u, t.array.NextId(true));
}

TEST(RecordArray, LoadedRecordsWithIdentifierZeroAreFreeSlotsWithoutGaps)
{
    // Identifiers 7, 0, 9, 0 in the file: the two free slots close up.
    std::string bytes;
    const uint32_t ids[4] = {7, 0, 9, 0};
    for (int i = 0; i < 4; ++i) {
        Rec r = {ids[i], 100 + i, "rec"};
        bytes.append(reinterpret_cast<const char*>(&r), sizeof(r));
    }
    ScratchDir dir;
    std::string file = dir.File("free.dat");
    ASSERT_TRUE(WriteBytes(file, bytes));
    Table t;
    ASSERT_TRUE(t.Bind());
    ASSERT_TRUE(t.array.Load(file.c_str()));
    ASSERT_EQ(2, t.count);
    EXPECT_EQ(7u, t.block[0].id);
    EXPECT_EQ(9u, t.block[1].id);
    EXPECT_EQ(102, t.block[1].value);
    EXPECT_EQ(&t.block[2], t.pending);
    EXPECT_EQ(0, t.block[2].value);
    t.Add(55);
    EXPECT_EQ(3, t.count);
    EXPECT_EQ(1u, t.block[2].id);
    ASSERT_EQ(3, t.array.ViewCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ((uint32_t)i, t.array.View()[i]);
    ASSERT_TRUE(t.array.Save(file.c_str()));
    ASSERT_TRUE(ReadBytes(file, &bytes));
    EXPECT_EQ(3 * sizeof(Rec), bytes.size());
}

}  // namespace
