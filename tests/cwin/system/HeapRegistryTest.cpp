// Heap registry: block lifetime through caller variables, the entry limit of
// each deliverable, growth with zero fill, and the fault messages. A fuzz build
// runs every case twice, with the no-access page after and before each block.
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "cwin/system/HeapRegistry.h"
#include "TestSupport.h"

namespace {

struct Registry
{
    explicit Registry(int n) : entries(n), registry(entries.data(), n) {}
    std::vector<CWIN_HEAP_INFO> entries;
    CHeapRegistry registry;
};

class HeapRegistry : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
#ifdef ORVEX_GUARD_PAGES
        CHeapRegistry::SetGuardBefore(GetParam());
#endif
    }
    void TearDown() override
    {
#ifdef ORVEX_GUARD_PAGES
        CHeapRegistry::SetGuardBefore(false);
#endif
    }
};

#ifdef ORVEX_GUARD_PAGES
INSTANTIATE_TEST_SUITE_P(GuardAfter, HeapRegistry, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(GuardBefore, HeapRegistry, ::testing::Values(true));
#else
INSTANTIATE_TEST_SUITE_P(Shipped, HeapRegistry, ::testing::Values(false));
#endif

bool AllZero(const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

TEST_P(HeapRegistry, AllocSetsTheCallerVariableToAZeroFilledBlock)
{
    Registry r(16);
    char* block = NULL;
    ASSERT_TRUE(r.registry.Alloc(&block, 100));
    ASSERT_NE(nullptr, block);
    EXPECT_TRUE(AllZero(block, 100));
    EXPECT_EQ(100u, r.registry.Size(block));
    EXPECT_EQ(0, r.registry.Find(block));
    EXPECT_TRUE(r.registry.Free(&block));
    EXPECT_EQ(nullptr, block);
}

TEST_P(HeapRegistry, NullVariablesAndNullBlocks)
{
    MessageBoxRecorder boxes;
    Registry r(16);
    EXPECT_FALSE(r.registry.Alloc((void**)NULL, 10));
    EXPECT_FALSE(r.registry.Free((void**)NULL));
    char* none = NULL;
    EXPECT_TRUE(r.registry.Free(&none));          // holding null: nothing to release
    EXPECT_EQ(0u, r.registry.Size(NULL));
    EXPECT_FALSE(r.registry.Zero(NULL));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_P(HeapRegistry, GrowingKeepsTheContentAndZeroFillsTheRest)
{
    Registry r(16);
    char* block = NULL;
    ASSERT_TRUE(r.registry.Alloc(&block, 10));
    memcpy(block, "0123456789", 10);
    ASSERT_TRUE(r.registry.Alloc(&block, 20));
    EXPECT_EQ(0, memcmp(block, "0123456789", 10));
    EXPECT_TRUE(AllZero(block + 10, 10));
    EXPECT_EQ(20u, r.registry.Size(block));
    EXPECT_EQ(1, r.registry.LiveBlocks());
}

TEST_P(HeapRegistry, LargeBlocksGrowInStepsAndStayZeroFilled)
{
    Registry r(16);
    char* block = NULL;
    SIZE_T size = 3 * 1024 * 1024;
    ASSERT_TRUE(r.registry.Alloc(&block, size));
    block[0] = 'a';
    block[size - 1] = 'z';
    // Many small steps, as a record array grows.
    for (int step = 0; step < 40; ++step) {
        SIZE_T next = size + 310000;
        ASSERT_TRUE(r.registry.Alloc(&block, next));
        ASSERT_EQ('a', block[0]);
        ASSERT_EQ('z', block[size - 1]);
        ASSERT_TRUE(AllZero(block + size, next - size)) << "step " << step;
        block[size - 1] = 0;
        size = next;
        block[size - 1] = 'z';
    }
    EXPECT_EQ(size, r.registry.Size(block));
    // Shrinking, then growing again, shows zeros where the old bytes were.
    memset(block, 'x', size);
    ASSERT_TRUE(r.registry.Alloc(&block, 100));
    ASSERT_TRUE(r.registry.Alloc(&block, 2 * 1024 * 1024));
    EXPECT_EQ('x', block[99]);
    EXPECT_TRUE(AllZero(block + 100, 2 * 1024 * 1024 - 100));
    EXPECT_TRUE(r.registry.Free(&block));
    EXPECT_EQ(0, r.registry.LiveBlocks());
}

TEST_P(HeapRegistry, AllocNewAlwaysTakesANewBlock)
{
    Registry r(16);
    char* first = NULL;
    ASSERT_TRUE(r.registry.Alloc(&first, 8));
    char* keep = first;
    ASSERT_TRUE(r.registry.AllocNew(&first, 8));
    EXPECT_NE(keep, first);
    EXPECT_EQ(2, r.registry.LiveBlocks());
    EXPECT_GE(r.registry.Find(keep), 0);
}

void ExpectLimit(int limit)
{
    MessageBoxRecorder boxes;
    Registry r(limit);
    std::vector<char*> blocks(limit + 1, nullptr);
    for (int i = 0; i < limit; ++i)
        ASSERT_TRUE(r.registry.Alloc(&blocks[i], 4)) << i;
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(r.registry.Alloc(&blocks[limit], 4));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("size of array CWIN_HEAP_INFO_NUM is insufficient", boxes.Boxes()[0].text);
    EXPECT_EQ("Programm notice", boxes.Boxes()[0].caption);
    EXPECT_EQ((UINT)MB_OK, boxes.Boxes()[0].type);
    EXPECT_EQ(nullptr, boxes.Boxes()[0].owner);

    // One freed block makes room, and its entry is the one reused.
    int freed = limit / 2;
    ASSERT_EQ(freed, r.registry.Find(blocks[freed]));
    ASSERT_TRUE(r.registry.Free(&blocks[freed]));
    ASSERT_TRUE(r.registry.Alloc(&blocks[limit], 4));
    EXPECT_EQ(freed, r.registry.Find(blocks[limit]));
    EXPECT_EQ(1u, boxes.Boxes().size());
}

TEST_P(HeapRegistry, ThePluginRegistryHolds1024Blocks)
{
    EXPECT_EQ(1024, CWIN_HEAP_INFO_NUM_PLUGIN);
    ExpectLimit(CWIN_HEAP_INFO_NUM_PLUGIN);
}

TEST_P(HeapRegistry, TheConverterRegistryHolds102400Blocks)
{
    EXPECT_EQ(102400, CWIN_HEAP_INFO_NUM_CONVERTER);
    ExpectLimit(CWIN_HEAP_INFO_NUM_CONVERTER);
}

TEST_P(HeapRegistry, UnrecordedAddressesAreReported)
{
    MessageBoxRecorder boxes;
    Registry r(16);
    char* known = NULL;
    ASSERT_TRUE(r.registry.Alloc(&known, 16));   // the registry has its heap now
    char local[16];
    char* stranger = local;

    EXPECT_FALSE(r.registry.Free(&stranger));
    EXPECT_EQ(local, stranger);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Heap NOT found in array CWIN_HEAP_INFO_NUM", boxes.Boxes()[0].text);
    EXPECT_EQ("Programm error", boxes.Boxes()[0].caption);

    boxes.Clear();
    EXPECT_EQ(-1, r.registry.Find(local));
    EXPECT_EQ(0u, r.registry.Size(local));
    ASSERT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ("Heap NOT found in array CWIN_HEAP_INFO_NUM", boxes.Boxes()[1].text);

    boxes.Clear();
    EXPECT_FALSE(r.registry.Alloc(&stranger, 32));   // a resize of a block it never gave
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("necessary elements NOT found in array CWIN_HEAP_INFO_NUM", boxes.Boxes()[0].text);
    EXPECT_EQ("Programm error", boxes.Boxes()[0].caption);
}

TEST_P(HeapRegistry, FindBeforeAnyAllocationIsSilent)
{
    MessageBoxRecorder boxes;
    Registry r(16);
    int x = 0;
    EXPECT_EQ(-1, r.registry.Find(&x));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_P(HeapRegistry, ZeroClearsTheWholeBlockOrThePartAsked)
{
    Registry r(16);
    char* block = NULL;
    ASSERT_TRUE(r.registry.Alloc(&block, 64));
    SIZE_T whole = r.registry.Size(block);
    memset(block, 'x', whole);
    ASSERT_TRUE(r.registry.Zero(block, 10));
    EXPECT_TRUE(AllZero(block, 10));
    EXPECT_EQ('x', block[10]);
    ASSERT_TRUE(r.registry.Zero(block));
    EXPECT_TRUE(AllZero(block, whole));
}

TEST_P(HeapRegistry, ARefusedResizeKeepsTheBlock)
{
    Registry r(16);
    char* block = NULL;
    ASSERT_TRUE(r.registry.Alloc(&block, 32));
    memcpy(block, "keep", 5);
    char* before = block;
    EXPECT_FALSE(r.registry.Alloc(&block, (SIZE_T)-4096));
    EXPECT_EQ(before, block);
    EXPECT_STREQ("keep", block);
    EXPECT_EQ(0, r.registry.Find(block));
}

TEST_P(HeapRegistry, DestroyReleasesEverythingAndANewHeapFollows)
{
    Registry r(16);
    char* a = NULL;
    char* b = NULL;
    ASSERT_TRUE(r.registry.Alloc(&a, 10));
    ASSERT_TRUE(r.registry.Alloc(&b, 2 * 1024 * 1024));
    r.registry.Destroy();
    EXPECT_EQ(nullptr, r.registry.GetHeap());
    EXPECT_EQ(0, r.registry.LiveBlocks());
    char* c = NULL;
    ASSERT_TRUE(r.registry.Alloc(&c, 10));
    EXPECT_NE(nullptr, r.registry.GetHeap());
    EXPECT_EQ(0, r.registry.Find(c));
}

#ifdef ORVEX_GUARD_PAGES
// No access at all: reserved without commit, or committed as no-access.
bool Inaccessible(const void* p)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof(info)))
        return true;
    return info.State != MEM_COMMIT || (info.Protect & (PAGE_NOACCESS | PAGE_GUARD));
}

TEST_P(HeapRegistry, EveryBlockTouchesANoAccessPage)
{
    Registry r(16);
    const SIZE_T sizes[] = { 1, 10, 4095, 4096, 4097, 100000 };
    for (SIZE_T size : sizes) {
        char* block = NULL;
        ASSERT_TRUE(r.registry.Alloc(&block, size));
        EXPECT_FALSE(Inaccessible(block)) << size;
        EXPECT_FALSE(Inaccessible(block + size - 1)) << size;
        if (GetParam())
            EXPECT_TRUE(Inaccessible(block - 1)) << size;
        else
            EXPECT_TRUE(Inaccessible(block + size)) << size;
        // Growing and shrinking make a new block placed the same way.
        ASSERT_TRUE(r.registry.Alloc(&block, size + 3));
        EXPECT_EQ(size + 3, r.registry.Size(block));
        EXPECT_TRUE(AllZero(block, size + 3));
        EXPECT_TRUE(GetParam() ? Inaccessible(block - 1) : Inaccessible(block + size + 3)) << size;
        ASSERT_TRUE(r.registry.Alloc(&block, size));
        EXPECT_TRUE(GetParam() ? Inaccessible(block - 1) : Inaccessible(block + size)) << size;
        char* freed = block;
        ASSERT_TRUE(r.registry.Free(&block));
        EXPECT_TRUE(Inaccessible(freed)) << size;
    }
    EXPECT_EQ(0, r.registry.LiveBlocks());
}
#endif

}  // namespace

