// The plug-in's window inside the host window: a tab control with four list
// pages (goods, suppliers, movements, balances) and the dynamics page.
//
//   CListPages     the four lists, lent the store's tables; their cell texts,
//                  their order and the identifier display mode
//                                                             ListPages.cpp
//   (CListOrder    how a column sorts, by keys or by pairs    ListOrder.cpp)
//   (FormatId      the text of an identifier cell             IdText.cpp)
//   CDynamicsPage  supplier box, build button, the current dynamics and the
//                  list of its rows, the report on a double click
//                                                             DynamicsPage.cpp
//   CPluginApp     builds the window and owns the store and the pages
//                                                             PluginApp.cpp
#ifndef ORVEX_PLUGINWINDOW_H
#define ORVEX_PLUGINWINDOW_H

#include <windows.h>
#include <commctrl.h>

#include "Dynamics.h"
#include "GoodsStore.h"
#include "IdText.h"
#include "ListOrder.h"
#include "cwin/composite/ListView.h"
#include "cwin/system/MathFlow.h"
#include "cwin/window/Window.h"

class CAppFrame;
class CComboBox;
class CDialog;
class CTControl;

// Control identifiers of the lists: the user value of their handler entries.
enum ListIdentifier
{
    GOODS_LIST_ID    = 1047,
    SUPPLIER_LIST_ID = 1048,
    MOVE_LIST_ID     = 1018,
    BALANCE_LIST_ID  = 1019
};

// Text of a cell whose column has no text of its own.
extern const char kCellError[];

class CListPages : public CMathFlow, public IEventSink, public ISortKeySource
{
public:
    CListPages();
    // The store whose tables the lists show.
    void SetStore(CGoodsStore* store) { m_store = store; }

    // Makes the four lists on the tab control's pages 0 .. 3, binds the
    // store's tables, lends them to the lists and loads the list files; false
    // when the tab control is no window.
    bool Build(CAppFrame* frame, HWND parent, CTControl* tabs, HIMAGELIST* sortArrows);
    // Redisplays the four lists.
    void RefreshAll();
    // The goods figures were recomputed: a goods list sorted by one of them follows.
    void GoodsFiguresChanged();

    // Cell texts of the four lists.
    int OnCacheHint(WindowEvent* event) override;
    // Their order by a column, for a pair of records and as keys for all of them.
    int OnCompare(WindowEvent* event) override;
    bool MakeSortKeys(CListView* grid, int column, const void* records, int recordSize, int count,
                      uint64_t* keys) override;
    // The grids' own commands in the context menus (copy, select all, find).
    int OnMenuCommand(WindowEvent* event) override;
    // The identifier display (IdMode), hexadecimal at start.
    int  IdMode() const { return idMode; }
    void SetIdMode(int mode) { idMode = mode; }
    // The identifier display changed: lists sorted by an identifier are sorted
    // again as they now show, and all of them are drawn again.
    void IdModeChanged();

private:
    CListView* MakeList(CAppFrame* frame, HWND parent, CTControl* tabs, int identifier, const char* hint);
    // The order of a column of the list with this identifier; null when there is none.
    const ColumnOrder* OrderOf(int identifier, int column) const;
    void GoodsCell(const GoodsRecord* goods, NMLVDISPINFOA* request);
    void SupplierCell(const SupplierRecord* supplier, NMLVDISPINFOA* request);
    void MoveCell(const MoveRecord* move, NMLVDISPINFOA* request);
    void BalanceCell(const BalanceRecord* balance, NMLVDISPINFOA* request);

    CListView*   goodsList;
    CListView*   supplierList;
    CListView*   moveList;
    CListView*   balanceList;
    int32_t      idMode;
    CGoodsStore* m_store;
};

class CDynamicsPage : public IEventSink, public ISortKeySource
{
public:
    CDynamicsPage();
    // The store the dynamics is built from, and the lists whose identifier
    // display the dynamics list follows.
    void SetStore(CGoodsStore* store, const CListPages* lists)
    {
        m_store = store;
        m_lists = lists;
    }

    // The dialog strip, its supplier box and button, and the dynamics list on
    // tab 4; the frame shows the progress of a build and its message box.
    bool Build(CAppFrame* frame, HWND parent, CTControl* tabs);
    // Empties the supplier box and fills it with the suppliers' names in storage order.
    void FillSuppliers();

    int OnCacheHint(WindowEvent* event) override;
    int OnMenuCommand(WindowEvent* event) override;
    int OnCommand(WindowEvent* event) override;
    int OnDoubleClick(WindowEvent* event) override;
    // The goods rows sort by identifier or name, with the header's arrows.
    void EnableSorting(HIMAGELIST* arrows);
    int OnCompare(WindowEvent* event) override;
    bool MakeSortKeys(CListView* grid, int column, const void* records, int recordSize, int count,
                      uint64_t* keys) override;
    void IdModeChanged();

private:
    int IdMode() const { return m_lists ? m_lists->IdMode() : IdModeHex; }

    CListView*        dynamicsList;
    CDialog*          dialog;
    CComboBox*        supplierBox;
    // The last build; the dynamics list is lent its rows.
    CDynamics         m_dynamics;
    CGoodsStore*      m_store;
    const CListPages* m_lists;
    IProgressSource*  m_progress;
    IMessageBoxes*    m_boxes;
};

class CPluginApp : public CMathFlow, public IEventSink
{
public:
    CPluginApp();
    ~CPluginApp();

    // Builds the whole window inside the host window; true.
    bool BuildWindow(CAppFrame* frame, HWND parent);

    CGoodsStore&   Store() { return store; }
    CListPages&    ListPages() { return listPages; }
    CDynamicsPage& DynamicsPage() { return dynamicsPage; }
    CTControl*     TabControl() const { return tabControl; }
    // The tab the first ShowPlugin selects: -1 until the window is built, then 0.
    int            SelectedPage() const { return selectedPage; }

private:
    HIMAGELIST*   tabImages;
    HIMAGELIST*   sortArrows;
    int32_t       selectedPage;
    CTControl*    tabControl;
    // The store before the pages, which are lent its tables: it goes last.
    CGoodsStore   store;
    CListPages    listPages;
    CDynamicsPage dynamicsPage;
};

#endif
