// The tab control over the real SysTabControl32: tabs, the page table that
// shows exactly the windows of the selected tab, the page rectangle for tabs
// on every side, and a real tab click.
#include "FrameworkFixture.h"
#include "cwin/composite/TControl.h"

namespace {

bool Visible(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

class TabControl : public FrameTest
{
protected:
    CTControl* MakeTabs(int tabs, DWORD style = WS_VISIBLE, int width = 400, int height = 300)
    {
        CBaseWindow* made = Make<CTControl>(10, 10, 10 + width, 10 + height, style | WS_CLIPSIBLINGS);
        if (!made)
            return NULL;
        CTControl* control = static_cast<CTControl*>(made);
        const char* names[] = {"Товары", "Поставщики", "Движения", "Остатки", "Динамика", "Шестая",
                               "Седьмая", "Восьмая", "Девятая", "Десятая"};
        for (int i = 0; i < tabs; ++i)
            control->InsertTab(i, names[i % 10], -1);
        return control;
    }

    // A window of no framework control, a sibling of the tab control.
    HWND Foreign(int top)
    {
        HWND w = CreateWindowExA(0, "STATIC", "чужое", WS_CHILD | WS_VISIBLE, 20, top, 100, 20, host, NULL,
                                 GetModuleHandleA(NULL), NULL);
        EXPECT_NE(nullptr, w);
        return w;
    }
};

TEST_F(TabControl, TheFactoryMakesItAndTabsKeepTheirTextsAndImages)
{
    CTControl* tabs = MakeTabs(0);
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(KIND_TCONTROL, tabs->GetKind());
    ITControl* face = dynamic_cast<ITControl*>(static_cast<CBaseWindow*>(tabs));
    ASSERT_NE(nullptr, face);
    EXPECT_EQ(0, face->InsertTab(0, "Товары", 2));
    EXPECT_EQ(1, face->InsertTab(1, "Остатки", -1));
    EXPECT_EQ(1, face->InsertTabItem(1, NULL, 0));   // before "Остатки"
    EXPECT_EQ(3, (int)SendMessageA(tabs->GetHandle(), TCM_GETITEMCOUNT, 0, 0));
    EXPECT_STREQ("Товары", face->GetTabText(0));
    EXPECT_STREQ("", face->GetTabText(1));
    EXPECT_STREQ("Остатки", face->GetTabText(2));
    EXPECT_EQ(nullptr, face->GetTabText(7));

    TCITEMA item = {};
    item.mask = TCIF_IMAGE;
    ASSERT_TRUE(SendMessageA(tabs->GetHandle(), TCM_GETITEMA, 0, (LPARAM)&item));
    EXPECT_EQ(2, item.iImage);
    item.iImage = 5;
    ASSERT_TRUE(SendMessageA(tabs->GetHandle(), TCM_GETITEMA, 2, (LPARAM)&item));
    EXPECT_EQ(-1, item.iImage);

    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4);
    EXPECT_FALSE(face->SetImageList(NULL));
    EXPECT_TRUE(face->SetImageList(&list));
    EXPECT_EQ(list, (HIMAGELIST)SendMessageA(tabs->GetHandle(), TCM_GETIMAGELIST, 0, 0));
    face->SetImageList(NULL);
    tabs->Destroy();
    ImageList_Destroy(list);
}

TEST_F(TabControl, SelectingATabShowsExactlyItsWindowsFrameworkOrForeign)
{
    CTControl* tabs = MakeTabs(3);
    ASSERT_NE(nullptr, tabs);
    CBaseWindow* button = Make<CButton>(20, 60, 120, 90, WS_VISIBLE, "Построить");
    HWND foreign = Foreign(100);
    HWND shared = Foreign(130);
    ASSERT_TRUE(tabs->AddPage(button->GetHandle(), 0));
    ASSERT_TRUE(tabs->AddPage(foreign, 1));
    ASSERT_TRUE(tabs->AddPage(shared, 0));
    ASSERT_TRUE(tabs->AddPage(shared, 2));   // one window on two tabs
    EXPECT_EQ(4, tabs->GetPageCount());

    EXPECT_EQ(0, tabs->SelectTab(1));   // the previous selection
    EXPECT_FALSE(Visible(button->GetHandle()));
    EXPECT_TRUE(Visible(foreign));
    EXPECT_FALSE(Visible(shared));   // its last entry is for tab 2, not 1
    EXPECT_EQ(1, (int)SendMessageA(tabs->GetHandle(), TCM_GETCURSEL, 0, 0));

    EXPECT_EQ(1, tabs->SelectTab(2));
    EXPECT_FALSE(Visible(button->GetHandle()));
    EXPECT_FALSE(Visible(foreign));
    EXPECT_TRUE(Visible(shared));

    EXPECT_EQ(2, tabs->SelectTab(0));
    EXPECT_TRUE(Visible(button->GetHandle()));
    EXPECT_FALSE(Visible(foreign));
    // Visited in insertion order: shown by its tab-0 entry, then hidden by its tab-2 entry.
    EXPECT_FALSE(Visible(shared));
    EXPECT_EQ(0, tabs->GetSelectedTab(NULL));
}

TEST_F(TabControl, AShownPageLiesAboveTheTabStripForThePointer)
{
    CTControl* tabs = MakeTabs(2);
    ASSERT_NE(nullptr, tabs);
    ASSERT_TRUE(tabs->Layout(640, 480));
    const RECT& page = tabs->ClientRect();
    CBaseWindow* first = Make<CButton>(page.left, page.top, page.right, page.bottom, WS_VISIBLE, "1");
    CBaseWindow* second = Make<CButton>(page.left, page.top, page.right, page.bottom, WS_VISIBLE, "2");
    tabs->AddPage(first->GetHandle(), 0);
    tabs->AddPage(second->GetHandle(), 1);
    POINT inside = {(page.left + page.right) / 2, (page.top + page.bottom) / 2};
    tabs->SelectTab(1);
    EXPECT_EQ(second, frame->ControlFromPoint(NULL, inside.x, inside.y));
    tabs->SelectTab(0);
    EXPECT_EQ(first, frame->ControlFromPoint(NULL, inside.x, inside.y));
}

TEST_F(TabControl, ATabIndexBeyondTheCountChangesNothing)
{
    CTControl* tabs = MakeTabs(2);
    ASSERT_NE(nullptr, tabs);
    HWND first = Foreign(60), second = Foreign(90);
    tabs->AddPage(first, 0);
    tabs->AddPage(second, 1);
    EXPECT_EQ(0, tabs->SelectTab(1));
    EXPECT_EQ(-1, tabs->SelectTab(2));
    EXPECT_EQ(-1, tabs->SelectTab(100));
    EXPECT_EQ(-1, tabs->SelectTab(-1));
    EXPECT_FALSE(Visible(first));
    EXPECT_TRUE(Visible(second));
    EXPECT_EQ(1, tabs->GetShownTab());
    EXPECT_EQ(1, (int)SendMessageA(tabs->GetHandle(), TCM_GETCURSEL, 0, 0));
}

TEST_F(TabControl, TheShownTabAgainTouchesNoWindowUntilReset)
{
    CTControl* tabs = MakeTabs(2);
    ASSERT_NE(nullptr, tabs);
    HWND page = Foreign(60);
    tabs->AddPage(page, 0);
    tabs->SelectTab(0);
    ASSERT_TRUE(Visible(page));
    ShowWindow(page, SW_HIDE);   // hidden behind the control's back
    tabs->SelectTab(0);
    EXPECT_FALSE(Visible(page));
    EXPECT_TRUE(tabs->ResetShownTab());
    EXPECT_EQ(-1, tabs->GetShownTab());
    tabs->SelectTab(0);
    EXPECT_TRUE(Visible(page));
}

TEST_F(TabControl, HidingHidesEveryPageAndShowingBringsBackTheRememberedTab)
{
    CTControl* tabs = MakeTabs(3);
    ASSERT_NE(nullptr, tabs);
    HWND a = Foreign(60), b = Foreign(90), c = Foreign(120);
    tabs->AddPage(a, 0);
    tabs->AddPage(b, 1);
    tabs->AddPage(c, 1);
    tabs->SelectTab(1);
    ShowWindow(a, SW_SHOW);   // a page of another tab that someone showed

    static_cast<IWindow*>(tabs)->Show(false);
    EXPECT_FALSE(Visible(tabs->GetHandle()));
    EXPECT_FALSE(Visible(a));
    EXPECT_FALSE(Visible(b));
    EXPECT_FALSE(Visible(c));

    // Selected while hidden: remembered, nothing shown, -1 answered.
    EXPECT_EQ(-1, tabs->SelectTab(0));
    EXPECT_FALSE(Visible(a));
    EXPECT_EQ(0, tabs->GetShownTab());
    // Pages added while hidden appear when it is shown.
    HWND late = Foreign(150);
    ShowWindow(late, SW_HIDE);
    tabs->AddPage(late, 0);

    static_cast<IWindow*>(tabs)->Show(true);
    EXPECT_TRUE(Visible(tabs->GetHandle()));
    EXPECT_TRUE(Visible(a));
    EXPECT_TRUE(Visible(late));
    EXPECT_FALSE(Visible(b));
    EXPECT_FALSE(Visible(c));
}

TEST_F(TabControl, ThePageTableHolds256EntriesAndRemovesTheFirstMatch)
{
    CTControl* tabs = MakeTabs(2);
    ASSERT_NE(nullptr, tabs);
    HWND a = Foreign(60), b = Foreign(90), c = Foreign(120);
    EXPECT_FALSE(tabs->AddPage(NULL, 0));
    ASSERT_TRUE(tabs->AddPage(a, 0));
    ASSERT_TRUE(tabs->AddPage(b, 1));
    ASSERT_TRUE(tabs->AddPage(a, 1));
    ASSERT_TRUE(tabs->AddPage(c, 1));
    EXPECT_TRUE(tabs->RemovePage(a));   // the first entry, (a, 0)
    EXPECT_EQ(3, tabs->GetPageCount());
    EXPECT_EQ(b, tabs->pageWindow[0]);
    EXPECT_EQ(a, tabs->pageWindow[1]);
    EXPECT_EQ(1, tabs->pageTab[1]);
    EXPECT_EQ(c, tabs->pageWindow[2]);
    EXPECT_FALSE(tabs->RemovePage(NULL));
    EXPECT_FALSE(tabs->RemovePage(host));

    // Filling up: entry 256 is accepted, the 257th refused.
    for (int n = 0; n < 256 && tabs->GetPageCount() < 256; ++n)
        ASSERT_TRUE(tabs->AddPage(c, 0));
    ASSERT_EQ(256, tabs->GetPageCount()) << "accepted entries that did not count";
    EXPECT_FALSE(tabs->AddPage(b, 1));
    EXPECT_EQ(256, tabs->GetPageCount());
    EXPECT_EQ(0, tabs->SelectTab(1));
    EXPECT_TRUE(Visible(a));   // (a, 1) is still there
    EXPECT_FALSE(Visible(c));
}

// The owner hears of the new tab while the old pages are still shown.
static HWND g_oldPage;
static bool g_oldPageVisibleAtEvent;
static int OnTabChanged(WindowEvent* e)
{
    g_oldPageVisibleAtEvent = Visible(g_oldPage);
    return RecordingCallback(e);
}

TEST_F(TabControl, AClickOnATabTellsTheOwnerFirstThenSwitchesThePages)
{
    CTControl* tabs = MakeTabs(3);
    ASSERT_NE(nullptr, tabs);
    HWND first = Foreign(60), third = Foreign(90);
    tabs->AddPage(first, 0);
    tabs->AddPage(third, 2);
    tabs->SelectTab(0);
    tabs->AddHandler(OnTabChanged, EV_SELECTION_CHANGED, 9, NULL);
    g_oldPage = first;
    g_oldPageVisibleAtEvent = false;

    RECT item;
    ASSERT_TRUE(SendMessageA(tabs->GetHandle(), TCM_GETITEMRECT, 2, (LPARAM)&item));
    LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONUP, 0, at);

    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_SELECTION_CHANGED, Recorded()[0].eventCode);
    EXPECT_EQ(2, Recorded()[0].param);
    EXPECT_EQ(9, Recorded()[0].user);
    EXPECT_TRUE(g_oldPageVisibleAtEvent);
    EXPECT_FALSE(Visible(first));
    EXPECT_TRUE(Visible(third));
    EXPECT_EQ(2, tabs->GetShownTab());
}

