// The application frame on a real top-level window: attaching, layout with the
// status bar, minimum size, status hints, the progress bar in a status part,
// clipboard, tray, hiding and showing all controls.
#include "FrameworkFixture.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

using AppFrame = FrameTest;

TEST_F(AppFrame, ASecondAttachAnswersNullAndChangesNothing)
{
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(nullptr, frame->Attach(other, NULL));
    EXPECT_EQ(host, frame->GetMainWindow());
    EXPECT_EQ((LONG_PTR)frame, GetWindowLongPtrA(host, GWLP_USERDATA));
    EXPECT_EQ(0, GetWindowLongPtrA(other, GWLP_USERDATA));
    DestroyWindow(other);
    EXPECT_EQ(GetModuleHandleA(NULL), frame->GetInstance());
    char here[1024];
    GetCurrentDirectoryA(sizeof(here), here);
    EXPECT_STREQ(here, frame->GetCurrentDirectoryText());
}

TEST_F(AppFrame, TheLocaleFoldsRussianLettersAndPrintsADecimalPoint)
{
    char number[32];
    snprintf(number, sizeof(number), "%.2f", 3.25);
    EXPECT_STREQ("3.25", number);
    EXPECT_EQ(0.5, atof("0.5"));
    EXPECT_EQ((int)(unsigned char)'я', tolower((unsigned char)'Я'));
}

TEST_F(AppFrame, TheStatusBarTakesItsHeightOffTheControlsArea)
{
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    CBaseWindow* low = Make("Static", 0, 0, 100, 20);
    low->Anchor(NULL, ANCHOR_BOTTOM, 1);
    frame->LayoutAll();
    RECT client, bar;
    GetClientRect(host, &client);
    GetWindowRect(frame->GetStatusBar(), &bar);
    int barHeight = bar.bottom - bar.top;
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(client.bottom - barHeight, frame->GetFreeArea().bottom);
    EXPECT_EQ(client.bottom - barHeight, low->rect.bottom);
    EXPECT_EQ(20, low->rect.bottom - low->rect.top);
    EXPECT_EQ(client.bottom - barHeight, WindowRectInHost(low->GetHandle()).bottom);
    // The bar sits at the bottom of the client area.
    RECT barInHost = WindowRectInHost(frame->GetStatusBar());
    EXPECT_EQ(client.bottom, barInHost.bottom);

    // Resizing the window lays the controls out again; a minimised size changes nothing.
    SetWindowPos(host, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host, &client);
    EXPECT_EQ(client.bottom - barHeight, low->rect.bottom);
    RECT before = WindowRectInHost(low->GetHandle());
    SendMessageA(host, WM_SIZE, SIZE_MINIMIZED, 0);
    RECT after = WindowRectInHost(low->GetHandle());
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.bottom, after.bottom);
}

TEST_F(AppFrame, TheMinimumSizeHoldsWhileTheUserDrags)
{
    EXPECT_TRUE(frame->SetMinimumClientSize(600, 450, -1));
    RECT outer = {0, 0, 600, 450};
    AdjustWindowRectEx(&outer, (DWORD)GetWindowLongA(host, GWL_STYLE), FALSE, (DWORD)GetWindowLongA(host, GWL_EXSTYLE));
    EXPECT_EQ(outer.right - outer.left, frame->GetMinimumWidth());
    EXPECT_EQ(outer.bottom - outer.top, frame->GetMinimumHeight());
    RECT dragged = {100, 100, 110, 110};    // about 10 x 10 pixels
    EXPECT_EQ(1, SendMessageA(host, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&dragged));
    EXPECT_EQ(100, dragged.left);
    EXPECT_EQ(100 + frame->GetMinimumWidth(), dragged.right);
    EXPECT_EQ(100 + frame->GetMinimumHeight(), dragged.bottom);
    RECT large = {0, 0, 1000, 900};
    SendMessageA(host, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&large);
    EXPECT_EQ(1000, large.right);
    EXPECT_EQ(900, large.bottom);

    // The erase flag: the main window then answers WM_ERASEBKGND itself.
    HDC dc = GetDC(host);
    frame->SetMinimumClientSize(600, 450, 1);
    EXPECT_EQ(1, SendMessageA(host, WM_ERASEBKGND, (WPARAM)dc, 0));
    ReleaseDC(host, dc);
}

