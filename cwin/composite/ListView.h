// CListView ("ListView"): the framework's data grid.
//
//   IListView   the grid interface (fifteen operations)
//   CListView   a report-style list view in owner-data mode over a CRecordArray:
//               rows are the store's view index, every cell's text is asked of
//               the owner (EV_CACHE_HINT); three-state sort by header click,
//               identifier column, footer rows, stretch column, search down a
//               column (F3 repeats it), in-place edit box, focus marks;
//               the commands of ListViewCommands.h (select all, copy, save as
//               CSV, find in every column) through its keys, a registered
//               message and the operations an owner's context menu calls
//   ISortKeySource  an owner that gives one sort key per record instead of
//               answering a compare event per pair
//
//   ListView.cpp        creation, columns, store, cell texts, notifications, editing
//   ListViewSort.cpp    the three-state sort, sort keys, the selection kept
//   ListViewExport.cpp  select all, copy, CSV
//   ListViewFind.cpp    search down a column, search in every column, the prompt
//   ListViewCommands.cpp the subclassed window: keys and the registered message
//
// The grid holds no rows of its own; the owner calls Refresh after changing
// the store. Byte 4 of every record shown is the grid's focus mark.
#ifndef CWIN_LISTVIEW_H
#define CWIN_LISTVIEW_H

#include "cwin/window/BaseWindow.h"
#include "cwin/system/RecordArray.h"

class CEditBox;
class CGridTextSink;
class CListView;

// A flag in a column's user value (InsertColumn): the column shows numbers, so
// copies and CSV files write its decimal point as a comma, which a spreadsheet
// of a Russian locale reads as a number. Only the owner can tell a number from
// a code such as "12.50".
#define CWIN_COLUMN_NUMBERS 0x40000000

// An owner that orders a column by one key per record: the sort then costs a
// pass over the records and a sort of keys, not a compare event per pair.
class ISortKeySource
{
public:
    // keys[i] for record slot i (0 .. count - 1 of `records`), ordered as the
    // owner's column `column` sorts (ascending by unsigned value). False: no
    // keys for that column; the grid asks EV_COMPARE instead.
    virtual bool MakeSortKeys(CListView* grid, int column, const void* records, int recordSize, int count,
                              uint64_t* keys) = 0;
};

// Keys that order like the values they come from.
inline uint64_t SortKeyOfSigned(int64_t value)
{
    return (uint64_t)value ^ 0x8000000000000000ull;
}
// Numbers by value; -0 is 0, and every NaN sorts after +infinity.
uint64_t SortKeyOfDouble(double value);

class IListView : public virtual IWindow
{
public:
    virtual int   InsertColumn(int index, const char* title, int width, int format, LPARAM userValue) = 0;
    virtual bool  DeleteRow(int viewIndex) = 0;
    virtual bool  SortByColumn(int column) = 0;
    virtual int   FindNextMarked(int start) = 0;
    // rectangle->left preset to the LVIR_ code; the hit record is shared by all grids.
    virtual LVHITTESTINFO* HitTestCursor(RECT* rectangle) = 0;
    virtual bool  SetColumnImage(int column, int image) = 0;
    virtual bool  SetImageList(HIMAGELIST* list, int listKind) = 0;
    virtual CRecordArray* BindStore(void** blockVariable, void** pendingVariable, void** currentVariable,
                                    int recordSize, int growthStep, int* countVariable) = 0;
    virtual bool  Refresh() = 0;
    virtual bool  ShowIdColumn(const char* title, int width) = 0;
    virtual int   GetCurrentRecordIndex() = 0;
    virtual bool  SetStretchColumn(int column) = 0;
    virtual LRESULT SetExtendedStyle(DWORD styleBits) = 0;
    virtual void  SetStore(CRecordArray* store) = 0;
    virtual CRecordArray* GetStore() = 0;
};

class CListView : public CBaseWindow, public IListView, public INotifyHandler
{
public:
    static constexpr int Kind = KIND_LISTVIEW;
    CListView();
    ~CListView() override;

    // CBaseWindow
    bool Create() override;
    bool Release() override;
    bool Layout(int parentWidth, int parentHeight) override;
    void ApplyColors() override;

