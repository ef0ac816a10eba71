// The application frame on a real top-level window: attaching, layout with the
// status bar, minimum size, status hints, the progress bar in a status part,
// clipboard, tray, hiding and showing all controls.
#include "FrameworkFixture.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

using AppFrame = FrameTest;
// Tests that move the real pointer, open real menus or use the clipboard.
using AppFrameOnDesktop = FrameTest;

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
    CBaseWindow* low = Make<CStatic>(0, 0, 100, 20);
    low->Anchor(NULL, ANCHOR_BOTTOM, 1);
    frame->LayoutAll();
    RECT client, bar;
    GetClientRect(host, &client);
    GetWindowRect(frame->GetStatusBar(), &bar);
    int barHeight = bar.bottom - bar.top;
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(client.bottom - barHeight, frame->Layout().GetFreeArea().bottom);
    EXPECT_EQ(client.bottom - barHeight, low->Rect().bottom);
    EXPECT_EQ(20, low->Rect().bottom - low->Rect().top);
    EXPECT_EQ(client.bottom - barHeight, WindowRectInHost(low->GetHandle()).bottom);
    // The bar sits at the bottom of the client area.
    RECT barInHost = WindowRectInHost(frame->GetStatusBar());
    EXPECT_EQ(client.bottom, barInHost.bottom);

    // Resizing the window lays the controls out again; a minimised size changes nothing.
    SetWindowPos(host, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host, &client);
    EXPECT_EQ(client.bottom - barHeight, low->Rect().bottom);
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
    EXPECT_EQ(outer.right - outer.left, frame->Layout().GetMinimumWidth());
    EXPECT_EQ(outer.bottom - outer.top, frame->Layout().GetMinimumHeight());
    RECT dragged = {100, 100, 110, 110};    // about 10 x 10 pixels
    EXPECT_EQ(1, SendMessageA(host, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&dragged));
    EXPECT_EQ(100, dragged.left);
    EXPECT_EQ(100 + frame->Layout().GetMinimumWidth(), dragged.right);
    EXPECT_EQ(100 + frame->Layout().GetMinimumHeight(), dragged.bottom);
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
    CBaseWindow* hinted = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "A");
    CBaseWindow* plain = Make<CButton>(10, 60, 110, 90, WS_VISIBLE, "B");
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