TEST_F(AppFrame, HintsFollowTheMouseAndDefaultToTheStatusText)
{
    ASSERT_TRUE(frame->CreateStatusBar("всегда готов ...", 0, 16, 0, NULL));
    CBaseWindow* hinted = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "A");
    CBaseWindow* plain = Make("Button", 10, 60, 110, 90, WS_VISIBLE, "B");
    hinted->SetHint("Построить динамику");
    HWND bar = frame->GetStatusBar();
    char shown[128];
    // A control's default handling passes WM_SETCURSOR up to its parent, the main window.
    SendMessageA(hinted->GetHandle(), WM_SETCURSOR, (WPARAM)hinted->GetHandle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    GetWindowTextA(bar, shown, sizeof(shown));
    EXPECT_STREQ("Построить динамику", shown);
    SendMessageA(plain->GetHandle(), WM_SETCURSOR, (WPARAM)plain->GetHandle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    GetWindowTextA(bar, shown, sizeof(shown));
    EXPECT_STREQ("всегда готов ...", shown);
    // Within the same window the text is not set again.
    frame->SetStatusText(0, 0, "%d%%", 40);
    SendMessageA(plain->GetHandle(), WM_SETCURSOR, (WPARAM)plain->GetHandle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    GetWindowTextA(bar, shown, sizeof(shown));
    EXPECT_STREQ("40%", shown);
    EXPECT_TRUE(frame->RestoreStatusHint());
    GetWindowTextA(bar, shown, sizeof(shown));
    EXPECT_STREQ("всегда готов ...", shown);
    LOGFONTA font;
    GetObjectA((HFONT)SendMessageA(bar, WM_GETFONT, 0, 0), sizeof(font), &font);
    EXPECT_EQ(16, font.lfHeight);
    EXPECT_STREQ("Arial", font.lfFaceName);
}

static int g_statusPart = -1;
static int g_statusCode = 0;
static int OnStatusNotify(WindowEvent* e)
{
    g_statusPart = (int)e->param;
    g_statusCode = e->code;
    return 0;
}

TEST_F(AppFrame, TheProgressBarLivesInAStatusPartAndClicksReachTheNotifyHandler)
{
    EXPECT_FALSE(frame->CreateProgressBar(1, WS_VISIBLE));      // no status bar yet
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    int edges[3] = {200, 400, -1};
    SendMessageA(frame->GetStatusBar(), SB_SETPARTS, 3, (LPARAM)edges);
    EXPECT_FALSE(frame->CreateProgressBar(7, WS_VISIBLE));
    ASSERT_TRUE(frame->CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH));
    CProgBar* bar = frame->GetProgressBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(frame->GetStatusBar(), GetParent(bar->GetHandle()));
    RECT part;
    SendMessageA(frame->GetStatusBar(), SB_GETRECT, 1, (LPARAM)&part);
    EXPECT_EQ(part.left, bar->rect.left);
    EXPECT_EQ(part.right, bar->rect.right);
    bar->SetRange(0, 4);
    bar->Step();
    bar->Step();
    EXPECT_EQ(2, SendMessageA(bar->GetHandle(), PBM_GETPOS, 0, 0));
    // Making it again replaces the old one.
    HWND old = bar->GetHandle();
    ASSERT_TRUE(frame->CreateProgressBar(1, WS_VISIBLE));
    EXPECT_FALSE(IsWindow(old));

    frame->SetStatusNotifyHandler(OnStatusNotify);
    EXPECT_TRUE(frame->SetStatusText(2, 0, "часть %d", 2));
    char shown[64];
    SendMessageA(frame->GetStatusBar(), SB_GETTEXTA, 2, (LPARAM)shown);
    EXPECT_STREQ("часть 2", shown);
    RECT third;
    SendMessageA(frame->GetStatusBar(), SB_GETRECT, 2, (LPARAM)&third);
    LPARAM at = MAKELPARAM(third.left + 5, third.top + 3);
    SendMessageA(frame->GetStatusBar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(frame->GetStatusBar(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(2, g_statusPart);
    EXPECT_EQ((int)NM_CLICK, g_statusCode);
}

TEST_F(AppFrame, ClipboardTextArrivesInCodePage1251)
{
    const wchar_t text[] = L"Привет, мир";
    ASSERT_TRUE(OpenClipboard(host));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    ASSERT_NE(nullptr, SetClipboardData(CF_UNICODETEXT, block));
    CloseClipboard();

    char* got = NULL;
    EXPECT_EQ(11, frame->GetClipboardText(&got));
    ASSERT_NE(nullptr, got);
    EXPECT_STREQ("Привет, мир", got);
    EXPECT_TRUE(frame->MemFree(reinterpret_cast<void**>(&got)));
    EXPECT_EQ(nullptr, got);

    ASSERT_TRUE(OpenClipboard(host));
    EmptyClipboard();
    CloseClipboard();
    char* untouched = reinterpret_cast<char*>(0x1);
    EXPECT_EQ(0, frame->GetClipboardText(&untouched));
    EXPECT_EQ(reinterpret_cast<char*>(0x1), untouched);
}

TEST_F(AppFrame, HidingAllControlsRemembersWhichWereVisible)
{
    CBaseWindow* shown = Make("Button", 10, 10, 60, 30, WS_VISIBLE, "a");
    CBaseWindow* hidden = Make("Button", 10, 40, 60, 60, 0, "b");
    EXPECT_TRUE(frame->ShowAllControls(false));
    EXPECT_FALSE(IsWindowVisible(shown->GetHandle()));
    EXPECT_TRUE(frame->ShowAllControls(true));
    EXPECT_TRUE(IsWindowVisible(shown->GetHandle()));
    EXPECT_FALSE(IsWindowVisible(hidden->GetHandle()));
}

TEST_F(AppFrame, TheTrayIconIsAddedOnceAndADoubleClickShowsTheWindow)
{
    EXPECT_FALSE(frame->RemoveTrayIcon());               // none yet
    if (!frame->AddTrayIcon(WM_APP + 5, 0, "подсказка", NULL, NULL))
        GTEST_SKIP() << "the shell refused the tray icon";
    ShowWindow(host, SW_HIDE);
    SendMessageA(host, WM_APP + 5, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(host));
}

TEST_F(AppFrame, RefreshFromRefitsTheControlsFromAnIdentifier)
{
    CBaseWindow* a = Make("Static", 50, 0, 100, 20);
    CBaseWindow* b = Make("Static", 50, 30, 100, 50);
    a->Anchor(NULL, ANCHOR_LEFT, 3);
    b->Anchor(NULL, ANCHOR_LEFT, 3);
    EXPECT_FALSE(frame->RefreshFrom(99));
    EXPECT_TRUE(frame->RefreshFrom(b->GetId()));
    EXPECT_EQ(50, a->rect.left);
    EXPECT_EQ(2, b->rect.left);
    EXPECT_EQ(2, WindowRectInHost(b->GetHandle()).left);
}

TEST_F(AppFrame, ControlFromPointFindsTheDeepestFrameworkControl)
{
    CBaseWindow* page = frame->CreateControl("Dialog", 100, 100, 300, 200, 0, WS_CHILD | WS_VISIBLE,
                                             MAKEINTRESOURCEA(100), host);
    ASSERT_NE(nullptr, page);
    SetWindowPos(page->GetHandle(), NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CBaseWindow* build = frame->AttachControl("Button", page->GetHandle(), 1024, NULL, 0, NULL);
    RECT r = WindowRectInHost(build->GetHandle());
    EXPECT_EQ(build, frame->ControlFromPoint(NULL, r.left + 2, r.top + 2));
    EXPECT_EQ(page, frame->ControlFromPoint(NULL, 101, 101));
    EXPECT_EQ(nullptr, frame->ControlFromPoint(NULL, 5, 5));
}

}  // namespace
