// The tree view over the real SysTreeView32: items by handle, the pre-order
// walk, the events of its notifications (selection, expanding, label editing,
// info tips, drag start), the indented text format saved and loaded through
// files and registry blocks, bad input to the loader, and subtree copies.
// Structure is read back with TVM_* messages straight from the control.
#include "FrameworkFixture.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/composite/TreeView.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

HTREEITEM Child(HWND tree, HTREEITEM item)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, item ? TVGN_CHILD : TVGN_ROOT, (LPARAM)item);
}

HTREEITEM Sibling(HWND tree, HTREEITEM item)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
}

HTREEITEM ParentOf(HWND tree, HTREEITEM item)
{
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
}

struct ItemInfo
{
    std::string text;
    int image = -9;
    int selected = -9;
    LPARAM param = -9;
};

ItemInfo Info(HWND tree, HTREEITEM item)
{
    char buffer[2048] = "";
    TVITEMA entry = {};
    entry.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    entry.hItem = item;
    entry.pszText = buffer;
    entry.cchTextMax = sizeof(buffer);
    ItemInfo info;
    if (SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&entry)) {
        info.text = entry.pszText;
        info.image = entry.iImage;
        info.selected = entry.iSelectedImage;
        info.param = entry.lParam;
    }
    return info;
}

// "text:value" per item, children in brackets, siblings separated by commas.
std::string Shape(HWND tree, HTREEITEM parent)
{
    std::string out;
    for (HTREEITEM at = Child(tree, parent); at; at = Sibling(tree, at)) {
        ItemInfo info = Info(tree, at);
        if (!out.empty())
            out += ",";
        out += info.text + ":" + std::to_string((long long)info.param);
        if (Child(tree, at))
            out += "[" + Shape(tree, at) + "]";
    }
    return out;
}

// "text=image/selected image" per item, nested like Shape.
std::string Images(HWND tree, HTREEITEM parent)
{
    std::string out;
    for (HTREEITEM at = Child(tree, parent); at; at = Sibling(tree, at)) {
        ItemInfo info = Info(tree, at);
        if (!out.empty())
            out += ",";
        out += info.text + "=" + std::to_string(info.image) + "/" + std::to_string(info.selected);
        if (Child(tree, at))
            out += "[" + Images(tree, at) + "]";
    }
    return out;
}

HTREEITEM Add(HWND tree, HTREEITEM parent, const char* text, LPARAM value, int image = 2)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = value;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    EXPECT_NE(nullptr, item);
    return item;
}

// A copy of the text in a block of the heap registry, sized to the text
// (no terminator when exact is set).
char* Block(const std::string& text, bool exact = false)
{
    char* block = NULL;
    if (!g_heapRegistry.Alloc(&block, text.size() + (exact ? 0 : 1)))
        return NULL;
    memcpy(block, text.data(), text.size());
    return block;
}

// A tree subclass that answers the loader's question itself for names that
// begin with '*', and records every question.
struct Parsed
{
    HTREEITEM parent;
    int number;
    std::string name;
};
std::vector<Parsed> g_parsed;

class OwnInsertTree : public CTreeView
{
public:
    HTREEITEM OnItemParsed(HTREEITEM parent, int number, const char* name) override
    {
        g_parsed.push_back(Parsed{parent, number, name});
        if (name[0] != '*')
            return NULL;
        return InsertItem(parent, NULL, (std::string("свой ") + (name + 1)).c_str(), 1, 1, number * 100);
    }
};

class TreeViewTest : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_parsed.clear();
    }

    CTreeView* MakeTree(DWORD extraStyle = 0)
    {
        CBaseWindow* made = Make<CTreeView>(10, 10, 400, 400,
                                 WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | extraStyle);
        tree = dynamic_cast<CTreeView*>(made);
        face = dynamic_cast<ITreeView*>(made);
        window = made ? made->GetHandle() : NULL;
        return tree;
    }

    // R:1 [A:2 [A1:3, A2:4 [A21:5]], B:6 [B1:7]], C:8 — folders 0/0, leaves 2/2.
    void MakeSample()
    {
        r = Add(window, NULL, "R", 1, 0);
        a = Add(window, r, "A", 2, 0);
        a1 = Add(window, a, "A1", 3);
        a2 = Add(window, a, "A2", 4, 0);
        a21 = Add(window, a2, "A21", 5);
        b = Add(window, r, "B", 6, 0);
        b1 = Add(window, b, "B1", 7);
        c = Add(window, NULL, "C", 8);
    }

    // Фрукты:1 [Яблоки зелёные:2 [Антоновка:3], Груши:-4], Овощи:5
    void MakeFruit()
    {
        fruit = Add(window, NULL, "Фрукты", 1, 0);
        apples = Add(window, fruit, "Яблоки зелёные", 2, 0);
        Add(window, apples, "Антоновка", 3);
        pears = Add(window, fruit, "Груши", -4);
        vegetables = Add(window, NULL, "Овощи", 5);
    }

    std::string FileBytes(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(path, &bytes)) << path;
        return bytes;
    }

    CTreeView* tree = NULL;
    ITreeView* face = NULL;
    HWND window = NULL;
    HTREEITEM r = NULL, a = NULL, a1 = NULL, a2 = NULL, a21 = NULL, b = NULL, b1 = NULL, c = NULL;
    HTREEITEM fruit = NULL, apples = NULL, pears = NULL, vegetables = NULL;
    ScratchDir dir;
};

// ---- the control and its items

TEST_F(TreeViewTest, TheFactoryMakesACommonTreeViewThatTakesItsColours)
{
    ASSERT_NE(nullptr, MakeTree());
    ASSERT_NE(nullptr, face);
    EXPECT_EQ(KIND_TREEVIEW, tree->GetKind());
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    EXPECT_STREQ("SysTreeView32", className);
    EXPECT_FALSE(tree->quiet);

    tree->SetColors(RGB(10, 20, 30), RGB(200, 210, 220));
    EXPECT_EQ(RGB(10, 20, 30), (COLORREF)SendMessageA(window, TVM_GETTEXTCOLOR, 0, 0));
    EXPECT_EQ(RGB(200, 210, 220), (COLORREF)SendMessageA(window, TVM_GETBKCOLOR, 0, 0));
}

