// Basic controls driven by real messages: the edit box's Enter, Escape and
// focus events, combo and list selection, the combo's drop height, buttons,
// static images from the shared icon cache, the date picker.
#include "FrameworkFixture.h"

#include <algorithm>

namespace {

using EditBox = FrameTest;
// Tests that move the keyboard focus.
using EditBoxOnDesktop = FrameTest;

TEST_F(EditBoxOnDesktop, EscapeRestoresTheTextOfWhenItGotTheFocus)
{
    CBaseWindow* other = Make<CButton>(200, 10, 260, 30, WS_VISIBLE, "x");
    CBaseWindow* edit = Make<CEditBox>(10, 10, 150, 30, WS_VISIBLE | WS_BORDER, "abc");
    ASSERT_NE(nullptr, edit);
    edit->AddHandler(RecordingCallback, EV_COMMAND | EV_CANCEL | EV_EDIT_BEGIN | EV_KEY_DOWN | EV_KEY_UP, 0, NULL);
    SetFocus(other->GetHandle());
    Recorded().clear();
    SetFocus(edit->GetHandle());
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_EDIT_BEGIN, Recorded()[0].eventCode);
    EXPECT_EQ(edit->GetHandle(), GetCapture());    // it wants EV_CANCEL: clicks outside come to it

    SendMessageA(edit->GetHandle(), WM_KEYDOWN, 'Z', 0);
    SendMessageA(edit->GetHandle(), WM_CHAR, 'z', 0);
    SendMessageA(edit->GetHandle(), WM_KEYUP, 'Z', 0);
    char shown[64];
    GetWindowTextA(edit->GetHandle(), shown, sizeof(shown));
    EXPECT_STRNE("abc", shown);
    EXPECT_EQ(0, SendMessageA(edit->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0));
    GetWindowTextA(edit->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("abc", shown);
    ASSERT_EQ(4u, Recorded().size());
    EXPECT_EQ(EV_KEY_DOWN, Recorded()[1].eventCode);
    EXPECT_EQ('Z', Recorded()[1].param);
    EXPECT_EQ((WPARAM)'Z', Recorded()[1].aux);
    EXPECT_EQ(EV_KEY_UP, Recorded()[2].eventCode);
    EXPECT_EQ(EV_CANCEL, Recorded()[3].eventCode);
    for (const SeenEvent& e : Recorded())
        EXPECT_NE(EV_COMMAND, e.eventCode);
}

TEST_F(EditBoxOnDesktop, EnterAcceptsTheTextAndIsNotPassedOn)
{
    CBaseWindow* edit = Make<CEditBox>(10, 10, 150, 60, WS_VISIBLE | WS_BORDER | ES_MULTILINE, "one");
    edit->AddHandler(RecordingCallback, EV_COMMAND, 0, NULL);
    SetFocus(edit->GetHandle());
    SendMessageA(edit->GetHandle(), EM_SETSEL, 3, 3);
    SendMessageA(edit->GetHandle(), WM_CHAR, '2', 0);
    EXPECT_EQ(0, SendMessageA(edit->GetHandle(), WM_KEYDOWN, VK_RETURN, 0));
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_COMMAND, Recorded()[0].eventCode);
    EXPECT_EQ("one2", Recorded()[0].text);
    EXPECT_EQ(1, SendMessageA(edit->GetHandle(), EM_GETLINECOUNT, 0, 0));
    EXPECT_NE(edit->GetHandle(), GetCapture());    // no EV_CANCEL handler: capture released
}

TEST_F(EditBoxOnDesktop, FocusLossAndAClickOutsideCancel)
{
    CBaseWindow* other = Make<CButton>(200, 10, 260, 30, WS_VISIBLE, "x");
    CBaseWindow* edit = Make<CEditBox>(10, 10, 150, 30, WS_VISIBLE | WS_BORDER, "keep");
    edit->AddHandler(RecordingCallback, EV_CANCEL, 0, NULL);
    SetFocus(edit->GetHandle());
    SendMessageA(edit->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));   // inside
    EXPECT_TRUE(Recorded().empty());
    SendMessageA(edit->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SetCapture(edit->GetHandle());
    SendMessageA(edit->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-20, 200));  // outside
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_CANCEL, Recorded()[0].eventCode);
    SendMessageA(edit->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(-20, 200));
    EXPECT_NE(edit->GetHandle(), GetCapture());
    SetFocus(other->GetHandle());
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(EV_CANCEL, Recorded()[1].eventCode);
    char shown[32];
    GetWindowTextA(edit->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("keep", shown);
}