    // Own virtual operations.
    virtual bool OnGridCreated();
    // Dispatches the code that event.eventCode names: cell texts and searches
    // come through here, so a derived grid can answer them itself.
    virtual int  DispatchRecordEvent();

    // IListView
    int   InsertColumn(int index, const char* title, int width, int format, LPARAM userValue) override;
    bool  DeleteRow(int viewIndex) override;
    bool  SortByColumn(int column) override;
    int   FindNextMarked(int start) override;
    LVHITTESTINFO* HitTestCursor(RECT* rectangle) override;
    bool  SetColumnImage(int column, int image) override;
    bool  SetImageList(HIMAGELIST* list, int listKind) override;
    CRecordArray* BindStore(void** blockVariable, void** pendingVariable, void** currentVariable,
                            int recordSize, int growthStep, int* countVariable) override;
    bool  Refresh() override;
    bool  ShowIdColumn(const char* title, int width) override;
    int   GetCurrentRecordIndex() override;
    bool  SetStretchColumn(int column) override;
    LRESULT SetExtendedStyle(DWORD styleBits) override;
    void  SetStore(CRecordArray* store) override;
    CRecordArray* GetStore() override;
    // Attaches another store of the same records in place of this one (null:
    // the embedded one), as an owner does that rebuilt its rows into a new
    // store: unlike SetStore, a sort stays on its column and direction, and the
    // next Refresh sorts the new rows in. The grid never owns the store.
    void  ReplaceStore(CRecordArray* store);

    // rectangle null: the cell's label rectangle (row or column -1: the cell
    // under the cursor). text: the box's initial text, or null.
    bool EditCell(const RECT* rectangle, int row, int column, const char* initialText);
    bool SearchAtCursor(int row);
    // text null and column -1: the last search again.
    bool FindNext(const char* text, int column);
    bool SelectRow(int viewIndex);

    // Keys instead of compare events for the columns the source answers.
    void SetSortKeySource(ISortKeySource* source) { m_keySource = source; }
    // The header's own image list (the sort arrows), apart from the rows' images.
    bool SetHeaderImages(HIMAGELIST* list);
    // Sorts the shown order again by the sort column in its direction (the
    // owner's values or their display changed); false when unsorted.
    bool Resort();

    // The commands of ListViewCommands.h, as the registered message runs them.
    LRESULT RunCommand(WPARAM command, LPARAM argument);
    // Every row selected (not in a single-selection grid).
    bool SelectAllRows();
    // The selected rows with the column titles to the clipboard, tab-separated;
    // false when none is selected or the clipboard refused.
    bool CopySelection();
    // The whole list in its shown order as ';'-separated CSV in code page 1251.
    bool SaveCsv(const char* path);
    // The next row holding the text in any shown cell, after the focused row,
    // wrapping at the end; it becomes the only selected row. FindTextAgain: the
    // last text of any search again.
    bool FindText(const char* text);
    bool FindTextAgain();
    // Ctrl+F: asks for a text, finds it, and tells the user when no row holds it.
    void PromptFind();
    // F3: the last search again, as it was made (a column or every column).
    void RepeatFind();

    // INotifyHandler: the router's rows that the grid handles itself.
    bool HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn) override;
    // The subclassed window goes back to its own procedure.
    void RestoreWindowProc() override;

    CEditBox* GetEditBox() const { return editBox; }
    int  GetSortColumn() const { return sortColumn; }
    bool IsAscending() const { return ascending; }
    bool IsBusy() const { return busy; }
    int  GetStretchColumn() const { return stretchColumn; }
    bool HasIdColumn() const { return idColumn; }
    // The column of the edit running now; -1 when none runs.
    int  GetEditColumn() const { return editColumn; }
    // No store bound yet: the embedded one stands in, and no row has a record.
    bool IsUnbound() const { return unbound; }
    CRecordArray* GetEmbeddedStore() { return &embeddedStore; }
    // The text of the last search down a column.
    const char* GetSearchText() const { return searchText; }

    // What the owner sets.
    // Rows shown after the records, when there are any (totals the owner
    // fills): they hold no record.
    void SetFooterRows(int rows) { footerRows = rows; }
    int  GetFooterRows() const { return footerRows; }
    // The header image of an ascending sort (the next one: descending); -1: none.
    void SetSortImageBase(int image) { sortImageBase = image; }
    // Row focus changes raise EV_ROW_FOCUSED and EV_ROW_UNFOCUSED (the default).
    void SetNotifyFocus(bool notify) { notifyFocus = notify; }
    bool NotifiesFocus() const { return notifyFocus; }
    // The next edit fills the store's pending record and appends it (one edit only).
    void SetAppendMode(bool append) { appendMode = append; }
    bool IsAppendMode() const { return appendMode; }
    // An edit raises EV_EDIT_END even on a row without a record.
    void SetEditWithoutRecord(bool allow) { editWithoutRecord = allow; }

