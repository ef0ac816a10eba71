// The bars over real windows: tool bar buttons from a bitmap and labels, a
// click reaching the owner, the frame's docking of tool bars and rebars, and
// the resize bar's orientation, clamping, percentages, limits and dragging.
#include "FrameworkFixture.h"
#include "cwin/composite/Bars.h"

#include <string>

namespace {

// The bitmaps of BarsTest.rc: four 16 x 16 images each.
const int kBitmap = 500;
const int kOtherBitmap = 700;

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

int ButtonCount(CBaseWindow* bar)
{
    return (int)SendMessageA(bar->GetHandle(), TB_BUTTONCOUNT, 0, 0);
}

TBBUTTON ButtonAt(CBaseWindow* bar, int index)
{
    TBBUTTON b = {};
    SendMessageA(bar->GetHandle(), TB_GETBUTTON, (WPARAM)index, (LPARAM)&b);
    return b;
}

// The button's text by command identifier; "-" when it has none.
std::string ButtonText(CBaseWindow* bar, int command)
{
    static char text[2048];
    text[0] = 0;
    int length = (int)SendMessageA(bar->GetHandle(), TB_GETBUTTONTEXTA, (WPARAM)command, (LPARAM)text);
    return length > 0 ? std::string(text, length) : "-";
}

class BarsToolBar : public FrameTest
{
protected:
    CToolBar* MakeBar(DWORD style = WS_VISIBLE | CCS_TOP)
    {
        CBaseWindow* made = Make<CToolBar>(0, 0, 300, 30, style);
        return made ? static_cast<CToolBar*>(made) : NULL;
    }
};

TEST_F(BarsToolBar, TheFactoryMakesToolBarsAndRebarsOfTheCommonControls)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(KIND_TOOLBAR, bar->GetKind());
    EXPECT_EQ("ToolbarWindow32", ClassOf(bar->GetHandle()));
    EXPECT_EQ(host, GetParent(bar->GetHandle()));
    EXPECT_NE(nullptr, dynamic_cast<IToolBar*>(static_cast<CBaseWindow*>(bar)));
    EXPECT_EQ(0, ButtonCount(bar));

    CBaseWindow* rebar = Make<CReBar>(0, 0, 300, 30, WS_VISIBLE | CCS_TOP);
    ASSERT_NE(nullptr, rebar);
    EXPECT_EQ(KIND_REBAR, rebar->GetKind());
    EXPECT_EQ("ReBarWindow32", ClassOf(rebar->GetHandle()));
    EXPECT_EQ(0, (int)SendMessageA(rebar->GetHandle(), RB_GETBANDCOUNT, 0, 0));   // bands are the owner's
}

TEST_F(BarsToolBar, EachLabelGivesOneButtonWithTheNextIdentifierAndImage)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 3, "Открыть|Сохранить|Печать"));
    ASSERT_EQ(3, ButtonCount(bar));
    const char* labels[] = {"Открыть", "Сохранить", "Печать"};
    for (int i = 0; i < 3; ++i) {
        TBBUTTON b = ButtonAt(bar, i);
        EXPECT_EQ(kBitmap + i, b.idCommand) << i;
        EXPECT_EQ(i, b.iBitmap) << i;   // the first bitmap's images start at 0
        EXPECT_TRUE(b.fsState & TBSTATE_ENABLED) << i;
        EXPECT_TRUE(b.fsStyle & TBSTYLE_AUTOSIZE) << i;
        EXPECT_EQ(labels[i], ButtonText(bar, kBitmap + i)) << i;
    }
    // The last label stays in the object's text buffer, double-terminated.
    EXPECT_STREQ("Печать", bar->Text());
    EXPECT_EQ(0, bar->Text()[strlen("Печать") + 1]);
    // The bitmap's four images are in the bar's image list.
    HIMAGELIST images = (HIMAGELIST)SendMessageA(bar->GetHandle(), TB_GETIMAGELIST, 0, 0);
    ASSERT_NE(nullptr, images);
    EXPECT_EQ(4, ImageList_GetImageCount(images));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
}

