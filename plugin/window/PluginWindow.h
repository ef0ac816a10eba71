// The plug-in's window inside the host window: a tab control with four list
// pages (goods, suppliers, movements, balances) and the dynamics page.
//
//   CListPages     the four lists, their record arrays' variables, their cell
//                  texts, their order and the identifier display mode
//                                                             ListPages.cpp
//   (CListOrder    how a column sorts, by keys or by pairs    ListOrder.cpp)
//   CDynamicsPage  supplier box, build button, the dynamics list, the report
//                  on a double click                          DynamicsPage.cpp
//   CPluginApp     builds the window and owns the pages and the store
//                                                             PluginApp.cpp
#ifndef ORVEX_PLUGINWINDOW_H
#define ORVEX_PLUGINWINDOW_H

#include <windows.h>
#include <commctrl.h>

#include "GoodsStore.h"
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
    void SetStore(CGoodsStore* store) { m_store = store; }

    // Makes the four lists on the tab control's pages 0 .. 3, binds them to the
    // store and loads the list files; false when the tab control is no window.
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
    // The identifier display changed: lists sorted by an identifier are sorted
    // again as they now show, and all of them are drawn again.
    void IdModeChanged();

    // Fields, in order.
    CListView*      goodsList;
    CListView*      supplierList;
    CListView*      moveList;
    CListView*      balanceList;
    GoodsRecord*    goodsPending;
    GoodsRecord*    goodsCurrent;
    SupplierRecord* supplierPending;
    SupplierRecord  supplierTemplate;
    MoveRecord*     movePending;
    BalanceRecord*  balancePending;
    int32_t         idMode;

private:
    CListView* MakeList(CAppFrame* frame, HWND parent, CTControl* tabs, int identifier, const char* hint);
    // The order of a column of the list with this identifier; null when there is none.
    const ColumnOrder* OrderOf(int identifier, int column) const;
    void GoodsCell(const GoodsRecord* goods, NMLVDISPINFOA* request);
    void SupplierCell(const SupplierRecord* supplier, NMLVDISPINFOA* request);
    void MoveCell(const MoveRecord* move, NMLVDISPINFOA* request);
    void BalanceCell(const BalanceRecord* balance, NMLVDISPINFOA* request);

    CGoodsStore* m_store;
};

class CDynamicsPage : public IEventSink, public ISortKeySource
{
public:
    CDynamicsPage();
    void SetStore(CGoodsStore* store) { m_store = store; }

    // The dialog strip, its supplier box and button, and the dynamics list on tab 4.
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

    // Fields, in order.
    CListView*   dynamicsList;
    DynamicsRow* currentRow;
    CDialog*     dialog;
    CComboBox*   supplierBox;
    // The rows' pending-record variable, kept by the list's record array.
    DynamicsRow* pendingRow;

private:
    CGoodsStore* m_store;
};

class CPluginApp : public CMathFlow, public IEventSink
{
public:
    CPluginApp();
    ~CPluginApp();

    // Builds the whole window inside the host window; true.
    bool BuildWindow(CAppFrame* frame, HWND parent);

    // Fields, in order.
    HIMAGELIST*   tabImages;
    HIMAGELIST*   sortArrows;
    int32_t       selectedPage;
    CTControl*    tabControl;
    CListPages    listPages;
    CDynamicsPage dynamicsPage;
    CGoodsStore   store;
};

#endif
