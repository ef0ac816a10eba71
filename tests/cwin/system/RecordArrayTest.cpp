// Record array: binding, commit order and identifiers, growth, the view index,
// removal, the template, and the raw-image save and load, also when a file
// operation fails.
#include <gtest/gtest.h>

#include <string.h>

#include "FileFaults.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/RecordArray.h"
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

// Replacing the file whole or not at all: the save at every failing file
// operation (create, write, short write, flush, close, move) leaves the old
// image byte for byte and no temporary file; the load refuses what is not whole
// and never takes a leftover temporary file for the file.
std::string Image(const Table& t)
{
    return std::string((const char*)t.block, (size_t)t.count * sizeof(Rec));
}

// Three records, as the layout puts them: identifier, value, empty text.
std::string ThreeRecords()
{
    const char bytes[] =
        "\x01\0\0\0" "\x0a\0\0\0" "\0\0\0\0\0\0\0\0"
        "\x02\0\0\0" "\x14\0\0\0" "\0\0\0\0\0\0\0\0"
        "\x03\0\0\0" "\x1e\0\0\0" "\0\0\0\0\0\0\0\0";
    return std::string(bytes, sizeof(bytes) - 1);
}

class SafeSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.Bind());
        t.Add(10);
        t.Add(20);
        t.Add(30);
        ASSERT_EQ(ThreeRecords(), Image(t));
    }
    std::string Bytes() const
    {
        std::string bytes;
        return ReadBytes(file, &bytes) ? bytes : std::string("(none)");
    }

    ScratchDir dir;
    std::string file = dir.File("list.dat");
    std::string temp = dir.File("list.dat.tmp");
    const std::string old = std::string(5 * sizeof(Rec), '\x5a');
    Table t;
};

TEST_F(SafeSave, ACleanSaveReplacesTheFileWithTheImageAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(WriteBytes(file, old));
    FileFaults faults;
    faults.Arm(0);
    ASSERT_TRUE(t.array.Save(file.c_str()));
    EXPECT_EQ(ThreeRecords(), Bytes());
    EXPECT_FALSE(FileThere(temp));
    // Written beside the file, flushed, closed, then moved over it.
    EXPECT_EQ("cwfxm", faults.Log());
}

TEST_F(SafeSave, EveryFailingOperationLeavesTheOldImageAndNoTemporaryFile)
{
    FileFaults faults;
    faults.Arm(0);
    ASSERT_TRUE(t.array.Save(file.c_str()));
    const int points = FileFaults::Sweep(faults.Log(), [&](int n, FileFaults::Kind kind) {
        ASSERT_TRUE(WriteBytes(file, old));
        faults.Arm(n, kind);
        EXPECT_FALSE(t.array.Save(file.c_str()));
        EXPECT_TRUE(faults.Fired());
        EXPECT_EQ(old, Bytes());
        EXPECT_FALSE(FileThere(temp));
        // Without an old file, a failed save leaves none.
        ASSERT_TRUE(DeleteFileA(file.c_str()));
        faults.Arm(n, kind);
        EXPECT_FALSE(t.array.Save(file.c_str()));
        EXPECT_FALSE(FileThere(file));
        EXPECT_FALSE(FileThere(temp));
    });
    EXPECT_EQ(6, points);
    // The table itself is untouched by the failures: the next save is whole.
    faults.Arm(0);
    ASSERT_TRUE(t.array.Save(file.c_str()));
    EXPECT_EQ(ThreeRecords(), Bytes());
}

TEST_F(SafeSave, ALeftoverTemporaryFileNeverTakesTheFilesPlace)
{
    // As a death mid-save leaves it: the new image, cut, beside the old file.
    const std::string cut = ThreeRecords().substr(0, 2 * sizeof(Rec));
    ASSERT_TRUE(WriteBytes(file, ThreeRecords()));
    ASSERT_TRUE(WriteBytes(temp, cut));
    Table u;
    ASSERT_TRUE(u.Bind());
    ASSERT_TRUE(u.array.Load(file.c_str()));
    EXPECT_EQ(ThreeRecords(), Image(u));
    EXPECT_FALSE(FileThere(temp));   // the load removed it

    // Without the file, a leftover is not loaded in its place, and goes.
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    ASSERT_TRUE(WriteBytes(temp, cut));
    Table v;
    ASSERT_TRUE(v.Bind());
    EXPECT_FALSE(v.array.Load(file.c_str()));
    EXPECT_EQ(0, v.count);
    EXPECT_FALSE(FileThere(temp));

    // The next save writes over a leftover and leaves none.
    ASSERT_TRUE(WriteBytes(temp, cut));
    ASSERT_TRUE(t.array.Save(file.c_str()));
    EXPECT_EQ(ThreeRecords(), Bytes());
    EXPECT_FALSE(FileThere(temp));
}