TEST_F(BarsToolBar, MoreLabelsThanButtonsStopAtTheCount)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->AddButtons(kOtherBitmap, 16, 16, 3, "Один|Два|Три|Четыре"));
    ASSERT_EQ(3, ButtonCount(bar));
    EXPECT_EQ(kOtherBitmap + 2, ButtonAt(bar, 2).idCommand);
    EXPECT_EQ("Три", ButtonText(bar, kOtherBitmap + 2));
    // Fewer labels than the count: one button per label.
    CToolBar* two = MakeBar();
    EXPECT_TRUE(two->AddButtons(kBitmap, 16, 16, 5, "Один|Два"));
    EXPECT_EQ(2, ButtonCount(two));
}

TEST_F(BarsToolBar, WithoutLabelsTheCountGivesButtonsWithoutText)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 4, NULL));
    ASSERT_EQ(4, ButtonCount(bar));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(kBitmap + i, ButtonAt(bar, i).idCommand);
        EXPECT_EQ(i, ButtonAt(bar, i).iBitmap);
        EXPECT_EQ("-", ButtonText(bar, kBitmap + i));
    }
    // A second call adds behind them; its bitmap's images follow the first
    // bitmap's two counted images (the image count given is 2).
    EXPECT_TRUE(bar->AddButtons(kOtherBitmap, 16, 16, 1, NULL));
    ASSERT_EQ(5, ButtonCount(bar));
    EXPECT_EQ(kOtherBitmap, ButtonAt(bar, 4).idCommand);
    EXPECT_EQ(2, ButtonAt(bar, 4).iBitmap);
}

TEST_F(BarsToolBar, AnEmptyListZeroOrNegativeCountsGiveNoButtons)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 3, ""));
    EXPECT_EQ(0, ButtonCount(bar));
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 0, NULL));
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, -5, "a|b"));
    EXPECT_EQ(0, ButtonCount(bar));
    // More than one call can take: at most 100 buttons.
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 150, NULL));
    EXPECT_EQ(100, ButtonCount(bar));
}