TEST_F(EditBox, AppendTextInsertsAtTheCaret)
{
    CBaseWindow* made = Make<CEditBox>(10, 10, 150, 30, WS_VISIBLE, "ab");
    IEditBox* edit = dynamic_cast<IEditBox*>(made);
    ASSERT_NE(nullptr, edit);
    SendMessageA(made->GetHandle(), EM_SETSEL, 1, 1);
    edit->AppendText("%d", 7);
    char shown[32];
    GetWindowTextA(made->GetHandle(), shown, sizeof(shown));
    EXPECT_STREQ("a7b", shown);
}

using Selection = FrameTest;
using SelectionOnDesktop = FrameTest;

// Records the heights the combo box is asked to take.
static WNDPROC g_comboProc;
static std::vector<int> g_comboHeights;
static LRESULT CALLBACK WatchComboSize(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_WINDOWPOSCHANGING && !(reinterpret_cast<WINDOWPOS*>(lp)->flags & SWP_NOSIZE))
        g_comboHeights.push_back(reinterpret_cast<WINDOWPOS*>(lp)->cy);
    return CallWindowProcA(g_comboProc, w, m, wp, lp);
}

TEST_F(Selection, AComboSelectionChangeDeliversTheNewIndex)
{
    CBaseWindow* made = Make<CComboBox>(10, 10, 150, 120, WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL);
    IComboBox* combo = dynamic_cast<IComboBox*>(made);
    ASSERT_NE(nullptr, combo);
    combo->InsertString(-1, "первый");
    combo->InsertString(-1, "второй");
    combo->InsertString(-1, "третий");
    combo->SetCurSel(0);
    made->AddHandler(RecordingCallback, EV_COMMAND, 0, NULL);
    SendMessageA(made->GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_FALSE(Recorded().empty());
    EXPECT_EQ(1, Recorded().back().param);
    EXPECT_EQ(CBN_SELCHANGE, HIWORD(Recorded().back().aux));
    EXPECT_EQ(1, combo->GetCurSel());
    EXPECT_EQ(0, combo->DeleteString(-1));
    EXPECT_EQ(0, SendMessageA(made->GetHandle(), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(-1, combo->GetCurSel());
}

TEST_F(SelectionOnDesktop, AListBoxSelectionChangeDeliversTheNewIndex)
{
    CBaseWindow* made = Make<CListBox>(10, 10, 150, 120, WS_VISIBLE | LBS_NOTIFY);
    IListBox* list = dynamic_cast<IListBox*>(made);
    ASSERT_NE(nullptr, list);
    list->InsertString(-1, "a");
    list->InsertString(-1, "b");
    list->InsertString(-1, "c");
    list->SetCurSel(1);
    made->AddHandler(RecordingCallback, EV_COMMAND, 0, NULL);
    SetFocus(made->GetHandle());
    SendMessageA(made->GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_FALSE(Recorded().empty());
    EXPECT_EQ(2, Recorded().back().param);
    EXPECT_EQ(2, list->DeleteString(0));
    EXPECT_EQ(1, list->GetCurSel());
}

TEST_F(Selection, AComboAnchoredAtTheTopDropsDropRowsTimesItsClosedHeight)
{
    CBaseWindow* made = Make<CComboBox>(10, 10, 150, 200, WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL);
    CComboBox* combo = static_cast<CComboBox*>(made);
    RECT closed;
    GetWindowRect(made->GetHandle(), &closed);
    int h = closed.bottom - closed.top;
    RECT inHost = WindowRectInHost(made->GetHandle());
    EXPECT_EQ(inHost.left, made->Rect().left);    // kept in the parent's coordinates
    EXPECT_EQ(inHost.top, made->Rect().top);
    EXPECT_EQ(3, combo->dropRows);
    made->Anchor(NULL, ANCHOR_TOP, 21);
    g_comboHeights.clear();
    g_comboProc = (WNDPROC)SetWindowLongPtrA(made->GetHandle(), GWLP_WNDPROC, (LONG_PTR)WatchComboSize);
    frame->LayoutAll();
    SetWindowLongPtrA(made->GetHandle(), GWLP_WNDPROC, (LONG_PTR)g_comboProc);
    EXPECT_EQ(20, made->Rect().top);
    EXPECT_EQ(h, made->Rect().bottom - made->Rect().top);
    // The layout asks for the drop-down height; the control keeps its closed height itself.
    EXPECT_NE(g_comboHeights.end(), std::find(g_comboHeights.begin(), g_comboHeights.end(), 4 * h));
}

using Buttons = FrameTest;

// A button whose handler is in place before its window exists.
struct ButtonHandledFromTheStart final : CButton
{
    ButtonHandledFromTheStart() { AddHandler(RecordingCallback, EV_CLICK, 0, NULL); }
};

TEST_F(Buttons, HandlersGivenBeforeCreationAlsoGetTheCommand)
{
    ScopedControlMaker early(KIND_BUTTON, MakeControlOf<ButtonHandledFromTheStart>);
    CBaseWindow* button = Make<CButton>(10, 10, 100, 40);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(EV_CLICK | EV_COMMAND, button->HandlerMask(0));
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_COMMAND, Recorded()[0].eventCode);
}

TEST_F(Buttons, CheckBoxStateAndIconsSharedThroughTheRegistry)
{
    CBaseWindow* a = Make<CButton>(10, 10, 60, 60, WS_VISIBLE | BS_AUTOCHECKBOX | BS_ICON);
    CBaseWindow* b = Make<CButton>(70, 10, 120, 60, WS_VISIBLE | BS_PUSHBUTTON | BS_ICON);
    IButton* first = dynamic_cast<IButton*>(a);
    IButton* second = dynamic_cast<IButton*>(b);
    EXPECT_FALSE(first->GetCheck());
    SendMessageA(a->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(first->GetCheck());
    first->SetCheck(false);
    EXPECT_FALSE(first->GetCheck());

    CImageLists* lists = frame->GetImageLists();
    HIMAGELIST* strip = lists->LoadStrip(0, 300, IMAGE_BITMAP, ILC_COLOR24, 16, 16, 4, RGB(255, 0, 255));
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(4, ImageList_GetImageCount(*strip));
    EXPECT_EQ(0, lists->IndexOf(strip));
    EXPECT_FALSE(first->SetImage(0, 4));          // no such image: nothing sent
    EXPECT_FALSE(first->SetImage(5, 0));          // no such list
    EXPECT_TRUE(first->SetImage(0, 1));
    EXPECT_TRUE(second->SetImage(0, 1));
    HICON shownA = (HICON)SendMessageA(a->GetHandle(), BM_GETIMAGE, IMAGE_ICON, 0);
    HICON shownB = (HICON)SendMessageA(b->GetHandle(), BM_GETIMAGE, IMAGE_ICON, 0);
    ASSERT_NE(nullptr, shownA);
    EXPECT_EQ(shownA, shownB);
    EXPECT_EQ(1, lists->LiveIcons());
    IconEntry* again = lists->GetIcon(0, 1, ILD_NORMAL, a->GetId());
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(shownA, again->icon);
    EXPECT_EQ(1, lists->LiveIcons());
    EXPECT_NE(shownA, lists->GetIcon(0, 2, ILD_NORMAL, a->GetId())->icon);
    EXPECT_EQ(2, lists->LiveIcons());

    // The first key goes; the icon it shares with the second button stays.
    a->Destroy();
    EXPECT_EQ(1, lists->LiveIcons());
    EXPECT_EQ(shownB, lists->GetIcon(0, 1, ILD_NORMAL, b->GetId())->icon);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(shownB, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    b->Destroy();
    EXPECT_EQ(0, lists->LiveIcons());
}

TEST_F(Buttons, AKeyWhoseReferenceSitsBelowTheOwnerStillGetsTheSharedIcon)
{
    CImageLists* lists = frame->GetImageLists();
    ASSERT_NE(nullptr, lists->LoadStrip(0, 300, IMAGE_BITMAP, ILC_COLOR24, 16, 16, 4, RGB(255, 0, 255)));
    CBaseWindow* early = Make<CButton>(10, 10, 60, 60, WS_VISIBLE | BS_ICON);
    CBaseWindow* owner = Make<CButton>(70, 10, 120, 60, WS_VISIBLE | BS_ICON);
    CBaseWindow* late = Make<CButton>(130, 10, 180, 60, WS_VISIBLE | BS_ICON);
    ASSERT_TRUE(dynamic_cast<IButton*>(early)->SetImage(0, 2));   // the first entry
    ASSERT_TRUE(dynamic_cast<IButton*>(owner)->SetImage(0, 1));   // the owner of image 1, after it
    early->Destroy();                                               // the first entry is free again
    IButton* button = dynamic_cast<IButton*>(late);
    ASSERT_TRUE(button->SetImage(0, 1));                            // a reference in the freed first entry
    EXPECT_TRUE(button->SetImage(0, 1));                            // the same key asks again
    IconEntry* entry = lists->GetIcon(0, 1, ILD_NORMAL, late->GetId());
    ASSERT_NE(nullptr, entry);
    HICON shared = (HICON)SendMessageA(owner->GetHandle(), BM_GETIMAGE, IMAGE_ICON, 0);
    EXPECT_EQ(shared, entry->icon);
    EXPECT_EQ(shared, (HICON)SendMessageA(late->GetHandle(), BM_GETIMAGE, IMAGE_ICON, 0));
    EXPECT_EQ(1, lists->LiveIcons());
}

TEST_F(Buttons, AStaticShowsAnIconAndDrawAlignedPlacesAnImage)
{
    CImageLists* lists = frame->GetImageLists();
    HIMAGELIST* strip = lists->LoadStrip(3, 300, IMAGE_BITMAP, ILC_COLOR24, 16, 16, 4, RGB(255, 0, 255));
    ASSERT_NE(nullptr, strip);
    CBaseWindow* made = Make<CStatic>(10, 10, 42, 42, WS_VISIBLE | SS_ICON);
    IStatic* label = dynamic_cast<IStatic*>(made);
    EXPECT_TRUE(label->SetImage(3, 0));
    EXPECT_FALSE(label->SetImage(3, 7));

    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 64, 64};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    // Left edge at x = 20, centred on y = 20: the image covers 20..35 x 12..27;
    // its red square covers 23..32 x 15..24, the magenta around it is masked.
    ASSERT_TRUE(lists->DrawAligned(strip, 0, dc, ALIGN_LEFT_EDGE, 20, 20, ILD_TRANSPARENT));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 23, 15));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 32, 24));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 22, 15));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 23, 14));
    // Right and bottom edges at (50, 50): the square covers 37..46 x 37..46.
    ASSERT_TRUE(lists->DrawAligned(strip, 0, dc, ALIGN_RIGHT_EDGE | ALIGN_BOTTOM_EDGE, 50, 50, ILD_TRANSPARENT));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 37, 37));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 36, 37));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    HIMAGELIST* loaded = lists->LoadFromResource(4, 300, 16, 0, RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(4, ImageList_GetImageCount(*loaded));
    EXPECT_EQ(4, lists->IndexOf(loaded));
    EXPECT_TRUE(lists->DestroyList(3));
    EXPECT_FALSE(lists->DestroyList(32));
    EXPECT_EQ(nullptr, lists->LoadStrip(32, 300, IMAGE_BITMAP, ILC_COLOR24, 16, 16, 4, 0));
}

