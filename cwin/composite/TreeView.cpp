// CTreeView: the tree control, its items, its mirror and its walks; the text
// file format is in TreeTextFormat.cpp.
#include "cwin/composite/TreeView.h"
#include "cwin/system/MessageBox.h"

#include <stdio.h>
#include <string.h>


namespace {

// The text a TVM_GETITEMA answered: the control may point to a text of its own
// instead of filling the buffer, or answer the callback marker for an item
// whose text its owner gives (read as empty).
inline const char* AnsweredText(const TVITEMA& entry, const char* buffer)
{
    if (!entry.pszText || entry.pszText == LPSTR_TEXTCALLBACKA)
        return buffer;
    return entry.pszText;
}

}  // namespace

CTreeView::CTreeView() : quiet(false), m_previousProc(NULL), m_editItem(NULL)
{
    kind = KIND_TREEVIEW;
    notifyHandler = this;
}

// ---- CBaseWindow overrides

namespace {
// The tree view class's own procedure, for a window whose object is gone.
WNDPROC g_treeProc = NULL;
}

bool CTreeView::Create()
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    bool made = CreateWindowOf(WC_TREEVIEWA);
    char className[32];
    // Not the place-holder that stands in for a missing class.
    if (hwnd && GetClassNameA(hwnd, className, sizeof(className)) && !lstrcmpiA(className, WC_TREEVIEWA)) {
        m_mirror.Reset();   // items made by OnCreated make the counts differ: rebuilt when used
        m_editItem = NULL;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
        m_previousProc = (WNDPROC)SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)MirrorProc);
        if (!g_treeProc)
            g_treeProc = m_previousProc;
    }
    return made;
}

// ---- the mirror

LRESULT CALLBACK CTreeView::MirrorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CTreeView* tree = dynamic_cast<CTreeView*>(WindowObjectOf(window));
    if (!tree || tree->hwnd != window || !tree->m_previousProc)
        return g_treeProc ? CallWindowProcA(g_treeProc, window, message, wParam, lParam)
                          : DefWindowProcA(window, message, wParam, lParam);
    return tree->Follow(message, wParam, lParam);
}

LRESULT CTreeView::Follow(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = hwnd;
    WNDPROC previous = m_previousProc;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)previous);
        m_previousProc = NULL;
        m_editItem = NULL;
        m_mirror.Release();
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    switch (message) {
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
        // The wide structure differs only in the type of its text pointer.
        if (result && lParam)
            FollowInsert((HTREEITEM)result, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam),
                         message == TVM_INSERTITEMA);
        break;
    case TVM_DELETEITEM:
        if (result) {
            HTREEITEM item = (HTREEITEM)lParam;
            if (!item || item == TVI_ROOT)
                m_mirror.Reset();
            else
                m_mirror.Deleted(item);
        }
        break;
    case TVM_SETITEMA:
    case TVM_SETITEMW:
        if (result && lParam) {
            const TVITEMA* item = reinterpret_cast<const TVITEMA*>(lParam);
            if (item->mask & TVIF_TEXT) {
                bool fromOwner = item->pszText == LPSTR_TEXTCALLBACKA;
                bool known = message == TVM_SETITEMA && item->pszText && !fromOwner;
                m_mirror.SetText(item->hItem, known ? item->pszText : NULL, fromOwner);
            }
            if (item->mask & TVIF_PARAM)
                m_mirror.SetParam(item->hItem, item->lParam);
        }
        break;
    case TVM_SORTCHILDREN:
    case TVM_SORTCHILDRENCB:
        m_mirror.Invalidate();
        break;
    case TVM_EXPAND:
        if (wParam & TVE_COLLAPSERESET)
            m_mirror.Invalidate();   // the children are deleted without a message
        break;
    case TVM_EDITLABELA:
    case TVM_EDITLABELW:
        if (result)
            m_editItem = (HTREEITEM)lParam;
        break;
    case WM_COMMAND:
        // The label edit box reports to the tree; an edit the mouse began is
        // on the selected item. Its text is read anew until the edit is over.
        if (lParam && !m_editItem)
            m_editItem = Next(NULL, TVGN_CARET);
        break;
    }
    return result;
}

