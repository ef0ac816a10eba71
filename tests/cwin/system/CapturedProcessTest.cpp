// CCapturedProcess: a child's output through the pipe (read piece by piece or
// polled), its exit code, its folder, a program that cannot start, and one
// that is stopped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cwin/system/CapturedProcess.h"
#include "TestSupport.h"

namespace {

const char kCmd[] = "cmd.exe /c ";

// Everything the child writes, read piece by piece until the pipe closes.
std::string ReadToEnd(CCapturedProcess& child)
{
    std::string output;
    while (child.ReadNext(output)) {
    }
    return output;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return (char)tolower(c); });
    return text;
}

TEST(CapturedProcess, OutputAndErrorComeThroughThePipeAndTheExitCodeIsKept)
{
    CCapturedProcess child;
    ASSERT_TRUE(child.Start(NULL, std::string(kCmd) + "echo first& echo second 1>&2& exit 7", NULL, CREATE_NO_WINDOW));
    EXPECT_EQ(0u, child.StartError());
    EXPECT_NE(0u, child.ProcessId());
    std::string output = ReadToEnd(child);
    ASSERT_TRUE(child.Wait(30000));
    EXPECT_EQ(7u, child.ExitCode());
    EXPECT_NE(std::string::npos, output.find("first\r\n")) << output;
    EXPECT_NE(std::string::npos, output.find("second")) << output;   // standard error, same pipe
    EXPECT_LT(output.find("first"), output.find("second"));
}

TEST(CapturedProcess, RunsInTheFolderItIsGiven)
{
    ScratchDir dir;
    CCapturedProcess child;
    ASSERT_TRUE(child.Start(NULL, std::string(kCmd) + "cd", dir.Path().c_str(), CREATE_NO_WINDOW));
    std::string output = ReadToEnd(child);
    ASSERT_TRUE(child.Wait(30000));
    EXPECT_EQ(Lower(dir.Path()) + "\r\n", Lower(output));
}

TEST(CapturedProcess, AProgramThatIsNotThereDoesNotStartAndSaysWhy)
{
    CCapturedProcess child;
    EXPECT_FALSE(child.Start("C:\\no such folder\\nothing.exe", "\"C:\\no such folder\\nothing.exe\"", NULL, 0));
    EXPECT_FALSE(child.Started());
    EXPECT_TRUE(child.StartError() == ERROR_PATH_NOT_FOUND || child.StartError() == ERROR_FILE_NOT_FOUND)
        << child.StartError();
    std::string output;
    EXPECT_EQ(CCapturedProcess::PipeClosed, child.ReadAvailable(output));
    EXPECT_FALSE(child.ReadNext(output));
    EXPECT_FALSE(child.Wait(0));
    EXPECT_EQ((DWORD)STILL_ACTIVE, child.ExitCode());
    EXPECT_TRUE(output.empty());
}

// More than a pipe's buffer: the child can only finish while the reader polls.
TEST(CapturedProcess, PollingReadsOutputLongerThanThePipeHolds)
{
    ScratchDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    ASSERT_GT(text.size(), 128u * 1024u);
    ASSERT_TRUE(WriteBytes(dir.File("long.txt"), text));
    CCapturedProcess child;
    ASSERT_TRUE(child.Start(NULL, std::string(kCmd) + "type long.txt", dir.Path().c_str(), CREATE_NO_WINDOW));
    std::string output;
    DWORD since = GetTickCount();
    for (;;) {
        CCapturedProcess::ReadResult read = child.ReadAvailable(output);
        if (read == CCapturedProcess::PipeClosed && child.Wait(0))
            break;
        if (read == CCapturedProcess::NothingYet)
            Sleep(5);
        ASSERT_LT(GetTickCount() - since, 60000u) << "no end after " << output.size() << " bytes";
    }
    EXPECT_EQ(0u, child.ExitCode());
    EXPECT_EQ(text.size(), output.size());
    EXPECT_TRUE(output == text);
}

TEST(CapturedProcess, AChildThatWaitsIsStoppedWithTheGivenCode)
{
    // Its input is a pipe nobody writes to: it waits there until stopped.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE inputRead = NULL, inputWrite = NULL;
    ASSERT_TRUE(CreatePipe(&inputRead, &inputWrite, &inherit, 0));
    CCapturedProcess child;
    ASSERT_TRUE(child.Start(NULL, std::string(kCmd) + "set /p answer=", NULL, CREATE_NO_WINDOW, inputRead));
    CloseHandle(inputRead);
    EXPECT_FALSE(child.Wait(300));
    EXPECT_EQ((DWORD)STILL_ACTIVE, child.ExitCode());
    child.Stop(99);
    EXPECT_TRUE(child.Wait(0));
    EXPECT_EQ(99u, child.ExitCode());
    std::string output;
    EXPECT_FALSE(child.ReadNext(output));   // the only writer is gone
    CloseHandle(inputWrite);
}

}  // namespace
