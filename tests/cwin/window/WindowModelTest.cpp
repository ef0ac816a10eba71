// The window object model through real controls: handler tables, dispatch
// order and masks, listeners, anchor layout and fonts.
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
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE | BS_PUSHBUTTON, "Go");
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
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
    ASSERT_NE(nullptr, button);
    button->AddHandler(SecondCallback, EV_CLICK, 1, NULL);      // does not want commands
    button->AddHandler(RecordingCallback, 0, 2, NULL);          // mask 0: every code
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(2, Recorded()[0].user);

    // Entries run in order; the first non-zero answer stops the rest.
    CBaseWindow* second = Make<CButton>(10, 50, 110, 80, WS_VISIBLE, "Two");
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
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
    EXPECT_EQ(0, button->AddHandler(RecordingCallback, EV_COMMAND, 1, NULL));
    EXPECT_EQ(0, button->AddHandler(RecordingCallback, EV_MENU_COMMAND, 2, NULL));
    EXPECT_EQ(1, button->HandlerCount());
    EXPECT_EQ(0x11, button->HandlerMask(0));
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(3, Recorded()[0].user);
}

TEST_F(HandlerTable, AListenerAheadOfACallbackEndsTheDispatchEvenWhenItAnswersZero)
{
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
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
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
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
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
    CommandSink sinks[9];
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(i, button->AddHandler(NULL, EV_COMMAND, 0, &sinks[i]));
    EXPECT_EQ(-1, button->AddHandler(NULL, EV_COMMAND, 0, &sinks[8]));
    EXPECT_EQ(8, button->HandlerCount());
    EXPECT_EQ(-1, button->AddHandler(NULL, EV_COMMAND, 0, NULL));
    // An existing listener still merges.
    EXPECT_EQ(2, button->AddHandler(NULL, EV_CLICK, 0, &sinks[2]));
}

TEST_F(HandlerTable, ADestroyedObjectDispatchesNothing)
{
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, WS_VISIBLE, "Go");
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
    CBaseWindow* label = Make<CStatic>(10, 10, 200, 30, WS_VISIBLE, "first");
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
    CBaseWindow* label = Make<CStatic>(10, 10, 200, 30, WS_VISIBLE, "100% %s %n");
    char shown[64];
    GetWindowTextA(label->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("100% %s %n", shown);
}

TEST_F(HandlerTableOnDesktop, ShowFocusAndAToolTipOverTheWholeWindow)
{
    CBaseWindow* button = Make<CButton>(10, 10, 110, 40, 0, "Go");
    EXPECT_FALSE(button->Show(true));      // was hidden
    EXPECT_TRUE(IsWindowVisible(button->GetHandle()));
    EXPECT_TRUE(button->Show(false));
    button->Show(true);
    CBaseWindow* other = Make<CButton>(10, 50, 110, 80, WS_VISIBLE, "Other");
    other->TakeFocus();
    EXPECT_EQ(other->GetHandle(), button->TakeFocus());
    EXPECT_EQ(button->GetHandle(), GetFocus());

    ASSERT_TRUE(button->SetToolTip(false, "Подсказка %d", 3));
    ASSERT_NE(nullptr, button->ToolTip());
    EXPECT_EQ(1, SendMessageA(button->ToolTip(), TTM_GETTOOLCOUNT, 0, 0));
    char tipText[80] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = button->GetHandle();
    tool.lpszText = tipText;
    SendMessageA(button->ToolTip(), TTM_GETTEXTA, sizeof(tipText), (LPARAM)&tool);
    EXPECT_STREQ("Подсказка 3", tipText);
    HWND tip = button->ToolTip();
    button->Destroy();
    EXPECT_FALSE(IsWindow(tip));
}

// ---- anchor layout

using AnchorLayout = FrameTest;