TEST_F(AppFrameOnDesktop, TheRealPointerOverAControlShowsItsHint)
{
    // Above the windows of the tests that run beside this one.
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(frame->CreateStatusBar("всегда готов ...", 0, 0, 0, NULL));
    CBaseWindow* hinted = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "A");
    CBaseWindow* plain = Make<CButton>(10, 60, 110, 90, WS_VISIBLE, "B");
    hinted->SetHint("Сохранить списки");
    char shown[128];
    auto shows = [&](const char* text) {
        return PumpUntil([&] {
            GetWindowTextA(frame->GetStatusBar(), shown, sizeof(shown));
            return strcmp(shown, text) == 0;
        });
    };
    RealMouse(host, 50, 25);
    EXPECT_TRUE(shows("Сохранить списки")) << shown;
    RealMouse(host, 50, 75);
    EXPECT_TRUE(shows("всегда готов ...")) << shown;
    EXPECT_NE(nullptr, plain);
    SetWindowPos(host, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

static int g_statusPart = -1;
static int g_statusCode = 0;
static int OnStatusNotify(WindowEvent* e)
{
    g_statusPart = (int)e->param;
    g_statusCode = e->code;
    return 0;
}

static std::unique_ptr<CBaseWindow> NoControl() { return nullptr; }

TEST_F(AppFrame, AProgressBarThatCannotBeMadeAgainLeavesNoneBehind)
{
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    ASSERT_TRUE(frame->CreateProgressBar(0, WS_VISIBLE));
    CProgBar* old = frame->StatusBar().GetProgressBar();
    ASSERT_NE(nullptr, old);
    {
        ScopedControlMaker refused(KIND_PROGBAR, NoControl);
        EXPECT_FALSE(frame->CreateProgressBar(0, WS_VISIBLE));
    }
    EXPECT_EQ(nullptr, frame->StatusBar().GetProgressBar());
    EXPECT_EQ(0, frame->GetControlCount());   // the old bar was destroyed and swept
}

TEST_F(AppFrame, TheProgressBarLivesInAStatusPartAndClicksReachTheNotifyHandler)
{
    EXPECT_FALSE(frame->CreateProgressBar(1, WS_VISIBLE));      // no status bar yet
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    int edges[3] = {200, 400, -1};
    SendMessageA(frame->GetStatusBar(), SB_SETPARTS, 3, (LPARAM)edges);
    EXPECT_FALSE(frame->CreateProgressBar(7, WS_VISIBLE));
    ASSERT_TRUE(frame->CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH));
    CProgBar* bar = frame->StatusBar().GetProgressBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(frame->GetStatusBar(), GetParent(bar->GetHandle()));
    RECT part;
    SendMessageA(frame->GetStatusBar(), SB_GETRECT, 1, (LPARAM)&part);
    EXPECT_EQ(part.left, bar->Rect().left);
    EXPECT_EQ(part.right, bar->Rect().right);
    bar->SetRange(0, 4);
    bar->Step();
    bar->Step();
    EXPECT_EQ(2, SendMessageA(bar->GetHandle(), PBM_GETPOS, 0, 0));
    // Making it again replaces the old one.
    HWND old = bar->GetHandle();
    ASSERT_TRUE(frame->CreateProgressBar(1, WS_VISIBLE));
    EXPECT_FALSE(IsWindow(old));

    frame->StatusBar().SetNotifyHandler(OnStatusNotify);
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

TEST_F(AppFrameOnDesktop, ClipboardTextArrivesInCodePage1251)
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
    CBaseWindow* shown = Make<CButton>(10, 10, 60, 30, WS_VISIBLE, "a");
    CBaseWindow* hidden = Make<CButton>(10, 40, 60, 60, 0, "b");
    EXPECT_TRUE(frame->ShowAllControls(false));
    EXPECT_FALSE(IsWindowVisible(shown->GetHandle()));
    EXPECT_TRUE(frame->ShowAllControls(true));
    EXPECT_TRUE(IsWindowVisible(shown->GetHandle()));
    EXPECT_FALSE(IsWindowVisible(hidden->GetHandle()));
}

static std::vector<WindowEvent> g_trayCommands;
static int OnTrayCommand(WindowEvent* e)
{
    g_trayCommands.push_back(*e);
    return 0;
}

// The tip's cut to 63 characters is not checked: the shell keeps the tip to itself.
TEST_F(AppFrameOnDesktop, TheTrayIconIsAddedOnceShowsTheWindowRunsItsMenuAndIsRemoved)
{
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Tray", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, other);
    SetWindowLongPtrA(other, GWLP_WNDPROC, (LONG_PTR)ChooseFirstMenuItemOnIdle);
    CAppFrame second;
    ASSERT_EQ(&second, second.Attach(other, NULL));
    EXPECT_FALSE(second.RemoveTrayIcon());               // none yet
    HMENU menu = GetSubMenu(LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(200)), 0);
    ASSERT_NE(nullptr, menu);
    std::string tip(80, 'x');
    ASSERT_TRUE(second.AddTrayIcon(WM_APP + 5, 400, tip.c_str(), menu, OnTrayCommand));
    EXPECT_FALSE(second.AddTrayIcon(WM_APP + 5, 400, "again", NULL, NULL));   // the shell has it already

    EXPECT_FALSE(IsWindowVisible(other));
    SendMessageA(other, WM_APP + 5, 400, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(other));
    g_trayCommands.clear();
    SendMessageA(other, WM_APP + 5, 400, WM_RBUTTONDOWN);
    ASSERT_EQ(1u, g_trayCommands.size());
    EXPECT_EQ(EV_MENU_COMMAND, g_trayCommands[0].eventCode);
    EXPECT_EQ(301, g_trayCommands[0].param);

    EXPECT_TRUE(second.RemoveTrayIcon());
    EXPECT_FALSE(second.RemoveTrayIcon());               // gone
    // Added again, it goes with the window.
    ASSERT_TRUE(second.AddTrayIcon(WM_APP + 5, 400, NULL, NULL, NULL));
    DestroyWindow(other);
    EXPECT_FALSE(second.RemoveTrayIcon());
}

