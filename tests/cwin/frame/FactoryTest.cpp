// The control factory and the object table: type names, identifiers, the
// sweep, the full table, dialog pages from the test resources, attached items.
#include "FrameworkFixture.h"

namespace {

using Factory = FrameTest;

TEST_F(Factory, TheTwentyTypeNamesInKindOrder)
{
    const char* names[] = {"ComboBox", "Static", "EditBox", "Button", "ListBox", "ListView", "TreeView",
                           "TrackBar", "ProgBar", "TControl", "UpDown", "ScrollBar", "Dialog", "Custom",
                           "ReSizeBar", "ReBar", "ToolBar", "Graph", "DTPControl", "MDI"};
    for (int kind = 0; kind < 20; ++kind)
        EXPECT_STREQ(names[kind], CControlFactory::TypeName(kind)) << kind;
    EXPECT_EQ(nullptr, CControlFactory::TypeName(20));

    const int made[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 18};
    for (int kind : made) {
        CBaseWindow* c = Make(names[kind], 0, 0, 50, 20);
        ASSERT_NE(nullptr, c) << names[kind];
        EXPECT_EQ(kind, c->GetKind());
        EXPECT_EQ(frame, c->Owner());
    }
}

TEST_F(Factory, NamesAreExactAndUnknownOnesChangeNothing)
{
    Make("Button", 0, 0, 50, 20);
    EXPECT_EQ(nullptr, Make("button", 0, 0, 50, 20));
    EXPECT_EQ(nullptr, Make("Butto", 0, 0, 50, 20));
    EXPECT_EQ(nullptr, Make("MDIx", 0, 0, 50, 20));
    EXPECT_EQ(nullptr, Make(NULL, 0, 0, 50, 20));
    EXPECT_EQ(1, frame->GetControlCount());
    EXPECT_TRUE(boxes.Boxes().empty());
}

struct LaterBar final : CBaseWindow
{
    bool Create() override { return CreateWindowOf("STATIC"); }
};

TEST_F(Factory, AKindGetsItsClassWhenOneIsRegistered)
{
    EXPECT_FALSE(CControlFactory::SetControlMaker(20, MakeControlOf<LaterBar>));
    EXPECT_EQ(nullptr, CControlFactory::GetControlMaker(20));
    ScopedControlMaker none(KIND_RESIZEBAR, NULL);
    EXPECT_EQ(nullptr, Make("ReSizeBar", 0, 0, 50, 20));   // a kind without a class makes nothing
    {
        ScopedControlMaker later(KIND_RESIZEBAR, MakeControlOf<LaterBar>);
        CBaseWindow* bar = Make("ReSizeBar", 0, 0, 50, 20);
        ASSERT_NE(nullptr, bar);
        EXPECT_EQ(KIND_RESIZEBAR, bar->GetKind());
        EXPECT_EQ(1, frame->GetControlCount());
        bar->Destroy();
        Make("Static", 0, 0, 5, 5);     // the sweep frees it through its own class
        EXPECT_EQ(1, frame->GetControlCount());
    }
    EXPECT_EQ(nullptr, Make("ReSizeBar", 0, 0, 50, 20));   // the kind has no class again
}

int g_countedGone = 0;
struct CountedBar final : CBaseWindow
{
    ~CountedBar() override { ++g_countedGone; }
    bool Create() override { return CreateWindowOf("STATIC"); }
};

TEST_F(Factory, TheTableDeletesWhatItMadeAndLeavesAdoptedObjectsAlone)
{
    ScopedControlMaker counted(KIND_RESIZEBAR, MakeControlOf<CountedBar>);
    g_countedGone = 0;
    CBaseWindow* made = Make("ReSizeBar", 0, 0, 50, 20);
    ASSERT_NE(nullptr, made);
    CountedBar kept;
    ASSERT_NE(nullptr, frame->Adopt(&kept, ControlArgs().Parent(host).Place(0, 30, 50, 50)));
    EXPECT_EQ(2, frame->GetControlCount());
    made->Destroy();
    kept.Destroy();
    Make("Static", 0, 0, 5, 5);   // the sweep
    EXPECT_EQ(1, frame->GetControlCount());
    EXPECT_EQ(1, g_countedGone);   // the made one, through its own destructor; not the kept one
}

// A drawing surface whose storage the test keeps, so that being taken out of
// the table (Release) can be watched without the object going away.
struct WatchedSurface : CCustom
{
    bool released = false;
    bool releasedInside = false;
    CBaseWindow* madeInside = NULL;
    bool Release() override
    {
        released = true;
        return CCustom::Release();
    }
    // Pressing the button destroys the surface in its own window procedure
    // and makes a control.
    bool OnMouseButton(bool down) override
    {
        if (down) {
            Destroy();
            madeInside = owner->Factory().Create<CStatic>(
                ControlArgs().Parent(parent).Place(0, 0, 10, 10).Style(WS_VISIBLE));
            releasedInside = released;
        }
        return true;
    }
};

static bool InTable(CAppFrame* frame, CBaseWindow* object)
{
    for (int i = 0; i < frame->GetControlCount(); ++i)
        if (frame->GetControl(i) == object)
            return true;
    return false;
}

static int DestroySenderAndMake(WindowEvent* e)
{
    WatchedSurface* surface = static_cast<WatchedSurface*>(e->sender);
    IWindowOwner* frame = surface->Owner();
    HWND parent = surface->Parent();
    surface->Destroy();
    surface->madeInside =
        frame->Factory().Create<CStatic>(ControlArgs().Parent(parent).Place(0, 0, 10, 10).Style(WS_VISIBLE));
    surface->releasedInside = surface->released;
    return 0;
}

TEST_F(Factory, AHandlerThatDestroysItsSenderAndMakesAControlLeavesTheSenderUntilTheDispatchEnds)
{
    WatchedSurface surface;
    ASSERT_NE(nullptr, frame->CreateCustom(&surface, 10, 10, 60, 60, 0, WS_VISIBLE, NULL, host));
    surface.AddHandler(DestroySenderAndMake, EV_COMMAND, 0, NULL);
    SendMessageA(host, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)surface.GetHandle());
    EXPECT_NE(nullptr, surface.madeInside);
    EXPECT_FALSE(surface.releasedInside);
    EXPECT_TRUE(InTable(frame, &surface));
    EXPECT_EQ(2, frame->GetControlCount());
    // The next creation outside any dispatch takes it out.
    ASSERT_NE(nullptr, Make("Static", 0, 0, 5, 5));
    EXPECT_TRUE(surface.released);
    EXPECT_FALSE(InTable(frame, &surface));
    EXPECT_EQ(2, frame->GetControlCount());
}

