// The router's rows for the composite controls (list view, tree view): a
// stand-in list view class over the real SysListView32 shows which
// notifications reach its own handling and which become events.
#include "FrameworkFixture.h"

namespace {

struct StandInList final : CBaseWindow, INotifyHandler
{
    std::vector<UINT> own;
    int searches = 0;
    StandInList() { notifyHandler = this; }
    bool Create() override { return CreateWindowOf(WC_LISTVIEWA); }
    bool HandleNotify(NMHDR* header, WPARAM, LRESULT* result, bool* passOn) override
    {
        own.push_back(header->code);
        if (header->code == (UINT)LVN_KEYDOWN)
            ++searches;
        *result = 0;
        *passOn = false;
        return true;
    }
};

class CompositeRouting : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        previous = CControlFactory::GetControlMaker(KIND_LISTVIEW);
        CControlFactory::SetControlMaker(KIND_LISTVIEW, MakeControlOf<StandInList>);
    }
    void TearDown() override
    {
        CControlFactory::SetControlMaker(KIND_LISTVIEW, previous);
        FrameTest::TearDown();
    }

    ControlMaker previous = NULL;

    StandInList* MakeList()
    {
        CBaseWindow* made = Make("ListView", 10, 10, 310, 210, WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS);
        if (!made)
            return NULL;
        HWND w = made->GetHandle();
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 100;
        column.pszText = const_cast<char*>("Код");
        SendMessageA(w, LVM_INSERTCOLUMNA, 0, (LPARAM)&column);
        SendMessageA(w, LVM_INSERTCOLUMNA, 1, (LPARAM)&column);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>("1");
        SendMessageA(w, LVM_INSERTITEMA, 0, (LPARAM)&item);
        item.iItem = 1;
        SendMessageA(w, LVM_INSERTITEMA, 0, (LPARAM)&item);
        return static_cast<StandInList*>(made);
    }
};

// Tests that move the keyboard focus.
class CompositeRoutingOnDesktop : public CompositeRouting
{
};

TEST_F(CompositeRouting, ItemChangesGoToTheListsOwnHandling)
{
    StandInList* list = MakeList();
    ASSERT_NE(nullptr, list);
    list->AddHandler(RecordingCallback, 0, 0, NULL);
    list->own.clear();
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list->GetHandle(), LVM_SETITEMSTATE, 1, (LPARAM)&state);
    bool changed = false;
    for (UINT code : list->own)
        changed = changed || code == (UINT)LVN_ITEMCHANGED;
    EXPECT_TRUE(changed);
    for (const SeenEvent& e : Recorded())
        EXPECT_NE(EV_SELECTION_CHANGED, e.eventCode);
}

TEST_F(CompositeRoutingOnDesktop, F3RepeatsTheSearchAndOtherKeysAreKeyEvents)
{
    StandInList* list = MakeList();
    ASSERT_NE(nullptr, list);
    list->AddHandler(RecordingCallback, EV_KEY_DOWN, 0, NULL);
    SetFocus(list->GetHandle());
    SendMessageA(list->GetHandle(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(1, list->searches);
    EXPECT_TRUE(Recorded().empty());
    SendMessageA(list->GetHandle(), WM_KEYDOWN, 'Q', 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ('Q', Recorded()[0].param);
    EXPECT_EQ(EV_KEY_DOWN, Recorded()[0].eventCode);
    EXPECT_EQ(1, list->searches);
}

static int g_resizedCode;
static int OnResized(WindowEvent* e)
{
    g_resizedCode = e->code;
    return 0;
}

TEST_F(CompositeRouting, AColumnResizedInTheHeaderIsAnEventOfTheList)
{
    StandInList* list = MakeList();
    ASSERT_NE(nullptr, list);
    HWND header = (HWND)SendMessageA(list->GetHandle(), LVM_GETHEADER, 0, 0);
    ASSERT_NE(nullptr, header);
    list->AddHandler(OnResized, EV_COLUMN_RESIZED, 0, NULL);
    g_resizedCode = 0;
    RECT first;
    SendMessageA(header, HDM_GETITEMRECT, 0, (LPARAM)&first);
    int y = (first.top + first.bottom) / 2;
    // Dragging the divider after the first column.
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right, y));
    SendMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 30, y));
    SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 30, y));
    EXPECT_EQ((int)HDN_ENDTRACKA, g_resizedCode);
    EXPECT_EQ(-307, g_resizedCode);
}

TEST_F(CompositeRouting, TreeSelectionAndLabelEditingBecomeEvents)
{
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, NULL, WS_CHILD | WS_VISIBLE | TVS_EDITLABELS, 10, 10, 200, 150,
                                host, (HMENU)78, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, tree);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("Группа");
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    CBaseWindow* object =
        frame->AttachItem<CStatic>(host, 78, RecordingCallback, EV_SELECTION_CHANGED | EV_EDIT_BEGIN);
    ASSERT_NE(nullptr, object);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_SELECTION_CHANGED, Recorded()[0].eventCode);
    EXPECT_EQ(0, Recorded()[0].param);     // no tree view class of its own to name the item

    // The handler's answer is the notification's: non-zero refuses the edit.
    Answer() = 1;
    EXPECT_EQ(nullptr, (HWND)SendMessageA(tree, TVM_EDITLABELA, 0, (LPARAM)item));
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(EV_EDIT_BEGIN, Recorded()[1].eventCode);
    Answer() = 0;
    HWND editor = (HWND)SendMessageA(tree, TVM_EDITLABELA, 0, (LPARAM)item);
    EXPECT_NE(nullptr, editor);
    SendMessageA(tree, TVM_ENDEDITLABELNOW, TRUE, 0);
}

}  // namespace