TEST_F(SafeSave, ALoadRefusesWhatIsNotWholeAndNeverHalfLoads)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        bool shortRead;
    } cases[] = {
        {"three records and a byte", ThreeRecords() + "x", false},
        {"two records and a half", ThreeRecords().substr(0, 2 * sizeof(Rec) + 8), false},
        {"three whole records read short", ThreeRecords(), true},
    };
    FileFaults faults;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(file, c.bytes));
        Table u;
        ASSERT_TRUE(u.Bind());
        u.Add(7);
        faults.ShortReads(c.shortRead);
        EXPECT_FALSE(u.array.Load(file.c_str()));
        faults.ShortReads(false);
        if (c.shortRead) {
            // Read after the table was emptied: it stays empty, not half filled.
            EXPECT_EQ(0, u.count);
            EXPECT_EQ(0, u.array.ViewCount());
        } else {
            // Refused before anything was read: the table is as it was.
            ASSERT_EQ(1, u.count);
            EXPECT_EQ(7, u.block[0].value);
        }
    }
    // The same file read whole loads.
    Table w;
    ASSERT_TRUE(w.Bind());
    ASSERT_TRUE(w.array.Load(file.c_str()));
    EXPECT_EQ(ThreeRecords(), Image(w));
}

}  // namespace

// A load of every size around the growth step: the records in order, the view
// 0 .. n - 1, capacity in whole steps, the pending slot right after the
// records with every slot from there on zero, and the next identifier n + 1.
namespace {

std::string Images(int n)
{
    std::string bytes;
    for (int i = 0; i < n; ++i) {
        Rec r = {(uint32_t)(i + 1), 10 * i, "img"};
        bytes.append(reinterpret_cast<const char*>(&r), sizeof(r));
    }
    return bytes;
}

TEST(RecordArray, LoadsOfEverySizeAroundTheGrowthStep)
{
    ScratchDir dir;
    std::string file = dir.File("sizes.dat");
    for (int n : {0, 1, 3, 4, 5, 8, 9, 13}) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(WriteBytes(file, Images(n)));
        Table t;
        ASSERT_TRUE(t.Bind(4));
        t.Add(-1);
        t.Add(-2);   // records before the load are gone after it
        ASSERT_TRUE(t.array.Load(file.c_str()));
        ASSERT_EQ(n, t.count);
        EXPECT_EQ(n, t.array.Count());
        EXPECT_EQ(4 * (n / 4 + 1), t.array.Capacity());
        ASSERT_EQ(n, t.array.ViewCount());
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ((uint32_t)i, t.array.View()[i]);
            EXPECT_EQ((uint32_t)(i + 1), t.block[i].id);
            EXPECT_EQ(10 * i, t.block[i].value);
        }
        EXPECT_EQ(n, t.array.LastPending());
        EXPECT_EQ(&t.block[n], t.pending);
        EXPECT_EQ(nullptr, t.current);
        for (int slot = n; slot <= t.array.Capacity(); ++slot)
            EXPECT_EQ(std::string(sizeof(Rec), '\0'), std::string(reinterpret_cast<const char*>(&t.block[slot]), sizeof(Rec)))
                << "slot " << slot;
        t.Add(77);
        EXPECT_EQ((uint32_t)(n + 1), t.block[n].id);
        EXPECT_EQ(n + 1, t.array.ViewCount());
    }
}

