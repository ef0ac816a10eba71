// CReplacingFileSet: files that replace theirs together or not at all, also
// when the process dies at any file operation of the commit. CReplacingFile:
// names that leave no room for a suffix, and a writer that failed once.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "cwin/system/FileOps.h"
#include "FileFaults.h"
#include "TestSupport.h"

namespace {

// Three files: a.txt and c.txt exist before, b.txt does not.
const char* const kNames[] = { "a.txt", "b.txt", "c.txt" };
const char* const kOld[] = { "old a", NULL, "old c" };
const char* const kNew[] = { "new a\r\n", "new b\r\n", "new c\r\n" };

struct SetFolder
{
    ScratchDir dir;
    CurrentDir cwd{ dir.Path() };

    void PutOld()
    {
        for (int i = 0; i < 3; ++i) {
            DeleteFileA(kNames[i]);
            if (kOld[i]) {
                ASSERT_TRUE(WriteBytes(dir.File(kNames[i]), kOld[i]));
            }
        }
    }
    // Each file's new text written and sealed beside it.
    static bool WriteNew(CReplacingFileSet& set)
    {
        for (int i = 0; i < set.Count(); ++i) {
            CReplacingFile& f = set.File(i);
            if (!f.Open(set.Name(i)) || !f.Write(kNew[i], (DWORD)strlen(kNew[i])) || !f.Seal())
                return false;
        }
        return true;
    }
    // Every file as it was (new: as written), and nothing beside them.
    void ExpectAll(bool fresh, const std::string& where)
    {
        for (int i = 0; i < 3; ++i) {
            std::string bytes;
            const char* want = fresh ? kNew[i] : kOld[i];
            if (want) {
                EXPECT_TRUE(ReadBytes(dir.File(kNames[i]), &bytes) && bytes == want) << where << ": " << kNames[i];
            } else {
                EXPECT_FALSE(FileThere(dir.File(kNames[i]))) << where << ": " << kNames[i];
            }
            for (const char* leftover : { ".tmp", ".old" })
                EXPECT_FALSE(FileThere(dir.File(std::string(kNames[i]) + leftover))) << where << ": " << kNames[i]
                                                                                      << leftover;
        }
        EXPECT_FALSE(FileThere(dir.File("a.txt.commit"))) << where;
    }
};

TEST(ReplacingFileSet, ACommitReplacesEveryFileAndMakesTheMissingOne)
{
    SetFolder folder;
    folder.PutOld();
    CReplacingFileSet set(kNames, 3);
    ASSERT_TRUE(SetFolder::WriteNew(set));
    // Until the commit, the files are as they were.
    std::string bytes;
    ASSERT_TRUE(ReadBytes(folder.dir.File("a.txt"), &bytes));
    EXPECT_EQ("old a", bytes);
    EXPECT_FALSE(FileThere(folder.dir.File("b.txt")));
    EXPECT_TRUE(set.Commit());
    EXPECT_EQ(nullptr, set.FailedName());
    folder.ExpectAll(true, "committed");
}

TEST(ReplacingFileSet, AFileNotSealedCommitsNothing)
{
    SetFolder folder;
    folder.PutOld();
    CReplacingFileSet set(kNames, 3);
    ASSERT_TRUE(set.File(0).Open("a.txt"));
    ASSERT_TRUE(set.File(0).Seal());
    ASSERT_TRUE(set.File(1).Open("b.txt"));   // open, never sealed
    EXPECT_FALSE(set.Commit());
    EXPECT_STREQ("b.txt", set.FailedName());
    folder.ExpectAll(false, "b.txt not sealed");
}

// The commit's operations fail in turn: every file stays as it was, and the
// set names the file whose step failed.
TEST(ReplacingFileSet, AnyFailingOperationOfTheCommitTakesEverythingBack)
{
    SetFolder folder;
    FileFaults faults;
    folder.PutOld();
    std::string ops;
    {
        CReplacingFileSet set(kNames, 3);
        ASSERT_TRUE(SetFolder::WriteNew(set));
        faults.Arm(0);
        ASSERT_TRUE(set.Commit());
        ops = faults.Log();
    }
    // The mark (create, write, flush, close), a.txt and c.txt set aside, the
    // three new files moved in.
    ASSERT_EQ("cwfx" "mm" "mmm", ops);
    const char* const failing[] = { "a.txt", "a.txt", "a.txt", "a.txt", "a.txt", "c.txt", "a.txt", "b.txt", "c.txt" };
    for (size_t n = 1; n <= ops.size(); ++n) {
        folder.PutOld();
        CReplacingFileSet set(kNames, 3);
        ASSERT_TRUE(SetFolder::WriteNew(set));
        faults.Arm((int)n);
        EXPECT_FALSE(set.Commit()) << n;
        EXPECT_TRUE(faults.Fired()) << n;
        EXPECT_STREQ(failing[n - 1], set.FailedName()) << n;
        faults.Arm(0);
        folder.ExpectAll(false, "operation " + std::to_string(n) + " failed");
    }
}

// The process dies at each file operation of a commit (removes included);
// the next Recover leaves every file as it was before, or, once the mark was
// removed, as the commit made it, and nothing beside them. A death during
// that Recover is mended by the one after it.
TEST(ReplacingFileSet, ADeathAtAnyPointIsTakenBackByTheNextRecover)
{
    SetFolder folder;
    FileFaults faults;
    faults.CountRemoves(true);
    folder.PutOld();
    std::string ops;
    {
        CReplacingFileSet set(kNames, 3);
        ASSERT_TRUE(SetFolder::WriteNew(set));
        faults.Arm(0);
        ASSERT_TRUE(set.Commit());
        ops = faults.Log();
    }
    // Removes counted: no stale ".old" file is there to remove; the mark, the
    // moves, the mark removed (the commit is done), a.txt.old and c.txt.old removed.
    ASSERT_EQ("cwfx" "mm" "mmm" "r" "rr", ops);
    const size_t markRemoved = ops.find('r') + 1;
    int recoverPoints = 0;
    for (size_t n = 1; n <= ops.size() + 1; ++n) {
        const std::string where = "death at operation " + std::to_string(n);
        folder.PutOld();
        {
            CReplacingFileSet set(kNames, 3);
            ASSERT_TRUE(SetFolder::WriteNew(set));
            faults.Arm((int)n, FileFaults::Death);
            set.Commit();
            // The set's destructor runs "after the death" too: it can do nothing.
        }
        faults.Arm(0);
        std::string recoverOps;
        {
            CReplacingFileSet set(kNames, 3);
            EXPECT_TRUE(set.Recover()) << where;
            recoverOps = faults.Log();
        }
        const bool fresh = n > markRemoved;   // dying at that remove leaves the mark
        folder.ExpectAll(fresh, where);

        // The same death again, then a death at each operation of the first
        // Recover, then a second Recover.
        for (size_t k = 1; k <= recoverOps.size(); ++k) {
            folder.PutOld();
            {
                CReplacingFileSet set(kNames, 3);
                ASSERT_TRUE(SetFolder::WriteNew(set));
                faults.Arm((int)n, FileFaults::Death);
                set.Commit();
            }
            faults.Arm((int)k, FileFaults::Death);
            {
                CReplacingFileSet set(kNames, 3);
                set.Recover();
            }
            faults.Arm(0);
            {
                CReplacingFileSet set(kNames, 3);
                EXPECT_TRUE(set.Recover()) << where << ", then at operation " << k << " of the recovery";
            }
            folder.ExpectAll(fresh, where + ", then at operation " + std::to_string(k) + " of the recovery");
            ++recoverPoints;
        }
    }
    EXPECT_GT(recoverPoints, 0);
}

// A mark cut short by a death while it was written: no file was moved yet.
TEST(ReplacingFileSet, ACutMarkMeansNothingWasMoved)
{
    SetFolder folder;
    folder.PutOld();
    for (const char* mark : { "", "1", "10" }) {
        ASSERT_TRUE(WriteBytes(folder.dir.File("a.txt.commit"), mark));
        ASSERT_TRUE(WriteBytes(folder.dir.File("a.txt.tmp"), "half"));
        ASSERT_TRUE(WriteBytes(folder.dir.File("b.txt.tmp"), "half"));
        CReplacingFileSet set(kNames, 3);
        EXPECT_TRUE(set.Recover()) << mark;
        folder.ExpectAll(false, std::string("mark \"") + mark + "\"");
    }
}

// A mark that could not be taken back stops the next commit: its files set
// aside would be overwritten.
TEST(ReplacingFileSet, AMarkLeftInPlaceStopsTheNextCommit)
{
    SetFolder folder;
    folder.PutOld();
    ASSERT_TRUE(WriteBytes(folder.dir.File("a.txt.commit"), "101"));
    CReplacingFileSet set(kNames, 3);
    ASSERT_TRUE(SetFolder::WriteNew(set));
    EXPECT_FALSE(set.Commit());
    EXPECT_STREQ("a.txt", set.FailedName());
    std::string bytes;
    ASSERT_TRUE(ReadBytes(folder.dir.File("a.txt"), &bytes));
    EXPECT_EQ("old a", bytes);
    EXPECT_FALSE(FileThere(folder.dir.File("b.txt")));
    EXPECT_FALSE(FileThere(folder.dir.File("b.txt.tmp")));
}

// "<name><suffix>" must fit MAX_PATH bytes with its terminator; a name that
// leaves no room is refused and nothing is written past the buffer.
TEST(ReplacingFile, ASuffixedNameFitsMaxPathOrIsRefused)
{
    const struct
    {
        size_t length;
        const char* suffix;
        bool fits;
    } cases[] = {
        {1, ".tmp", true},
        {MAX_PATH - 5, ".tmp", true},
        {MAX_PATH - 4, ".tmp", false},
        {MAX_PATH - 8, ".commit", true},
        {MAX_PATH - 7, ".commit", false},
        {MAX_PATH + 10, ".old", false},
        {0, ".tmp", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " + " + c.suffix);
        const std::string name(c.length, 'n');
        char out[MAX_PATH + 16];
        memset(out, 'Z', sizeof(out));
        EXPECT_EQ(c.fits, CReplacingFile::SuffixedName(name.c_str(), c.suffix, out));
        if (c.fits) {
            EXPECT_EQ(name + c.suffix, std::string(out));
        }
        EXPECT_EQ(std::string(16, 'Z'), std::string(out + MAX_PATH, 16));
        if (std::string(c.suffix) == ".tmp") {
            memset(out, 'Z', sizeof(out));
            EXPECT_EQ(c.fits, CReplacingFile::TempName(name.c_str(), out));
            EXPECT_EQ(std::string(16, 'Z'), std::string(out + MAX_PATH, 16));
        }
    }
    char out[MAX_PATH];
    EXPECT_FALSE(CReplacingFile::SuffixedName(NULL, ".tmp", out));
}

TEST(ReplacingFile, AWriterNotOpenRefusesEveryStep)
{
    ScratchDir dir;
    CurrentDir cwd(dir.Path());
    ASSERT_TRUE(WriteBytes(dir.File("a.txt"), "old a"));
    const std::string tooLong(MAX_PATH - 4, 'n');
    for (const char* name : {(const char*)NULL, "", tooLong.c_str(), "no folder\\a.txt"}) {
        SCOPED_TRACE(name ? std::to_string(strlen(name)) + " bytes" : std::string("null"));
        CReplacingFile file;
        EXPECT_FALSE(file.Open(name));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(file.Write("x", 1));
        EXPECT_FALSE(file.Commit());
        EXPECT_FALSE(file.Seal());
    }
    std::string bytes;
    EXPECT_TRUE(ReadBytes(dir.File("a.txt"), &bytes) && bytes == "old a");
}

// A write that fails (or writes part) fails every later write, though the
// disk would take it, and the commit; the old file stays. Opened again, the
// writer starts afresh.
TEST(ReplacingFile, AfterAFailedWriteNothingMoreIsWrittenUntilItIsOpenedAgain)
{
    ScratchDir dir;
    CurrentDir cwd(dir.Path());
    for (FileFaults::Kind kind : {FileFaults::Fail, FileFaults::ShortWrite}) {
        SCOPED_TRACE(kind == FileFaults::Fail ? "failed write" : "short write");
        ASSERT_TRUE(WriteBytes(dir.File("a.txt"), "old a"));
        FileFaults faults;
        CReplacingFile file;
        ASSERT_TRUE(file.Open("a.txt"));
        faults.Arm(2, kind);   // the second write
        EXPECT_TRUE(file.Write("new ", 4));
        EXPECT_FALSE(file.Write("a\r\n", 3));
        EXPECT_TRUE(faults.Fired());
        EXPECT_FALSE(file.Write("more", 4));
        EXPECT_EQ("ww", faults.Log());   // the third never reached the disk
        EXPECT_FALSE(file.Commit());
        std::string bytes;
        EXPECT_TRUE(ReadBytes(dir.File("a.txt"), &bytes) && bytes == "old a") << Escaped(bytes);
        EXPECT_FALSE(FileThere(dir.File("a.txt.tmp")));

        faults.Arm(0);
        ASSERT_TRUE(file.Open("a.txt"));
        EXPECT_TRUE(file.Write("new a\r\n", 7));
        EXPECT_TRUE(file.Commit());
        EXPECT_TRUE(ReadBytes(dir.File("a.txt"), &bytes) && bytes == "new a\r\n") << Escaped(bytes);
        EXPECT_FALSE(FileThere(dir.File("a.txt.tmp")));
    }
}

}  // namespace
