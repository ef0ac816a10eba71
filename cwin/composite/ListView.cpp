// CListView: the data grid over a record array: creation, columns, the store,
// cell texts, notifications and the in-place edit box.
#include "cwin/composite/ListView.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/Text.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

namespace {

const int EDIT_TAG = 0x10000;   // user value of the grid's end-of-edit entry on its box
const BYTE FOCUS_MARK_BYTE = 4;

// One hit record for all grids (HitTestCursor).
LVHITTESTINFO g_hit;

}  // namespace

CListView::CListView()
    : stretchColumn(-1), appendMode(false), store(&embeddedStore), idColumn(false), sortImageBase(-1),
      editRow(-1), editColumn(-1), notifyFocus(true), unbound(true), searchMode(false), footerRows(0),
      editWithoutRecord(false), sortColumn(-1), stretchMinimum(-1), editBox(NULL), ascending(true),
      busy(false), searchColumn(-1), m_savedCount(-1), m_savedCapacity(-1), m_endingEdit(false),
      m_workTotal(0), m_progressShown(0), m_sortParam(0), m_previousProc(NULL), m_keySource(NULL),
      m_headerImages(NULL), m_findAllColumns(false), m_sortedRows(-1), m_sortedSignature(0)
{
    searchText[0] = 0;
    notifyHandler = this;
}

CListView::~CListView() {}

// ---- CBaseWindow overrides

bool CListView::Create()
{
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    // The grid holds no rows: report view in owner-data mode is what it is.
    // The in-place edit box is a child of the grid, and the grid's painting must not cover it.
    // Image lists come from the frame's registry, which destroys them, and one
    // list (the sort arrows) serves several grids: a grid never destroys its own.
    style |= LVS_REPORT | LVS_OWNERDATA | WS_CLIPCHILDREN | LVS_SHAREIMAGELISTS;
    if (!CreateWindowOf(WC_LISTVIEWA))
        return false;
    Subclass();
    return OnGridCreated();
}

bool CListView::Release()
{
    if (editBox) {
        CEditBox* box = editBox;
        editBox = NULL;
        box->Destroy();
    }
    return true;
}

bool CListView::Layout(int parentWidth, int parentHeight)
{
    bool changed = CBaseWindow::Layout(parentWidth, parentHeight);
    StretchColumn();
    return changed;
}

void CListView::ApplyColors()
{
    if (!hwnd)
        return;
    SendMessageA(hwnd, LVM_SETTEXTCOLOR, 0, (LPARAM)textColor);
    SendMessageA(hwnd, LVM_SETTEXTBKCOLOR, 0, (LPARAM)backColor);
    SendMessageA(hwnd, LVM_SETBKCOLOR, 0, (LPARAM)backColor);
}

bool CListView::OnGridCreated() { return true; }

int CListView::DispatchRecordEvent() { return Dispatch(event.eventCode); }

// ---- grid interface

int CListView::InsertColumn(int index, const char* title, int width, int format, LPARAM userValue)
{
    if (!hwnd)
        return -1;
    LVCOLUMNA column;
    memset(&column, 0, sizeof(column));
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(title ? title : "");
    column.iSubItem = index;
    if (width != 0) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (format != 0) {
        column.mask |= LVCF_FMT;
        column.fmt = format;
    }
    int at = (int)SendMessageA(hwnd, LVM_INSERTCOLUMNA, (WPARAM)index, (LPARAM)&column);
    if (at < 0)
        return -1;
    HDITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = HDI_LPARAM;
    item.lParam = userValue;
    SendMessageA((HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0), HDM_SETITEMA, (WPARAM)at, (LPARAM)&item);
    return at;
}

