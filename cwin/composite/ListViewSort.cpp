// CListView: the three-state sort by a header click, with the owner's keys or
// compare events, and the selection kept across it.
#include "cwin/composite/ListView.h"

#include <commctrl.h>
#include <shlwapi.h>
#include "cwin/system/HeapRegistry.h"

#include <string.h>

namespace {

// One row of a sort by keys: the key of its record and the record's slot.
struct KeyedRow
{
    uint64_t key;
    uint32_t slot;
};

// A stable bottom-up merge of `count` entries from `from`, using `to` as the
// second buffer; returns the buffer that holds the result. follows(a, b): a,
// the earlier entry, must come after b. Each merge takes from the left run
// unless its head must follow the right run's head, so ties keep their order;
// an inconsistent follows() only makes the order odd, the sort still ends.
// step(n): n more entries placed (for the progress bar).
template <class T, class Follows, class Step>
T* MergeRuns(T* from, T* to, int count, Follows follows, Step step)
{
    for (int width = 1; width < count; width = width > count / 2 ? count : width * 2) {
        for (int low = 0; low < count; low += 2 * width) {
            int middle = low + width < count ? low + width : count;
            int high = middle + width < count ? middle + width : count;
            int i = low, j = middle, k = low;
            if (middle < high) {
                // One compare each: runs already in order, or the right run wholly first.
                if (!follows(from[middle - 1], from[middle])) {
                    // left run, then right run: the copies below
                } else if (high - low == 2) {
                    to[k++] = from[j++];
                } else if (follows(from[low], from[high - 1])) {
                    while (j < high)
                        to[k++] = from[j++];
                } else {
                    while (i < middle && j < high)
                        to[k++] = follows(from[i], from[j]) ? from[j++] : from[i++];
                }
            }
            while (i < middle)
                to[k++] = from[i++];
            while (j < high)
                to[k++] = from[j++];
            step(high - low);
        }
        T* swap = from;
        from = to;
        to = swap;
    }
    return from;
}

int MergeLevels(int count)
{
    int levels = 0;
    for (long long width = 1; width < count; width *= 2)
        ++levels;
    return levels;
}

uint64_t Mix(uint64_t hash, uint64_t value)
{
    hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    return hash * 0x100000001B3ull;
}

}  // namespace

uint64_t SortKeyOfDouble(double value)
{
    if (value != value)
        return ~0ull;   // NaN: after every number
    if (value == 0)
        value = 0;      // -0 sorts as 0
    uint64_t bits;
    memcpy(&bits, &value, sizeof(bits));
    // Negative numbers: all bits flipped (larger magnitude, smaller key);
    // positive: above every negative. +infinity stays below the NaN key.
    return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

namespace {

// The major version of the common controls that made this window: a program
// whose manifest asks for version 6 gets it, others the older ones.
int CommonControlsVersion(HWND window)
{
    HMODULE module = (HMODULE)GetClassLongPtrA(window, GCLP_HMODULE);
    typedef HRESULT(CALLBACK * GetVersionFn)(DLLVERSIONINFO*);
    GetVersionFn get = module ? (GetVersionFn)(void*)GetProcAddress(module, "DllGetVersion") : NULL;
    DLLVERSIONINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    return get && SUCCEEDED(get(&info)) ? (int)info.dwMajorVersion : 0;
}

// direction: 1 ascending, -1 descending, 0 none. The arrow of the item's
// format is the system's own: version 6 draws it (and an item may not carry it
// with an image), older versions leave the format bit alone and draw the images.
void SetHeaderSortArrow(HWND header, int column, int direction)
{
    HDITEMA item;
    memset(&item, 0, sizeof(item));
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, (WPARAM)column, (LPARAM)&item))
        return;
    const int arrow = direction > 0 ? HDF_SORTUP : direction < 0 ? HDF_SORTDOWN : 0;
    if ((item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) == arrow)
        return;
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | arrow;
    SendMessageA(header, HDM_SETITEMA, (WPARAM)column, (LPARAM)&item);
}

}  // namespace

void CListView::ClearSortImages()
{
    HWND header = hwnd ? (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0) : NULL;
    int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    for (int i = 0; i < columns; ++i) {
        SetColumnImage(i, -1);   // first: the list view writes the header item's whole format
        SetHeaderSortArrow(header, i, 0);
    }
}