TEST_F(BarsToolBar, EmptyLabelsLongLabelsAndAMissingBitmapAreHandled)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    // An empty label's button has no text; the labels after it keep theirs.
    EXPECT_TRUE(bar->AddButtons(kBitmap, 16, 16, 4, "Первая||Третья|"));
    ASSERT_EQ(4, ButtonCount(bar));
    EXPECT_EQ("Первая", ButtonText(bar, kBitmap));
    EXPECT_EQ("-", ButtonText(bar, kBitmap + 1));
    EXPECT_EQ("Третья", ButtonText(bar, kBitmap + 2));
    EXPECT_EQ("-", ButtonText(bar, kBitmap + 3));

    // A label is cut to 1022 characters.
    CToolBar* longBar = MakeBar();
    std::string label(3000, 'Ж');
    EXPECT_TRUE(longBar->AddButtons(kBitmap, 16, 16, 2, (label + "|ok").c_str()));
    ASSERT_EQ(2, ButtonCount(longBar));
    EXPECT_EQ(std::string(1022, 'Ж'), ButtonText(longBar, kBitmap));
    EXPECT_EQ("ok", ButtonText(longBar, kBitmap + 1));

    // No bitmap resource 999: the buttons come without images.
    CToolBar* plain = MakeBar();
    EXPECT_TRUE(plain->AddButtons(999, 16, 16, 2, "a|b"));
    ASSERT_EQ(2, ButtonCount(plain));
    EXPECT_EQ(999, ButtonAt(plain, 0).idCommand);
    EXPECT_EQ(1000, ButtonAt(plain, 1).idCommand);
    EXPECT_EQ(I_IMAGENONE, ButtonAt(plain, 1).iBitmap);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(BarsToolBar, AClickedButtonReachesItsOwnerAsACommandWithItsIdentifier)
{
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    ASSERT_TRUE(bar->AddButtons(kBitmap, 16, 16, 3, "Открыть|Сохранить|Печать"));
    frame->LayoutAll();
    bar->AddHandler(RecordingCallback, EV_COMMAND, 5, NULL);
    RECT button;
    ASSERT_TRUE(SendMessageA(bar->GetHandle(), TB_GETITEMRECT, 1, (LPARAM)&button));
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PostMessageA(bar->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(bar->GetHandle(), WM_LBUTTONUP, 0, at);
    Pump();
    ASSERT_EQ(1u, Recorded().size());
    const SeenEvent& e = Recorded()[0];
    EXPECT_EQ(bar, e.sender);
    EXPECT_EQ(EV_COMMAND, e.eventCode);
    EXPECT_EQ(5, e.user);
    EXPECT_EQ(kBitmap + 1, (int)LOWORD(e.aux));
    EXPECT_EQ((LPARAM)bar->GetHandle(), e.notify);
}

TEST_F(BarsToolBar, ItsLayoutSizesItToTheParentWhateverSizeItIsGiven)
{
    CToolBar* bar = Make<CToolBar>(40, 40, 90, 45, WS_VISIBLE | CCS_TOP);
    ASSERT_NE(nullptr, bar);
    ASSERT_TRUE(bar->AddButtons(kBitmap, 16, 16, 2, NULL));
    RECT client;
    GetClientRect(host, &client);
    EXPECT_TRUE(bar->Layout(10, 10));
    RECT r = WindowRectInHost(bar->GetHandle());
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(client.right, r.right);
    EXPECT_GE(r.bottom - r.top, 16);   // room for the 16-pixel images
    // A wider window: the frame's layout widens the bar with it.
    SetWindowPos(host, NULL, 0, 0, 700, 480, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(host, &client);
    EXPECT_EQ(client.right, WindowRectInHost(bar->GetHandle()).right);
}

// ---- docking in the frame

using BarsDocking = FrameTest;

TEST_F(BarsDocking, BarsTakeTheirExtentOffTheAreaOfTheControlsAfterThem)
{
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    CToolBar* top = Make<CToolBar>(0, 0, 100, 10, WS_VISIBLE | CCS_TOP);
    CToolBar* bottom = Make<CToolBar>(0, 0, 100, 10, WS_VISIBLE | CCS_BOTTOM);
    // Vertical bars keep the rectangle they are given (no resizing, no aligning).
    DWORD fixed = CCS_NORESIZE | CCS_NOPARENTALIGN;
    CBaseWindow* left = Make<CToolBar>(0, 40, 40, 200, WS_VISIBLE | CCS_LEFT | fixed);
    CBaseWindow* right = Make<CReBar>(500, 40, 530, 200, WS_VISIBLE | CCS_RIGHT | fixed);
    ASSERT_TRUE(top && bottom && left && right);
    ASSERT_TRUE(top->AddButtons(kBitmap, 16, 16, 3, "Открыть|Сохранить|Печать"));
    ASSERT_TRUE(bottom->AddButtons(kOtherBitmap, 16, 16, 2, NULL));
    CBaseWindow* area = Make<CStatic>(200, 200, 210, 210);
    area->Anchor(NULL, ANCHOR_LEFT, 1);
    area->Anchor(NULL, ANCHOR_TOP, 1);
    area->Anchor(NULL, ANCHOR_RIGHT, 1);
    area->Anchor(NULL, ANCHOR_BOTTOM, 1);
    frame->LayoutAll();

    RECT client, status;
    GetClientRect(host, &client);
    GetWindowRect(frame->GetStatusBar(), &status);
    RECT t = WindowRectInHost(top->GetHandle()), b = WindowRectInHost(bottom->GetHandle());
    int topHeight = t.bottom - t.top, bottomHeight = b.bottom - b.top;
    int statusHeight = status.bottom - status.top;
    EXPECT_GT(topHeight, 16);
    EXPECT_GT(bottomHeight, 16);
    EXPECT_GT(statusHeight, 0);
    // Margins of 1 on every side put the static exactly on the free area.
    RECT expected = {40, topHeight, client.right - 30, client.bottom - statusHeight - bottomHeight};
    const RECT& free = frame->Layout().GetFreeArea();
    EXPECT_EQ(expected.left, free.left);
    EXPECT_EQ(expected.top, free.top);
    EXPECT_EQ(expected.right, free.right);
    EXPECT_EQ(expected.bottom, free.bottom);
    RECT placed = WindowRectInHost(area->GetHandle());
    EXPECT_EQ(expected.left, placed.left);
    EXPECT_EQ(expected.top, placed.top);
    EXPECT_EQ(expected.right, placed.right);
    EXPECT_EQ(expected.bottom, placed.bottom);
    // The top bar lies along the top edge.
    EXPECT_EQ(0, t.top);

    // A bar that is destroyed takes nothing off any more.
    left->Destroy();
    frame->LayoutAll();
    EXPECT_EQ(0, frame->Layout().GetFreeArea().left);
    EXPECT_EQ(0, WindowRectInHost(area->GetHandle()).left);
}

TEST_F(BarsDocking, ATopBar28HighAndTheStatusBarLeaveTheClientHeightLessBoth)
{
    ASSERT_TRUE(frame->CreateStatusBar("готов", 0, 0, 0, NULL));
    CBaseWindow* top = Make<CReBar>(0, 0, 600, 28, WS_VISIBLE | CCS_TOP | CCS_NORESIZE | CCS_NOPARENTALIGN);
    ASSERT_NE(nullptr, top);
    CBaseWindow* area = Make<CStatic>(10, 10, 60, 60);
    area->Anchor(NULL, ANCHOR_TOP, 1);
    area->Anchor(NULL, ANCHOR_BOTTOM, 1);
    frame->LayoutAll();
    RECT client, status;
    GetClientRect(host, &client);
    GetWindowRect(frame->GetStatusBar(), &status);
    int statusHeight = status.bottom - status.top;
    ASSERT_EQ(28, WindowRectInHost(top->GetHandle()).bottom);
    // Height given to the controls: client - 28 - status bar.
    RECT placed = WindowRectInHost(area->GetHandle());
    EXPECT_EQ(28, placed.top);
    EXPECT_EQ(client.bottom - 28 - statusHeight, placed.bottom - placed.top);
    // The bar's docking style alone decides: the same bar without CCS_TOP takes nothing off.
    top->Destroy();
    CBaseWindow* undocked = Make<CReBar>(0, 0, 600, 28, WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN);
    ASSERT_NE(nullptr, undocked);
    ASSERT_EQ(28, WindowRectInHost(undocked->GetHandle()).bottom);
    frame->LayoutAll();
    EXPECT_EQ(0, WindowRectInHost(area->GetHandle()).top);
}

// ---- resize bar

// Sizes the shared host so that its client area is width x height.
void SetClientSize(HWND window, int width, int height)
{
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(window, GWL_STYLE), GetMenu(window) != NULL,
                       (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
    SetWindowPos(window, NULL, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

class BarsReSizeBar : public FrameTest
{
protected:
    // A bar whose area is the free area, but for marginRight on the right
    // (right edge = free right - marginRight + 1).
    CReSizeBar* MakeSplitter(int left, int top, int right, int bottom, int marginRight = 1)
    {
        CBaseWindow* made = Make<CReSizeBar>(left, top, right, bottom);
        if (!made)
            return NULL;
        made->Anchor(NULL, ANCHOR_LEFT, 1);
        made->Anchor(NULL, ANCHOR_TOP, 1);
        made->Anchor(NULL, ANCHOR_RIGHT, marginRight);
        made->Anchor(NULL, ANCHOR_BOTTOM, 1);
        frame->LayoutAll();   // positions are clamped to the area of the last layout
        return static_cast<CReSizeBar*>(made);
    }

    // A static on one side of a vertical bar, anchored to the bar's edge.
    CBaseWindow* Pane(CReSizeBar* bar, bool before)
    {
        CBaseWindow* pane = Make<CStatic>(0, 0, 10, 10, WS_VISIBLE, "панель");
        pane->Anchor(NULL, ANCHOR_TOP, 1);
        pane->Anchor(NULL, ANCHOR_BOTTOM, 1);
        if (before) {
            pane->Anchor(NULL, ANCHOR_LEFT, 1);
            pane->Anchor(bar, ANCHOR_RIGHT, ANCHOR_LEFT | 1);
        } else {
            pane->Anchor(bar, ANCHOR_LEFT, ANCHOR_RIGHT | 1);
            pane->Anchor(NULL, ANCHOR_RIGHT, 1);
        }
        return pane;
    }

    int BarLeft(CBaseWindow* bar) { return WindowRectInHost(bar->GetHandle()).left; }
    int BarTop(CBaseWindow* bar) { return WindowRectInHost(bar->GetHandle()).top; }

    void TearDown() override
    {
        ReleaseCapture();
        FrameTest::TearDown();
    }
};

TEST_F(BarsReSizeBar, ItsRectangleDecidesTheOrientationAndThickness)
{
    CReSizeBar* flat = Make<CReSizeBar>(10, 10, 210, 14);
    ASSERT_NE(nullptr, flat);
    EXPECT_EQ(KIND_RESIZEBAR, flat->GetKind());
    EXPECT_FALSE(flat->vertical);
    EXPECT_EQ(4, flat->thickness);
    EXPECT_EQ(CWIN_RESIZEBAR_CLASS, ClassOf(flat->GetHandle()));
    EXPECT_EQ((LONG_PTR)static_cast<CBaseWindow*>(flat), GetWindowLongPtrA(flat->GetHandle(), GWLP_USERDATA));
    EXPECT_NE(nullptr, dynamic_cast<IReSizeBar*>(static_cast<CBaseWindow*>(flat)));

    CReSizeBar* tall = Make<CReSizeBar>(10, 10, 14, 210);
    ASSERT_NE(nullptr, tall);
    EXPECT_TRUE(tall->vertical);
    EXPECT_EQ(4, tall->thickness);
    // A square one is vertical.
    CReSizeBar* square = Make<CReSizeBar>(10, 10, 20, 20);
    EXPECT_TRUE(square->vertical);
    EXPECT_EQ(10, square->thickness);

    // One class for all bars, with the framework's background.
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(frame->GetInstance(), CWIN_RESIZEBAR_CLASS, &wc));
    EXPECT_EQ((HBRUSH)(COLOR_MENU + 1), wc.hbrBackground);
    EXPECT_EQ(GetWindowLongPtrA(flat->GetHandle(), GWLP_WNDPROC), (LONG_PTR)wc.lpfnWndProc);
    EXPECT_EQ(GetWindowLongPtrA(tall->GetHandle(), GWLP_WNDPROC), (LONG_PTR)wc.lpfnWndProc);

    // The sizing cursor of each orientation.
    SendMessageA(tall->GetHandle(), WM_SETCURSOR, (WPARAM)tall->GetHandle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(NULL, IDC_SIZEWE), GetCursor());
    SendMessageA(flat->GetHandle(), WM_SETCURSOR, (WPARAM)flat->GetHandle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(LoadCursorA(NULL, IDC_SIZENS), GetCursor());
    EXPECT_EQ(1, (int)SendMessageA(tall->GetHandle(), WM_ERASEBKGND, 0, 0));
}

TEST_F(BarsReSizeBar, PositionsAreClampedToTheMinimumsInTheArea)
{
    RECT client;
    GetClientRect(host, &client);
    // Area 100 wide: right edge = client right - margin + 1 = 100.
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 200, client.right - 99);
    ASSERT_NE(nullptr, bar);
    frame->LayoutAll();
    EXPECT_EQ(0, bar->ClientRect().left);
    EXPECT_EQ(100, bar->ClientRect().right);
    // 10 is below the minimum before (30); 90 + 30 passes the area's 100.
    const int asked[] = {10, 50, 90};
    const int placed[] = {30, 50, 70};
    for (int i = 0; i < 3; ++i) {
        bar->SetSplitPosition(asked[i], false);
        EXPECT_EQ(placed[i], bar->splitPosition) << asked[i];
        EXPECT_EQ(placed[i], BarLeft(bar)) << asked[i];
        EXPECT_EQ(3, WindowRectInHost(bar->GetHandle()).right - BarLeft(bar));
    }
    // The vertical bar spans the area's height.
    RECT r = WindowRectInHost(bar->GetHandle());
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(client.bottom, r.bottom);
}

TEST_F(BarsReSizeBar, APercentageIsOfTheAreaLessTheBar)
{
    RECT client;
    GetClientRect(host, &client);
    // Area 203 wide, bar 3: 50 % of 200 is 100.
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 200, client.right - 202);
    ASSERT_NE(nullptr, bar);
    frame->LayoutAll();
    ASSERT_EQ(203, bar->ClientRect().right - bar->ClientRect().left);
    EXPECT_TRUE(bar->SetSplitPosition(50, true));
    EXPECT_EQ(100, bar->splitPosition);
    EXPECT_EQ(100, BarLeft(bar));
    // 99 % of 200 is 198, past 203 - 30: clamped to 173.
    bar->SetSplitPosition(99, true);
    EXPECT_EQ(173, BarLeft(bar));
}

TEST_F(BarsReSizeBar, LimitsApplyFromTheNextLayoutOrAtOnceWithRefit)
{
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 200);
    ASSERT_NE(nullptr, bar);
    frame->LayoutAll();
    bar->SetSplitPosition(40, false);
    ASSERT_EQ(40, BarLeft(bar));
    EXPECT_TRUE(bar->SetLimits(80, 30));
    EXPECT_EQ(40, BarLeft(bar));   // not yet
    frame->LayoutAll();
    EXPECT_EQ(80, BarLeft(bar));
    EXPECT_TRUE(bar->SetLimitsAndRefit(120, 30));
    EXPECT_EQ(120, BarLeft(bar));
    EXPECT_EQ(120, bar->splitPosition);
}

TEST_F(BarsReSizeBar, DraggingMovesTheBarAndTheControlsAnchoredToIt)
{
    SetClientSize(host, 400, 300);
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 300);
    ASSERT_NE(nullptr, bar);
    CBaseWindow* left = Pane(bar, true);
    CBaseWindow* right = Pane(bar, false);
    ASSERT_TRUE(bar->SetSplitPosition(100, false));
    EXPECT_EQ(100, WindowRectInHost(left->GetHandle()).right);
    EXPECT_EQ(103, WindowRectInHost(right->GetHandle()).left);
    EXPECT_EQ(400, WindowRectInHost(right->GetHandle()).right);

    HWND w = bar->GetHandle();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    EXPECT_TRUE(bar->dragging);
    EXPECT_EQ(w, GetCapture());
    // 60 to the right of the bar's left edge: host x 160.
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 50));
    EXPECT_TRUE(bar->trackingShown);
    EXPECT_EQ(160, bar->lastTrack.x);
    EXPECT_EQ(0, bar->lastTrack.y);   // the bar's own top
    EXPECT_EQ(100, BarLeft(bar));     // the bar waits for the button
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(60, 50));
    EXPECT_FALSE(bar->dragging);
    EXPECT_FALSE(bar->trackingShown);
    EXPECT_NE(w, GetCapture());
    EXPECT_EQ(160, bar->splitPosition);
    EXPECT_EQ(160, BarLeft(bar));
    EXPECT_EQ(160, WindowRectInHost(left->GetHandle()).right);
    EXPECT_EQ(163, WindowRectInHost(right->GetHandle()).left);

    // Past the end: clamped to 400 - 30; the tracking bar is clamped the same way.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1000, 50));
    EXPECT_EQ(370, bar->lastTrack.x);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(1000, 50));
    EXPECT_EQ(370, BarLeft(bar));
    EXPECT_EQ(373, WindowRectInHost(right->GetHandle()).left);
    // Towards the start, left of the bar (negative client x): clamped to 30.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(-360, 50));
    EXPECT_EQ(30, BarLeft(bar));
    EXPECT_EQ(30, WindowRectInHost(left->GetHandle()).right);

    // A button release without a press on the bar moves nothing.
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    EXPECT_EQ(30, BarLeft(bar));
}