TEST_F(TreeViewTest, ItemsAreInsertedAndReadByHandle)
{
    ASSERT_NE(nullptr, MakeTree());
    HTREEITEM first = face->InsertItem(NULL, NULL, "Яблоко", 2, 3, 42);
    ASSERT_NE(nullptr, first);
    HTREEITEM last = face->InsertItem(NULL, NULL, "Слива", 0, 1, -5);
    HTREEITEM between = face->InsertItem(NULL, first, "Груша", 1, 1, 7);   // after the first
    ASSERT_NE(nullptr, last);
    ASSERT_NE(nullptr, between);
    HTREEITEM inner = face->InsertItem(last, NULL, "Ренклод", 2, 2, 8);
    EXPECT_EQ("Яблоко:42,Груша:7,Слива:-5[Ренклод:8]", Shape(window, NULL));
    EXPECT_EQ("Яблоко=2/3,Груша=1/1,Слива=0/1[Ренклод=2/2]", Images(window, NULL));
    EXPECT_EQ(last, ParentOf(window, inner));

    // Texts go through the control's own buffer.
    EXPECT_STREQ("Груша", face->GetItemText(between));
    EXPECT_EQ(tree->Text(), face->GetItemText(first));
    EXPECT_STREQ("Яблоко", tree->Text());
    EXPECT_EQ(42, face->GetItemParam(first));
    EXPECT_EQ(-5, face->GetItemParam(last));
    EXPECT_EQ(nullptr, face->GetItemText(NULL));
    EXPECT_EQ(0, face->GetItemParam(NULL));

    EXPECT_TRUE(face->SetItemImages(first, 1, -1));   // -1: the same as the image
    EXPECT_EQ("Яблоко=1/1", Images(window, NULL).substr(0, 10));
    EXPECT_TRUE(face->SetItemImages(first, 0, 2));
    EXPECT_EQ(0, Info(window, first).image);
    EXPECT_EQ(2, Info(window, first).selected);
    EXPECT_FALSE(face->SetItemImages(NULL, 0, 0));

    EXPECT_EQ(nullptr, face->GetSelectedItem());
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)inner);
    EXPECT_EQ(inner, face->GetSelectedItem());
}

TEST_F(TreeViewTest, TheImageListIsTheNormalOne)
{
    ASSERT_NE(nullptr, MakeTree());
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(face->SetImageList(&list));
    EXPECT_EQ(list, (HIMAGELIST)SendMessageA(window, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    EXPECT_EQ(nullptr, (HIMAGELIST)SendMessageA(window, TVM_GETIMAGELIST, TVSIL_STATE, 0));
    EXPECT_FALSE(face->SetImageList(NULL));
    EXPECT_EQ(list, (HIMAGELIST)SendMessageA(window, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    SendMessageA(window, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(list);
}

// ---- the pre-order walk

TEST_F(TreeViewTest, ThePreorderWalkTellsLevelChangesAndChildren)
{
    ASSERT_NE(nullptr, MakeTree());
    int change = 99;
    bool children = true;
    EXPECT_EQ(nullptr, face->NextPreorder(NULL, &change, &children));   // an empty tree
    EXPECT_EQ(0, change);
    EXPECT_FALSE(children);

    MakeSample();
    struct Step
    {
        HTREEITEM from, to;
        int change;
        bool children;
    };
    // Worked by hand from the sample: down a level is +1, a sibling 0, and each
    // parent climbed through -1.
    const Step steps[] = {
        {NULL, r, 1, true},   {r, a, 1, true},      {a, a1, 1, false}, {a1, a2, 0, true},
        {a2, a21, 1, false},  {a21, b, -2, true},   // up through A2 and A to B, which has B1
        {b, b1, 1, false},    {b1, c, -2, false},   // up through B and R
        {c, NULL, 0, false},                        // C is at the top: nothing climbed
    };
    for (const Step& s : steps) {
        change = 99;
        children = !s.children;
        EXPECT_EQ(s.to, face->NextPreorder(s.from, &change, &children)) << Info(window, s.from).text;
        EXPECT_EQ(s.change, change) << Info(window, s.from).text;
        EXPECT_EQ(s.children, children) << Info(window, s.from).text;
    }
    EXPECT_EQ(a, face->NextPreorder(r, NULL, NULL));
}

TEST_F(TreeViewTest, FromTheLastItemTwoLevelsDownTheWalkEndsWithMinusTwo)
{
    ASSERT_NE(nullptr, MakeTree());
    HTREEITEM x = Add(window, NULL, "X", 1, 0);
    HTREEITEM y = Add(window, x, "Y", 2, 0);
    HTREEITEM z = Add(window, y, "Z", 3);
    int change = 0;
    bool children = true;
    EXPECT_EQ(nullptr, face->NextPreorder(z, &change, &children));
    EXPECT_EQ(-2, change);
    EXPECT_FALSE(children);
}

TEST_F(TreeViewTest, PathsCountPositionsAmongSiblingsFromTheTop)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    EXPECT_STREQ("1.1.2.1", face->GetItemPath(a21));
    EXPECT_STREQ("2", face->GetItemPath(c));
    EXPECT_STREQ("1.2.1", face->GetItemPath(b1));
    EXPECT_EQ(nullptr, face->GetItemPath(NULL));   // nothing selected
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b);
    EXPECT_STREQ("1.2", face->GetItemPath(NULL));
    EXPECT_EQ(tree->Text(), face->GetItemPath(NULL));
}

// ---- notifications

struct Notified
{
    int eventCode;
    INT_PTR param;
    UINT code;
    HWND from;
    HTREEITEM itemNew;
    std::string text;   // the label edit's text
};
std::vector<Notified> g_notified;
int g_notifyAnswer = 0;

int OnTreeEvent(WindowEvent* e)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(e->notify);
    Notified seen = {e->eventCode, e->param, header ? header->code : 0, header ? header->hwndFrom : NULL, NULL, ""};
    if (header && (header->code == (UINT)TVN_SELCHANGEDA))
        seen.itemNew = reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem;
    if (header && (header->code == (UINT)TVN_BEGINLABELEDITA || header->code == (UINT)TVN_ENDLABELEDITA)) {
        NMTVDISPINFOA* info = reinterpret_cast<NMTVDISPINFOA*>(header);
        seen.itemNew = info->item.hItem;
        seen.text = info->item.pszText ? info->item.pszText : "(null)";
    }
    if (header && header->code == (UINT)TVN_GETINFOTIPA) {
        NMTVGETINFOTIPA* tip = reinterpret_cast<NMTVGETINFOTIPA*>(header);
        seen.itemNew = tip->hItem;
        snprintf(tip->pszText, tip->cchTextMax, "Подсказка %d", (int)tip->lParam);
    }
    g_notified.push_back(seen);
    return g_notifyAnswer;
}

class TreeEvents : public TreeViewTest
{
protected:
    void SetUp() override
    {
        TreeViewTest::SetUp();
        g_notified.clear();
        g_notifyAnswer = 0;
    }
};

TEST_F(TreeEvents, ASelectionNamesTheSelectedItemUnlessTheTreeIsQuiet)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    ASSERT_EQ(0, tree->AddHandler(OnTreeEvent, EV_SELECTION_CHANGED, 0, NULL));
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)a2);
    ASSERT_EQ(1u, g_notified.size());
    EXPECT_EQ(EV_SELECTION_CHANGED, g_notified[0].eventCode);
    EXPECT_EQ((INT_PTR)a2, g_notified[0].param);
    EXPECT_EQ((UINT)TVN_SELCHANGEDA, g_notified[0].code);
    EXPECT_EQ(window, g_notified[0].from);
    EXPECT_EQ(a2, g_notified[0].itemNew);

    tree->quiet = true;
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)c);
    EXPECT_EQ(1u, g_notified.size());
    EXPECT_EQ(c, face->GetSelectedItem());
    tree->quiet = false;
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b1);
    ASSERT_EQ(2u, g_notified.size());
    EXPECT_EQ((INT_PTR)b1, g_notified[1].param);
}