// The sort image base's images where the controls draw header images; the
// system's arrow where they are version 6. The arrow bit goes on in both: the
// older versions ignore it.
void CListView::ShowSortImages()
{
    HWND header = (HWND)SendMessageA(hwnd, LVM_GETHEADER, 0, 0);
    int columns = header ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    const bool systemArrows = columns && CommonControlsVersion(header) >= 6;
    for (int i = 0; i < columns; ++i) {
        const bool sorted = sortColumn != -1 && i == sortColumn;
        SetColumnImage(i, sorted && !systemArrows ? sortImageBase + (ascending ? 0 : 1) : -1);
        SetHeaderSortArrow(header, i, sorted ? (ascending ? 1 : -1) : 0);
    }
}

bool CListView::RowOfRecord(int slot, int* row)
{
    const uint32_t* view = store->ViewIndex();
    for (int i = 0; view && i < store->ViewCount(); ++i)
        if (view[i] == (uint32_t)slot) {
            *row = i;
            return true;
        }
    return false;
}

bool CListView::CanSort()
{
    return store->Capacity() != 0 && (HasHandlerFor(EV_COMPARE) || m_keySource);
}

// The selected rows are remembered by record, so that the same records are
// selected once the rows moved; a grid with every row selected keeps them all.
void CListView::RememberSelection(SelectionMemo* memo)
{
    memset(memo, 0, sizeof(*memo));
    memo->focusedSlot = -1;
    const uint32_t* view = store->ViewIndex();
    int count = store->ViewCount();
    if (!view)
        return;
    int focused = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (focused >= 0 && focused < count)
        memo->focusedSlot = (int)view[focused];
    int selected = (int)SendMessageA(hwnd, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0)
        return;
    if (selected >= count) {
        memo->all = true;
        return;
    }
    if (!g_heapRegistry.Alloc(&memo->slots, (SIZE_T)selected * sizeof(uint32_t)))
        return;
    for (int row = -1; memo->count < selected;) {
        row = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED);
        if (row < 0)
            break;
        if (row < count)
            memo->slots[memo->count++] = view[row];
    }
}

// Rows are selected by position: with every row selected the selection
// stays as it is (clearing and setting a million rows costs a second), only
// the focus moves with its record.
void CListView::ForgetSelection(const SelectionMemo& memo)
{
    if (!memo.all) {
        ClearSelection();
        return;
    }
    int focused = (int)SendMessageA(hwnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (focused < 0)
        return;
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = LVIS_FOCUSED;
    SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)focused, (LPARAM)&state);
}

void CListView::RestoreSelection(SelectionMemo* memo)
{
    LVITEMA state;
    memset(&state, 0, sizeof(state));
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    if (memo->count > 0) {
        // Where each slot is now: one pass over the view instead of one per row.
        uint32_t* rowOf = NULL;
        const uint32_t* view = store->ViewIndex();
        int capacity = store->Capacity();
        if (memo->count > 8 && g_heapRegistry.Alloc(&rowOf, (SIZE_T)capacity * sizeof(uint32_t))) {
            for (int i = 0; i < store->ViewCount(); ++i)
                if (view[i] < (uint32_t)capacity)
                    rowOf[view[i]] = (uint32_t)i + 1;
        }
        for (int i = 0; i < memo->count; ++i) {
            int row = -1;
            if (rowOf)
                row = memo->slots[i] < (uint32_t)capacity ? (int)rowOf[memo->slots[i]] - 1 : -1;
            else if (!RowOfRecord((int)memo->slots[i], &row))
                row = -1;
            if (row >= 0)
                SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&state);
        }
        if (rowOf)
            g_heapRegistry.Free(&rowOf);
    }
    if (memo->slots)
        g_heapRegistry.Free(&memo->slots);
    int row;
    if (memo->focusedSlot >= 0 && RowOfRecord(memo->focusedSlot, &row)) {
        SendMessageA(hwnd, LVM_ENSUREVISIBLE, (WPARAM)row, FALSE);
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(hwnd, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&state);
    }
}