// An index of the records by their slots keeps up with appends alone: every
// operation after which stored records may sit elsewhere or differ tells so.
TEST(RecordArray, TheGenerationChangesWhenStoredRecordsMayChangeNotOnAppends)
{
    Table t;
    ASSERT_TRUE(t.Bind(4));
    uint32_t g = t.array.Generation();
    for (int i = 0; i < 9; ++i)
        t.Add(i);   // across two growths
    EXPECT_EQ(g, t.array.Generation());
    ASSERT_TRUE(t.array.RemoveAt(3));
    EXPECT_NE(g, t.array.Generation());
    g = t.array.Generation();
    ASSERT_TRUE(t.array.AppendMany(2));
    EXPECT_NE(g, t.array.Generation());
    g = t.array.Generation();
    ScratchDir dir;
    std::string file = dir.File("gen.dat");
    ASSERT_TRUE(t.array.Save(file.c_str()));
    EXPECT_EQ(g, t.array.Generation());
    ASSERT_TRUE(t.array.Load(file.c_str()));
    EXPECT_NE(g, t.array.Generation());
    g = t.array.Generation();
    EXPECT_FALSE(t.array.Load(dir.File("none.dat").c_str()));
    EXPECT_EQ(g, t.array.Generation());
    ASSERT_TRUE(t.Bind(4));
    EXPECT_NE(g, t.array.Generation());
}

}  // namespace

// A file of 4 MB or more is read in two halves side by side: every record
// comes in its place, also those about the middle; a short read of either
// half leaves the table empty.
namespace {

uint64_t g_failReadsPast = 0;

// A read at an offset of at least g_failReadsPast fails; the others pass.
BOOL WINAPI FailReadPast(HANDLE file, LPVOID data, DWORD size, LPDWORD done, LPOVERLAPPED at)
{
    uint64_t offset = at ? ((uint64_t)at->OffsetHigh << 32 | at->Offset) : 0;
    if (offset >= g_failReadsPast) {
        if (done)
            *done = 0;
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    return g_systemFileOps.read(file, data, size, done, at);
}

TEST(RecordArray, ALargeFileReadInHalvesComesInWholeOrNotAtAll)
{
    const int n = 600000;   // 9.6 MB
    ScratchDir dir;
    std::string file = dir.File("large.dat");
    ASSERT_TRUE(WriteBytes(file, Images(n)));
    Table t;
    ASSERT_TRUE(t.Bind(1000));
    ASSERT_TRUE(t.array.Load(file.c_str()));
    ASSERT_EQ(n, t.count);
    int wrong = 0;
    for (int i = 0; i < n; ++i)
        if (t.block[i].id != (uint32_t)(i + 1) || t.block[i].value != 10 * i || strcmp(t.block[i].text, "img") != 0)
            ++wrong;
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(&t.block[n], t.pending);
    EXPECT_EQ(Images(n), std::string(reinterpret_cast<const char*>(t.block), (size_t)n * sizeof(Rec)));

    FileFaults faults;
    faults.ShortReads(true);
    EXPECT_FALSE(t.array.Load(file.c_str()));
    faults.ShortReads(false);
    EXPECT_EQ(0, t.count);
    EXPECT_EQ(0, t.array.ViewCount());

    // Only the second half fails.
    ASSERT_TRUE(t.array.Load(file.c_str()));
    g_failReadsPast = 1;
    FileOps saved = g_fileOps;
    g_fileOps.read = FailReadPast;
    EXPECT_FALSE(t.array.Load(file.c_str()));
    g_fileOps = saved;
    EXPECT_EQ(0, t.count);
}

}  // namespace

// A large file loads as a copy-on-write view of its whole 64 KB units, the
// rest read after it: every record in place, also the one across the view's
// end; the table behaves as any other, and the file never changes.
namespace {

struct Wide
{
    uint32_t id;
    int32_t value;
    char text[72];
};

std::string WideImages(int n)
{
    std::string bytes;
    for (int i = 0; i < n; ++i) {
        Wide r;
        memset(&r, 0, sizeof(r));
        r.id = (uint32_t)(i + 1);
        r.value = 3 * i + 1;
        for (size_t k = 0; k + 1 < sizeof(r.text); ++k)
            r.text[k] = (char)('a' + (i + k) % 26);
        bytes.append(reinterpret_cast<const char*>(&r), sizeof(r));
    }
    return bytes;
}

struct WideTable
{
    CRecordArray array;
    Wide* block = nullptr;
    Wide* pending = nullptr;
    Wide* current = nullptr;
    int count = -1;