void CTreeView::FollowInsert(HTREEITEM made, const TVINSERTSTRUCTA* insert, bool ansi)
{
    if (!m_mirror.IsValid())
        return;
    const TVITEMA& item = insert->item;
    bool fromOwner = (item.mask & TVIF_TEXT) && item.pszText == LPSTR_TEXTCALLBACKA;
    const char* itemText = ansi && (item.mask & TVIF_TEXT) && item.pszText && !fromOwner ? item.pszText : NULL;
    LPARAM param = (item.mask & TVIF_PARAM) ? item.lParam : 0;
    HTREEITEM under = insert->hParent == TVI_ROOT ? NULL : insert->hParent;
    if (insert->hInsertAfter == TVI_LAST || insert->hInsertAfter == TVI_FIRST) {
        m_mirror.Inserted(made, under, NULL, insert->hInsertAfter == TVI_FIRST, itemText, fromOwner, param);
        return;
    }
    // Sorted, or after a given item: the control says where the item went.
    HTREEITEM before = Next(made, TVGN_PREVIOUS);
    m_mirror.Inserted(made, Next(made, TVGN_PARENT), before, before == NULL, itemText, fromOwner, param);
}

bool CTreeView::MirrorInStep()
{
    if (!hwnd || !m_previousProc)
        return false;
    if (m_editItem) {
        int edited = m_mirror.Find(m_editItem);
        if (edited > 0)
            m_mirror.SetNodeText(edited, NULL);
        if (!SendMessageA(hwnd, TVM_GETEDITCONTROL, 0, 0))
            m_editItem = NULL;
    }
    int count = (int)SendMessageA(hwnd, TVM_GETCOUNT, 0, 0);
    if (m_mirror.IsValid() && m_mirror.Count() == count)
        return true;
    return RebuildMirror() && m_mirror.Count() == count;
}

// Text and user value in one request; buffer holds CWIN_TEXT_SIZE bytes.
const char* CTreeView::ReadItem(HTREEITEM item, char* buffer, LPARAM* value)
{
    TVITEMA entry;
    memset(&entry, 0, sizeof(entry));
    entry.mask = TVIF_TEXT | TVIF_PARAM;
    entry.hItem = item;
    entry.pszText = buffer;
    entry.cchTextMax = CWIN_TEXT_SIZE;
    buffer[0] = 0;
    SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&entry);
    buffer[CWIN_TEXT_SIZE - 1] = 0;
    *value = entry.lParam;
    return AnsweredText(entry, buffer);
}

// Item by item through the control, once: texts and values as they read now.
bool CTreeView::RebuildMirror()
{
    m_mirror.Reset();
    char itemText[CWIN_TEXT_SIZE];
    for (HTREEITEM at = NextByMessages(NULL, NULL); at && m_mirror.IsValid(); at = NextByMessages(at, NULL)) {
        LPARAM value = 0;
        const char* name = ReadItem(at, itemText, &value);
        m_mirror.Inserted(at, Next(at, TVGN_PARENT), NULL, false, name, false, value);
    }
    return m_mirror.IsValid();
}

const char* CTreeView::MirrorText(int node, char* buffer)
{
    const char* known = m_mirror.Text(node);
    if (known)
        return known;
    LPARAM value = 0;
    const char* read = ReadItem(m_mirror.Item(node), buffer, &value);
    if (!m_mirror.TextFromOwner(node) && m_mirror.Item(node) != m_editItem)
        m_mirror.SetNodeText(node, read);
    return read;
}

void CTreeView::ApplyColors()
{
    if (!hwnd)
        return;
    SendMessageA(hwnd, TVM_SETTEXTCOLOR, 0, (LPARAM)textColor);
    SendMessageA(hwnd, TVM_SETBKCOLOR, 0, (LPARAM)backColor);
}

HTREEITEM CTreeView::OnItemParsed(HTREEITEM, int, const char*)
{
    return NULL;
}

// ---- tree interface

bool CTreeView::SetImageList(HIMAGELIST* list)
{
    if (!hwnd || !list)
        return false;
    SendMessageA(hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, (LPARAM)*list);
    return true;
}

bool CTreeView::SetItemImages(HTREEITEM item, int image, int selectedImage)
{
    if (!hwnd || !item)
        return false;
    TVITEMA entry;
    memset(&entry, 0, sizeof(entry));
    entry.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    entry.hItem = item;
    entry.iImage = image;
    entry.iSelectedImage = selectedImage == -1 ? image : selectedImage;
    return SendMessageA(hwnd, TVM_SETITEMA, 0, (LPARAM)&entry) != 0;
}

HTREEITEM CTreeView::GetSelectedItem(int)
{
    return hwnd ? Next(NULL, TVGN_CARET) : NULL;
}