bool CListView::DeleteRow(int viewIndex)
{
    if (viewIndex >= 0) {
        uint32_t* view = store->ViewIndex();
        if (!view || viewIndex >= store->ViewCount())
            return false;
        uint32_t slot = view[viewIndex];
        if (!store->RemoveByView(viewIndex))
            return false;
        // The saved order loses the record as the view did, so the third click still restores.
        if (sortColumn != -1 && m_savedCount > 0 && m_savedCapacity == store->Capacity()) {
            uint32_t* saved = view + m_savedCapacity + 1;
            int out = 0;
            for (int i = 0; i < m_savedCount; ++i) {
                if (saved[i] == slot)
                    continue;
                saved[out++] = saved[i] > slot ? saved[i] - 1 : saved[i];
            }
            m_savedCount = out;
        }
        if (sortColumn != -1)
            RememberOrder();   // a row gone is no reason to sort again
        return true;
    }
    if (viewIndex != -1)
        return false;
    if (sortColumn != -1) {
        ClearSortImages();
        sortColumn = -1;
    }
    m_savedCount = -1;
    if (!store->RebuildView(true))
        return false;
    Refresh();
    return store->Bind(store->BlockVariable(), store->PendingVariable(), store->CurrentVariable(),
                       store->RecordSize(), store->GrowthStep(), store->CountVariable());
}

int CListView::FindNextMarked(int start)
{
    if (!store->IsBound() || !store->ViewIndex())
        return -1;
    const uint32_t* view = store->ViewIndex();
    for (int row = start > 0 ? start : 0; row < store->ViewCount(); ++row) {
        BYTE* record = static_cast<BYTE*>(store->GetByView(row));
        if (record && store->RecordSize() > FOCUS_MARK_BYTE && record[FOCUS_MARK_BYTE])
            return (int)view[row];
    }
    return -1;
}

LVHITTESTINFO* CListView::HitTestCursor(RECT* rectangle)
{
    if (!rectangle || !hwnd)
        return NULL;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hwnd, &p);
    memset(&g_hit, 0, sizeof(g_hit));
    g_hit.pt = p;
    if (SendMessageA(hwnd, LVM_SUBITEMHITTEST, 0, (LPARAM)&g_hit) < 0 || g_hit.iItem < 0)
        return NULL;
    int code = rectangle->left;
    rectangle->top = g_hit.iSubItem;
    rectangle->left = code;
    SendMessageA(hwnd, LVM_GETSUBITEMRECT, (WPARAM)g_hit.iItem, (LPARAM)rectangle);
    return &g_hit;
}

bool CListView::SetColumnImage(int column, int image)
{
    if (!hwnd)
        return false;
    LVCOLUMNA info;
    memset(&info, 0, sizeof(info));
    info.mask = LVCF_FMT;
    if (!SendMessageA(hwnd, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&info))
        return false;
    if (image >= 0) {
        info.fmt |= LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
        info.mask = LVCF_FMT | LVCF_IMAGE;
        info.iImage = image;
    } else {
        info.fmt &= ~(LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT);
        info.mask = LVCF_FMT;
    }
    return SendMessageA(hwnd, LVM_SETCOLUMNA, (WPARAM)column, (LPARAM)&info) != 0;
}

bool CListView::SetImageList(HIMAGELIST* list, int listKind)
{
    if (!list || !hwnd)
        return false;
    SendMessageA(hwnd, LVM_SETIMAGELIST, (WPARAM)listKind, (LPARAM)*list);
    // The control gives its header the rows' small images; the arrows stay there.
    if (listKind == LVSIL_SMALL && m_headerImages)
        ApplyHeaderImages();
    return true;
}

bool CListView::SetHeaderImages(HIMAGELIST* list)
{
    m_headerImages = list;
    return ApplyHeaderImages();
}

bool CListView::ApplyHeaderImages()
{
    HWND header = hwnd ? (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0) : NULL;
    if (!header || !m_headerImages)
        return false;
    SendMessageA(header, HDM_SETIMAGELIST, HDSIL_NORMAL, (LPARAM)*m_headerImages);
    return true;
}

CRecordArray* CListView::BindStore(void** blockVariable, void** pendingVariable, void** currentVariable,
                                   int recordSize, int growthStep, int* countVariable)
{
    return store->Bind(blockVariable, pendingVariable, currentVariable, recordSize, growthStep, countVariable)
               ? store : NULL;
}

