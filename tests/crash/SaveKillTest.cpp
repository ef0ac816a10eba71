// A host killed while SaveLists writes a year's tables (1,000,000 moves): a
// parent starts the host (orvex_save_child), waits until it says the save
// starts, lets it run for a delay of its own for each kill, spread over the
// whole save, and ends it with TerminateProcess. After every kill each list
// file in c:\ is its old image or its new one, byte for byte, and the next
// AttachHost loads it whole (and removes a temporary file the death left).
//
// ORVEX_CRASH_KILLS sets the number of kills (the crash command's 200; a few
// tens by default).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>

#include "TestSupport.h"

namespace {

const char* const kLists[4] = {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"};
const size_t kRecordSizes[4] = {672, 1112, 80, 24};

std::string Child(const char* arguments)
{
    return "\"" + ProgramDir() + "\\orvex_save_child.exe\" " + arguments;
}

void RemoveLists()
{
    for (const char* name : kLists) {
        DeleteFileA(name);
        DeleteFileA((std::string(name) + ".tmp").c_str());
    }
}

// A save left to finish: the images of one variant, and how long it took.
void SaveWhole(char variant, std::string images[4], int* milliseconds)
{
    ScratchDir empty;   // no list files to load
    ProcessResult run = RunProgram(Child(variant == 'A' ? "feed A" : "feed B"), empty.Path(), 120000);
    ASSERT_EQ(0u, run.exitCode) << run.output;
    const size_t at = run.output.find("saved 1 in ");
    ASSERT_NE(std::string::npos, at) << run.output;
    *milliseconds = atoi(run.output.c_str() + at + 11);
    for (int t = 0; t < 4; ++t) {
        ASSERT_TRUE(ReadBytes(kLists[t], &images[t])) << kLists[t];
        EXPECT_EQ(0u, images[t].size() % kRecordSizes[t]) << kLists[t];
    }
}

// Starts a host that feeds `variant` and kills it `delayUs` after it said the
// save starts (it may have finished by then).
void KillDuringSave(char variant, long long delayUs)
{
    ScratchDir empty;
    PROCESS_INFORMATION process = {};
    HANDLE readEnd = NULL;
    ASSERT_TRUE(StartProgram(Child(variant == 'A' ? "feed A" : "feed B"), empty.Path(), &process, &readEnd));
    std::string said;
    char buffer[256];
    DWORD read = 0;
    while (said.find("saving") == std::string::npos && ReadFile(readEnd, buffer, sizeof(buffer), &read, NULL) && read)
        said.append(buffer, read);
    EXPECT_NE(std::string::npos, said.find("saving")) << said;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    do
        QueryPerformanceCounter(&now);
    while ((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart < delayUs);
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(readEnd);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

TEST(KilledMidSave, EveryListFileIsTheOldOrTheNewImageAndLoadsWhole)
{
    const char* setting = getenv("ORVEX_CRASH_KILLS");
    const int kills = setting ? atoi(setting) : 20;
    ASSERT_GT(kills, 0);
    RemoveLists();
    std::string images[2][4];
    int msA = 0, msB = 0;
    SaveWhole('A', images[0], &msA);
    SaveWhole('B', images[1], &msB);
    if (HasFatalFailure())
        return;
    for (int t = 0; t < 4; ++t)
        ASSERT_NE(images[0][t], images[1][t]) << kLists[t];
    // The delays run from the save's start to half as long again past its end.
    const long long spanUs = (long long)(msA > msB ? msA : msB) * 1500;
    printf("a whole save takes %d / %d ms; %d kills spread over %lld ms\n", msA, msB, kills, spanUs / 1000);

    int held[4] = {1, 1, 1, 1};   // variant each file holds: B last
    int oldFiles = 0, newFiles = 0, allOld = 0, allNew = 0, mixed = 0;
    for (int k = 0; k < kills; ++k) {
        // Each kill writes the variant the movement list does not hold.
        const int target = 1 - held[2];
        const long long delayUs = spanUs * k / kills + (k * 7919) % 997;
        SCOPED_TRACE("kill " + std::to_string(k + 1) + " at " + std::to_string(delayUs) + " us");
        KillDuringSave(target ? 'B' : 'A', delayUs);
        if (HasFatalFailure())
            return;
        int nowOld = 0, nowNew = 0;
        for (int t = 0; t < 4; ++t) {
            std::string bytes;
            ASSERT_TRUE(ReadBytes(kLists[t], &bytes)) << kLists[t];
            if (bytes == images[target][t]) {
                if (held[t] != target)
                    ++nowNew;
                held[t] = target;
            } else if (bytes == images[held[t]][t]) {
                ++nowOld;
            } else {
                ADD_FAILURE() << kLists[t] << " is neither image: " << bytes.size() << " bytes";
                return;
            }
        }
        oldFiles += nowOld;
        newFiles += nowNew;
        if (nowNew == 0)
            ++allOld;
        else if (nowOld == 0)
            ++allNew;
        else
            ++mixed;
        // The next host in c:\ loads every file whole, and the leftover goes.
        ProcessResult load = RunProgram(Child("load"), "c:\\", 60000);
        ASSERT_EQ(0u, load.exitCode) << load.output;
        int rows[4] = {-1, -1, -1, -1};
        ASSERT_EQ(4, sscanf(load.output.c_str(), "%d %d %d %d", &rows[0], &rows[1], &rows[2], &rows[3])) << load.output;
        for (int t = 0; t < 4; ++t) {
            EXPECT_EQ(images[held[t]][t].size() / kRecordSizes[t], (size_t)rows[t]) << kLists[t];
            EXPECT_FALSE(FileThere(std::string(kLists[t]) + ".tmp")) << kLists[t];
        }
    }
    printf("%d kills: %d left every file old, %d every file new, %d some of each; "
           "files (of those the save changes): %d old, %d new\n",
           kills, allOld, allNew, mixed, oldFiles, newFiles);
    RemoveLists();
}

}  // namespace