TEST_F(AppFrame, RefreshFromRefitsTheControlsFromAnIdentifier)
{
    CBaseWindow* a = Make<CStatic>(50, 0, 100, 20);
    CBaseWindow* b = Make<CStatic>(50, 30, 100, 50);
    a->Anchor(NULL, ANCHOR_LEFT, 3);
    b->Anchor(NULL, ANCHOR_LEFT, 3);
    EXPECT_FALSE(frame->RefreshFrom(99));
    EXPECT_TRUE(frame->RefreshFrom(b->GetId()));
    EXPECT_EQ(50, a->Rect().left);
    EXPECT_EQ(2, b->Rect().left);
    EXPECT_EQ(2, WindowRectInHost(b->GetHandle()).left);
}

TEST_F(AppFrame, ControlFromPointFindsTheDeepestFrameworkControl)
{
    CBaseWindow* page = frame->CreatePage(MAKEINTRESOURCEA(100),
                                          ControlArgs().Parent(host).Place(100, 100, 300, 200).Style(WS_VISIBLE));
    ASSERT_NE(nullptr, page);
    SetWindowPos(page->GetHandle(), NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CBaseWindow* build = frame->AttachItem<CButton>(page->GetHandle(), 1024);
    RECT r = WindowRectInHost(build->GetHandle());
    EXPECT_EQ(build, frame->ControlFromPoint(NULL, r.left + 2, r.top + 2));
    EXPECT_EQ(page, frame->ControlFromPoint(NULL, 101, 101));
    EXPECT_EQ(nullptr, frame->ControlFromPoint(NULL, 5, 5));
}

// ---- event lock, workers, splash

static CAppFrame* g_lockFrame;
static bool g_otherThreadGotLock;

static DWORD WINAPI TryTheLock(void*)
{
    g_otherThreadGotLock = g_lockFrame->Events().TryLock();
    if (g_otherThreadGotLock)
        g_lockFrame->Events().Unlock();
    return 0;
}

static bool OtherThreadGetsTheLock()
{
    g_otherThreadGotLock = false;
    HANDLE thread = CreateThread(NULL, 0, TryTheLock, NULL, 0, NULL);
    // TryLock never waits: a thread still there after 10 s is stuck in it.
    if (!thread || WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the thread trying the event lock did not end within 10 s";
        if (thread)
            TerminateThread(thread, 1);
    }
    if (thread)
        CloseHandle(thread);
    return g_otherThreadGotLock;
}

static int g_heldDuringHandler = -1;
static int HandlerChecksTheLock(WindowEvent*)
{
    g_heldDuringHandler = OtherThreadGetsTheLock() ? 0 : 1;
    return 0;
}

TEST_F(AppFrame, HandlersRunUnderTheEventLockAndItIsReleasedAfterwards)
{
    g_lockFrame = frame;
    CBaseWindow* button = Make<CButton>(10, 10, 100, 40, WS_VISIBLE, "x");
    button->AddHandler(HandlerChecksTheLock, EV_COMMAND, 0, NULL);
    EXPECT_TRUE(OtherThreadGetsTheLock());
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, g_heldDuringHandler);
    EXPECT_TRUE(OtherThreadGetsTheLock());
}

TEST_F(AppFrame, SixteenWorkersAtMostEachToldTheMainWindow)
{
    static CMathFlow workers[17];
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(frame->RegisterWorker(&workers[i], 100)) << i;
    EXPECT_FALSE(frame->RegisterWorker(&workers[16], 100));
    EXPECT_EQ(16, frame->Events().GetWorkerCount());
    EXPECT_EQ(host, workers[0].mainWindow);
    EXPECT_EQ(&workers[15], frame->Events().GetWorker(15));
    volatile int past = 16;
    EXPECT_EQ(nullptr, frame->Events().GetWorker(past));
}