// Address space of large blocks: one made at its size gets an eighth more room,
// not several times its size; one that outgrows its room moves with its bytes
// into room to grow (twice the size, in a 64-bit process four times and at
// least 256 MB), and the old room is given back.
namespace {

SIZE_T RoomOf(const void* block, const void** base)
{
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(block, &info, sizeof(info)))
        return 0;
    *base = info.AllocationBase;
    SIZE_T room = 0;
    const char* at = static_cast<const char*>(info.AllocationBase);
    while (VirtualQuery(at, &info, sizeof(info)) && info.AllocationBase == *base) {
        room += info.RegionSize;
        at += info.RegionSize;
    }
    return room;
}

TEST(HeapRegistryRoom, AMadeBlockHasAnEighthMoreRoomAndAGrownOneMovesIntoMuchMore)
{
#ifdef ORVEX_GUARD_PAGES
    GTEST_SKIP() << "a fuzz build gives every block a guard page of its own";
#endif
    Registry r(16);
    char* block = NULL;
    const SIZE_T size = 8 * 1024 * 1024;
    ASSERT_TRUE(r.registry.Alloc(&block, size));
    const void* base = NULL;
    SIZE_T room = RoomOf(block, &base);
    EXPECT_EQ(base, block);
    EXPECT_GE(room, size);
    EXPECT_LE(room, size + size / 8 + 64 * 1024);

    // Within the room the block stays where it is.
    block[0] = 'a';
    block[size - 1] = 'z';
    ASSERT_TRUE(r.registry.Alloc(&block, size + size / 16));
    EXPECT_EQ(base, block);
    // Past it, it moves.
    const SIZE_T grown = size + size / 4;
    char* old = block;
    ASSERT_TRUE(r.registry.Alloc(&block, grown));
    EXPECT_NE(old, block);
    EXPECT_EQ('a', block[0]);
    EXPECT_EQ('z', block[size - 1]);
    EXPECT_TRUE(AllZero(block + size, grown - size));
    MEMORY_BASIC_INFORMATION info;
    ASSERT_TRUE(VirtualQuery(old, &info, sizeof(info)));
    EXPECT_EQ((DWORD)MEM_FREE, info.State);
    room = RoomOf(block, &base);
    if (sizeof(void*) == 8)
        EXPECT_GE(room, (SIZE_T)256 * 1024 * 1024);
    else
        EXPECT_GE(room, 2 * grown);
    EXPECT_TRUE(r.registry.Free(&block));
}