using DatePicker = FrameTest;
using DatePickerOnDesktop = FrameTest;

TEST_F(DatePickerOnDesktop, AChangedDateIsASelectionChange)
{
    CBaseWindow* picker = Make<CDTPControl>(10, 10, 200, 35);
    ASSERT_NE(nullptr, picker);
    char cls[64];
    GetClassNameA(picker->GetHandle(), cls, sizeof(cls));
    EXPECT_STREQ("SysDateTimePick32", cls);
    picker->AddHandler(RecordingCallback, EV_SELECTION_CHANGED, 0, NULL);
    SetFocus(picker->GetHandle());
    SendMessageA(picker->GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(picker->GetHandle(), WM_KEYDOWN, VK_UP, 0);
    ASSERT_FALSE(Recorded().empty());
    const SeenEvent& e = Recorded().back();
    EXPECT_EQ(EV_SELECTION_CHANGED, e.eventCode);
    EXPECT_EQ(e.notify, e.param);   // the notification header
}

TEST_F(DatePicker, AChangeNotificationAnswersZeroAndIsNotPassedOn)
{
    CBaseWindow* picker = Make<CDTPControl>(10, 10, 200, 35);
    ASSERT_NE(nullptr, picker);
    picker->AddHandler(RecordingCallback, EV_SELECTION_CHANGED, 0, NULL);
    Answer() = 7;
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = picker->GetHandle();
    change.nmhdr.idFrom = 33;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    GetLocalTime(&change.st);
    EXPECT_EQ(0, SendMessageA(host, WM_NOTIFY, 33, (LPARAM)&change));
    EXPECT_FALSE(frame->Router().WantsDefault());
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_SELECTION_CHANGED, Recorded()[0].eventCode);
    EXPECT_EQ(33u, Recorded()[0].aux);
    EXPECT_EQ((LPARAM)&change, Recorded()[0].notify);
}

}  // namespace