bool CListView::Refresh()
{
    unbound = false;
    void** current = store->CurrentVariable();
    if (current && *current) {
        char* block = store->BlockVariable() ? static_cast<char*>(*store->BlockVariable()) : NULL;
        char* at = static_cast<char*>(*current);
        if (!block || at < block || at >= block + (size_t)store->Count() * (size_t)store->RecordSize())
            *current = NULL;
    }
    if (sortColumn != -1 && store->ViewCount() < 1) {
        ClearSortImages();
        sortColumn = -1;
    }
    int rows = store->ViewCount();
    if (rows > 0 && footerRows > 0)
        rows += footerRows;
    bool set = hwnd && SendMessageA(hwnd, LVM_SETITEMCOUNT, (WPARAM)rows, LVSICF_NOSCROLL) != 0;
    // Rows the owner added or rebuilt since the sort are sorted in, so that
    // the header's arrow still tells the order.
    if (hwnd && sortColumn != -1 && !busy && OrderChangedSinceSort())
        Resort();
    if (hwnd) {
        FitToParent();
        StretchColumn();
    }
    return set;
}

bool CListView::ShowIdColumn(const char* title, int width)
{
    if (width == 0 && idColumn) {
        if (hwnd && SendMessageA(hwnd, LVM_DELETECOLUMN, 0, 0)) {
            idColumn = false;
            if (stretchColumn > 0)
                --stretchColumn;   // it moved with the columns behind the identifier
        }
        FitToParent();
        return idColumn;
    }
    if (!title)
        return false;
    if (idColumn)
        return true;   // one identifier column is enough
    if (InsertColumn(0, title, width, 0, 0) < 0)
        return false;
    if (stretchColumn >= 0)
        ++stretchColumn;
    idColumn = true;
    return true;
}

int CListView::GetCurrentRecordIndex()
{
    void** current = store->CurrentVariable();
    if (!store->IsBound() || !current || !*current || !*store->BlockVariable())
        return -1;
    char* block = static_cast<char*>(*store->BlockVariable());
    char* at = static_cast<char*>(*current);
    if (at < block)
        return -1;
    return (int)((at - block) / store->RecordSize());
}

bool CListView::SetStretchColumn(int column)
{
    stretchColumn = column;
    return true;
}

LRESULT CListView::SetExtendedStyle(DWORD styleBits)
{
    return SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, (WPARAM)styleBits, (LPARAM)styleBits);
}

void CListView::SetStore(CRecordArray* newStore)
{
    CRecordArray* next = newStore ? newStore : &embeddedStore;
    if (next != store && sortColumn != -1) {
        ClearSortImages();   // the saved order belongs to the old store
        sortColumn = -1;
    }
    store = next;
}

void CListView::ReplaceStore(CRecordArray* newStore)
{
    CRecordArray* next = newStore ? newStore : &embeddedStore;
    if (next == store)
        return;
    store = next;
    m_savedCount = -1;   // the order saved before the sort was the old store's
}

CRecordArray* CListView::GetStore() { return store; }

// Clearing the state of "all items" costs the control a pass over every row
// (a million in an owner-data grid); the few selected rows and the focused one
// are cleared one by one instead, unless many rows are selected.
void CListView::ClearSelection()
{
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    int selected = (int)SendMessageA(hwnd, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected > 64) {
        SetStateOfAllRows(0);
        return;
    }
    int focused = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    for (int row = -1; selected > 0; --selected) {
        row = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED);
        if (row < 0)
            break;
        SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&state);
    }
    if (focused >= 0)
        SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)focused, (LPARAM)&state);
}

// The control sets the rows one by one and, while it draws, works out each
// row's box to invalidate it: a million rows took a minute. Without drawing
// the pass is short; the window is drawn once afterwards.
void CListView::SetStateOfAllRows(UINT selected)
{
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = selected ? LVIS_SELECTED : LVIS_SELECTED | LVIS_FOCUSED;
    state.state = selected;
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, NULL, TRUE);
}