// A block whose first 64 KB units are a copy-on-write view of a file: its
// bytes are the file's, then zero; writes never reach the file; it grows in
// its room and moves past it; it becomes private memory on demand; freeing it
// gives its whole room back.
class HeapRegistryView : public ::testing::Test
{
protected:
    static const SIZE_T kUnit = 64 * 1024;

    void SetUp() override
    {
        // Not a whole number of units, and every byte telling its offset.
        for (SIZE_T i = 0; i < kFileSize; ++i)
            m_image.push_back((char)(i * 7 + i / 251));
        m_path = m_dir.File("image.dat");
        ASSERT_TRUE(WriteBytes(m_path, m_image));
    }

    HANDLE Open() const
    {
        return CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    }

    // A view of the file's first `units` units in a block of `size` bytes.
    bool Map(CHeapRegistry& registry, char** block, SIZE_T size, SIZE_T units)
    {
        HANDLE file = Open();
        if (file == INVALID_HANDLE_VALUE)
            return false;
        bool made = registry.AllocFileView(reinterpret_cast<void**>(block), size, file, units * kUnit);
        CloseHandle(file);
        return made;
    }

    bool FileUnchanged() const
    {
        std::string now;
        return ReadBytes(m_path, &now) && now == m_image;
    }

    static bool IsFree(const void* address)
    {
        MEMORY_BASIC_INFORMATION info;
        return VirtualQuery(address, &info, sizeof(info)) && info.State == MEM_FREE;
    }