TEST_F(TabControl, TheSelectedTabNamesItsUserValue)
{
    CTControl* tabs = MakeTabs(3);
    ASSERT_NE(nullptr, tabs);
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    item.lParam = 4321;
    ASSERT_TRUE(SendMessageA(tabs->GetHandle(), TCM_SETITEMA, 2, (LPARAM)&item));
    tabs->SelectTab(2);
    tabs->ResetShownTab();
    LPARAM value = 0;
    EXPECT_EQ(2, tabs->GetSelectedTab(&value));
    EXPECT_EQ(4321, value);
    EXPECT_EQ(2, tabs->GetShownTab());   // taken from the control again
}

// The page rectangle: the tab strip's rows and margins taken off the control's rectangle.
class PageRectangle : public TabControl
{
protected:
    struct Strip
    {
        RECT item;
        int rows;
    };
    Strip Measure(CTControl* tabs)
    {
        Strip s = {};
        SendMessageA(tabs->GetHandle(), TCM_GETITEMRECT, 0, (LPARAM)&s.item);
        s.rows = (int)SendMessageA(tabs->GetHandle(), TCM_GETROWCOUNT, 0, 0);
        return s;
    }
};

TEST_F(PageRectangle, TabsOnTopInOneRow)
{
    CTControl* tabs = MakeTabs(3);
    ASSERT_NE(nullptr, tabs);
    ASSERT_TRUE(tabs->Layout(640, 480));
    Strip s = Measure(tabs);
    ASSERT_EQ(1, s.rows);
    int m = s.item.left, h = s.item.bottom - s.item.top;
    ASSERT_GT(h, 0);
    EXPECT_EQ(10 + h + 2 * m, tabs->ClientRect().top);
    EXPECT_EQ(310 - m, tabs->ClientRect().bottom);
    EXPECT_EQ(10 + m, tabs->ClientRect().left);
    EXPECT_EQ(410 - m, tabs->ClientRect().right);
}