const char* CTreeView::GetItemText(HTREEITEM item)
{
    if (!hwnd || !item)
        return NULL;
    TVITEMA entry;
    memset(&entry, 0, sizeof(entry));
    entry.mask = TVIF_TEXT;
    entry.hItem = item;
    entry.pszText = text;
    entry.cchTextMax = CWIN_TEXT_SIZE;
    text[0] = 0;
    if (!SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&entry))
        return NULL;
    text[CWIN_TEXT_SIZE - 1] = 0;
    return AnsweredText(entry, text);
}

LPARAM CTreeView::GetItemParam(HTREEITEM item)
{
    if (!hwnd || !item)
        return 0;
    TVITEMA entry;
    memset(&entry, 0, sizeof(entry));
    entry.mask = TVIF_PARAM;
    entry.hItem = item;
    if (!SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&entry))
        return 0;
    return entry.lParam;
}

HTREEITEM CTreeView::InsertItem(HTREEITEM parent, HTREEITEM insertAfter, const char* itemText, int image,
                                int selectedImage, LPARAM userValue)
{
    if (!hwnd)
        return NULL;
    TVINSERTSTRUCTA insert;
    memset(&insert, 0, sizeof(insert));
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = insertAfter ? insertAfter : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(itemText ? itemText : "");
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = userValue;
    return (HTREEITEM)SendMessageA(hwnd, TVM_INSERTITEMA, 0, (LPARAM)&insert);
}

const char* CTreeView::GetItemPath(HTREEITEM item)
{
    if (!hwnd)
        return NULL;
    if (!item)
        item = GetSelectedItem();
    if (!item)
        return NULL;
    // Built from the end of the buffer toward its start, the item's own position last.
    char* end = text + CWIN_TEXT_SIZE - 1;
    char* start = end;
    *end = 0;
    for (HTREEITEM at = item; at; at = Next(at, TVGN_PARENT)) {
        unsigned int position = 1;
        for (HTREEITEM before = Next(at, TVGN_PREVIOUS); before; before = Next(before, TVGN_PREVIOUS))
            ++position;
        char digits[16];
        int length = snprintf(digits, sizeof(digits), at == item ? "%u" : "%u.", position);
        if (length <= 0 || start - text < length)
            return NULL;
        start -= length;
        memcpy(start, digits, (size_t)length);
    }
    memmove(text, start, (size_t)(end - start) + 1);
    return text;
}

// has-children is told for every answer, also for the sibling found by climbing:
// a walker that draws or counts folders needs it there as much as anywhere.
HTREEITEM CTreeView::NextPreorder(HTREEITEM item, int* levelChange, bool* hasChildren)
{
    if (levelChange)
        *levelChange = 0;
    if (hasChildren)
        *hasChildren = false;
    if (!hwnd)
        return NULL;
    int node = !MirrorInStep() ? -1 : item ? m_mirror.Find(item) : 0;
    if (node >= 0) {
        int change = 0;
        int next = NextNode(node, &change);
        if (levelChange)
            *levelChange = change;
        if (next <= 0)
            return NULL;
        if (hasChildren)
            *hasChildren = m_mirror.FirstChild(next) > 0;
        return m_mirror.Item(next);
    }
    HTREEITEM next = NextByMessages(item, levelChange);
    if (hasChildren && next)
        *hasChildren = Next(next, TVGN_CHILD) != NULL;
    return next;
}

// The walk on mirror nodes (0: before the first item; -1: none).
int CTreeView::NextNode(int node, int* levelChange)
{
    int next = m_mirror.FirstChild(node);
    int change = 1;
    if (next < 0 && node > 0) {
        change = 0;
        next = m_mirror.NextSibling(node);
        for (int up = node; next < 0;) {
            up = m_mirror.Parent(up);
            if (up <= 0)
                break;
            --change;
            next = m_mirror.NextSibling(up);
        }
    } else if (next < 0) {
        change = 0;   // an empty tree
    }
    *levelChange = change;
    return next;
}

// The same walk through the control's messages.
HTREEITEM CTreeView::NextByMessages(HTREEITEM item, int* levelChange)
{
    HTREEITEM next = item ? Next(item, TVGN_CHILD) : Next(NULL, TVGN_ROOT);
    int change = 1;
    if (!next && item) {
        change = 0;
        next = Next(item, TVGN_NEXT);
        for (HTREEITEM up = item; !next;) {
            up = Next(up, TVGN_PARENT);
            if (!up)
                break;
            --change;
            next = Next(up, TVGN_NEXT);
        }
    } else if (!next) {
        change = 0;
    }
    if (levelChange)
        *levelChange = change;
    return next;
}

