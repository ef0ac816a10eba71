// One real message box, end to end: a full registry shows its notice through
// the system's box, which another thread finds on the screen, reads and closes.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "cwin/system/HeapRegistry.h"

namespace {

struct Seen
{
    std::string text;
    bool closed = false;
};

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char cls[32], text[256];
    GetClassNameA(child, cls, sizeof(cls));
    GetWindowTextA(child, text, sizeof(text));
    if (lstrcmpiA(cls, "Static") == 0 && text[0])
        reinterpret_cast<Seen*>(param)->text = text;
    return TRUE;
}

DWORD WINAPI CloseTheBox(void* param)
{
    Seen* seen = static_cast<Seen*>(param);
    for (int i = 0; i < 200; ++i) {
        HWND box = FindWindowA("#32770", "Programm notice");
        if (box) {
            EnumChildWindows(box, CollectText, (LPARAM)seen);
            seen->closed = PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE;
            return 0;
        }
        Sleep(50);
    }
    // The box never showed: the test thread would wait in it for good, so the
    // test ends here, failed, instead of at the runner's time limit.
    fprintf(stderr, "RealMessageBox: no box appeared within 10 s\n");
    fflush(stderr);
    ExitProcess(3);
    return 1;
}

TEST(RealMessageBoxOnDesktop, AFullRegistryShowsItsNoticeUntilTheUserClosesIt)
{
    std::vector<CWIN_HEAP_INFO> entries(1);
    CHeapRegistry registry(entries.data(), 1);
    char* first = NULL;
    char* second = NULL;
    ASSERT_TRUE(registry.Alloc(&first, 4));

    Seen seen;
    HANDLE closer = CreateThread(NULL, 0, CloseTheBox, &seen, 0, NULL);
    ASSERT_NE(nullptr, closer);
    EXPECT_FALSE(registry.Alloc(&second, 4));   // returns once the box is closed
    WaitForSingleObject(closer, 15000);
    CloseHandle(closer);
    EXPECT_TRUE(seen.closed);
    EXPECT_EQ("size of array CWIN_HEAP_INFO_NUM is insufficient", seen.text);
    EXPECT_EQ(nullptr, second);
}

}  // namespace