TEST_F(PageRectangle, TwoRowsOfTabsOnTopTakeTwoTabHeights)
{
    CTControl* tabs = MakeTabs(0, WS_VISIBLE | TCS_MULTILINE, 260, 300);
    ASSERT_NE(nullptr, tabs);
    // Tabs are added until the strip wraps into a second row.
    Strip s = {};
    for (int i = 0; i < 10 && s.rows < 2; ++i) {
        tabs->InsertTab(i, "Поставщики", -1);
        s = Measure(tabs);
    }
    ASSERT_EQ(2, s.rows);
    ASSERT_TRUE(tabs->Layout(640, 480));
    int m = s.item.left, h = s.item.bottom - s.item.top;
    EXPECT_EQ(10 + 2 * h + 2 * m, tabs->ClientRect().top);
    EXPECT_EQ(310 - m, tabs->ClientRect().bottom);
}

TEST_F(PageRectangle, TabsAtTheBottomTakeTheStripOffTheBottom)
{
    CTControl* tabs = MakeTabs(3, WS_VISIBLE | TCS_BOTTOM);
    ASSERT_NE(nullptr, tabs);
    ASSERT_TRUE(tabs->Layout(640, 480));
    Strip s = Measure(tabs);
    int m = s.item.left, h = s.item.bottom - s.item.top;
    EXPECT_EQ(10 + m, tabs->ClientRect().top);
    EXPECT_EQ(310 - (s.rows * h + 2 * m), tabs->ClientRect().bottom);
    EXPECT_EQ(10 + m, tabs->ClientRect().left);
    EXPECT_EQ(410 - m, tabs->ClientRect().right);
    EXPECT_TRUE(tabs->Style() & TCS_BOTTOM);
}