TEST_F(TreeEvents, ExpandingShowsTheOpenFolderAndCollapsingTheClosedOne)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)r);
    // The keys a user presses on the selected item: right opens it, left closes it.
    SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(SendMessageA(window, TVM_GETITEMSTATE, (WPARAM)r, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(1, Info(window, r).image);
    EXPECT_EQ(1, Info(window, r).selected);
    SendMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(SendMessageA(window, TVM_GETITEMSTATE, (WPARAM)r, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(0, Info(window, r).image);
    EXPECT_EQ(0, Info(window, r).selected);

    // Opened again, and one level further down.
    SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(1, Info(window, r).image);
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)a);
    SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(SendMessageA(window, TVM_GETITEMSTATE, (WPARAM)a, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(1, Info(window, a).image);
    EXPECT_EQ("A1=2/2,A2=0/0[A21=2/2]", Images(window, a));   // its children keep theirs
}

// The label's edit box takes the keyboard focus.
using TreeEventsOnDesktop = TreeEvents;

TEST_F(TreeEventsOnDesktop, LabelEditsAskTheOwnerAtTheBeginningAndTheEnd)
{
    ASSERT_NE(nullptr, MakeTree(TVS_EDITLABELS));
    MakeSample();
    ASSERT_EQ(0, tree->AddHandler(OnTreeEvent, EV_EDIT_BEGIN | EV_EDIT_END, 0, NULL));

    // A non-zero answer at the beginning refuses the edit.
    g_notifyAnswer = 1;
    EXPECT_EQ(nullptr, (HWND)SendMessageA(window, TVM_EDITLABELA, 0, (LPARAM)a1));
    ASSERT_EQ(1u, g_notified.size());
    EXPECT_EQ(EV_EDIT_BEGIN, g_notified[0].eventCode);
    EXPECT_EQ((UINT)TVN_BEGINLABELEDITA, g_notified[0].code);
    EXPECT_EQ(a1, g_notified[0].itemNew);

    // Allowed, then ended with a new text that the owner accepts. (Wine's tree
    // may ask about the end twice; what counts is the owner's answer.)
    g_notifyAnswer = 0;
    g_notified.clear();
    HWND editor = (HWND)SendMessageA(window, TVM_EDITLABELA, 0, (LPARAM)a1);
    ASSERT_NE(nullptr, editor);
    ASSERT_EQ(1u, g_notified.size());
    EXPECT_EQ(EV_EDIT_BEGIN, g_notified[0].eventCode);
    SetWindowTextA(editor, "Антоновка");
    g_notifyAnswer = 1;
    SendMessageA(window, TVM_ENDEDITLABELNOW, FALSE, 0);
    Pump();
    ASSERT_LE(2u, g_notified.size());
    EXPECT_EQ(EV_EDIT_END, g_notified[1].eventCode);
    EXPECT_EQ((UINT)TVN_ENDLABELEDITA, g_notified[1].code);
    EXPECT_EQ(a1, g_notified[1].itemNew);
    EXPECT_EQ("Антоновка", g_notified[1].text);
    EXPECT_EQ("Антоновка", Info(window, a1).text);
    // The walk and the saved file have the new text too.
    std::string path = dir.File("edited.txt");
    ASSERT_TRUE(face->SaveToFile(a, path.c_str(), ' '));
    // From A: its children, then the rest of the tree; the walk climbs two
    // levels after B1, where the indent cannot go below zero.
    EXPECT_EQ("{\r\n 3 Антоновка \r\n 4 A2 \r\n {\r\n  5 A21 \r\n }\r\n}\r\n6 B \r\n{\r\n 7 B1 \r\n}\r\n}\r\n"
              "8 C \r\n",
              FileBytes(path));

    // An answer of zero at the end keeps the old text.
    g_notifyAnswer = 0;
    g_notified.clear();
    editor = (HWND)SendMessageA(window, TVM_EDITLABELA, 0, (LPARAM)a1);
    ASSERT_NE(nullptr, editor);
    SetWindowTextA(editor, "Шафран");
    SendMessageA(window, TVM_ENDEDITLABELNOW, FALSE, 0);
    Pump();
    ASSERT_LE(2u, g_notified.size());
    EXPECT_EQ(EV_EDIT_END, g_notified[1].eventCode);
    EXPECT_EQ("Шафран", g_notified[1].text);
    EXPECT_EQ("Антоновка", Info(window, a1).text);
    ASSERT_TRUE(face->SaveToFile(a, path.c_str(), ' '));
    EXPECT_EQ(0u, FileBytes(path).find("{\r\n 3 Антоновка \r\n 4 A2 \r\n")) << FileBytes(path);

    // An edit the mouse begins (a click on the selected item's label): the
    // new text reaches the file although no one named the item.
    SendMessageA(window, TVM_SELECTITEM, TVGN_CARET, (LPARAM)b1);
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, (LPARAM)r);
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, (LPARAM)b);
    RECT label;
    memcpy(&label, &b1, sizeof(b1));   // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(window, TVM_GETITEMRECT, TRUE, (LPARAM)&label));
    g_notifyAnswer = 0;
    g_notified.clear();
    LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    PostMessageA(window, WM_LBUTTONUP, 0, at);   // ends the control's wait for a drag
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    HWND mouseEditor = NULL;
    PumpUntil([&] {   // the edit begins on a timer
        mouseEditor = (HWND)SendMessageA(window, TVM_GETEDITCONTROL, 0, 0);
        return mouseEditor != NULL;
    });
    if (!mouseEditor)
        GTEST_SKIP() << "no label edit from a click on this platform";
    SetWindowTextA(mouseEditor, "Слива");
    g_notifyAnswer = 1;
    SendMessageA(mouseEditor, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    ASSERT_EQ("Слива", Info(window, b1).text);
    ASSERT_TRUE(face->SaveToFile(b, path.c_str(), ' '));
    EXPECT_EQ("{\r\n 7 Слива \r\n}\r\n}\r\n8 C \r\n", FileBytes(path));
}

TEST_F(TreeEvents, InfoTipRequestsReachTheOwner)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    ASSERT_EQ(0, tree->AddHandler(OnTreeEvent, EV_INFO_TIP, 0, NULL));
    // What the control sends its parent when its tooltip wants a text.
    char tip[80] = "";
    NMTVGETINFOTIPA request = {};
    request.hdr.hwndFrom = window;
    request.hdr.idFrom = 0;
    request.hdr.code = TVN_GETINFOTIPA;
    request.pszText = tip;
    request.cchTextMax = sizeof(tip);
    request.hItem = b;
    request.lParam = 6;
    SendMessageA(host, WM_NOTIFY, 0, (LPARAM)&request);
    ASSERT_EQ(1u, g_notified.size());
    EXPECT_EQ(EV_INFO_TIP, g_notified[0].eventCode);
    EXPECT_EQ(b, g_notified[0].itemNew);
    EXPECT_STREQ("Подсказка 6", tip);
}

std::vector<int> g_dragCodes;      // the event's code: 0 start, 512 move, 514 drop
UINT g_dragStartNotification = 0;

int OnTreeDrag(WindowEvent* e)
{
    g_dragCodes.push_back(e->code);
    if (e->code == 0)   // the start: param is the notification
        g_dragStartNotification = reinterpret_cast<NMHDR*>(e->param)->code;
    return 1;           // let the drag begin
}

TEST_F(TreeEvents, DraggingAnItemStartsTheFramesDrag)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    g_dragCodes.clear();
    g_dragStartNotification = 0;
    ASSERT_EQ(0, tree->AddHandler(OnTreeDrag, EV_DRAG, 0, NULL));
    RECT itemRect;
    memcpy(&itemRect, &r, sizeof(r));   // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(window, TVM_GETITEMRECT, TRUE, (LPARAM)&itemRect));
    int x = itemRect.left + 3, y = (itemRect.top + itemRect.bottom) / 2;
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 40, y + 40));   // beyond the drag distance
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
    ASSERT_EQ(1u, g_dragCodes.size());
    EXPECT_EQ(0, g_dragCodes[0]);
    EXPECT_EQ((UINT)TVN_BEGINDRAGA, g_dragStartNotification);
    EXPECT_EQ(frame->GetControlCount() - 1, frame->Drag().GetSource());
    SendMessageA(host, WM_LBUTTONUP, 0, MAKELPARAM(600, 400));   // dropped on nothing
    ASSERT_EQ(2u, g_dragCodes.size());
    EXPECT_EQ(514, g_dragCodes[1]);
    EXPECT_EQ(-1, frame->Drag().GetSource());
}