bool CListView::SortByColumn(int column)
{
    if (busy || !hwnd)
        return false;   // a compare handler clicking a header again
    SelectionMemo memo;
    RememberSelection(&memo);
    if (!CanSort()) {
        ClearSelection();
        if (memo.slots)
            g_heapRegistry.Free(&memo.slots);
        return false;
    }
    ForgetSelection(memo);

    // Disabling the window takes the keyboard focus from it; it gets it back.
    bool hadFocus = GetFocus() == hwnd;
    busy = true;
    EnableWindow(hwnd, FALSE);
    uint32_t* view = store->ViewIndex();
    int count = store->ViewCount();
    if (sortColumn == -1) {
        memcpy(view + store->Capacity() + 1, view, (size_t)count * sizeof(uint32_t));
        m_savedCount = count;
        m_savedCapacity = store->Capacity();
    }
    bool restore = false;
    if (sortColumn == -1 || column != sortColumn) {
        sortColumn = column;
        ascending = true;
    } else if (ascending) {
        ascending = false;
    } else {
        RestoreSavedOrder();
        sortColumn = -1;
        restore = true;
    }
    if (!restore)
        RunSort();
    busy = false;
    EnableWindow(hwnd, TRUE);
    if (hadFocus)
        SetFocus(hwnd);
    if (sortImageBase >= 0)
        ShowSortImages();
    RememberOrder();
    RestoreSelection(&memo);
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    return true;
}

bool CListView::Resort()
{
    if (busy || !hwnd || sortColumn == -1 || !CanSort())
        return false;
    SelectionMemo memo;
    RememberSelection(&memo);
    ForgetSelection(memo);
    bool hadFocus = GetFocus() == hwnd;
    busy = true;
    EnableWindow(hwnd, FALSE);
    RunSort();
    busy = false;
    EnableWindow(hwnd, TRUE);
    if (hadFocus)
        SetFocus(hwnd);
    RememberOrder();
    RestoreSelection(&memo);
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    return true;
}

void CListView::RunSort()
{
    int count = store->ViewCount();
    m_sortParam = idColumn && sortColumn > 0 ? sortColumn - 1 : sortColumn;
    PrepareEvent(m_sortParam, 0, 0);
    IProgress* bar = owner ? owner->Resources().GetProgress() : NULL;
    if (bar)
        bar->SetRange(0, count);
    bool useIds = idColumn && sortColumn == 0;
    if (!SortByKeys(useIds))
        SortView(useIds);
    if (bar)
        bar->SetPos(0);
}

// The saved order is only valid while the store kept the count and capacity
// it had when it was saved; otherwise the physical order stands in for it.
void CListView::RestoreSavedOrder()
{
    uint32_t* view = store->ViewIndex();
    int count = store->ViewCount();
    if (view && m_savedCount == count && m_savedCapacity == store->Capacity())
        memcpy(view, view + m_savedCapacity + 1, (size_t)count * sizeof(uint32_t));
    else
        store->RebuildView(false);
    m_savedCount = -1;
}

// A store rebuilt or grown behind the grid's back (the owner refilled it)
// leaves an order that no longer follows the arrow: Refresh sorts it again.
void CListView::RememberOrder()
{
    const uint32_t* view = store->ViewIndex();
    int count = store->ViewCount();
    uint64_t hash = 0xCBF29CE484222325ull;
    for (int i = 0; view && i < count; ++i)
        hash = Mix(hash, view[i]);
    m_sortedRows = count;
    m_sortedSignature = hash;
}

bool CListView::OrderChangedSinceSort()
{
    uint64_t rows = (uint64_t)m_sortedRows, signature = m_sortedSignature;
    RememberOrder();
    bool changed = rows != (uint64_t)m_sortedRows || signature != m_sortedSignature;
    m_sortedRows = (int)rows;
    m_sortedSignature = signature;
    return changed;
}

// e > 0: the record of slot a (the earlier one) sorts after that of slot b.
int CListView::CompareSlots(uint32_t a, uint32_t b, bool useIds)
{
    char* block = static_cast<char*>(*store->BlockVariable());
    char* recordA = block + (size_t)a * (size_t)store->RecordSize();
    char* recordB = block + (size_t)b * (size_t)store->RecordSize();
    if (useIds) {
        uint32_t idA = *reinterpret_cast<uint32_t*>(recordA);
        uint32_t idB = *reinterpret_cast<uint32_t*>(recordB);
        return idA > idB ? 1 : idA < idB ? -1 : 0;
    }
    event.param = m_sortParam;
    event.aux = (WPARAM)recordB;
    event.notify = (LPARAM)recordA;
    return Dispatch(EV_COMPARE);
}

void CListView::Progress(unsigned long long done)
{
    IProgress* bar = owner ? owner->Resources().GetProgress() : NULL;
    int count = store->ViewCount();
    if (!bar || m_workTotal == 0)
        return;
    int position = (int)(done * (unsigned long long)count / m_workTotal);
    // A few hundred positions show the advance; one message per compare would cost more than the sort.
    int step = count / 256 > 0 ? count / 256 : 1;
    if (position >= m_progressShown + step) {
        bar->SetPos(position);
        m_progressShown = position;
    }
}