    static const SIZE_T kFileSize = 40 * kUnit + 1234;   // 2.5 MB and a bit
    ScratchDir m_dir;
    std::string m_path;
    std::string m_image;
};

// A 3 MB block whose first 40 units are the file's (not made in fuzz builds).
class HeapRegistryMappedBlock : public HeapRegistryView
{
protected:
    static constexpr SIZE_T size = 3 * 1024 * 1024;

    void SetUp() override
    {
#ifdef ORVEX_GUARD_PAGES
        GTEST_SKIP() << "a fuzz build makes no views";
#endif
        HeapRegistryView::SetUp();
        ASSERT_TRUE(Map(r.registry, &block, size, 40));
    }

    Registry r{16};
    char* block = NULL;
};

TEST_F(HeapRegistryMappedBlock, TheBlockHoldsTheFilesUnitsThenZeroAndWritesStayPrivate)
{
    ASSERT_NE(nullptr, block);
    EXPECT_TRUE(r.registry.IsFileView(block));
    EXPECT_EQ(size, r.registry.Size(block));
    EXPECT_EQ(1, r.registry.LiveBlocks());
    EXPECT_EQ(m_image.substr(0, 40 * kUnit), std::string(block, 40 * kUnit));
    EXPECT_TRUE(AllZero(block + 40 * kUnit, size - 40 * kUnit));

    // Changes in the view and after it: the block has them, the file never.
    block[0] = 'A';
    block[40 * kUnit - 1] = 'B';
    block[40 * kUnit] = 'C';
    block[size - 1] = 'D';
    EXPECT_EQ('A', block[0]);
    EXPECT_EQ('B', block[40 * kUnit - 1]);
    EXPECT_EQ(m_image.substr(1, 40 * kUnit - 2), std::string(block + 1, 40 * kUnit - 2));
    EXPECT_TRUE(FileUnchanged());

    // Freeing gives the view and the room after it back.
    char* old = block;
    ASSERT_TRUE(r.registry.Free(&block));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, r.registry.LiveBlocks());
    EXPECT_TRUE(IsFree(old));
    EXPECT_TRUE(IsFree(old + 40 * kUnit));
    void* again = VirtualAlloc(old, size + size / 8, MEM_RESERVE, PAGE_NOACCESS);
    EXPECT_EQ(static_cast<void*>(old), again);
    if (again)
        VirtualFree(again, 0, MEM_RELEASE);
    EXPECT_TRUE(FileUnchanged());
}