bool CListView::SelectRow(int viewIndex)
{
    if (!hwnd || viewIndex < 0 || viewIndex >= store->ViewCount())
        return false;
    ClearSelection();
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)viewIndex, (LPARAM)&state);
    SendMessageA(hwnd, LVM_ENSUREVISIBLE, (WPARAM)viewIndex, FALSE);
    return true;
}

// ---- stretch column

void CListView::StretchColumn()
{
    if (stretchColumn < 0 || !hwnd)
        return;
    HWND header = (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0);
    int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    if (stretchColumn >= columns)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    int rest = client.right - client.left;
    if (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_STATICEDGE)
        rest -= 2;
    if (stretchMinimum < 0)
        stretchMinimum = (int)SendMessageA(hwnd, LVM_GETCOLUMNWIDTH, (WPARAM)stretchColumn, 0);
    for (int i = 0; i < columns; ++i)
        if (i != stretchColumn)
            rest -= (int)SendMessageA(hwnd, LVM_GETCOLUMNWIDTH, (WPARAM)i, 0);
    int width = rest > stretchMinimum ? rest : stretchMinimum;
    // The same width again would still repaint the header and the rows.
    if ((int)SendMessageA(hwnd, LVM_GETCOLUMNWIDTH, (WPARAM)stretchColumn, 0) != width)
        SendMessageA(hwnd, LVM_SETCOLUMNWIDTH, (WPARAM)stretchColumn, MAKELPARAM(width & 0xFFFF, 0));
}

// ---- cell text requests

// The caller holds the store's lock: a worker changing the store under the
// same lock never meets a half-drawn row.
void CListView::AskCell(void* record, NMLVDISPINFOA* request)
{
    PrepareEvent((INT_PTR)record, 0, (LPARAM)request);
    event.code = (int)LVN_GETDISPINFOA;
    event.eventCode = EV_CACHE_HINT;
    DispatchRecordEvent();
}

LRESULT CListView::OnCellRequest(NMLVDISPINFOA* request)
{
    LVITEMA& item = request->item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        item.pszText[0] = 0;   // a request left unanswered shows an empty cell
    if (busy)
        return 0;
    store->Lock();
    int viewCount = store->ViewCount();
    int row = item.iItem;
    bool footer = footerRows > 0 && viewCount > 0 && row >= viewCount && row < viewCount + footerRows;
    void* record = NULL;
    if (!unbound) {
        if (row >= 0 && row < viewCount) {
            record = store->GetByView(row);
            if (!record && appendMode)
                record = const_cast<void*>(store->Template());
            if (!record) {
                store->Unlock();
                return 0;
            }
        } else if (footer) {
            record = appendMode ? const_cast<void*>(store->Template()) : NULL;
        } else {
            store->Unlock();   // a row the grid does not show
            return 0;
        }
    }
    UINT mask = item.mask;
    int subItem = item.iSubItem;
    if ((mask & LVIF_TEXT) && subItem == 0 && idColumn) {
        if (record && !footer && item.pszText && item.cchTextMax > 0)
            snprintf(item.pszText, (size_t)item.cchTextMax, "%d", *static_cast<int*>(record));
        item.mask &= ~LVIF_TEXT;
    } else if (idColumn) {
        item.iSubItem = subItem > 0 ? subItem - 1 : 0;
    }
    if (footer)
        item.iItem = viewCount - row - 1;
    AskCell(record, request);
    item.mask = mask;
    item.iSubItem = subItem;
    item.iItem = row;
    store->Unlock();
    return 0;
}

// ---- notifications