TEST_F(BarsReSizeBar, TheTrackingBarInvertsTheParentAndIsRemovedAgain)
{
    SetClientSize(host, 400, 300);
    CReSizeBar* bar = MakeSplitter(100, 0, 104, 300);
    ASSERT_NE(nullptr, bar);
    bar->SetSplitPosition(100, false);
    Pump();
    HDC dc = GetDCEx(host, NULL, DCX_CACHE);
    COLORREF before = GetPixel(dc, 201, 150);
    COLORREF elsewhere = GetPixel(dc, 251, 150);
    ASSERT_NE(CLR_INVALID, before);
    HWND w = bar->GetHandle();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 50));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 50));   // host x 200
    EXPECT_EQ(before ^ 0xFFFFFF, GetPixel(dc, 201, 150));
    EXPECT_EQ(elsewhere, GetPixel(dc, 251, 150));
    // Along the bar: the same place, it stays.
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 80));
    EXPECT_EQ(before ^ 0xFFFFFF, GetPixel(dc, 201, 150));
    // Onwards: the old place is put back and the new one inverted.
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 50));   // host x 250
    EXPECT_EQ(before, GetPixel(dc, 201, 150));
    EXPECT_EQ(elsewhere ^ 0xFFFFFF, GetPixel(dc, 251, 150));
    // Losing the capture ends the drag and removes it.
    ReleaseCapture();
    EXPECT_FALSE(bar->dragging);
    EXPECT_EQ(elsewhere, GetPixel(dc, 251, 150));
    EXPECT_EQ(100, BarLeft(bar));
    ReleaseDC(host, dc);
}

