// The window object model through real controls: handler tables, dispatch
// order and masks, listeners, anchor layout and fonts, and the router's rows.
#include "FrameworkFixture.h"

namespace {

struct CommandSink : IEventSink
{
    int commands = 0;
    int clicks = 0;
    int answer = 0;
    int OnCommand(WindowEvent*) override { ++commands; return answer; }
    int OnClick(WindowEvent*) override { ++clicks; return answer; }
};

using HandlerTable = FrameTest;
// Tests that move the focus or open real menus.
using HandlerTableOnDesktop = FrameTest;

TEST_F(HandlerTable, AClickReachesTheCallbackWithTheMessageValues)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE | BS_PUSHBUTTON, "Go");
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(0, button->AddHandler(RecordingCallback, EV_COMMAND, 7, NULL));
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    const SeenEvent& e = Recorded()[0];
    EXPECT_EQ(button, e.sender);
    EXPECT_EQ(EV_COMMAND, e.eventCode);
    EXPECT_EQ(7, e.user);
    EXPECT_EQ(0, e.param);
    EXPECT_EQ(MAKEWPARAM(0, BN_CLICKED), e.aux);   // no child id: objects are found by handle
    EXPECT_EQ((LPARAM)button->GetHandle(), e.notify);
}

TEST_F(HandlerTable, MasksChooseTheEntriesAndANonZeroAnswerEndsTheDispatch)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    ASSERT_NE(nullptr, button);
    button->AddHandler(SecondCallback, EV_CLICK, 1, NULL);      // does not want commands
    button->AddHandler(RecordingCallback, 0, 2, NULL);          // mask 0: every code
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(2, Recorded()[0].user);

    // Entries run in order; the first non-zero answer stops the rest.
    CBaseWindow* second = Make("Button", 10, 50, 110, 80, WS_VISIBLE, "Two");
    second->AddHandler(RecordingCallback, EV_COMMAND, 3, NULL);
    second->AddHandler(SecondCallback, 0, 4, NULL);
    Recorded().clear();
    Answer() = 0;
    SendMessageA(second->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(3, Recorded()[0].user);
    EXPECT_EQ(1004, Recorded()[1].user);
    Recorded().clear();
    Answer() = 5;
    SendMessageA(second->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(3, Recorded()[0].user);
}

TEST_F(HandlerTable, TheSameCallbackTwiceMergesMasksAndUserValues)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    EXPECT_EQ(0, button->AddHandler(RecordingCallback, EV_COMMAND, 1, NULL));
    EXPECT_EQ(0, button->AddHandler(RecordingCallback, EV_MENU_COMMAND, 2, NULL));
    EXPECT_EQ(1, button->handlerCount);
    EXPECT_EQ(0x11, button->handlerMask[0]);
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(3, Recorded()[0].user);
}

TEST_F(HandlerTable, AListenerAheadOfACallbackEndsTheDispatchEvenWhenItAnswersZero)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    CommandSink sink;
    EXPECT_EQ(0, button->AddHandler(NULL, 0, 0, &sink));
    EXPECT_EQ(1, button->AddHandler(RecordingCallback, 0, 0, NULL));
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, sink.commands);
    EXPECT_TRUE(Recorded().empty());
}

// A listener that answers with the number of the operation called (1 + slot).
struct SlotSink : IEventSink
{
    std::vector<int> slots;
    int Note(int slot) { slots.push_back(slot); return slot + 1; }
    int OnCacheHint(WindowEvent*) override { return Note(0); }
    int OnRowFocused(WindowEvent*) override { return Note(1); }
    int OnMenuCommand(WindowEvent*) override { return Note(2); }
    int OnCommand(WindowEvent*) override { return Note(3); }
    int OnDoubleClick(WindowEvent*) override { return Note(4); }
    int OnClick(WindowEvent*) override { return Note(5); }
    int OnReserved(WindowEvent*) override { return Note(6); }
    int OnEditEnd(WindowEvent*) override { return Note(7); }
    int OnCustomDraw(WindowEvent*) override { return Note(8); }
    int OnCompare(WindowEvent*) override { return Note(9); }
    int OnKeyDown(WindowEvent*) override { return Note(10); }
    int OnDrag(WindowEvent*) override { return Note(11); }
};