private:
    int           stretchColumn;
    bool          appendMode;
    CRecordArray* store;
    bool          idColumn;
    int           sortImageBase;
    int           editRow, editColumn;
    bool          notifyFocus;
    bool          unbound;
    bool          searchMode;
    int           footerRows;
    bool          editWithoutRecord;
    CRecordArray  embeddedStore;
    int           sortColumn;
    int           stretchMinimum;
    CEditBox*     editBox;
    bool          ascending;
    bool          busy;
    char          searchText[CWIN_TEXT_SIZE];
    int           searchColumn;

    // Rows and slots selected before a reorder, to select the same records after it.
    struct SelectionMemo
    {
        int       focusedSlot;
        bool      all;
        uint32_t* slots;
        int       count;
    };

    static LRESULT CALLBACK GridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnGridMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKey(WPARAM key);
    void Subclass();
    static int OnEditEnd(WindowEvent* event);
    void EndEdit(bool accepted);
    void StretchColumn();
    void ClearSelection();
    // Selects (LVIS_SELECTED) or clears every row at once.
    void SetStateOfAllRows(UINT state);
    void ClearSortImages();
    void ShowSortImages();
    LRESULT OnCellRequest(NMLVDISPINFOA* request);
    // Asks the owner for one cell's text; the caller holds the store's lock.
    void AskCell(void* record, NMLVDISPINFOA* request);
    // The shown text of a data row's cell (screen column); the caller holds
    // the store's lock. The text may be the owner's own rather than buffer.
    const char* ShownCell(void* record, int row, int column, char* buffer, int size);
    int  ColumnCount();
    bool RowOfRecord(int slot, int* row);
    // The sort proper: keys when the owner gives them, else a stable merge of
    // the view index by compare events; see ListViewSort.cpp.
    bool CanSort();
    void RunSort();
    bool SortByKeys(bool useIds);
    void SortView(bool useIds);
    int  CompareSlots(uint32_t a, uint32_t b, bool useIds);
    bool MustFollow(uint32_t a, uint32_t b, bool useIds)
    {
        int e = CompareSlots(a, b, useIds);
        return ascending ? e > 0 : e < 0;
    }
    void InsertionSort(uint32_t* view, int count, bool useIds);
    void Progress(unsigned long long done);
    void RestoreSavedOrder();
    void RememberSelection(SelectionMemo* memo);
    void ForgetSelection(const SelectionMemo& memo);
    void RestoreSelection(SelectionMemo* memo);
    // The order a sort left, to tell later whether the store changed it.
    void RememberOrder();
    bool OrderChangedSinceSort();
    bool ApplyHeaderImages();
    bool FindInAllColumns();
    void TellNotFound();
    // Copy and CSV: the rows (selected ones, or all) written as text; see ListViewExport.cpp.
    bool WriteRows(CGridTextSink& sink, bool selectedOnly);
    LRESULT OnItemChanged(NMLISTVIEW* change);
    LRESULT OnClick(NMITEMACTIVATE* activate, int code);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw, bool* handled);

    // The order saved before the first sort is only put back while the store
    // still has the count and capacity it had then.
    int  m_savedCount;
    int  m_savedCapacity;
    bool m_endingEdit;
    // Sort progress: the bar's range is the view count, its position the share of work done.
    unsigned long long m_workTotal;
    int  m_progressShown;
    INT_PTR m_sortParam;

    WNDPROC         m_previousProc;
    ISortKeySource* m_keySource;
    HIMAGELIST*     m_headerImages;
    // The last search ran through every column (LVC_FIND, Ctrl+F), not one column.
    bool            m_findAllColumns;
    int             m_sortedRows;
    uint64_t        m_sortedSignature;
};

#endif