TEST_F(BarsReSizeBar, ItPaintsWithItsBackgroundBrush)
{
    CReSizeBar* bar = MakeSplitter(100, 0, 108, 200);
    ASSERT_NE(nullptr, bar);
    frame->LayoutAll();
    bar->SetColors(0, RGB(200, 30, 40));
    InvalidateRect(bar->GetHandle(), NULL, TRUE);
    UpdateWindow(bar->GetHandle());
    HDC dc = GetDC(bar->GetHandle());
    EXPECT_EQ(RGB(200, 30, 40), GetPixel(dc, 3, 100));
    ReleaseDC(bar->GetHandle(), dc);
}

TEST_F(BarsReSizeBar, ShrinkingTheWindowPushesTheBarBackToItsMinimum)
{
    SetClientSize(host, 400, 300);
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 300);
    ASSERT_NE(nullptr, bar);
    CBaseWindow* right = Pane(bar, false);
    bar->SetSplitPosition(300, false);
    ASSERT_EQ(300, BarLeft(bar));
    SetClientSize(host, 250, 300);   // 300 + 30 > 250: 220
    RECT client;
    GetClientRect(host, &client);
    ASSERT_EQ(250, client.right);
    EXPECT_EQ(220, bar->splitPosition);
    EXPECT_EQ(220, BarLeft(bar));
    EXPECT_EQ(223, WindowRectInHost(right->GetHandle()).left);
    // Room for neither minimum: the one before wins, and stays on the next layout.
    bar->SetLimits(150, 150);
    SetClientSize(host, 200, 300);
    EXPECT_EQ(150, BarLeft(bar));
    frame->LayoutAll();
    EXPECT_EQ(150, BarLeft(bar));
    // Growing again leaves it where it was pushed.
    SetClientSize(host, 500, 300);
    EXPECT_EQ(150, BarLeft(bar));
}