TEST_F(HandlerTable, EveryEventReachesItsListenerOperation)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    SlotSink sink;
    ASSERT_EQ(0, button->AddHandler(NULL, 0, 0, &sink));
    ASSERT_EQ(1, button->AddHandler(RecordingCallback, 0, 0, NULL));
    const struct { int code, slot; } table[] = {
        {EV_CACHE_HINT, 0}, {EV_ROW_FOCUSED, 1}, {EV_MENU_COMMAND, 2}, {EV_COMMAND, 3}, {EV_CANCEL, 3},
        {EV_SELECTION_CHANGED, 3}, {EV_DOUBLE_CLICK, 4}, {EV_CLICK, 5}, {0x40000, 6}, {EV_EDIT_END, 7},
        {EV_CUSTOM_DRAW, 8}, {EV_COMPARE, 9}, {EV_KEY_DOWN, 10}, {EV_DRAG, 11}};
    for (const auto& row : table) {
        sink.slots.clear();
        EXPECT_EQ(row.slot + 1, button->Dispatch(row.code)) << row.code;
        ASSERT_EQ(1u, sink.slots.size()) << row.code;
        EXPECT_EQ(row.slot, sink.slots[0]) << row.code;
    }
    EXPECT_TRUE(Recorded().empty());
    // Codes without an operation pass the listener by and reach the callback.
    sink.slots.clear();
    Answer() = 5;
    EXPECT_EQ(5, button->Dispatch(EV_EDIT_BEGIN));
    EXPECT_EQ(5, button->Dispatch(EV_KEY_UP));
    EXPECT_TRUE(sink.slots.empty());
    EXPECT_EQ(2u, Recorded().size());
}

TEST_F(HandlerTable, ADoubleClickOnARealControlIsOperationFourOfItsListener)
{
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, NULL, WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, host, (HMENU)79,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, tree);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("Товары");
    SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    SlotSink sink;
    ASSERT_NE(nullptr, frame->AttachControl("Static", host, 79, NULL, EV_DOUBLE_CLICK, &sink));
    SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
    Pump();
    ASSERT_EQ(1u, sink.slots.size());
    EXPECT_EQ(4, sink.slots[0]);
    DestroyWindow(tree);
}

TEST_F(HandlerTable, EightEntriesAtMostAndNoneWithoutCallbackOrListener)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    CommandSink sinks[9];
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(i, button->AddHandler(NULL, EV_COMMAND, 0, &sinks[i]));
    EXPECT_EQ(-1, button->AddHandler(NULL, EV_COMMAND, 0, &sinks[8]));
    EXPECT_EQ(8, button->handlerCount);
    EXPECT_EQ(-1, button->AddHandler(NULL, EV_COMMAND, 0, NULL));
    // An existing listener still merges.
    EXPECT_EQ(2, button->AddHandler(NULL, EV_CLICK, 0, &sinks[2]));
}

