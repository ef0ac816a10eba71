// Replacing a file whole or not at all: the record array's save at every
// failing file operation (create, write, short write, flush, close, move)
// leaves the old image byte for byte and no temporary file; the load refuses
// what is not whole and never takes a leftover temporary file for the file.
#include <gtest/gtest.h>

#include <string.h>

#include "FileFaults.h"
#include "FileOps.h"
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

    Table() { EXPECT_TRUE(array.Bind(&block, &pending, &current, 10, &count)); }
    void Add(int value, const char* text)
    {
        pending->value = value;
        strcpy(pending->text, text);
        ASSERT_TRUE(array.Append());
    }
    std::string Image() const { return std::string((const char*)block, (size_t)count * sizeof(Rec)); }
};

// Three records, as the layout puts them: identifier, value, text.
std::string ThreeRecords()
{
    const char bytes[] =
        "\x01\0\0\0" "\x0a\0\0\0" "ab\0\0\0\0\0\0"
        "\x02\0\0\0" "\x14\0\0\0" "cd\0\0\0\0\0\0"
        "\x03\0\0\0" "\x1e\0\0\0" "efgh\0\0\0\0";
    return std::string(bytes, sizeof(bytes) - 1);
}

class SafeSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.Add(10, "ab");
        t.Add(20, "cd");
        t.Add(30, "efgh");
        ASSERT_EQ(ThreeRecords(), t.Image());
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
    const std::string ops = faults.Log();
    int points = 0;
    for (int n = 1; n <= (int)ops.size(); ++n) {
        for (FileFaults::Kind kind : {FileFaults::Fail, FileFaults::ShortWrite}) {
            if (kind == FileFaults::ShortWrite && ops[n - 1] != 'w')
                continue;
            ++points;
            SCOPED_TRACE(std::string("operation ") + std::to_string(n) + " '" + ops[n - 1] + "'" +
                         (kind == FileFaults::ShortWrite ? " writes half" : " fails"));
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
        }
    }
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
    ASSERT_TRUE(u.array.Load(file.c_str()));
    EXPECT_EQ(ThreeRecords(), u.Image());
    EXPECT_FALSE(FileThere(temp));   // the load removed it

    // Without the file, a leftover is not loaded in its place, and goes.
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    ASSERT_TRUE(WriteBytes(temp, cut));
    Table v;
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
        u.Add(7, "kept");
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
    ASSERT_TRUE(w.array.Load(file.c_str()));
    EXPECT_EQ(ThreeRecords(), w.Image());
}

}  // namespace