TEST_F(BarsReSizeBar, AHorizontalBarMovesUpAndDown)
{
    SetClientSize(host, 400, 300);
    CBaseWindow* made = Make<CReSizeBar>(0, 100, 200, 104);
    ASSERT_NE(nullptr, made);
    CReSizeBar* bar = static_cast<CReSizeBar*>(made);
    bar->Anchor(NULL, ANCHOR_LEFT, 1);
    bar->Anchor(NULL, ANCHOR_TOP, 1);
    bar->Anchor(NULL, ANCHOR_RIGHT, 1);
    bar->Anchor(NULL, ANCHOR_BOTTOM, 1);
    frame->LayoutAll();
    CBaseWindow* below = Make<CStatic>(0, 0, 10, 10);
    below->Anchor(NULL, ANCHOR_LEFT, 1);
    below->Anchor(NULL, ANCHOR_RIGHT, 1);
    below->Anchor(bar, ANCHOR_TOP, ANCHOR_BOTTOM | 1);
    below->Anchor(NULL, ANCHOR_BOTTOM, 1);
    // 50 % of 300 - 4.
    bar->SetSplitPosition(50, true);
    RECT r = WindowRectInHost(bar->GetHandle());
    EXPECT_EQ(148, r.top);
    EXPECT_EQ(152, r.bottom);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(400, r.right);
    EXPECT_EQ(152, WindowRectInHost(below->GetHandle()).top);
    HWND w = bar->GetHandle();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 1));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, -48));
    EXPECT_EQ(0, bar->lastTrack.x);
    EXPECT_EQ(100, bar->lastTrack.y);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(200, -48));
    EXPECT_EQ(100, BarTop(bar));
    EXPECT_EQ(104, WindowRectInHost(below->GetHandle()).top);
}