TEST_F(HandlerTable, ADestroyedObjectDispatchesNothing)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, WS_VISIBLE, "Go");
    button->AddHandler(RecordingCallback, 0, 0, NULL);
    Answer() = 9;
    HWND window = button->GetHandle();
    EXPECT_TRUE(button->Destroy());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, button->GetHandle());
    EXPECT_EQ(0, button->Dispatch(EV_COMMAND));
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(HandlerTable, SetTextFormatsIntoTheWindowAndANullFormatChangesNothing)
{
    CBaseWindow* label = Make("Static", 10, 10, 200, 30, WS_VISIBLE, "first");
    char shown[64];
    GetWindowTextA(label->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("first", shown);
    label->SetText("%d штук", 12);
    GetWindowTextA(label->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("12 штук", shown);
    EXPECT_EQ(0, label->SetText(NULL));
    GetWindowTextA(label->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("12 штук", shown);
}

TEST_F(HandlerTable, ATextWithAPercentSignIsShownAsItIs)
{
    CBaseWindow* label = Make("Static", 10, 10, 200, 30, WS_VISIBLE, "100% %s %n");
    char shown[64];
    GetWindowTextA(label->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("100% %s %n", shown);
}

TEST_F(HandlerTableOnDesktop, ShowFocusAndAToolTipOverTheWholeWindow)
{
    CBaseWindow* button = Make("Button", 10, 10, 110, 40, 0, "Go");
    EXPECT_FALSE(button->Show(true));      // was hidden
    EXPECT_TRUE(IsWindowVisible(button->GetHandle()));
    EXPECT_TRUE(button->Show(false));
    button->Show(true);
    CBaseWindow* other = Make("Button", 10, 50, 110, 80, WS_VISIBLE, "Other");
    other->TakeFocus();
    EXPECT_EQ(other->GetHandle(), button->TakeFocus());
    EXPECT_EQ(button->GetHandle(), GetFocus());

    ASSERT_TRUE(button->SetToolTip(false, "Подсказка %d", 3));
    ASSERT_NE(nullptr, button->toolTip);
    EXPECT_EQ(1, SendMessageA(button->toolTip, TTM_GETTOOLCOUNT, 0, 0));
    char tipText[80] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = button->GetHandle();
    tool.lpszText = tipText;
    SendMessageA(button->toolTip, TTM_GETTEXTA, sizeof(tipText), (LPARAM)&tool);
    EXPECT_STREQ("Подсказка 3", tipText);
    HWND tip = button->toolTip;
    button->Destroy();
    EXPECT_FALSE(IsWindow(tip));
}

// ---- anchor layout

using AnchorLayout = FrameTest;

TEST_F(AnchorLayout, ALeftMarginAloneKeepsTheWidth)
{
    CBaseWindow* label = Make("Static", 50, 5, 150, 25);
    ASSERT_TRUE(label->Anchor(NULL, ANCHOR_LEFT, 10));
    frame->LayoutAll();
    RECT r = WindowRectInHost(label->GetHandle());
    EXPECT_EQ(9, r.left);
    EXPECT_EQ(109, r.right);
    EXPECT_EQ(5, r.top);
}

TEST_F(AnchorLayout, BothMarginsInAChildAreaAndAPercentWidth)
{
    CBaseWindow* box = Make("Static", 0, 0, 200, 100);
    CBaseWindow* inner = frame->CreateControl("Static", 30, 0, 60, 20, 0, WS_VISIBLE, NULL, box->GetHandle());
    inner->Anchor(NULL, ANCHOR_LEFT, 5);
    inner->Anchor(NULL, ANCHOR_RIGHT, 5);
    CBaseWindow* wide = Make("Static", 0, 120, 301, 140);
    CBaseWindow* half = frame->CreateControl("Static", 0, 0, 10, 20, 0, WS_VISIBLE, NULL, wide->GetHandle());
    half->widthPercent = 50;
    frame->LayoutAll();
    EXPECT_EQ(4, inner->rect.left);
    EXPECT_EQ(196, inner->rect.right);
    RECT r;
    GetWindowRect(inner->GetHandle(), &r);
    EXPECT_EQ(192, r.right - r.left);
    EXPECT_EQ(150, half->rect.right - half->rect.left);
    EXPECT_FALSE(inner->Layout(0, 100));
}

TEST_F(AnchorLayout, AReferenceToARemovedObjectFallsBackToTheParentEdge)
{
    CBaseWindow* first = Make("Static", 10, 10, 60, 30);
    CBaseWindow* second = Make("Static", 0, 10, 50, 30);
    CBaseWindow* third = Make("Static", 0, 40, 50, 60);
    ASSERT_TRUE(second->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | 5));
    ASSERT_TRUE(third->Anchor(first, ANCHOR_TOP, ANCHOR_BOTTOM | ANCHOR_CLIENT_RECT | 3));
    first->Destroy();
    Make("Static", 0, 100, 5, 105);   // the sweep removes the first
    EXPECT_EQ(nullptr, second->refLeft);
    EXPECT_EQ(nullptr, third->refTop);
    frame->LayoutAll();
    EXPECT_EQ(4, second->rect.left);     // margin 5 from the area's left edge 0
    EXPECT_EQ(54, second->rect.right);
    EXPECT_EQ(2, third->rect.top);
}

TEST_F(AnchorLayout, AnEdgeOfAnotherObjectIsTheReference)
{
    CBaseWindow* first = Make("Static", 10, 10, 60, 30);
    CBaseWindow* second = Make("Static", 0, 10, 50, 30);
    ASSERT_TRUE(second->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | 5));
    frame->LayoutAll();
    EXPECT_EQ(64, second->rect.left);
    EXPECT_EQ(114, second->rect.right);
    EXPECT_EQ(64, WindowRectInHost(second->GetHandle()).left);

    // The reference's second rectangle instead of its window rectangle.
    CBaseWindow* third = Make("Static", 0, 40, 50, 60);
    first->clientRect = RECT{0, 0, 30, 20};
    ASSERT_TRUE(third->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | ANCHOR_CLIENT_RECT | 2));
    frame->LayoutAll();
    EXPECT_EQ(31, third->rect.left);
    EXPECT_EQ(81, third->rect.right);

    EXPECT_FALSE(second->Anchor(first, 0x30000, ANCHOR_TOP | 3));
    EXPECT_FALSE(second->Anchor(first, ANCHOR_TOP, 0x30000 | 3));
    EXPECT_EQ(3, second->marginTop);          // the margin is stored all the same
    EXPECT_EQ(nullptr, second->refTop);
}

TEST_F(AnchorLayout, ARelativeFontIsMadeOnceFromTheHeight)
{
    CBaseWindow* box = Make("Static", 0, 0, 200, 100);
    CBaseWindow* label = frame->CreateControl("Static", 0, 0, 100, 40, 0, WS_VISIBLE, "Aa", box->GetHandle());
    label->Anchor(NULL, ANCHOR_TOP, 1);
    label->Anchor(NULL, ANCHOR_BOTTOM, 61);
    label->SetFont(50, 0, 1, "Arial");
    EXPECT_EQ(nullptr, label->font);     // made at the next layout, not now
    frame->LayoutAll();
    EXPECT_EQ(40, label->rect.bottom - label->rect.top);
    ASSERT_NE(nullptr, label->font);
    LOGFONTA made;
    GetObjectA(label->font, sizeof(made), &made);
    EXPECT_EQ(20, made.lfHeight);
    EXPECT_STREQ("Arial", made.lfFaceName);
    EXPECT_EQ((WPARAM)label->font, (WPARAM)SendMessageA(label->GetHandle(), WM_GETFONT, 0, 0));

    HFONT firstFont = label->font;
    SetWindowPos(box->GetHandle(), NULL, 0, 0, 200, 200, SWP_NOZORDER | SWP_NOMOVE);
    frame->LayoutAll();
    EXPECT_EQ(140, label->rect.bottom - label->rect.top);
    EXPECT_EQ(firstFont, label->font);
}

// ---- routing rows

using Routing = FrameTest;
using RoutingOnDesktop = FrameTest;

TEST_F(Routing, ColourMessagesAnswerTheObjectsBrush)
{
    CBaseWindow* label = Make("Static", 10, 10, 100, 30, WS_VISIBLE, "x");
    HDC dc = GetDC(label->GetHandle());
    // Without a brush the message goes on to the default handling.
    LRESULT plain = SendMessageA(host, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)label->GetHandle());
    label->SetColors(RGB(200, 0, 0), RGB(0, 0, 100));
    LRESULT coloured = SendMessageA(host, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)label->GetHandle());
    EXPECT_EQ((LRESULT)label->backBrush, coloured);
    EXPECT_NE(plain, coloured);
    EXPECT_EQ(RGB(200, 0, 0), GetTextColor(dc));
    EXPECT_EQ(RGB(0, 0, 100), GetBkColor(dc));
    ReleaseDC(label->GetHandle(), dc);
}