bool CListView::HandleNotify(NMHDR* header, WPARAM, LRESULT* result, bool* passOn)
{
    switch (header->code) {
    case NM_CUSTOMDRAW: {
        bool handled = false;
        *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header), &handled);
        if (handled)
            *passOn = false;
        return true;
    }
    case NM_DBLCLK:
    case NM_CLICK:
        *result = OnClick(reinterpret_cast<NMITEMACTIVATE*>(header),
                          header->code == (UINT)NM_CLICK ? EV_CLICK : EV_DOUBLE_CLICK);
        *passOn = false;
        return true;
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey != VK_F3)
            return false;
        FindNext(NULL, -1);
        *passOn = false;
        return true;
    case LVN_GETINFOTIPA: {
        NMLVGETINFOTIPA* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
        void* record = unbound ? NULL : store->GetByView(tip->iItem);
        if (record) {
            event.param = (INT_PTR)record;
            event.notify = (LPARAM)header;
            Dispatch(EV_INFO_TIP);
        }
        return true;
    }
    case LVN_GETDISPINFOA:
        *result = OnCellRequest(reinterpret_cast<NMLVDISPINFOA*>(header));
        *passOn = false;
        return true;
    case LVN_ITEMCHANGED:
        *result = OnItemChanged(reinterpret_cast<NMLISTVIEW*>(header));
        return true;
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        *passOn = false;
        return true;
    }
    return false;
}

// Footer rows reach the owner as -1, -2 ... below the data rows.
LRESULT CListView::OnClick(NMITEMACTIVATE* activate, int code)
{
    int row = activate->iItem;
    int viewCount = store->ViewCount();
    if (footerRows > 0 && row >= viewCount)
        activate->iItem = viewCount - row - 1;
    event.notify = (LPARAM)activate;
    LRESULT answer = Dispatch(code);
    activate->iItem = row;
    return answer;
}

LRESULT CListView::OnItemChanged(NMLISTVIEW* change)
{
    if (!notifyFocus || !(change->uChanged & LVIF_STATE))
        return 0;
    bool had = (change->uOldState & LVIS_FOCUSED) != 0;
    bool has = (change->uNewState & LVIS_FOCUSED) != 0;
    if (has && !had) {
        INT_PTR param = change->iItem;
        if (!unbound && change->iItem >= 0 && change->iItem < store->ViewCount()) {
            BYTE* record = static_cast<BYTE*>(store->GetByView(change->iItem));
            if (record) {
                if (store->RecordSize() > FOCUS_MARK_BYTE)
                    record[FOCUS_MARK_BYTE] = 1;
                store->SelectByView(change->iItem);
                param = (INT_PTR)record;
            }
        }
        event.param = param;
        Dispatch(EV_ROW_FOCUSED);
    } else if (had && !has && change->iItem >= 0 && store->CurrentVariable()) {
        event.param = (INT_PTR)*store->CurrentVariable();
        Dispatch(EV_ROW_UNFOCUSED);
    }
    return 0;
}

LRESULT CListView::OnCustomDraw(NMLVCUSTOMDRAW* draw, bool* handled)
{
    if (!HasHandlerFor(EV_CUSTOM_DRAW))
        return 0;
    void* record = NULL;
    if ((draw->nmcd.dwDrawStage & CDDS_ITEM) && !unbound && store->IsBound())
        record = store->GetByView((int)draw->nmcd.dwItemSpec);
    event.param = (INT_PTR)record;
    event.notify = (LPARAM)draw;
    *handled = true;
    return Dispatch(EV_CUSTOM_DRAW);
}

// ---- in-place edit box