TEST_F(HeapRegistryMappedBlock, ItGrowsInItsRoomMovesPastItAndShrinksWithZeroFill)
{
    block[size - 1] = 'z';

    // An eighth more room: a sixteenth more stays in place, still a view.
    char* base = block;
    ASSERT_TRUE(r.registry.Alloc(&block, size + size / 16));
    EXPECT_EQ(base, block);
    EXPECT_TRUE(r.registry.IsFileView(block));
    EXPECT_EQ('z', block[size - 1]);
    EXPECT_TRUE(AllZero(block + size, size / 16));

    // Shrinking into the view and growing again: the bytes between are zero.
    ASSERT_TRUE(r.registry.Alloc(&block, 10 * kUnit));
    EXPECT_EQ(base, block);
    ASSERT_TRUE(r.registry.Alloc(&block, size));
    EXPECT_EQ(base, block);
    EXPECT_EQ(m_image.substr(0, 10 * kUnit), std::string(block, 10 * kUnit));
    EXPECT_TRUE(AllZero(block + 10 * kUnit, size - 10 * kUnit));
    block[10 * kUnit - 1] = 'y';

    // Past the room it moves into private memory; the old room is free.
    const SIZE_T grown = size * 2;
    ASSERT_TRUE(r.registry.Alloc(&block, grown));
    EXPECT_NE(base, block);
    EXPECT_FALSE(r.registry.IsFileView(block));
    EXPECT_EQ(m_image.substr(0, 10 * kUnit - 1), std::string(block, 10 * kUnit - 1));
    EXPECT_EQ('y', block[10 * kUnit - 1]);
    EXPECT_TRUE(AllZero(block + 10 * kUnit, grown - 10 * kUnit));
    EXPECT_TRUE(IsFree(base));
    EXPECT_TRUE(IsFree(base + 40 * kUnit));
    EXPECT_EQ(1, r.registry.LiveBlocks());
    EXPECT_TRUE(r.registry.Free(&block));
    EXPECT_TRUE(FileUnchanged());
}