struct TargetRecorder : ICommandTarget
{
    std::vector<int> ids;
    int OnMenuCommand(int id) override { ids.push_back(id); return 1; }
};

TEST_F(Routing, AMenuCommandGoesToTheCommandTarget)
{
    TargetRecorder target;
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    CAppFrame second;
    ASSERT_EQ(&second, second.Attach(other, &target));
    PostMessageA(other, WM_COMMAND, MAKEWPARAM(301, 0), 0);   // as a menu item sends it
    Pump();
    ASSERT_EQ(1u, target.ids.size());
    EXPECT_EQ(301, target.ids[0]);
    DestroyWindow(other);
}


TEST_F(RoutingOnDesktop, AContextMenuOverAControlOpensItsPopupAndReportsTheChoice)
{
    // The frame passes what it does not handle to the host's own procedure.
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetWindowLongPtrA(other, GWLP_WNDPROC, (LONG_PTR)ChooseFirstMenuItemOnIdle);
    CAppFrame second;
    ASSERT_EQ(&second, second.Attach(other, NULL));
    CBaseWindow* button = second.CreateControl("Button", 20, 20, 120, 50, 0, WS_VISIBLE, "Menu", other);
    ASSERT_TRUE(button->LoadPopupMenu(200, 0));
    ASSERT_NE(nullptr, button->popupMenu);
    button->AddHandler(RecordingCallback, EV_MENU_OPENING | EV_MENU_COMMAND, 0, NULL);
    POINT p = {30, 30};
    ClientToScreen(other, &p);
    SendMessageA(other, WM_CONTEXTMENU, (WPARAM)other, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(EV_MENU_OPENING, Recorded()[0].eventCode);
    EXPECT_EQ((INT_PTR)button->popupMenu, Recorded()[0].param);
    EXPECT_EQ(EV_MENU_COMMAND, Recorded()[1].eventCode);
    EXPECT_EQ(301, Recorded()[1].param);
    DestroyWindow(other);
}

// Remembers the drawing stage of each custom-draw notification.
static std::vector<DWORD> g_stages;
static int RecordStage(WindowEvent* e)
{
    g_stages.push_back(reinterpret_cast<NMCUSTOMDRAW*>(e->param)->dwDrawStage);
    return CDRF_DODEFAULT;
}

TEST_F(Routing, CustomDrawFromARealTrackBarIsDispatchedWithTheHeader)
{
    CBaseWindow* track = Make("TrackBar", 10, 10, 200, 40);
    ASSERT_NE(nullptr, track);
    track->AddHandler(RecordStage, EV_CUSTOM_DRAW, 0, NULL);
    g_stages.clear();
    InvalidateRect(track->GetHandle(), NULL, TRUE);
    UpdateWindow(track->GetHandle());
    ASSERT_FALSE(g_stages.empty());
    EXPECT_EQ((DWORD)CDDS_PREPAINT, g_stages[0]);
}

// The host of the tests below passes nothing on unseen: its own procedure
// counts the notifications the frame gives back to it and answers 99.
static int g_passedOn;
static LRESULT CALLBACK CountingNotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        ++g_passedOn;
        return 99;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class NotifyRouting : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_passedOn = 0;
        other = CreateWindowExA(0, "OrvexTestHost", "Notify", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, other);
        SetWindowLongPtrA(other, GWLP_WNDPROC, (LONG_PTR)CountingNotifyProc);
        ASSERT_EQ(&second, second.Attach(other, &target));
        sender = second.CreateControl("Button", 10, 10, 80, 30, 0, WS_VISIBLE, "s", other);
        ASSERT_NE(nullptr, sender);
        sender->AddHandler(RecordingCallback, 0, 0, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(other);
        FrameTest::TearDown();
    }
    LRESULT Notify(UINT code, NMHDR* header, WPARAM wParam = 44)
    {
        header->hwndFrom = sender->GetHandle();
        header->idFrom = wParam;
        header->code = code;
        return SendMessageA(other, WM_NOTIFY, wParam, (LPARAM)header);
    }

    HWND other = NULL;
    CAppFrame second;
    TargetRecorder target;
    CBaseWindow* sender = NULL;
};