TEST_F(Factory, AnObjectThatDestroysItselfInItsWindowProcedureStaysUntilTheProcedureReturns)
{
    WatchedSurface surface;
    ASSERT_NE(nullptr, frame->CreateCustom(&surface, 10, 10, 60, 60, 0, WS_VISIBLE, NULL, host));
    SendMessageA(surface.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_NE(nullptr, surface.madeInside);
    EXPECT_FALSE(surface.releasedInside);
    EXPECT_TRUE(InTable(frame, &surface));
    ASSERT_NE(nullptr, Make("Static", 0, 0, 5, 5));
    EXPECT_TRUE(surface.released);
    EXPECT_FALSE(InTable(frame, &surface));
}

TEST_F(Factory, IdentifiersFillTheSmallestGap)
{
    CBaseWindow* a = Make("Static", 0, 0, 10, 10);
    CBaseWindow* b = Make("Static", 0, 0, 10, 10);
    CBaseWindow* c = Make("Static", 0, 0, 10, 10);
    CBaseWindow* d = Make("Static", 0, 0, 10, 10);
    EXPECT_EQ(1, a->GetId());
    EXPECT_EQ(4, d->GetId());
    c->Destroy();                       // ids 1, 2, 4 stay counted until the sweep
    EXPECT_EQ(4, frame->GetControlCount());
    CBaseWindow* e = Make("Button", 0, 0, 10, 10);
    EXPECT_EQ(3, e->GetId());           // the sweep freed slot and id of the destroyed one
    EXPECT_EQ(4, frame->GetControlCount());
    EXPECT_EQ(e, frame->GetControl(3));  // order of entry; the gap closed
    EXPECT_EQ(d, frame->GetControl(2));
    EXPECT_EQ(1, frame->FindControlIndex(b->GetId()));
    CBaseWindow* found = NULL;
    EXPECT_TRUE(frame->FindControlByWindow(e->GetHandle(), &found));
    EXPECT_EQ(e, found);
}

TEST_F(Factory, AFullTableRefusesUntilADestroyedObjectIsSwept)
{
    for (int i = 0; i < 256; ++i)
        ASSERT_NE(nullptr, Make("Static", 0, 0, 2, 2, 0)) << i;
    EXPECT_EQ(nullptr, Make("Static", 0, 0, 2, 2, 0));
    EXPECT_EQ(256, frame->GetControlCount());
    EXPECT_EQ(nullptr, frame->AttachControl("Static", host, 1, NULL, 0, NULL));
    frame->GetControl(100)->Destroy();
    CBaseWindow* again = Make("Static", 0, 0, 2, 2, 0);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(101, again->GetId());
    EXPECT_EQ(256, frame->GetControlCount());
}

TEST_F(Factory, CreationPlacesTheWindowAndMakesItAChildOfItsParent)
{
    CBaseWindow* hidden = Make("Button", 5, 6, 55, 26, 0, "Hidden");
    EXPECT_FALSE(IsWindowVisible(hidden->GetHandle()));
    EXPECT_TRUE(hidden->Style() & WS_CHILD);   // a parent forces WS_CHILD
    EXPECT_EQ(host, GetParent(hidden->GetHandle()));
    RECT r = WindowRectInHost(hidden->GetHandle());
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(26, r.bottom);

    CBaseWindow* top = frame->CreateControl("Static", 0, 0, 50, 20, 0, WS_POPUP, NULL, NULL);
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(nullptr, top->Parent());
    EXPECT_FALSE(GetWindowLongA(top->GetHandle(), GWL_STYLE) & WS_CHILD);
}

using TypedCreation = FrameTest;

struct PlainButton final : CButton
{
};

TEST_F(TypedCreation, ACallNamesItsClassAndGetsItPlacedCountedAndShowingItsText)
{
    CButton* button = frame->Create<CButton>(
        ControlArgs().Parent(host).Place(5, 6, 55, 26).Style(WS_VISIBLE | BS_PUSHBUTTON).Text("50% %d"));
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(KIND_BUTTON, button->GetKind());
    EXPECT_EQ(1, button->GetId());
    EXPECT_EQ(frame, button->Owner());
    EXPECT_EQ(host, GetParent(button->GetHandle()));
    RECT r = WindowRectInHost(button->GetHandle());
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(6, r.top);
    EXPECT_EQ(55, r.right);
    EXPECT_EQ(26, r.bottom);
    char shown[32];
    GetWindowTextA(button->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("50% %d", shown);          // shown as it is, no format
    CListBox* list = frame->Create<CListBox>(
        ControlArgs().Parent(host).Place(0, 40, 100, 140).Style(WS_VISIBLE).ExStyle(WS_EX_CLIENTEDGE));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(KIND_LISTBOX, list->GetKind());
    EXPECT_TRUE(GetWindowLongA(list->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(2, frame->GetControlCount());
    EXPECT_EQ(list, frame->GetControl(1));
}

TEST_F(TypedCreation, AKindWhoseClassIsNotTheOneAskedForMakesNothing)
{
    {
        ScopedControlMaker other(KIND_BUTTON, MakeControlOf<CStatic>);
        EXPECT_EQ(nullptr, Make<CButton>(0, 0, 50, 20));
        EXPECT_EQ(0, frame->GetControlCount());
        CBaseWindow* byName = Make("Button", 0, 0, 50, 20);   // by name: whatever the kind's class is
        ASSERT_NE(nullptr, byName);
        EXPECT_NE(nullptr, dynamic_cast<CStatic*>(byName));
    }
    {
        ScopedControlMaker derived(KIND_BUTTON, MakeControlOf<PlainButton>);
        CButton* button = Make<CButton>(0, 30, 50, 50);       // a class derived from the one asked for
        ASSERT_NE(nullptr, button);
        EXPECT_NE(nullptr, dynamic_cast<PlainButton*>(button));
    }
    EXPECT_EQ(2, frame->GetControlCount());
    // Dialog pages have calls of their own.
    EXPECT_EQ(nullptr, frame->Create<CDialog>(ControlArgs().Parent(host).Place(0, 0, 100, 40).Style(WS_CHILD)));
    EXPECT_EQ(2, frame->GetControlCount());
}

using DialogPages = FrameTest;

TEST_F(DialogPages, AModelessPageRoutesItsItemsThroughTheFrame)
{
    CBaseWindow* page = frame->CreateControl("Dialog", 0, 0, 100, 40, 0, WS_CHILD | WS_VISIBLE,
                                             MAKEINTRESOURCEA(100), host);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(KIND_DIALOG, page->GetKind());
    EXPECT_EQ(host, GetParent(page->GetHandle()));
    CBaseWindow* build = frame->AttachControl("Button", page->GetHandle(), 1024, RecordingCallback,
                                              EV_COMMAND, NULL);
    ASSERT_NE(nullptr, build);
    EXPECT_EQ(1024, build->ItemId());
    EXPECT_EQ(page->GetHandle(), build->Parent());
    RECT item, dialog;
    GetWindowRect(build->GetHandle(), &item);
    GetWindowRect(page->GetHandle(), &dialog);
    EXPECT_EQ(item.left - dialog.left, build->Rect().left);
    SendMessageA(build->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(1024, Recorded()[0].user);       // shared handlers tell items apart by it
    EXPECT_EQ(EV_COMMAND, Recorded()[0].eventCode);

    IDialog* asDialog = dynamic_cast<IDialog*>(page);
    ASSERT_NE(nullptr, asDialog);
    EXPECT_TRUE(asDialog->SetItemText(1001, "%s-%d", "код", 5));
    char shown[32];
    GetDlgItemTextA(page->GetHandle(), 1001, shown, sizeof(shown));
    EXPECT_STREQ("код-5", shown);
    EXPECT_FALSE(asDialog->SetItemText(1001, NULL));
    GetDlgItemTextA(page->GetHandle(), 1001, shown, sizeof(shown));
    EXPECT_STREQ("код-5", shown);
}

TEST_F(DialogPages, MissingItemsAndMissingTemplatesGiveNull)
{
    CBaseWindow* page = frame->CreateControl("Dialog", 0, 0, 100, 40, 0, WS_CHILD, MAKEINTRESOURCEA(100), host);
    ASSERT_NE(nullptr, page);
    int before = frame->GetControlCount();
    EXPECT_EQ(nullptr, frame->AttachControl("EditBox", page->GetHandle(), 1500, RecordingCallback, 0, NULL));
    EXPECT_EQ(nullptr, frame->AttachControl("Editbox", page->GetHandle(), 1001, RecordingCallback, 0, NULL));
    EXPECT_EQ(before, frame->GetControlCount());
    EXPECT_EQ(nullptr, frame->CreateControl("Dialog", 0, 0, 100, 40, 0, WS_CHILD, MAKEINTRESOURCEA(999), host));
    EXPECT_EQ(before, frame->GetControlCount());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DialogPages, AnAttachedEditBoxReportsItsKeysLikeACreatedOne)
{
    CBaseWindow* page = frame->CreateControl("Dialog", 0, 0, 100, 40, 0, WS_CHILD | WS_VISIBLE,
                                             MAKEINTRESOURCEA(100), host);
    CBaseWindow* edit = frame->AttachControl("EditBox", page->GetHandle(), 1001, RecordingCallback,
                                             EV_COMMAND | EV_KEY_DOWN, NULL);
    ASSERT_NE(nullptr, edit);
    SetWindowTextA(edit->GetHandle(), "42");
    SendMessageA(edit->GetHandle(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(0, SendMessageA(edit->GetHandle(), WM_KEYDOWN, VK_RETURN, 0));
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(EV_KEY_DOWN, Recorded()[0].eventCode);
    EXPECT_EQ('A', Recorded()[0].param);
    EXPECT_EQ(1001, Recorded()[0].user);
    EXPECT_EQ(EV_COMMAND, Recorded()[1].eventCode);
    EXPECT_EQ("42", Recorded()[1].text);
}

// The modal page's init handler attaches its items and presses OK; the OK
// button's handler closes the dialog.
static CAppFrame* g_modalFrame;
static int g_itemsWhileOpen;
static bool g_sawInit;

static int CloseOnOk(WindowEvent* e)
{
    EndDialog(GetParent(e->sender->GetHandle()), IDOK);
    return 1;
}

static bool g_modalBrushAnswered;

static int InitModal(WindowEvent* e)
{
    g_sawInit = e->eventCode == EV_DIALOG_INIT;
    HWND dialog = e->sender->GetHandle();
    CBaseWindow* edit = g_modalFrame->AttachControl("EditBox", dialog, 1001, NULL, 0, NULL);
    if (edit) {
        // A dialog procedure answers a colour message with the brush itself.
        edit->SetColors(RGB(0, 0, 0), RGB(255, 255, 200));
        HDC dc = GetDC(edit->GetHandle());
        g_modalBrushAnswered = SendMessageA(dialog, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit->GetHandle()) ==
                               (LRESULT)edit->BackBrush();
        ReleaseDC(edit->GetHandle(), dc);
    }
    CBaseWindow* ok = g_modalFrame->AttachControl("Button", dialog, IDOK, CloseOnOk, EV_COMMAND, NULL);
    g_itemsWhileOpen = g_modalFrame->GetControlCount();
    if (ok)
        PostMessageA(ok->GetHandle(), BM_CLICK, 0, 0);
    return 0;
}

TEST_F(DialogPages, AModalPageRunsInsideCreateControlAndLeavesTheTableAsItWas)
{
    Make("Static", 0, 0, 10, 10);
    int before = frame->GetControlCount();
    g_modalFrame = frame;
    g_itemsWhileOpen = 0;
    g_sawInit = false;
    g_modalBrushAnswered = false;
    CBaseWindow* page = frame->CreateControl("Dialog", 0, 0, 100, 40, (ULONG_PTR)InitModal, 0,
                                             MAKEINTRESOURCEA(101), host);
    EXPECT_EQ(nullptr, page);
    EXPECT_TRUE(g_sawInit);
    EXPECT_TRUE(g_modalBrushAnswered);
    EXPECT_EQ(before + 3, g_itemsWhileOpen);   // the page and its two items
    EXPECT_EQ(before, frame->GetControlCount());
    EXPECT_EQ(nullptr, CDialog::currentModal);
}

TEST_F(DialogPages, AModelessPageHasACallOfItsOwnAndIsAlwaysAChild)
{
    CDialog* page =
        frame->CreatePage(MAKEINTRESOURCEA(100), ControlArgs().Parent(host).Place(0, 0, 100, 40).Style(WS_VISIBLE));
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(KIND_DIALOG, page->GetKind());
    EXPECT_TRUE(page->Style() & WS_CHILD);
    EXPECT_TRUE(GetWindowLongA(page->GetHandle(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(host, GetParent(page->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(page->GetHandle()));
    CEditBox* edit = frame->AttachItem<CEditBox>(page->GetHandle(), 1001, RecordingCallback, EV_COMMAND);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(1001, edit->ItemId());
    SetWindowTextA(edit->GetHandle(), "7");
    SendMessageA(edit->GetHandle(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(1001, Recorded()[0].user);
    EXPECT_EQ(2, frame->GetControlCount());
    EXPECT_EQ(nullptr, frame->AttachItem<CButton>(page->GetHandle(), 1500));
    EXPECT_EQ(nullptr, frame->CreatePage(MAKEINTRESOURCEA(999), ControlArgs().Parent(host)));
    EXPECT_EQ(2, frame->GetControlCount());
}

TEST_F(DialogPages, AModalPageRunsInItsOwnCallAndAnswersHowItWasClosed)
{
    Make<CStatic>(0, 0, 10, 10);
    int before = frame->GetControlCount();
    g_modalFrame = frame;
    g_itemsWhileOpen = 0;
    g_sawInit = false;
    EXPECT_EQ(IDOK, frame->RunModalPage(MAKEINTRESOURCEA(101), host, InitModal));
    EXPECT_TRUE(g_sawInit);
    EXPECT_EQ(before + 3, g_itemsWhileOpen);   // the page and its two items
    EXPECT_EQ(before, frame->GetControlCount());
    EXPECT_EQ(nullptr, CDialog::currentModal);
    // A template the module does not have: the dialog cannot be shown.
    EXPECT_EQ(-1, frame->RunModalPage(MAKEINTRESOURCEA(999), host, NULL));
    EXPECT_EQ(before, frame->GetControlCount());
}

// The init handler destroys an object that was in the table before the page.
static CBaseWindow* g_destroyedBelow;

static int InitDestroyingBelow(WindowEvent* e)
{
    g_destroyedBelow->Destroy();
    HWND dialog = e->sender->GetHandle();
    g_modalFrame->AttachControl("EditBox", dialog, 1001, NULL, 0, NULL);
    CBaseWindow* ok = g_modalFrame->AttachControl("Button", dialog, IDOK, CloseOnOk, EV_COMMAND, NULL);
    g_itemsWhileOpen = g_modalFrame->GetControlCount();
    if (ok)
        PostMessageA(ok->GetHandle(), BM_CLICK, 0, 0);
    return 0;
}

TEST_F(DialogPages, AnObjectDestroyedWhileAModalPageRunsDoesNotMoveThePageOrItsItems)
{
    CBaseWindow* below = Make("Static", 0, 0, 10, 10);
    CBaseWindow* kept = Make("Button", 0, 20, 10, 30);
    g_modalFrame = frame;
    g_destroyedBelow = below;
    g_itemsWhileOpen = 0;
    EXPECT_EQ(nullptr, frame->CreateControl("Dialog", 0, 0, 100, 40, (ULONG_PTR)InitDestroyingBelow, 0,
                                            MAKEINTRESOURCEA(101), host));
    EXPECT_EQ(5, g_itemsWhileOpen);           // two before, the page and its two items
    // The page and its items have left; the destroyed object goes at the next creation.
    ASSERT_EQ(2, frame->GetControlCount());
    EXPECT_EQ(below, frame->GetControl(0));
    EXPECT_EQ(kept, frame->GetControl(1));
    CBaseWindow* next = Make("Static", 0, 40, 10, 50);
    ASSERT_EQ(2, frame->GetControlCount());
    EXPECT_EQ(kept, frame->GetControl(0));
    EXPECT_EQ(next, frame->GetControl(1));
}

}  // namespace