// ---- saving

// The fruit tree with TAB indentation, worked by hand from the walk:
//   Фрукты   +1, no item before: no brace      "1 Фрукты \r\n"
//   Яблоки   +1: brace at Фрукты's indent      "{\r\n"  "\t2 Яблоки зелёные \r\n"
//   Антоновка +1                               "\t{\r\n" "\t\t3 Антоновка \r\n"
//   Груши    -1: one indent less, closing      "\t}\r\n" "\t-4 Груши \r\n"
//   Овощи    -1                                "}\r\n"   "5 Овощи \r\n"
//   end       0
const char kFruitFile[] =
    "1 Фрукты \r\n{\r\n\t2 Яблоки зелёные \r\n\t{\r\n\t\t3 Антоновка \r\n\t}\r\n\t-4 Груши \r\n}\r\n5 Овощи \r\n";

TEST_F(TreeViewTest, SavingWritesTheIndentedFormatByteForByte)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeFruit();
    std::string path = dir.File("fruit.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    EXPECT_EQ(std::string(kFruitFile), FileBytes(path)) << Escaped(FileBytes(path));

    // Another indent character, same structure.
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '.'));
    EXPECT_EQ(std::string("1 Фрукты \r\n{\r\n.2 Яблоки зелёные \r\n.{\r\n..3 Антоновка \r\n.}\r\n.-4 Груши \r\n}\r\n"
                          "5 Овощи \r\n"),
              FileBytes(path));
}

TEST_F(TreeViewTest, ARoundTripKeepsShapeValuesAndTextsWhichGainTheirSpace)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeFruit();
    std::string path = dir.File("fruit.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    ASSERT_EQ(nullptr, Child(window, NULL));

    ASSERT_TRUE(face->LoadFromFile(NULL, path.c_str()));
    EXPECT_EQ("Фрукты :1[Яблоки зелёные :2[Антоновка :3],Груши :-4],Овощи :5", Shape(window, NULL));
    // Items with children from the file are folders, the others leaves.
    EXPECT_EQ("Фрукты =0/0[Яблоки зелёные =0/0[Антоновка =2/2],Груши =2/2],Овощи =2/2", Images(window, NULL));

    // Under a given parent the whole file goes one level down; the parent
    // keeps its own images.
    HTREEITEM holder = Add(window, NULL, "Склад", 9);
    ASSERT_TRUE(face->LoadFromFile(holder, path.c_str()));
    EXPECT_EQ("Фрукты :1[Яблоки зелёные :2[Антоновка :3],Груши :-4],Овощи :5", Shape(window, holder));
    EXPECT_EQ("Склад=2/2", Images(window, NULL).substr(Images(window, NULL).rfind("Склад"), 9));
}