bool CListView::EditCell(const RECT* rectangle, int row, int column, const char* initialText)
{
    if (!hwnd || !owner)
        return false;
    RECT cell;
    if (rectangle) {
        cell = *rectangle;
    } else if (row == -1 || column == -1) {
        cell.left = LVIR_LABEL;
        LVHITTESTINFO* hit = HitTestCursor(&cell);
        if (!hit)
            return false;
        row = hit->iItem;
        column = hit->iSubItem;
    } else {
        cell.top = column;
        cell.left = LVIR_LABEL;
        if (!SendMessageA(hwnd, LVM_GETSUBITEMRECT, (WPARAM)row, (LPARAM)&cell))
            return false;
    }
    editRow = row;
    editColumn = column;
    if (editBox) {
        CEditBox* old = editBox;
        editBox = NULL;
        old->Destroy();
    }
    DWORD align = 0;
    LVCOLUMNA format;
    memset(&format, 0, sizeof(format));
    format.mask = LVCF_FMT;
    if (SendMessageA(hwnd, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&format)) {
        if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
            align = ES_CENTER;
        else if ((format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
            align = ES_RIGHT;
    }
    editBox = owner->Factory().Create<CEditBox>(
        ControlArgs().Parent(hwnd).Place(cell.left, cell.top - 2, cell.right, cell.bottom + 1)
            .Style(WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_MULTILINE | align));
    if (!editBox)
        return false;
    editBox->SetHint("Введите новое значение для ячейки...");
    editBox->AddHandler(OnEditEnd, EV_COMMAND | EV_CANCEL, EDIT_TAG, NULL);
    // Keys typed in the box reach the grid's owner as they would from the grid.
    if (EventCallback keyDown = FirstHandlerFor(EV_KEY_DOWN))
        editBox->AddHandler(keyDown, EV_KEY_DOWN, 0, NULL);
    if (EventCallback keyUp = FirstHandlerFor(EV_KEY_UP))
        editBox->AddHandler(keyUp, EV_KEY_UP, 0, NULL);
    SendMessageA(editBox->GetHandle(), WM_SETFONT, (WPARAM)SendMessageA(hwnd, WM_GETFONT, 0, 0), TRUE);
    if (initialText)
        SetWindowTextA(editBox->GetHandle(), initialText);
    PrepareEvent((INT_PTR)editBox, 0, 0);
    if (!Dispatch(EV_EDIT_BEGIN) && editBox)
        SendMessageA(editBox->GetHandle(), EM_SETSEL, 0, -1);
    if (editBox)
        editBox->TakeFocus();
    return true;
}

int CListView::OnEditEnd(WindowEvent* e)
{
    if (e->user != EDIT_TAG || !e->sender || !e->sender->Owner())
        return 0;
    CBaseWindow* box = e->sender;
    CBaseWindow* found = NULL;
    if (!box->Owner()->Table().FindControlByWindow(box->Parent(), &found) || found->GetKind() != KIND_LISTVIEW)
        return 0;
    CListView* grid = dynamic_cast<CListView*>(found);
    // A box already closed (Enter, then the focus loss its destruction causes) ends nothing.
    if (!grid || grid->editBox != box)
        return 0;
    grid->EndEdit(e->eventCode == EV_COMMAND);
    return 0;
}

void CListView::EndEdit(bool accepted)
{
    if (m_endingEdit || !editBox)
        return;
    m_endingEdit = true;
    CEditBox* box = editBox;
    if (accepted) {
        GetWindowTextA(box->GetHandle(), text, sizeof(text));
        void* record;
        if (appendMode)
            record = store->PendingVariable() ? *store->PendingVariable() : NULL;
        else
            record = unbound ? NULL : store->GetByView(editRow);
        int dataColumn = idColumn ? editColumn - 1 : editColumn;
        if (searchMode) {
            char wanted[CWIN_TEXT_SIZE];
            CopyText(wanted, sizeof(wanted), text);
            FindNext(wanted, editColumn);
            box->Show(false);
        } else if (record || editWithoutRecord) {
            PrepareEvent((INT_PTR)record, (WPARAM)(INT_PTR)dataColumn, (LPARAM)text);
            int slot = -1;
            if (appendMode && record && store->BlockVariable() && *store->BlockVariable())
                slot = (int)((static_cast<char*>(record) - static_cast<char*>(*store->BlockVariable()))
                             / store->RecordSize());
            if (Dispatch(EV_EDIT_END) && appendMode && store->Append()) {
                // The item count must include the new row before it can be
                // selected; a sorted grid has sorted it in.
                Refresh();
                int row = store->ViewCount() - 1;
                if (slot >= 0)
                    RowOfRecord(slot, &row);
                SelectRow(row);
            }
        }
    }
    searchMode = false;
    editColumn = -1;
    appendMode = false;
    if (editBox == box) {
        editBox = NULL;
        box->Destroy();
    }
    m_endingEdit = false;
    Refresh();
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
}