TEST_F(HeapRegistryMappedBlock, MadePrivateItKeepsItsBytesAndTheFileCanBeReplaced)
{
    block[5] = 'x';
    block[size - 1] = 'z';
    char* base = block;
    ASSERT_TRUE(r.registry.MakePrivate(&block));
    EXPECT_NE(base, block);
    EXPECT_FALSE(r.registry.IsFileView(block));
    EXPECT_EQ(size, r.registry.Size(block));
    EXPECT_EQ(1, r.registry.LiveBlocks());
    EXPECT_TRUE(IsFree(base));
    std::string expected = m_image.substr(0, 40 * kUnit);
    expected[5] = 'x';
    EXPECT_EQ(expected, std::string(block, 40 * kUnit));
    EXPECT_TRUE(AllZero(block + 40 * kUnit, size - 40 * kUnit - 1));
    EXPECT_EQ('z', block[size - 1]);

    // Nothing holds the file now: it can be replaced and removed.
    std::string other = m_dir.File("other.dat");
    ASSERT_TRUE(WriteBytes(other, "new"));
    EXPECT_TRUE(MoveFileExA(other.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(DeleteFileA(m_path.c_str()));

    // A block that is no view is left as it is.
    char* same = block;
    EXPECT_TRUE(r.registry.MakePrivate(&block));
    EXPECT_EQ(same, block);
    EXPECT_TRUE(r.registry.Free(&block));
}

TEST_F(HeapRegistryView, WhatCannotBeAViewIsRefusedWithNothingMade)
{
    Registry r(16);
    char* block = NULL;
#ifdef ORVEX_GUARD_PAGES
    EXPECT_FALSE(Map(r.registry, &block, 3 * 1024 * 1024, 40));
#else
    // Not whole units, no units, as large as the block, a small block.
    HANDLE file = Open();
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_FALSE(r.registry.AllocFileView(reinterpret_cast<void**>(&block), 3 * 1024 * 1024, file, 40 * kUnit + 4096));
    EXPECT_FALSE(r.registry.AllocFileView(reinterpret_cast<void**>(&block), 3 * 1024 * 1024, file, 0));
    EXPECT_FALSE(r.registry.AllocFileView(reinterpret_cast<void**>(&block), 40 * kUnit, file, 40 * kUnit));
    EXPECT_FALSE(r.registry.AllocFileView(reinterpret_cast<void**>(&block), 1024 * 1024 - 1, file, 8 * kUnit));
    CloseHandle(file);
#endif
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, r.registry.LiveBlocks());

    // A full registry makes none either, and says so as for any block.
    Registry full(1);
    char* first = NULL;
    ASSERT_TRUE(full.registry.Alloc(&first, 10));
    MessageBoxRecorder boxes;
#ifndef ORVEX_GUARD_PAGES
    EXPECT_FALSE(Map(full.registry, &block, 3 * 1024 * 1024, 40));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("size of array CWIN_HEAP_INFO_NUM is insufficient", boxes.Boxes()[0].text);
#endif
    EXPECT_EQ(nullptr, block);
    EXPECT_TRUE(full.registry.Free(&first));
}

}  // namespace