TEST_F(TreeViewTest, SavingFromAStartItemBeginsAtItsChildrenAndRunsToTheEnd)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeFruit();
    std::string path = dir.File("part.txt");
    // From Фрукты: its own line is left out, its children are opened, and the
    // walk goes on past its subtree to Овощи.
    ASSERT_TRUE(face->SaveToFile(fruit, path.c_str(), '\t'));
    EXPECT_EQ(std::string("{\r\n\t2 Яблоки зелёные \r\n\t{\r\n\t\t3 Антоновка \r\n\t}\r\n\t-4 Груши \r\n}\r\n"
                          "5 Овощи \r\n"),
              FileBytes(path));

    // From Яблоки, one level down: leaving its subtree climbs two levels to
    // Овощи, more than the walk went down; the indent stays at none.
    ASSERT_TRUE(face->SaveToFile(apples, path.c_str(), '\t'));
    EXPECT_EQ(std::string("{\r\n\t3 Антоновка \r\n}\r\n-4 Груши \r\n}\r\n5 Овощи \r\n"), FileBytes(path));
}

TEST_F(TreeViewTest, SavingAnEmptyTreeWritesAnEmptyFileAndBadPathsFail)
{
    ASSERT_NE(nullptr, MakeTree());
    std::string path = dir.File("empty.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    EXPECT_EQ("", FileBytes(path));
    EXPECT_FALSE(face->SaveToFile(NULL, dir.File("no such folder\\x.txt").c_str(), '\t'));
    EXPECT_FALSE(face->SaveToFile(NULL, NULL, '\t'));
}

// ---- loading

TEST_F(TreeViewTest, AFileWithoutBracesGivesTopLevelItemsUnderTheParent)
{
    ASSERT_NE(nullptr, MakeTree());
    HTREEITEM holder = Add(window, NULL, "Склад", 9);
    HTREEITEM other = Add(window, NULL, "Другое", 10);
    std::string path = dir.File("flat.txt");
    ASSERT_TRUE(WriteBytes(path, "1 Сахар\r\n2 Соль  крупная\r\n\r\n3 Мука"));   // no line end after the last
    ASSERT_TRUE(face->LoadFromFile(holder, path.c_str()));
    EXPECT_EQ("Склад:9[Сахар:1,Соль  крупная:2,Мука:3],Другое:10", Shape(window, NULL));
    EXPECT_EQ("Склад=2/2[Сахар=2/2,Соль  крупная=2/2,Мука=2/2],Другое=2/2", Images(window, NULL));
    EXPECT_EQ(nullptr, Child(window, other));
}

TEST_F(TreeViewTest, EmptyAndMissingFilesAreRefused)
{
    ASSERT_NE(nullptr, MakeTree());
    std::string empty = dir.File("empty.txt");
    ASSERT_TRUE(WriteBytes(empty, ""));
    EXPECT_FALSE(face->LoadFromFile(NULL, empty.c_str()));
    EXPECT_FALSE(face->LoadFromFile(NULL, dir.File("missing.txt").c_str()));
    EXPECT_FALSE(face->LoadFromFile(NULL, NULL));
    EXPECT_EQ("", Shape(window, NULL));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TreeViewTest, LinesWithoutANumberTakeTheirFirstRunAsOne)
{
    ASSERT_NE(nullptr, MakeTree());
    // "ab": ('a' - '0') * 10 + ('b' - '0') = 49 * 10 + 50 = 540.
    // "Я" is byte 223: 223 - 48 = 175. "-5": the writer's sign, -5.
    // "7" alone has no name and is dropped at the line end.
    // A TAB ends a name: "x" is the name, "y" starts a run that the line end drops.
    char* text = Block("ab cd\r\nЯ ёж\r\n-5 минус\r\n7\r\n8 H\r\n9 x\ty\r\n");
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(face->ParseText(NULL, text));
    g_heapRegistry.Free(&text);
    EXPECT_EQ("cd:540,ёж:175,минус:-5,H:8,x:9", Shape(window, NULL));
}

TEST_F(TreeViewTest, ExtraClosingBracesStopAtTheParentTheLoadBeganUnder)
{
    ASSERT_NE(nullptr, MakeTree());
    HTREEITEM holder = Add(window, NULL, "P", 1);
    Add(window, NULL, "Q", 2);
    // A closing brace before anything, two too many in the middle, and the
    // last opening brace never closed.
    const std::string unbalanced = "}\r\n3 A\r\n{\r\n4 B\r\n}\r\n}\r\n}\r\n5 C\r\n{\r\n6 D\r\n";
    char* text = Block(unbalanced);
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(face->ParseText(holder, text));
    EXPECT_EQ("P:1[A:3[B:4],C:5[D:6]],Q:2", Shape(window, NULL));

    // At the top level the same text stays at the top level.
    EXPECT_TRUE(face->ParseText(NULL, text));
    g_heapRegistry.Free(&text);
    EXPECT_EQ("P:1[A:3[B:4],C:5[D:6]],Q:2,A:3[B:4],C:5[D:6]", Shape(window, NULL));

    // Braces on the item's own line; a brace with no item before it opens nothing.
    SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    text = Block("{\r\n1 E{2 F}3 G\r\n");
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(face->ParseText(NULL, text));
    g_heapRegistry.Free(&text);
    EXPECT_EQ("E:1[F:2],G:3", Shape(window, NULL));
    EXPECT_EQ("E=0/0[F=2/2],G=2/2", Images(window, NULL));
}

TEST_F(TreeViewTest, AFileTwoHundredLevelsDeepLoadsAndSavesAgain)
{
    ASSERT_NE(nullptr, MakeTree());
    // Item i at depth i, in the writer's own format.
    const int levels = 200;
    std::string file;
    for (int i = 0; i < levels; ++i) {
        file += std::string(i, '\t') + std::to_string(i) + " L" + std::to_string(i) + " \r\n";
        if (i + 1 < levels)
            file += std::string(i, '\t') + "{\r\n";
    }
    for (int i = levels - 2; i >= 0; --i)
        file += std::string(i, '\t') + "}\r\n";
    std::string path = dir.File("deep.txt");
    ASSERT_TRUE(WriteBytes(path, file));
    ASSERT_TRUE(face->LoadFromFile(NULL, path.c_str()));

    HTREEITEM deepest = NULL;
    int depth = 0;
    for (HTREEITEM at = Child(window, NULL); at; at = Child(window, at)) {
        EXPECT_EQ(nullptr, Sibling(window, at));
        EXPECT_EQ(depth, (int)Info(window, at).param);
        deepest = at;
        ++depth;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ("L199 ", Info(window, deepest).text);
    int change = 0;
    EXPECT_EQ(nullptr, face->NextPreorder(deepest, &change, NULL));
    EXPECT_EQ(-(levels - 1), change);
    std::string ones;
    for (int i = 0; i < levels; ++i)
        ones += i ? ".1" : "1";
    EXPECT_STREQ(ones.c_str(), face->GetItemPath(deepest));

    // Saved again, each text has gained one more space.
    std::string again = dir.File("again.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, again.c_str(), '\t'));
    std::string expected = file;
    for (size_t at = expected.find(" \r\n"); at != std::string::npos; at = expected.find(" \r\n", at + 4))
        expected.insert(at, " ");
    EXPECT_EQ(expected, FileBytes(again));
}

TEST_F(TreeViewTest, OnlyTheBytesOfARegistryBlockAreParsed)
{
    ASSERT_NE(nullptr, MakeTree());
    EXPECT_FALSE(face->ParseText(NULL, NULL));

    // A block filled to its last byte, no terminator: the name ends with the block.
    char* exact = Block("1 Abc", true);
    ASSERT_NE(nullptr, exact);
    ASSERT_EQ(5u, g_heapRegistry.Size(exact));
    EXPECT_TRUE(face->ParseText(NULL, exact));
    EXPECT_EQ("Abc:1", Shape(window, NULL));

    // A pointer into the block is no block: nothing is read.
    EXPECT_TRUE(face->ParseText(NULL, exact + 2));
    EXPECT_EQ("Abc:1", Shape(window, NULL));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Heap NOT found in array CWIN_HEAP_INFO_NUM", boxes.Boxes()[0].text);
    g_heapRegistry.Free(&exact);

    // Nor is a text on the stack.
    char local[] = "2 Стек\r\n";
    EXPECT_TRUE(face->ParseText(NULL, local));
    EXPECT_EQ("Abc:1", Shape(window, NULL));
    EXPECT_EQ(2u, boxes.Boxes().size());
}

TEST_F(TreeViewTest, NamesLongerThanTheTextBufferAreCut)
{
    ASSERT_NE(nullptr, MakeTree());
    std::string longName(3000, 'w');
    char* text = Block("1 " + longName + "\r\n2 next\r\n");
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(face->ParseText(NULL, text));
    g_heapRegistry.Free(&text);
    EXPECT_EQ(longName.substr(0, 1023) + ":1,next:2", Shape(window, NULL));
}

TEST_F(TreeViewTest, TheOwnerMayInsertParsedItemsItself)
{
    ScopedControlMaker own(KIND_TREEVIEW, MakeControlOf<OwnInsertTree>);
    ASSERT_NE(nullptr, MakeTree());
    HTREEITEM holder = Add(window, NULL, "P", 1);
    char* text = Block("1 A\r\n{\r\n2 *B\r\n{\r\n3 C\r\n}\r\n}\r\n");
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(face->ParseText(holder, text));
    g_heapRegistry.Free(&text);

    // The owner's item takes children like one of the loader's.
    EXPECT_EQ("P:1[A:1[свой B:200[C:3]]]", Shape(window, NULL));
    EXPECT_EQ("P=2/2[A=0/0[свой B=0/0[C=2/2]]]", Images(window, NULL));
    ASSERT_EQ(3u, g_parsed.size());
    HTREEITEM itemA = Child(window, holder);
    HTREEITEM itemB = Child(window, itemA);
    EXPECT_EQ(holder, g_parsed[0].parent);
    EXPECT_EQ(1, g_parsed[0].number);
    EXPECT_EQ("A", g_parsed[0].name);
    EXPECT_EQ(itemA, g_parsed[1].parent);
    EXPECT_EQ(2, g_parsed[1].number);
    EXPECT_EQ("*B", g_parsed[1].name);
    EXPECT_EQ(itemB, g_parsed[2].parent);
    EXPECT_EQ("C", g_parsed[2].name);
}

// A tree class of its own that leaves OnItemParsed alone: it is read item by
// item, the plain tree level by level; both must make the same tree.
class DerivedTree : public CTreeView
{
};

TEST_F(TreeViewTest, ThePlainTreeAndADerivedOneLoadTheSameTrees)
{
    ASSERT_NE(nullptr, MakeTree());
    CTreeView* plain = tree;
    HWND plainWindow = window;
    CTreeView* derived = NULL;
    {
        ScopedControlMaker own(KIND_TREEVIEW, MakeControlOf<DerivedTree>);
        derived = frame->Create<DerivedTree>(ControlArgs().Parent(host).Place(410, 10, 600, 400).Style(WS_VISIBLE));
    }
    ASSERT_NE(nullptr, derived);
    HWND derivedWindow = derived->GetHandle();
    const char* texts[] = {
        kFruitFile,
        "}\r\n3 A\r\n{\r\n4 B\r\n}\r\n}\r\n}\r\n5 C\r\n{\r\n6 D\r\n",
        "{\r\n1 E{2 F}3 G\r\n{{\r\n4 H\r\n}{5 I\r\n",
        "1 a\r\n{\r\n2 b\r\n{\r\n3 c\r\n{\r\n4 d\r\n}\r\n5 e\r\n}\r\n6 f\r\n{\r\n7 g\r\n}\r\n}\r\n8 h\r\n{\r\n9 i\r\n}",
        "ab cd\r\n{\r\n-5 минус\r\n7\r\n{\r\n8 H\r\n",
    };
    for (const char* t : texts) {
        SendMessageA(plainWindow, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
        SendMessageA(derivedWindow, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
        HTREEITEM plainHolder = Add(plainWindow, NULL, "P", 1);
        HTREEITEM derivedHolder = Add(derivedWindow, NULL, "P", 1);
        char* text = Block(t);
        ASSERT_NE(nullptr, text);
        EXPECT_TRUE(plain->ParseText(plainHolder, text));
        EXPECT_TRUE(derived->ParseText(derivedHolder, text));
        EXPECT_TRUE(plain->ParseText(NULL, text));
        EXPECT_TRUE(derived->ParseText(NULL, text));
        g_heapRegistry.Free(&text);
        EXPECT_NE("P:1", Shape(plainWindow, NULL)) << t;
        EXPECT_EQ(Shape(derivedWindow, NULL), Shape(plainWindow, NULL)) << t;
        EXPECT_EQ(Images(derivedWindow, NULL), Images(plainWindow, NULL)) << t;
    }
}

// ---- copying subtrees

TEST_F(TreeViewTest, ACopyTakesEveryItemInPreorderWithItsImagesAndValues)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    const std::string before = Shape(window, NULL);
    // A under B1, a leaf, which becomes a folder; R keeps its images (A has a sibling).
    EXPECT_EQ(4, face->CopySubtree(a, b1));
    EXPECT_EQ("R:1[A:2[A1:3,A2:4[A21:5]],B:6[B1:7[A:2[A1:3,A2:4[A21:5]]]]],C:8", Shape(window, NULL));
    EXPECT_EQ("R=0/0[A=0/0[A1=2/2,A2=0/0[A21=2/2]],B=0/0[B1=0/0[A=0/0[A1=2/2,A2=0/0[A21=2/2]]]]],C=2/2",
              Images(window, NULL));
    EXPECT_NE(before, Shape(window, NULL));

    // The only child of its parent: the parent is shown as the leaf it becomes
    // once the owner deletes the source.
    EXPECT_EQ(1, face->CopySubtree(a21, c));
    EXPECT_EQ(2, Info(window, a2).image);
    EXPECT_EQ(2, Info(window, a2).selected);
    EXPECT_EQ("C=0/0[A21=2/2]", Images(window, NULL).substr(Images(window, NULL).rfind("C=")));
    EXPECT_NE(nullptr, Child(window, a2));   // the source stays

    // To the top level.
    EXPECT_EQ(1, face->CopySubtree(a1, NULL));
    EXPECT_EQ("A1:3", Shape(window, NULL).substr(Shape(window, NULL).rfind(",") + 1));
}

TEST_F(TreeViewTest, ACopyKeepsLongTextsWhole)
{
    ASSERT_NE(nullptr, MakeTree());
    std::string longText(1023, 'd');
    HTREEITEM source = Add(window, NULL, longText.c_str(), 5);
    HTREEITEM target = Add(window, NULL, "T", 6);
    EXPECT_EQ(1, face->CopySubtree(source, target));
    EXPECT_EQ(longText, Info(window, Child(window, target)).text);
}

TEST_F(TreeViewTest, ACopyIntoItsOwnSubtreeIsRefusedWithAMessage)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    const std::string shape = Shape(window, NULL), images = Images(window, NULL);
    EXPECT_EQ(-1, face->CopySubtree(a, a21));
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ("Вы пытаетесь выполнить рекуперативный перенос !", boxes.Boxes()[0].text);
    EXPECT_EQ("Ошибка", boxes.Boxes()[0].caption);
    EXPECT_EQ((UINT)MB_ICONERROR, boxes.Boxes()[0].type & MB_ICONMASK);
    EXPECT_EQ(host, boxes.Boxes()[0].owner);   // the frame's main window
    EXPECT_EQ(-1, face->CopySubtree(a, a));     // into itself
    EXPECT_EQ(2u, boxes.Boxes().size());
    EXPECT_EQ(shape, Shape(window, NULL));
    EXPECT_EQ(images, Images(window, NULL));
}

TEST_F(TreeViewTest, ACopyOntoItsOwnParentOrOfNothingIsRefusedSilently)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    const std::string shape = Shape(window, NULL), images = Images(window, NULL);
    EXPECT_EQ(-1, face->CopySubtree(a, r));
    EXPECT_EQ(-1, face->CopySubtree(c, NULL));   // already at the top level
    EXPECT_EQ(-1, face->CopySubtree(NULL, r));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(shape, Shape(window, NULL));
    EXPECT_EQ(images, Images(window, NULL));
}

TEST_F(TreeViewTest, AnItemWhoseTextTheOwnerGivesReadsAsEmpty)
{
    ASSERT_NE(nullptr, MakeTree());
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = LPSTR_TEXTCALLBACKA;   // nobody here answers TVN_GETDISPINFOA
    insert.item.lParam = 5;
    HTREEITEM asked = (HTREEITEM)SendMessageA(window, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    ASSERT_NE(nullptr, asked);
    HTREEITEM holder = Add(window, NULL, "H", 6);
    const char* shown = face->GetItemText(asked);
    ASSERT_NE(nullptr, shown);
    EXPECT_STREQ("", shown);
    std::string path = dir.File("asked.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    EXPECT_EQ("5  \r\n6 H \r\n", FileBytes(path));
    EXPECT_EQ(1, face->CopySubtree(asked, holder));
    EXPECT_EQ(5, Info(window, Child(window, holder)).param);
}

// ---- changes made straight to the control

TEST_F(TreeViewTest, SavingFollowsEveryChangeMadeStraightToTheControl)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    std::string path = dir.File("changed.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));   // once before the changes

    TVINSERTSTRUCTA insert = {};
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.hParent = r;
    insert.hInsertAfter = TVI_FIRST;
    insert.item.pszText = const_cast<char*>("F");
    insert.item.lParam = 9;
    ASSERT_NE(nullptr, (HTREEITEM)SendMessageA(window, TVM_INSERTITEMA, 0, (LPARAM)&insert));
    insert.hParent = a;
    insert.hInsertAfter = a1;
    insert.item.pszText = const_cast<char*>("X");
    insert.item.lParam = 10;
    ASSERT_NE(nullptr, (HTREEITEM)SendMessageA(window, TVM_INSERTITEMA, 0, (LPARAM)&insert));
    insert.hParent = a2;
    insert.hInsertAfter = TVI_SORT;
    insert.item.pszText = const_cast<char*>("A0");
    insert.item.lParam = 11;
    ASSERT_NE(nullptr, (HTREEITEM)SendMessageA(window, TVM_INSERTITEMA, 0, (LPARAM)&insert));
    ASSERT_TRUE(SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)b));

    TVITEMA change = {};
    change.mask = TVIF_TEXT | TVIF_PARAM;
    change.hItem = c;
    change.pszText = const_cast<char*>("CC");
    change.lParam = 80;
    ASSERT_TRUE(SendMessageA(window, TVM_SETITEMA, 0, (LPARAM)&change));
    TVITEMW wide = {};
    wide.mask = TVIF_TEXT;
    wide.hItem = a21;
    wide.pszText = const_cast<wchar_t*>(L"\x0428" L"21");   // Ш21
    ASSERT_TRUE(SendMessageW(window, TVM_SETITEMW, 0, (LPARAM)&wide));

    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    EXPECT_EQ(std::string("1 R \r\n{\r\n\t9 F \r\n\t2 A \r\n\t{\r\n\t\t3 A1 \r\n\t\t10 X \r\n\t\t4 A2 \r\n"
                          "\t\t{\r\n\t\t\t11 A0 \r\n\t\t\t5 Ш21 \r\n\t\t}\r\n\t}\r\n}\r\n80 CC \r\n"),
              FileBytes(path))
        << Escaped(FileBytes(path));

    // Everything deleted, then a new item: the file has just that one.
    ASSERT_TRUE(SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT));
    Add(window, NULL, "N", 12);
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), '\t'));
    EXPECT_EQ("12 N \r\n", FileBytes(path));
}

