// CReplacingFileSet: files that replace theirs together or not at all, also
// when the process dies at any file operation of the commit.
#include <gtest/gtest.h>

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

}  // namespace