TEST_F(BarsReSizeBar, OddInputBreaksNothing)
{
    CReSizeBar* bar = MakeSplitter(100, 0, 103, 200);
    ASSERT_NE(nullptr, bar);
    EXPECT_FALSE(bar->Layout(0, 100));
    EXPECT_FALSE(bar->Layout(100, -1));
    bar->SetLimits(-50, 0x7FFFFFFF);
    frame->LayoutAll();
    bar->SetSplitPosition(0x7FFFFFFF, true);
    bar->SetSplitPosition(-0x7FFFFFFF, false);
    bar->SetLimitsAndRefit(30, 30);
    bar->SetSplitPosition(60, false);
    EXPECT_EQ(60, BarLeft(bar));
    // Objects without windows.
    CToolBar looseBar;
    EXPECT_FALSE(looseBar.AddButtons(kBitmap, 16, 16, 3, "a|b|c"));
    EXPECT_TRUE(looseBar.Layout(100, 100));
    CReSizeBar looseSplitter;
    EXPECT_FALSE(looseSplitter.SetSplitPosition(50, true));
    EXPECT_TRUE(looseSplitter.SetLimitsAndRefit(10, 10));
    // Labels taken from the bar's own text buffer.
    CToolBar* own = Make<CToolBar>(0, 0, 100, 20, WS_VISIBLE | CCS_TOP);
    own->SetText("%s", "Один|Два");
    EXPECT_TRUE(own->AddButtons(kBitmap, 16, 16, 2, own->Text()));
    EXPECT_EQ("Один", ButtonText(own, kBitmap));
    EXPECT_TRUE(boxes.Boxes().empty());
}