TEST_F(PageRectangle, VerticalTabsOnEitherSide)
{
    CTControl* left = MakeTabs(3, WS_VISIBLE | TCS_VERTICAL | TCS_MULTILINE);
    ASSERT_NE(nullptr, left);
    ASSERT_TRUE(left->Layout(640, 480));
    Strip s = Measure(left);
    int m = s.item.top, w = s.item.right - s.item.left;
    EXPECT_EQ(10 + s.rows * w + 2 * m, left->ClientRect().left);
    EXPECT_EQ(410 - m, left->ClientRect().right);
    EXPECT_EQ(10 + m, left->ClientRect().top);
    EXPECT_EQ(310 - m, left->ClientRect().bottom);
    left->Destroy();

    CTControl* right = MakeTabs(3, WS_VISIBLE | TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE);
    ASSERT_NE(nullptr, right);
    ASSERT_TRUE(right->Layout(640, 480));
    s = Measure(right);
    m = s.item.top;
    w = s.item.right - s.item.left;
    EXPECT_EQ(10 + m, right->ClientRect().left);
    EXPECT_EQ(410 - (s.rows * w + 2 * m), right->ClientRect().right);
}

TEST_F(PageRectangle, WithoutTabsThereIsNoStripToMeasure)
{
    CTControl* tabs = MakeTabs(0);
    ASSERT_NE(nullptr, tabs);
    EXPECT_FALSE(tabs->Layout(640, 480));
    EXPECT_EQ(10, tabs->ClientRect().top);
    EXPECT_EQ(310, tabs->ClientRect().bottom);
}

