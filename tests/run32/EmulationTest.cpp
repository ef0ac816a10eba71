// What Windows code expects of page faults, checked where 32-bit Wine runs under
// user-mode emulation: a fault must arrive as an access violation (guard pages,
// stack growth and checked pointers depend on it), not as an illegal instruction.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(Faults, AWriteToAReadOnlyPageIsSeenAsAnAccessViolation)
{
    char* page = static_cast<char*>(VirtualAlloc(NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY));
    ASSERT_NE(nullptr, page);
    // The checks catch the fault and report it; any other exception would end the process.
    EXPECT_TRUE(IsBadWritePtr(page, 1));
    EXPECT_FALSE(IsBadReadPtr(page, 1));
    EXPECT_TRUE(IsBadReadPtr(reinterpret_cast<void*>(16), 1));
    VirtualFree(page, 0, MEM_RELEASE);
}

int Descend(int levels)
{
    volatile char frame[4096];
    frame[0] = static_cast<char>(levels);
    frame[4095] = 1;
    return levels == 0 ? 0 : Descend(levels - 1) + frame[4095];
}

DWORD WINAPI DeepThread(void*)
{
    return static_cast<DWORD>(Descend(1000));   // about 4 MB, page by page through the guard page
}

TEST(Faults, AThreadStackGrowsThroughItsGuardPage)
{
    HANDLE thread = CreateThread(NULL, 8 << 20, DeepThread, NULL, STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000));
    DWORD result = 0;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    EXPECT_EQ(1000u, result);
}

}  // namespace