// ---- with the real pointer

using BarsToolBarOnDesktop = BarsToolBar;

TEST_F(BarsToolBarOnDesktop, ARealClickOnAButtonSendsItsCommand)
{
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CToolBar* bar = MakeBar();
    ASSERT_NE(nullptr, bar);
    ASSERT_TRUE(bar->AddButtons(kBitmap, 16, 16, 3, NULL));
    frame->LayoutAll();
    bar->AddHandler(RecordingCallback, EV_COMMAND, 0, NULL);
    RECT button;
    ASSERT_TRUE(SendMessageA(bar->GetHandle(), TB_GETITEMRECT, 2, (LPARAM)&button));
    MapWindowPoints(bar->GetHandle(), host, (POINT*)&button, 2);
    int x = (button.left + button.right) / 2, y = (button.top + button.bottom) / 2;
    RealMouse(host, x, y, MOUSEEVENTF_LEFTDOWN);
    RealMouse(host, x, y, MOUSEEVENTF_LEFTUP);
    PumpUntil([] { return !Recorded().empty(); });
    SetWindowPos(host, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(kBitmap + 2, (int)LOWORD(Recorded()[0].aux));
}

using BarsReSizeBarOnDesktop = BarsReSizeBar;

TEST_F(BarsReSizeBarOnDesktop, TheRealPointerDragsTheBar)
{
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetClientSize(host, 400, 300);
    CReSizeBar* bar = MakeSplitter(100, 0, 104, 300);
    ASSERT_NE(nullptr, bar);
    CBaseWindow* left = Pane(bar, true);
    bar->SetSplitPosition(100, false);
    RealMouse(host, 102, 150, MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return GetCapture() == bar->GetHandle(); })) << GetCapture();
    RealMouse(host, 180, 160);
    RealMouse(host, 240, 170, MOUSEEVENTF_LEFTUP);
    PumpUntil([&] { return GetCapture() != bar->GetHandle(); });
    SetWindowPos(host, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(240, BarLeft(bar));
    EXPECT_EQ(240, WindowRectInHost(left->GetHandle()).right);
    EXPECT_NE(bar->GetHandle(), GetCapture());
}

}  // namespace
