// CListView ("ListView"): the framework's data grid.
//
//   IListView   the grid interface (fifteen operations, in slot order)
//   CListView   a report-style list view in owner-data mode over a CRecordArray:
//               rows are the store's view index, every cell's text is asked of
//               the owner (EV_CACHE_HINT); three-state sort by header click,
//               identifier column, footer rows, stretch column, search down a
//               column (F3 repeats it), in-place edit box, focus marks
//
// The grid holds no rows of its own; the owner calls Refresh after changing
// the store. Byte 4 of every record shown is the grid's focus mark.
#ifndef CWIN_LISTVIEW_H
#define CWIN_LISTVIEW_H

#include "cwin/window/BaseWindow.h"
#include "cwin/system/RecordArray.h"

class CEditBox;

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
    CListView();
    ~CListView();

    // CBaseWindow
    bool Create() override;
    bool Release() override;
    bool Layout(int parentWidth, int parentHeight) override;
    void ApplyColors() override;

    // Own virtual operations, in slot order.
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

    // rectangle null: the cell's label rectangle (row or column -1: the cell
    // under the cursor). text: the box's initial text, or null.
    bool EditCell(const RECT* rectangle, int row, int column, const char* initialText);
    bool SearchAtCursor(int row);
    // text null and column -1: the last search again.
    bool FindNext(const char* text, int column);
    bool SelectRow(int viewIndex);

    // INotifyHandler: the router's rows that the grid handles itself.
    bool HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn) override;

    CEditBox* GetEditBox() const { return editBox; }
    int  GetSortColumn() const { return sortColumn; }
    bool IsAscending() const { return ascending; }
    bool IsBusy() const { return busy; }

    // Fields, in order. The owner sets the flags and counts directly.
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

private:
    static int OnEditEnd(WindowEvent* event);
    void EndEdit(bool accepted);
    void StretchColumn();
    void ClearSelection();
    void ClearSortImages();
    void ShowSortImages();
    LRESULT OnCellRequest(NMLVDISPINFOA* request);
    // Asks the owner for one cell's text; the caller holds the store's lock.
    void AskCell(void* record, NMLVDISPINFOA* request);
    bool RowOfRecord(int slot, int* row);
    // The sort proper: a stable merge of the view index; see ListView.cpp.
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
};

#endif