TEST_F(NotifyRouting, ReturnIsACommandWithParamZeroAndTheDispatchsAnswer)
{
    Answer() = 5;
    NMHDR header = {};
    EXPECT_EQ(5, Notify(NM_RETURN, &header));
    EXPECT_EQ(0, g_passedOn);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_COMMAND, Recorded()[0].eventCode);
    EXPECT_EQ(0, Recorded()[0].param);
    EXPECT_EQ(44u, Recorded()[0].aux);
    EXPECT_EQ((LPARAM)&header, Recorded()[0].notify);
}

TEST_F(NotifyRouting, ACacheHintCarriesItsCodeAnswersZeroAndIsNotPassedOn)
{
    Answer() = 5;
    NMLVCACHEHINT hint = {};
    hint.iFrom = 3;
    hint.iTo = 9;
    EXPECT_EQ(0, Notify(LVN_ODCACHEHINT, &hint.hdr));
    EXPECT_EQ(0, g_passedOn);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_CACHE_HINT, Recorded()[0].eventCode);
    EXPECT_EQ(-113, Recorded()[0].code);
    EXPECT_EQ((INT_PTR)&hint, Recorded()[0].param);

    // A notification without a row is passed on to the window's own procedure.
    NMHDR other = {};
    EXPECT_EQ(99, Notify(NM_SETFOCUS, &other));
    EXPECT_EQ(1, g_passedOn);
    EXPECT_EQ(1u, Recorded().size());
}