TEST_F(TreeViewTest, TheWalkFollowsSortsAndResetChildren)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    EXPECT_EQ(r, face->NextPreorder(NULL, NULL, NULL));
    ASSERT_TRUE(SendMessageA(window, TVM_SORTCHILDREN, FALSE, (LPARAM)TVI_ROOT));
    int change = 9;
    bool children = true;
    EXPECT_EQ(c, face->NextPreorder(NULL, &change, &children));
    EXPECT_EQ(1, change);
    EXPECT_FALSE(children);
    EXPECT_EQ(r, face->NextPreorder(c, &change, &children));
    EXPECT_EQ(0, change);
    EXPECT_TRUE(children);

    // Collapsing with a reset deletes A's children without a deletion message.
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, (LPARAM)r);
    SendMessageA(window, TVM_EXPAND, TVE_EXPAND, (LPARAM)a);
    SendMessageA(window, TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, (LPARAM)a);
    ASSERT_EQ(nullptr, Child(window, a));
    EXPECT_EQ(b, face->NextPreorder(a, &change, &children));
    EXPECT_EQ(0, change);
    EXPECT_TRUE(children);
    std::string path = dir.File("reset.txt");
    ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), ' '));
    EXPECT_EQ("8 C \r\n1 R \r\n{\r\n 2 A \r\n 6 B \r\n {\r\n  7 B1 \r\n }\r\n}\r\n", FileBytes(path));
}