static int g_splashCalls;
static int SplashWork(WindowEvent*)
{
    ++g_splashCalls;
    return 0;
}

TEST_F(AppFrame, TheSplashRunsItsCallBackThenClosesAndShowsTheMainWindow)
{
    ShowWindow(host, SW_HIDE);
    CSplash* splash = frame->GetSplash();
    g_splashCalls = 0;
    HDC screen = GetDC(NULL);
    HBITMAP picture = CreateCompatibleBitmap(screen, CWIN_SPLASH_WIDTH, CWIN_SPLASH_HEIGHT);
    ReleaseDC(NULL, screen);
    ASSERT_TRUE(splash->Start(frame, picture, SplashWork, 0));
    HWND window = splash->GetHandle();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(1, frame->GetControlCount());
    // The measurement loop calibrates for a second before its first step.
    EXPECT_TRUE(PumpUntil([&] { return splash->IsDone(); }, 4000));
    EXPECT_EQ(1, g_splashCalls);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(host));
    Make<CStatic>(0, 0, 5, 5);            // the sweep drops the splash, which the frame holds
    EXPECT_EQ(1, frame->GetControlCount());
    EXPECT_EQ(KIND_STATIC, frame->GetControl(0)->GetKind());
    DeleteObject(picture);
}

// ---- drag and drop from a real tree view

static std::vector<SeenEvent> g_drags;
static UINT g_dragStartCode;
static int OnDrag(WindowEvent* e)
{
    if (e->code == 0)   // the start: param is the notification
        g_dragStartCode = reinterpret_cast<NMHDR*>(e->param)->code;
    g_drags.push_back(SeenEvent{e->sender, e->user, e->param, e->eventCode, e->code, e->aux, e->notify, ""});
    return 1;
}

TEST_F(AppFrame, ATreeViewDragMovesAndDropsOverControls)
{
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, NULL, WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 150, host,
                                (HMENU)77, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, tree);
    TVINSERTSTRUCTA item = {};
    item.hParent = TVI_ROOT;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT;
    item.item.pszText = const_cast<char*>("Товар");
    ASSERT_NE(nullptr, (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&item));
    // The frame finds items of any window by their child id.
    CBaseWindow* source = frame->AttachItem<CStatic>(host, 77, OnDrag, EV_DRAG);
    ASSERT_NE(nullptr, source);
    CBaseWindow* target = Make<CButton>(300, 10, 400, 60, WS_VISIBLE, "цель");
    g_drags.clear();

    RECT itemRect;
    HTREEITEM root = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    memcpy(&itemRect, &root, sizeof(root));   // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&itemRect));
    int x = itemRect.left + 3, y = (itemRect.top + itemRect.bottom) / 2;
    PostMessageA(tree, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 40, y + 40));   // beyond the drag distance
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
    ASSERT_EQ(1u, g_drags.size());
    EXPECT_EQ(source, g_drags[0].sender);
    EXPECT_EQ((UINT)TVN_BEGINDRAGA, g_dragStartCode);
    EXPECT_EQ(77u, g_drags[0].aux);           // the notification's wParam: the tree's child id
    EXPECT_EQ(0, frame->Drag().GetSource());
    EXPECT_EQ(host, GetCapture());

    POINT over = {350, 30};
    SendMessageA(host, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x, over.y));
    ASSERT_EQ(2u, g_drags.size());
    EXPECT_EQ(512, g_drags[1].code);
    EXPECT_EQ(target->GetId(), g_drags[1].param);
    SendMessageA(host, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 300));
    EXPECT_EQ(0, g_drags[2].param);
    SendMessageA(host, WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    ASSERT_EQ(4u, g_drags.size());
    EXPECT_EQ(514, g_drags[3].code);
    EXPECT_EQ(target->GetId(), g_drags[3].param);
    EXPECT_EQ(-1, frame->Drag().GetSource());
    EXPECT_NE(host, GetCapture());
}

}  // namespace