TEST_F(AnchorLayout, ALeftMarginAloneKeepsTheWidth)
{
    CBaseWindow* label = Make<CStatic>(50, 5, 150, 25);
    ASSERT_TRUE(label->Anchor(NULL, ANCHOR_LEFT, 10));
    frame->LayoutAll();
    RECT r = WindowRectInHost(label->GetHandle());
    EXPECT_EQ(9, r.left);
    EXPECT_EQ(109, r.right);
    EXPECT_EQ(5, r.top);
}

TEST_F(AnchorLayout, BothMarginsInAChildAreaAndAPercentWidth)
{
    CBaseWindow* box = Make<CStatic>(0, 0, 200, 100);
    CBaseWindow* inner =
        frame->Create<CStatic>(ControlArgs().Parent(box->GetHandle()).Place(30, 0, 60, 20).Style(WS_VISIBLE));
    inner->Anchor(NULL, ANCHOR_LEFT, 5);
    inner->Anchor(NULL, ANCHOR_RIGHT, 5);
    CBaseWindow* wide = Make<CStatic>(0, 120, 301, 140);
    CBaseWindow* half =
        frame->Create<CStatic>(ControlArgs().Parent(wide->GetHandle()).Place(0, 0, 10, 20).Style(WS_VISIBLE));
    half->SetSizePercent(50, 0);
    frame->LayoutAll();
    EXPECT_EQ(4, inner->Rect().left);
    EXPECT_EQ(196, inner->Rect().right);
    RECT r;
    GetWindowRect(inner->GetHandle(), &r);
    EXPECT_EQ(192, r.right - r.left);
    EXPECT_EQ(150, half->Rect().right - half->Rect().left);
    EXPECT_FALSE(inner->Layout(0, 100));
}

TEST_F(AnchorLayout, AReferenceToARemovedObjectFallsBackToTheParentEdge)
{
    CBaseWindow* first = Make<CStatic>(10, 10, 60, 30);
    CBaseWindow* second = Make<CStatic>(0, 10, 50, 30);
    CBaseWindow* third = Make<CStatic>(0, 40, 50, 60);
    ASSERT_TRUE(second->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | 5));
    ASSERT_TRUE(third->Anchor(first, ANCHOR_TOP, ANCHOR_BOTTOM | ANCHOR_CLIENT_RECT | 3));
    first->Destroy();
    Make<CStatic>(0, 100, 5, 105);   // the sweep removes the first
    EXPECT_EQ(nullptr, second->AnchorEdge(ANCHOR_LEFT));
    EXPECT_EQ(nullptr, third->AnchorEdge(ANCHOR_TOP));
    frame->LayoutAll();
    EXPECT_EQ(4, second->Rect().left);     // margin 5 from the area's left edge 0
    EXPECT_EQ(54, second->Rect().right);
    EXPECT_EQ(2, third->Rect().top);
}

TEST_F(AnchorLayout, AnEdgeOfAnotherObjectIsTheReference)
{
    CBaseWindow* first = Make<CStatic>(10, 10, 60, 30);
    CBaseWindow* second = Make<CStatic>(0, 10, 50, 30);
    ASSERT_TRUE(second->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | 5));
    frame->LayoutAll();
    EXPECT_EQ(64, second->Rect().left);
    EXPECT_EQ(114, second->Rect().right);
    EXPECT_EQ(64, WindowRectInHost(second->GetHandle()).left);

    // The reference's second rectangle instead of its window rectangle.
    CBaseWindow* third = Make<CStatic>(0, 40, 50, 60);
    first->SetClientRect(RECT{0, 0, 30, 20});
    ASSERT_TRUE(third->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | ANCHOR_CLIENT_RECT | 2));
    frame->LayoutAll();
    EXPECT_EQ(31, third->Rect().left);
    EXPECT_EQ(81, third->Rect().right);

    EXPECT_FALSE(second->Anchor(first, 0x30000, ANCHOR_TOP | 3));
    EXPECT_FALSE(second->Anchor(first, ANCHOR_TOP, 0x30000 | 3));
    EXPECT_EQ(3, second->AnchorMargin(ANCHOR_TOP));          // the margin is stored all the same
    EXPECT_EQ(nullptr, second->AnchorEdge(ANCHOR_TOP));
}