TEST_F(PageRectangle, APageAnchoredToThePageRectangleFollowsTheTabControl)
{
    CTControl* tabs = MakeTabs(2);
    ASSERT_NE(nullptr, tabs);
    CBaseWindow* page = Make<CButton>(0, 0, 50, 50, WS_VISIBLE, "стр");
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(tabs->Anchor(NULL, ANCHOR_LEFT, 1));
    ASSERT_TRUE(tabs->Anchor(NULL, ANCHOR_TOP, 1));
    ASSERT_TRUE(tabs->Anchor(NULL, ANCHOR_RIGHT, 1));
    ASSERT_TRUE(tabs->Anchor(NULL, ANCHOR_BOTTOM, 1));
    ASSERT_TRUE(page->Anchor(tabs, ANCHOR_TOP, ANCHOR_TOP | ANCHOR_CLIENT_RECT | 1));
    ASSERT_TRUE(page->Anchor(tabs, ANCHOR_LEFT, ANCHOR_LEFT | ANCHOR_CLIENT_RECT | 1));
    ASSERT_TRUE(page->Anchor(tabs, ANCHOR_BOTTOM, ANCHOR_BOTTOM | ANCHOR_CLIENT_RECT | 1));
    ASSERT_TRUE(page->Anchor(tabs, ANCHOR_RIGHT, ANCHOR_RIGHT | ANCHOR_CLIENT_RECT | 1));
    frame->LayoutAll();
    RECT client;
    GetClientRect(host, &client);
    // The tab control fills the host; the page fills the tab control's page rectangle.
    EXPECT_EQ(client.right, tabs->Rect().right);
    EXPECT_EQ(client.bottom, tabs->Rect().bottom);
    RECT r = WindowRectInHost(page->GetHandle());
    EXPECT_EQ(tabs->ClientRect().top, r.top);
    EXPECT_EQ(tabs->ClientRect().left, r.left);
    EXPECT_EQ(tabs->ClientRect().bottom, r.bottom);
    EXPECT_EQ(tabs->ClientRect().right, r.right);
    EXPECT_GT(tabs->ClientRect().top, tabs->Rect().top);
}

}  // namespace