// Walking up from item reaches top (item itself included).
bool CTreeView::IsInSubtree(HTREEITEM item, HTREEITEM top)
{
    for (HTREEITEM at = item; at; at = Next(at, TVGN_PARENT))
        if (at == top)
            return true;
    return false;
}

HTREEITEM CTreeView::CopyItem(HTREEITEM source, HTREEITEM parent)
{
    char itemText[CWIN_TEXT_SIZE];
    TVITEMA entry;
    memset(&entry, 0, sizeof(entry));
    entry.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    entry.hItem = source;
    entry.pszText = itemText;
    entry.cchTextMax = sizeof(itemText);
    itemText[0] = 0;
    if (!SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&entry))
        return NULL;
    itemText[sizeof(itemText) - 1] = 0;
    return InsertItem(parent, TVI_LAST, AnsweredText(entry, itemText), entry.iImage,
                      entry.iSelectedImage, entry.lParam);
}

int CTreeView::CopySubtree(HTREEITEM item, HTREEITEM newParent)
{
    if (!hwnd || !item)
        return -1;
    HTREEITEM oldParent = Next(item, TVGN_PARENT);
    if (newParent == oldParent)
        return -1;
    if (newParent && IsInSubtree(newParent, item)) {
        ShowMessageBox(owner ? owner->Resources().GetMainWindow() : NULL, "Вы пытаетесь выполнить рекуперативный перенос !",
                       "Ошибка", MB_OK | MB_ICONERROR);
        return -1;
    }
    // Pre-order over the source subtree; the copy cursor moves in step with the
    // source cursor (down to a child, over to a sibling, up to a parent), so no
    // stack is needed however deep the subtree is.
    HTREEITEM copy = CopyItem(item, newParent);
    if (!copy)
        return -1;
    int copied = 1;
    HTREEITEM at = item;
    for (;;) {
        HTREEITEM child = Next(at, TVGN_CHILD);
        if (child) {
            HTREEITEM made = CopyItem(child, copy);
            if (!made)
                break;
            at = child;
            copy = made;
            ++copied;
            continue;
        }
        HTREEITEM sibling = NULL;
        while (at != item && !(sibling = Next(at, TVGN_NEXT))) {
            at = Next(at, TVGN_PARENT);
            copy = Next(copy, TVGN_PARENT);
        }
        if (at == item)
            break;
        HTREEITEM made = CopyItem(sibling, Next(copy, TVGN_PARENT));
        if (!made)
            break;
        at = sibling;
        copy = made;
        ++copied;
    }
    // Images as they will be once the owner deletes the source to complete a move.
    if (oldParent && Next(oldParent, TVGN_CHILD) == item && !Next(item, TVGN_NEXT))
        SetItemImages(oldParent, TREE_IMAGE_LEAF, TREE_IMAGE_LEAF);
    if (newParent) {
        TVITEMA entry;
        memset(&entry, 0, sizeof(entry));
        entry.mask = TVIF_IMAGE;
        entry.hItem = newParent;
        if (SendMessageA(hwnd, TVM_GETITEMA, 0, (LPARAM)&entry) && entry.iImage > TREE_IMAGE_OPEN_FOLDER)
            SetItemImages(newParent, TREE_IMAGE_FOLDER, TREE_IMAGE_FOLDER);
    }
    return copied;
}

// ---- notifications

bool CTreeView::HandleNotify(NMHDR* header, WPARAM, LRESULT*, bool*)
{
    switch (header->code) {
    case TVN_SELCHANGEDA:
        if (!quiet) {
            event.param = (INT_PTR)GetSelectedItem();
            Dispatch(EV_SELECTION_CHANGED);
        }
        return true;
    case TVN_ITEMEXPANDINGA: {
        NMTREEVIEWA* change = reinterpret_cast<NMTREEVIEWA*>(header);
        // Only a plain collapse or expand names the image to show (action - 1).
        UINT action = change->action & (TVE_COLLAPSE | TVE_EXPAND);
        if (action == TVE_COLLAPSE || action == TVE_EXPAND)
            SetItemImages(change->itemNew.hItem, (int)action - 1, -1);
        return true;
    }
    }
    return false;
}
