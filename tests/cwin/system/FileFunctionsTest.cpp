// File functions and file chooser: whole-file reads, existence tests, name parts, filters, formatted writes.
#include <gtest/gtest.h>

#include <string.h>

#include "cwin/system/FileChooser.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/HeapRegistry.h"
#include "TestSupport.h"

namespace {

TEST(ReadWholeFile, ReadsTheFileIntoATerminatedBlock)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("a.txt"), std::string("ab\0cd", 5)));
    CFileFunctions files;
    char* buffer = NULL;
    ASSERT_EQ(5, files.ReadWholeFile(dir.File("a.txt").c_str(), &buffer, -1));
    EXPECT_EQ(0, memcmp(buffer, "ab\0cd\0", 6));
    EXPECT_EQ(6u, g_heapRegistry.Size(buffer));
    EXPECT_TRUE(files.FreeBuffer(&buffer));
    EXPECT_EQ(nullptr, buffer);
}

TEST(ReadWholeFile, AnEmptyFileGivesZeroAndJustTheTerminator)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("empty.txt"), ""));
    CFileFunctions files;
    char* buffer = NULL;
    ASSERT_EQ(0, files.ReadWholeFile(dir.File("empty.txt").c_str(), &buffer, -1));
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ(0, buffer[0]);
    files.FreeBuffer(&buffer);
}

TEST(ReadWholeFile, AskingForMoreThanTheFileHoldsReturnsWhatWasRead)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("four.txt"), "1234"));
    CFileFunctions files;
    char* buffer = NULL;
    EXPECT_EQ(4, files.ReadWholeFile(dir.File("four.txt").c_str(), &buffer, 10));
    EXPECT_STREQ("1234", buffer);
    EXPECT_EQ(2, files.ReadWholeFile(dir.File("four.txt").c_str(), &buffer, 2));
    EXPECT_STREQ("12", buffer);
    files.FreeBuffer(&buffer);
}

TEST(ReadWholeFile, ReleasesThePreviousBufferAndFailsWithMinusOne)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("x.txt"), "x"));
    CFileFunctions files;
    char* buffer = NULL;
    ASSERT_EQ(1, files.ReadWholeFile(dir.File("x.txt").c_str(), &buffer, -1));
    int live = g_heapRegistry.LiveBlocks();
    ASSERT_EQ(1, files.ReadWholeFile(dir.File("x.txt").c_str(), &buffer, -1));
    EXPECT_EQ(live, g_heapRegistry.LiveBlocks());   // one input buffer at a time
    EXPECT_EQ(-1, files.ReadWholeFile(dir.File("missing.txt").c_str(), &buffer, -1));
    EXPECT_EQ(-1, files.ReadWholeFile(dir.File("x.txt").c_str(), NULL, -1));
    files.FreeBuffer(&buffer);
}

TEST(FileExists, FormatsThePathAndTestsForReading)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("there.txt"), "x"));
    CFileFunctions files;
    EXPECT_TRUE(files.FileExists("%s\\%s", dir.Path().c_str(), "there.txt"));
    EXPECT_FALSE(files.FileExists("%s\\%s", dir.Path().c_str(), "absent.txt"));
    EXPECT_FALSE(files.FileExists(NULL));
}

TEST(FileChooser, ItsFileSlotsReadAndTestFilesAsTheFileFunctionsDo)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("c.txt"), "xyz"));
    CFileChooser chooser;
    CFileChooser& files = chooser;
    char* buffer = NULL;
    EXPECT_EQ(3, files.ReadWholeFile(dir.File("c.txt").c_str(), &buffer, -1));
    EXPECT_STREQ("xyz", buffer);
    EXPECT_TRUE(files.FreeBuffer(&buffer));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_TRUE(files.FileExists("%s\\%s", dir.Path().c_str(), "c.txt"));
    EXPECT_FALSE(files.FileExists("%s\\%s", dir.Path().c_str(), "d.txt"));
    EXPECT_FALSE(files.FileExists(NULL));
}

TEST(FileChooser, TheDefaultFilterIsOneEntryForAllFiles)
{
    CFileChooser files;
    EXPECT_STREQ("Все файлы (*.*)|*.*|", files.GetFilter());
    char list[CFileChooser::FilterLimit + 1];
    ASSERT_TRUE(CFileChooser::BuildFilterList(files.GetFilter(), list));
    EXPECT_STREQ("Все файлы (*.*)", list);
    const char* pattern = list + strlen(list) + 1;
    EXPECT_STREQ("*.*", pattern);
    EXPECT_EQ(0, pattern[strlen(pattern) + 1]);   // the list ends in two zero bytes
}

TEST(FileChooser, FiltersOutsideOneTo2047CharactersAreRefused)
{
    char list[CFileChooser::FilterLimit + 1];
    EXPECT_FALSE(CFileChooser::BuildFilterList("", list));
    EXPECT_FALSE(CFileChooser::BuildFilterList(NULL, list));
    std::string longest(2047, 'a');
    EXPECT_TRUE(CFileChooser::BuildFilterList(longest.c_str(), list));
    std::string tooLong(2048, 'a');
    EXPECT_FALSE(CFileChooser::BuildFilterList(tooLong.c_str(), list));
    CFileChooser files;
    files.SetFilter(tooLong.c_str());
    EXPECT_FALSE(files.ChooseFile());   // refused before any dialog
}

TEST(TextFile, CreateTruncatesAndWriteFormattedCutsAt1023Bytes)
{
    ScratchDir dir;
    std::string name = dir.File("out.txt");
    ASSERT_TRUE(WriteBytes(name, "old content that must go"));
    HANDLE file = CreateTextFile(name.c_str());
    ASSERT_NE(nullptr, file);
    EXPECT_TRUE(WriteFormatted(file, "%d|%s|%.5f\r\n", 17, "abc", -0.0));
    std::string big(1500, 'b');
    EXPECT_TRUE(WriteFormatted(file, "<%s>", big.c_str()));
    EXPECT_TRUE(WriteFormatted(file, "%d%%", 90));
    CloseHandle(file);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(name, &bytes));
    EXPECT_EQ("17|abc|-0.00000\r\n<" + std::string(1022, 'b') + "90%", bytes);
}

TEST(TextFile, NullArgumentsDoNothing)
{
    EXPECT_EQ(nullptr, CreateTextFile(NULL));
    EXPECT_FALSE(WriteFormatted(NULL, "x"));
    ScratchDir dir;
    HANDLE file = CreateTextFile(dir.File("n.txt").c_str());
    ASSERT_NE(nullptr, file);
    EXPECT_FALSE(WriteFormatted(file, NULL));
    CloseHandle(file);
    EXPECT_EQ(nullptr, CreateTextFile(dir.File("no\\such\\folder.txt").c_str()));
}

}  // namespace