    bool Bind() { return array.Bind(&block, &pending, &current, 1000, &count); }
    bool BindAndLoad(const std::string& file) { return Bind() && array.Load(file.c_str()); }
    std::string Image(int n) const { return std::string(reinterpret_cast<const char*>(block), (size_t)n * sizeof(Wide)); }
};

// The file on disk still holds exactly these bytes.
bool FileHolds(const std::string& file, const std::string& image)
{
    std::string now;
    return ReadBytes(file, &now) && now == image;
}

bool AddressFree(const void* address)
{
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(address, &info, sizeof(info)) && info.State == MEM_FREE;
}

TEST(RecordArrayViews, FilesOfEverySizeLoadWholeAndLargeOnesAsViews)
{
    static_assert(sizeof(Wide) == 80, "a record that does not divide 64 KB");
    struct Case
    {
        int n;
        bool view;
    } cases[] = {
        {0, false},
        {1, false},
        {819, false},     // just under 64 KB
        {820, false},     // just over
        {4096, false},    // five units exactly
        {13107, false},   // just under 1 MB
        {13108, true},    // just over: 16 units, the last record across their end
        {65536, true},    // 80 units exactly: nothing read
        {100000, true},   // 122 units and 4,608 bytes read
    };
    ScratchDir dir;
    std::string file = dir.File("wide.dat");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        const std::string image = WideImages(c.n);
        ASSERT_TRUE(WriteBytes(file, image));
        {
            WideTable t;
            ASSERT_TRUE(t.BindAndLoad(file));
            ASSERT_EQ(c.n, t.count);
#ifdef ORVEX_GUARD_PAGES
            EXPECT_FALSE(g_heapRegistry.IsFileView(t.block));   // fuzz builds read every file
#else
            EXPECT_EQ(c.view, g_heapRegistry.IsFileView(t.block));
#endif
            EXPECT_TRUE(t.Image(c.n) == image);
            EXPECT_EQ(c.n, t.array.ViewCount());
            EXPECT_EQ(1000 * (c.n / 1000 + 1), t.array.Capacity());
            EXPECT_EQ(&t.block[c.n], t.pending);
            std::string rest(reinterpret_cast<const char*>(&t.block[c.n]),
                             (size_t)(t.array.Capacity() + 1 - c.n) * sizeof(Wide));
            EXPECT_EQ(std::string(rest.size(), '\0'), rest);
            t.pending->value = -5;
            ASSERT_TRUE(t.array.Append());
            EXPECT_EQ((uint32_t)(c.n + 1), t.block[c.n].id);
            EXPECT_EQ(-5, t.block[c.n].value);
        }
        EXPECT_TRUE(FileHolds(file, image));
    }
}

// A record with identifier 0 anywhere in a large file, in either half of
// the records, is a free slot: the others close up in their order.
TEST(RecordArrayViews, AKeyZeroRecordAnywhereInALargeFileLeavesNoGap)
{
    const int n = 100000;   // 8 MB
    ScratchDir dir;
    std::string file = dir.File("gap.dat");
    for (int zeroAt : {0, 10, 49999, 50000, 70000, n - 1}) {
        SCOPED_TRACE(zeroAt);
        std::string image = WideImages(n);
        memset(&image[(size_t)zeroAt * sizeof(Wide)], 0, 4);
        ASSERT_TRUE(WriteBytes(file, image));
        WideTable t;
        ASSERT_TRUE(t.BindAndLoad(file));
        ASSERT_EQ(n - 1, t.count);
        ASSERT_EQ(n - 1, t.array.ViewCount());
        std::string expected = image;
        expected.erase((size_t)zeroAt * sizeof(Wide), sizeof(Wide));
        EXPECT_TRUE(t.Image(n - 1) == expected);
        EXPECT_EQ((uint32_t)(n - 2), t.array.View()[n - 2]);
        EXPECT_EQ(&t.block[n - 1], t.pending);
        EXPECT_EQ(0u, t.block[n - 1].id);
        t.pending->value = 1;
        ASSERT_TRUE(t.array.Append());
        EXPECT_EQ((uint32_t)(zeroAt + 1), t.block[n - 1].id);   // the lowest identifier not in use
        EXPECT_TRUE(FileHolds(file, image));
    }
}

TEST(RecordArrayViews, AfterAViewLoadAppendsGrowInItsRoomAndThenMove)
{
    const int n = 100000;
    ScratchDir dir;
    std::string file = dir.File("grow.dat");
    const std::string image = WideImages(n);
    ASSERT_TRUE(WriteBytes(file, image));
    WideTable t;
    ASSERT_TRUE(t.BindAndLoad(file));
#ifndef ORVEX_GUARD_PAGES
    ASSERT_TRUE(g_heapRegistry.IsFileView(t.block));
#endif
    Wide* base = t.block;

    // 1,000 appends fill the capacity and grow it by a step, inside the room.
    for (int i = 0; i < 1000; ++i) {
        t.pending->value = -i;
        ASSERT_TRUE(t.array.Append());
    }
    EXPECT_EQ(n + 1000, t.count);
    EXPECT_EQ(102000, t.array.Capacity());
#ifndef ORVEX_GUARD_PAGES
    EXPECT_EQ(base, t.block);
    EXPECT_TRUE(g_heapRegistry.IsFileView(t.block));
#else
    base = t.block;   // a fuzz build moves a block whenever it grows
#endif
    EXPECT_EQ(&t.block[n + 1000], t.pending);
    EXPECT_EQ((uint32_t)(n + 1000), t.block[n + 999].id);
    EXPECT_EQ(-999, t.block[n + 999].value);

    // Far past the room the block moves into memory of its own.
    ASSERT_TRUE(t.array.AppendMany(30000));
    EXPECT_NE(base, t.block);
    EXPECT_FALSE(g_heapRegistry.IsFileView(t.block));
    // The view is gone (the view index, grown after the block, may take its place).
    MEMORY_BASIC_INFORMATION info;
    ASSERT_TRUE(VirtualQuery(base, &info, sizeof(info)));
    EXPECT_TRUE(info.State == MEM_FREE || info.Type != MEM_MAPPED);
    EXPECT_TRUE(t.Image(n) == image);
    EXPECT_EQ(-999, t.block[n + 999].value);
    // The records taken as they are have identifier 0: the first is pending.
    EXPECT_EQ(0u, t.block[n + 1000].id);
    EXPECT_EQ(&t.block[n + 1000], t.pending);
    t.pending->value = 7;
    ASSERT_TRUE(t.array.Append());
    EXPECT_EQ(7, t.block[n + 1000].value);
    EXPECT_NE(0u, t.block[n + 1000].id);

    EXPECT_TRUE(FileHolds(file, image));
}

TEST(RecordArrayViews, ChangesNeverReachTheFileUntilItIsSavedOverAndFreeingGivesTheRoomBack)
{
    const int n = 30000;   // 2.4 MB
    ScratchDir dir;
    std::string file = dir.File("same.dat");
    const std::string image = WideImages(n);
    ASSERT_TRUE(WriteBytes(file, image));
    WideTable t;
    ASSERT_TRUE(t.BindAndLoad(file));
#ifndef ORVEX_GUARD_PAGES
    ASSERT_TRUE(g_heapRegistry.IsFileView(t.block));
#endif
    ASSERT_TRUE(t.array.RemoveAt(0));
    t.block[20000].value = 12345;
    t.current = &t.block[100];
    EXPECT_TRUE(FileHolds(file, image));

    // Saved over the very file it maps: the records as they are now.
    std::string expected = image.substr(sizeof(Wide));
    Wide changed;
    memcpy(&changed, expected.data() + 20000 * sizeof(Wide), sizeof(Wide));
    changed.value = 12345;
    memcpy(&expected[20000 * sizeof(Wide)], &changed, sizeof(Wide));
    Wide* base = t.block;
    ASSERT_TRUE(t.array.Save(file.c_str()));
    EXPECT_TRUE(FileHolds(file, expected));
    EXPECT_FALSE(g_heapRegistry.IsFileView(t.block));

    // The pointers into the block moved with it.
    EXPECT_EQ(&t.block[n - 1], t.pending);
    EXPECT_EQ(&t.block[100], t.current);
    EXPECT_TRUE(t.Image(n - 1) == expected);
    t.pending->value = 9;
    ASSERT_TRUE(t.array.Append());
    EXPECT_EQ(9, t.block[n - 1].value);
    EXPECT_EQ(n, t.count);

    // A second load maps the saved file; binding again frees the view and
    // its room, and the file can then go.
    ASSERT_TRUE(t.array.Load(file.c_str()));
    EXPECT_TRUE(t.Image(n - 1) == expected);
    base = t.block;
#ifndef ORVEX_GUARD_PAGES
    ASSERT_TRUE(g_heapRegistry.IsFileView(base));
#endif
    ASSERT_TRUE(t.Bind());
    EXPECT_TRUE(AddressFree(base));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
}

}  // namespace