TEST_F(NotifyRouting, ACommandWithCodeOneAndNoObjectGoesToTheCommandTarget)
{
    SendMessageA(other, WM_COMMAND, MAKEWPARAM(302, 1), 0);   // as an accelerator sends it
    ASSERT_EQ(1u, target.ids.size());
    EXPECT_EQ(302, target.ids[0]);
    EXPECT_TRUE(Recorded().empty());
}

// A stand-in for the tab control class over the real SysTabControl32.
struct StandInTab final : CBaseWindow, INotifyHandler
{
    std::vector<int> shown;
    StandInTab() { notifyHandler = this; }
    bool Create() override { return CreateWindowOf(WC_TABCONTROLA); }
    bool HandleNotify(NMHDR* header, WPARAM, LRESULT*, bool*) override
    {
        if (header->code == (UINT)TCN_SELCHANGE)
            shown.push_back((int)SendMessageA(hwnd, TCM_GETCURSEL, 0, 0));
        return true;
    }
};

TEST_F(Routing, ASelectedTabIsASelectionChangeAndShowsItsPage)
{
    ScopedControlMaker tabs(KIND_TCONTROL, MakeControlOf<StandInTab>);
    CBaseWindow* made = Make("TControl", 10, 10, 310, 110);
    ASSERT_NE(nullptr, made);
    StandInTab* tab = static_cast<StandInTab*>(made);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    const char* names[] = {"Один", "Два", "Три"};
    for (int i = 0; i < 3; ++i) {
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(tab->GetHandle(), TCM_INSERTITEMA, i, (LPARAM)&item);
    }
    tab->AddHandler(RecordingCallback, EV_SELECTION_CHANGED, 0, NULL);
    RECT third;
    ASSERT_TRUE(SendMessageA(tab->GetHandle(), TCM_GETITEMRECT, 2, (LPARAM)&third));
    LPARAM at = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
    SendMessageA(tab->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab->GetHandle(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_SELECTION_CHANGED, Recorded()[0].eventCode);
    EXPECT_EQ(2, Recorded()[0].param);
    ASSERT_EQ(1u, tab->shown.size());
    EXPECT_EQ(2, tab->shown[0]);
}

}  // namespace