TEST_F(AnchorLayout, NamedPartsPlaceASideAsThePackedFormDoes)
{
    CBaseWindow* first = Make<CStatic>(10, 10, 60, 30);
    CBaseWindow* packed = Make<CStatic>(0, 40, 50, 60);
    CBaseWindow* named = Make<CStatic>(0, 70, 50, 90);
    first->SetClientRect(RECT{0, 0, 30, 20});
    ASSERT_TRUE(packed->Anchor(first, ANCHOR_LEFT, ANCHOR_RIGHT | ANCHOR_CLIENT_RECT | 2));
    ASSERT_TRUE(named->AnchorSide(SideAnchor(ANCHOR_LEFT, 2).From(first, ANCHOR_RIGHT).ClientRect()));
    ASSERT_TRUE(named->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 11)));
    frame->LayoutAll();
    EXPECT_EQ(31, named->Rect().left);      // 2 from the reference's client right edge 30
    EXPECT_EQ(81, named->Rect().right);
    EXPECT_EQ(packed->Rect().left, named->Rect().left);
    RECT client;
    GetClientRect(host, &client);
    EXPECT_EQ(client.bottom - 10, named->Rect().bottom);
    EXPECT_EQ(client.bottom - 30, named->Rect().top);   // the height stays

    // The margin is a whole number of its own, not the low 16 bits of one.
    named->AnchorSide(SideAnchor(ANCHOR_TOP, 0x10005));
    packed->Anchor(NULL, ANCHOR_TOP, 0x10005);
    EXPECT_EQ(0x10005, named->AnchorMargin(ANCHOR_TOP));
    EXPECT_EQ(5, packed->AnchorMargin(ANCHOR_TOP));

    // A side or a reference edge that is none of the four: false, the margin stored.
    EXPECT_FALSE(named->AnchorSide(SideAnchor(0x30000, 3)));
    EXPECT_FALSE(named->AnchorSide(SideAnchor(ANCHOR_TOP, 3).From(first, 0x30000)));
    EXPECT_EQ(3, named->AnchorMargin(ANCHOR_TOP));
    EXPECT_EQ(nullptr, named->AnchorEdge(ANCHOR_TOP));
}

TEST_F(AnchorLayout, ARelativeFontIsMadeOnceFromTheHeight)
{
    CBaseWindow* box = Make<CStatic>(0, 0, 200, 100);
    CBaseWindow* label = frame->Create<CStatic>(
        ControlArgs().Parent(box->GetHandle()).Place(0, 0, 100, 40).Style(WS_VISIBLE).Text("Aa"));
    label->Anchor(NULL, ANCHOR_TOP, 1);
    label->Anchor(NULL, ANCHOR_BOTTOM, 61);
    label->SetFont(50, 0, 1, "Arial");
    EXPECT_EQ(nullptr, label->Font());     // made at the next layout, not now
    frame->LayoutAll();
    EXPECT_EQ(40, label->Rect().bottom - label->Rect().top);
    ASSERT_NE(nullptr, label->Font());
    LOGFONTA made;
    GetObjectA(label->Font(), sizeof(made), &made);
    EXPECT_EQ(20, made.lfHeight);
    EXPECT_STREQ("Arial", made.lfFaceName);
    EXPECT_EQ((WPARAM)label->Font(), (WPARAM)SendMessageA(label->GetHandle(), WM_GETFONT, 0, 0));

    HFONT firstFont = label->Font();
    SetWindowPos(box->GetHandle(), NULL, 0, 0, 200, 200, SWP_NOZORDER | SWP_NOMOVE);
    frame->LayoutAll();
    EXPECT_EQ(140, label->Rect().bottom - label->Rect().top);
    EXPECT_EQ(firstFont, label->Font());
}

}  // namespace