namespace {

using ItemList = FrameTest;

TEST_F(ItemList, TheComboBoxAndTheListBoxTakeTheSameItemOperations)
{
    CBaseWindow* combo = Make<CComboBox>(10, 10, 150, 120, WS_VISIBLE | CBS_DROPDOWNLIST);
    CBaseWindow* list = Make<CListBox>(10, 140, 150, 260, WS_VISIBLE | LBS_NOTIFY);
    IItemList* lists[2] = {dynamic_cast<IItemList*>(combo), dynamic_cast<IItemList*>(list)};
    HWND windows[2] = {combo->GetHandle(), list->GetHandle()};
    UINT counts[2] = {CB_GETCOUNT, LB_GETCOUNT};
    for (int i = 0; i < 2; ++i) {
        IItemList* items = lists[i];
        ASSERT_NE(nullptr, items);
        EXPECT_EQ(0, items->InsertString(-1, "a"));
        EXPECT_EQ(1, items->InsertString(-1, "b"));
        EXPECT_EQ(0, items->InsertString(0, "c"));    // c, a, b
        EXPECT_EQ(-1, items->GetCurSel());
        items->SetCurSel(2);
        EXPECT_EQ(2, items->GetCurSel());
        EXPECT_EQ(2, items->DeleteString(0));         // a, b left
        EXPECT_EQ(2, SendMessageA(windows[i], counts[i], 0, 0));
    }
    // The control interfaces still name the same operations.
    EXPECT_EQ(lists[0], static_cast<IItemList*>(dynamic_cast<IComboBox*>(combo)));
    EXPECT_EQ(lists[1], static_cast<IItemList*>(dynamic_cast<IListBox*>(list)));
    EXPECT_EQ(nullptr, dynamic_cast<IItemList*>(Make("Button", 200, 10, 260, 40)));
}

TEST_F(ItemList, ASelectionChangeOfEitherListReportsItsCurrentSelection)
{
    CBaseWindow* combo = Make<CComboBox>(10, 10, 150, 120, WS_VISIBLE | CBS_DROPDOWNLIST);
    CBaseWindow* list = Make<CListBox>(10, 140, 150, 260, WS_VISIBLE | LBS_NOTIFY);
    CBaseWindow* both[2] = {combo, list};
    for (CBaseWindow* made : both) {
        IItemList* items = dynamic_cast<IItemList*>(made);
        ASSERT_NE(nullptr, items);
        items->InsertString(-1, "a");
        items->InsertString(-1, "b");
        items->InsertString(-1, "c");
        items->SetCurSel(2);
        made->AddHandler(RecordingCallback, EV_COMMAND, 0, NULL);
        Recorded().clear();
        // CBN_SELCHANGE and LBN_SELCHANGE are both 1.
        SendMessageA(host, WM_COMMAND, MAKEWPARAM(0, 1), (LPARAM)made->GetHandle());
        ASSERT_EQ(1u, Recorded().size());
        EXPECT_EQ(made, Recorded()[0].sender);
        EXPECT_EQ(2, Recorded()[0].param);
    }
}

}  // namespace