// Kept for when the scratch index cannot be had: the order is the same.
void CListView::InsertionSort(uint32_t* view, int count, bool useIds)
{
    m_workTotal = (unsigned long long)count;
    for (int i = 1; i < count; ++i) {
        for (int j = i; j > 0 && MustFollow(view[j - 1], view[j], useIds); --j) {
            uint32_t moved = view[j];
            view[j] = view[j - 1];
            view[j - 1] = moved;
        }
        Progress((unsigned long long)i);
    }
}

// Compare events: for a consistent handler the rows end in exactly the order
// a stable insertion sort gives (earlier sorts break ties), with n log n
// events instead of n squared.
void CListView::SortView(bool useIds)
{
    int count = store->ViewCount();
    uint32_t* view = store->ViewIndex();
    m_progressShown = 0;
    m_workTotal = 0;
    if (count < 2 || !view || !store->BlockVariable() || !*store->BlockVariable())
        return;
    uint32_t* scratch = NULL;
    if (!g_heapRegistry.Alloc(&scratch, (SIZE_T)count * sizeof(uint32_t))) {
        InsertionSort(view, count, useIds);
        return;
    }
    m_workTotal = (unsigned long long)MergeLevels(count) * (unsigned long long)count;
    unsigned long long done = 0;
    uint32_t* sorted = MergeRuns(
        view, scratch, count, [this, useIds](uint32_t a, uint32_t b) { return MustFollow(a, b, useIds); },
        [this, &done](int n) { done += (unsigned long long)n; Progress(done); });
    if (sorted != view)
        memcpy(view, sorted, (size_t)count * sizeof(uint32_t));
    g_heapRegistry.Free(&scratch);
}

// Keys: the owner's key of every record once (or the identifiers for the
// identifier column), then a stable merge of (key, slot) rows, the same order
// compare events by those keys would give. False when there are no keys.
bool CListView::SortByKeys(bool useIds)
{
    int count = store->ViewCount();
    uint32_t* view = store->ViewIndex();
    m_progressShown = 0;
    m_workTotal = 0;
    if (!useIds && !m_keySource)
        return false;
    if (count < 2 || !view || !store->BlockVariable() || !*store->BlockVariable())
        return true;
    const char* block = static_cast<const char*>(*store->BlockVariable());
    int records = store->Count();
    int capacity = store->Capacity();
    for (int i = 0; i < count; ++i)
        if (view[i] >= (uint32_t)capacity)
            return false;
    if (records > capacity)
        records = capacity;
    uint64_t* keys = NULL;
    KeyedRow* rows = NULL;
    KeyedRow* scratch = NULL;
    if (!g_heapRegistry.Alloc(&keys, (SIZE_T)capacity * sizeof(uint64_t)))
        return false;
    bool made;
    if (useIds) {
        size_t size = (size_t)store->RecordSize();
        for (int slot = 0; slot < capacity; ++slot)
            keys[slot] = *reinterpret_cast<const uint32_t*>(block + (size_t)slot * size);
        made = true;
    } else {
        made = m_keySource->MakeSortKeys(this, (int)m_sortParam, block, store->RecordSize(), records, keys);
    }
    if (!made || !g_heapRegistry.Alloc(&rows, (SIZE_T)count * sizeof(KeyedRow))) {
        g_heapRegistry.Free(&keys);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        rows[i].key = keys[view[i]];
        rows[i].slot = view[i];
    }
    g_heapRegistry.Free(&keys);
    if (!g_heapRegistry.Alloc(&scratch, (SIZE_T)count * sizeof(KeyedRow))) {
        g_heapRegistry.Free(&rows);
        return false;
    }
    m_workTotal = (unsigned long long)MergeLevels(count) * (unsigned long long)count;
    unsigned long long done = 0;
    auto step = [this, &done](int n) { done += (unsigned long long)n; Progress(done); };
    KeyedRow* sorted;
    if (ascending)
        sorted = MergeRuns(rows, scratch, count, [](const KeyedRow& a, const KeyedRow& b) { return a.key > b.key; },
                           step);
    else
        sorted = MergeRuns(rows, scratch, count, [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; },
                           step);
    for (int i = 0; i < count; ++i)
        view[i] = sorted[i].slot;
    g_heapRegistry.Free(&scratch);
    g_heapRegistry.Free(&rows);
    return true;
}