// Thousands of random changes through messages; after every hundred the walk
// and the saved file are compared with what the control's own messages tell.
TEST_F(TreeViewTest, AfterManyRandomChangesTheWalkAndTheFileMatchTheControl)
{
    ASSERT_NE(nullptr, MakeTree());
    std::vector<HTREEITEM> items;
    unsigned int seed = 12345;
    auto random = [&seed](unsigned int bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    std::string path = dir.File("random.txt");
    int value = 0;
    for (int step = 1; step <= 3000; ++step) {
        unsigned int what = random(100);
        HTREEITEM some = items.empty() ? NULL : items[random((unsigned int)items.size())];
        // Handles of deleted items stay in the list: messages about them fail.
        if (what < 60 || items.empty()) {
            std::string text = "t" + std::to_string(step);
            if (random(20) == 0)
                text += std::string(1500, 'x');   // cut at 1023 bytes
            TVINSERTSTRUCTA insert = {};
            insert.item.mask = TVIF_TEXT | TVIF_PARAM;
            insert.item.pszText = const_cast<char*>(text.c_str());
            insert.item.lParam = ++value;
            insert.hParent = random(4) == 0 ? TVI_ROOT : some;
            unsigned int where = random(4);
            HTREEITEM sibling = insert.hParent == TVI_ROOT ? Child(window, NULL) : Child(window, some);
            insert.hInsertAfter = where == 0 ? TVI_FIRST : where == 1 && sibling ? sibling : TVI_LAST;
            HTREEITEM made = (HTREEITEM)SendMessageA(window, TVM_INSERTITEMA, 0, (LPARAM)&insert);
            if (made)
                items.push_back(made);
        } else if (what < 72) {
            SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)some);
        } else if (what < 97) {
            std::string text = "n" + std::to_string(step) + std::string(random(300), 'y');
            TVITEMA change = {};
            change.mask = TVIF_TEXT | (random(2) ? TVIF_PARAM : 0);
            change.hItem = some;
            change.pszText = const_cast<char*>(text.c_str());
            change.lParam = -step;
            SendMessageA(window, TVM_SETITEMA, 0, (LPARAM)&change);
        } else if (what < 99) {
            SendMessageA(window, TVM_SORTCHILDREN, FALSE, (LPARAM)some);   // rare: the walk then reads it all anew
        } else {
            SendMessageA(window, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
        }
        if (step % 100)
            continue;

        // The expected walk and file, from the control's own messages.
        std::string expected;
        std::vector<HTREEITEM> order;
        std::vector<int> changes;
        std::vector<bool> folders;
        int depth = 0;
        HTREEITEM at = Child(window, NULL);
        int levelChange = at ? 1 : 0;
        while (at) {
            if (levelChange > 0 && !order.empty())
                expected += std::string(depth++, ' ') + "{\r\n";
            for (int i = levelChange; i < 0; ++i)
                expected += std::string(--depth, ' ') + "}\r\n";
            ItemInfo info = Info(window, at);
            expected += std::string(depth, ' ') + std::to_string((long long)info.param) + " " +
                        info.text.substr(0, 1023) + " \r\n";
            order.push_back(at);
            changes.push_back(levelChange);
            folders.push_back(Child(window, at) != NULL);
            HTREEITEM next = Child(window, at);
            levelChange = 1;
            if (!next) {
                levelChange = 0;
                for (HTREEITEM up = at; up && !(next = Sibling(window, up)); up = ParentOf(window, up))
                    --levelChange;
                if (!next)
                    levelChange = -depth;
            }
            at = next;
        }
        for (int i = 0; i < depth; ++i)
            expected += std::string(depth - 1 - i, ' ') + "}\r\n";

        HTREEITEM walked = NULL;
        for (size_t i = 0; i < order.size(); ++i) {
            int change = 9;
            bool children = false;
            walked = face->NextPreorder(walked, &change, &children);
            ASSERT_EQ(order[i], walked) << "step " << step << ", item " << i;
            if (i > 0) {
                ASSERT_EQ(changes[i], change) << "step " << step << ", item " << i;
            }
            ASSERT_EQ((bool)folders[i], children) << "step " << step << ", item " << i;
        }
        ASSERT_EQ(nullptr, face->NextPreorder(walked, NULL, NULL));
        ASSERT_TRUE(face->SaveToFile(NULL, path.c_str(), ' '));
        ASSERT_EQ(expected, FileBytes(path)) << "step " << step;
    }
}

TEST_F(TreeViewTest, NullItemsAreHarmless)
{
    ASSERT_NE(nullptr, MakeTree());
    MakeSample();
    EXPECT_EQ(nullptr, face->GetItemText(NULL));
    EXPECT_EQ(0, face->GetItemParam(NULL));
    EXPECT_FALSE(face->SetItemImages(NULL, 1, 1));
    EXPECT_EQ(-1, face->CopySubtree(NULL, NULL));
    EXPECT_EQ(r, face->NextPreorder(NULL, NULL, NULL));
    EXPECT_EQ(nullptr, face->GetItemPath(NULL));
}

}  // namespace
