// CListPages: the four list pages, their columns, cell texts and order, and
// the grids' own commands in their context menus.
#include "PluginWindow.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/composite/ListView.h"
#include "ListFiles.h"
#include "OrvexResources.h"
#include "cwin/composite/TControl.h"

const char kCellError[] = "<< ошибка >>";

namespace {

struct Column
{
    const char* title;
    int width;
    int format;   // LVCFMT_LEFT 0, LVCFMT_CENTER 2
    ColumnOrder order;
};

#define TEXT_OF(type, field) {SortText, (int)offsetof(type, field), (int)sizeof(((type*)0)->field)}
#define VALUE_OF(kind, type, field) {kind, (int)offsetof(type, field), 0}

const Column kGoodsColumns[] = {
    {"ID", 81, 0, VALUE_OF(SortOwnId, GoodsRecord, id)},
    {"Наименование", 150, 0, TEXT_OF(GoodsRecord, name)},
    {"Цена покупки", 100, 2, VALUE_OF(SortDouble, GoodsRecord, purchasePrice)},
    {"Цена продажи", 100, 2, VALUE_OF(SortDouble, GoodsRecord, salePrice)},
    {"Наценка", 80, 2, VALUE_OF(SortDouble, GoodsRecord, markup)},
    {"dK", 80, 2, VALUE_OF(SortDouble, GoodsRecord, dK)},
    {"Кубатура", 80, 2, VALUE_OF(SortDouble, GoodsRecord, volume)},
    {"Ассортимент", 40, 2, VALUE_OF(SortInteger, GoodsRecord, assortment)},
    {"Кол-во в уп.", 80, 2, VALUE_OF(SortInteger, GoodsRecord, packQty)},
    {"Примечание", 80, 0, TEXT_OF(GoodsRecord, note)},
    {"Спец.ср.дост.", 80, 2, VALUE_OF(SortDouble, GoodsRecord, specialDelivery)},
};
const Column kSupplierColumns[] = {
    {"ID", 70, 0, VALUE_OF(SortOwnId, SupplierRecord, id)},
    {"Наименование", 100, 0, TEXT_OF(SupplierRecord, name)},
    {"Ст.доставки", 100, 2, VALUE_OF(SortDouble, SupplierRecord, deliveryCost)},
    {"вр.дост.ср.", 100, 2, VALUE_OF(SortDouble, SupplierRecord, deliveryTimeAvg)},
    {"вр.дост.max", 100, 2, VALUE_OF(SortDouble, SupplierRecord, deliveryTimeMax)},
};
const Column kMoveColumns[] = {
    {"Дата", 80, 0, VALUE_OF(SortDate, MoveRecord, date)},
    {"ID товара", 90, 0, VALUE_OF(SortGoodsRef, MoveRecord, goodsId)},
    {"ID поставщика", 90, 0, VALUE_OF(SortSupplierRef, MoveRecord, supplierId)},
    {"Поставка кол-во", 120, 0, VALUE_OF(SortDouble, MoveRecord, suppliedQty)},
    {"Продажа кол-во", 120, 0, VALUE_OF(SortDouble, MoveRecord, soldQty)},
    {"Цена поставки", 120, 0, VALUE_OF(SortDouble, MoveRecord, supplyValue)},
    {"Цена продажи", 100, 0, VALUE_OF(SortDouble, MoveRecord, saleValue)},
};
const Column kBalanceColumns[] = {
    {"Дата", 100, 0, VALUE_OF(SortDate, BalanceRecord, date)},
    {"ID товара", 90, 0, VALUE_OF(SortGoodsRef, BalanceRecord, goodsId)},
    {"Количество", 100, 0, VALUE_OF(SortDouble, BalanceRecord, quantity)},
};

#undef TEXT_OF
#undef VALUE_OF

// Copies and CSV files write a decimal comma in these columns.
LPARAM ColumnUserValue(const Column& column)
{
    return column.order.kind == SortDouble || column.order.kind == SortInteger ? CWIN_COLUMN_NUMBERS : 0;
}

// What differs between the four list pages.
struct PageSpec
{
    int identifier;
    int tab;
    int submenu;
    int stretchColumn;   // -1: none
    const Column* columns;
    int columnCount;
    const char* hint;
    StoreTable table;
};

const PageSpec kPages[4] = {
    {GOODS_LIST_ID, 0, 4, 1, kGoodsColumns, 11, "Здесь отображено содержимое справочника товаров",
     GoodsTable},
    {SUPPLIER_LIST_ID, 1, 0, 1, kSupplierColumns, 5, "Здесь отображено содержимое справочника поставщиков",
     SupplierTable},
    {MOVE_LIST_ID, 2, 0, -1, kMoveColumns, 7, "Здесь отображено 'Обороты по движению товаров' ",
     MoveTable},
    {BALANCE_LIST_ID, 3, 0, 2, kBalanceColumns, 3, "Здесь отображено 'Остатки по товарам' ",
     BalanceTable},
};

// printf into the request's buffer within its size.
void CellText(NMLVDISPINFOA* request, const char* format, ...)
{
    if (!request->item.pszText || request->item.cchTextMax <= 0)
        return;
    va_list args;
    va_start(args, format);
    vsnprintf(request->item.pszText, (size_t)request->item.cchTextMax, format, args);
    va_end(args);
}

void DateCell(NMLVDISPINFOA* request, PackedDate date)
{
    CellText(request, "%.2d.%.2d.%.2d", DayOf(date), MonthOf(date), YearOf(date));
}

}  // namespace

CListPages::CListPages()
    : goodsList(NULL), supplierList(NULL), moveList(NULL), balanceList(NULL), idMode(IdModeHex), m_store(NULL)
{
}

CListView* CListPages::MakeList(CAppFrame* frame, HWND parent, CTControl* tabs, int identifier, const char* hint)
{
    CListView* list = frame->Create<CListView>(ControlArgs()
                                                   .Parent(parent)
                                                   .Place(0, 0, 0, 70)
                                                   .ExStyle(WS_EX_CLIENTEDGE)
                                                   .Style(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA)
                                                   .Text("ListView"));
    if (!list)
        return NULL;
    list->AnchorSide(SideAnchor(ANCHOR_LEFT, 1).From(tabs, ANCHOR_LEFT).ClientRect());
    list->AnchorSide(SideAnchor(ANCHOR_TOP, 1).From(tabs, ANCHOR_TOP).ClientRect());
    list->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1).From(tabs, ANCHOR_RIGHT).ClientRect());
    list->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 1).From(tabs, ANCHOR_BOTTOM).ClientRect());
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    list->SetFont(14, 0, 0, "Courier New");
    list->SetColors(RGB(0, 0, 0), 0xC8C8C8);
    list->SetUserData(this);
    if (identifier)
        list->AddHandler(NULL, EV_CACHE_HINT | EV_COMPARE | EV_MENU_COMMAND, identifier, this);
    list->SetSortKeySource(this);
    list->SetHint(hint);
    return list;
}

bool CListPages::Build(CAppFrame* frame, HWND parent, CTControl* tabs, HIMAGELIST* sortArrows)
{
    if (!frame || !CBaseWindow::IsWindowObject(static_cast<CBaseWindow*>(tabs)) || !tabs->GetHandle())
        return false;
    CListView** lists[4] = {&goodsList, &supplierList, &moveList, &balanceList};
    for (int p = 0; p < 4; ++p) {
        const PageSpec& page = kPages[p];
        CListView* list = MakeList(frame, parent, tabs, page.identifier, page.hint);
        *lists[p] = list;
        if (!list)
            continue;
        if (page.stretchColumn >= 0)
            list->SetStretchColumn(page.stretchColumn);
        for (int c = 0; c < page.columnCount; ++c)
            list->InsertColumn(c, page.columns[c].title, page.columns[c].width, page.columns[c].format,
                               ColumnUserValue(page.columns[c]));
        if (page.identifier == GOODS_LIST_ID) {
            HIMAGELIST* icons = frame->GetImageLists()->LoadStrip(5, IDB_GOODS_ICONS, IMAGE_BITMAP,
                                                                   ILC_COLOR32 | ILC_MASK, 16, 16, 5,
                                                                   RGB(255, 0, 255));
            if (icons)
                list->SetImageList(icons, LVSIL_SMALL);
        }
        list->LoadPopupMenu(IDR_LIST_MENUS, page.submenu);

        // The store's table, bound empty, is lent to the list, then filled from its file.
        CStoreTables& tables = m_store->Tables();
        tables.Bind(page.table);
        list->SetStore(tables.Array(page.table));
        CListFiles(tables).LoadTable(page.table, CListFiles::FileName(page.table));
        list->Refresh();
        // The arrows go on the header: its own image list, not the rows'.
        list->SetSortImageBase(0);
        if (sortArrows)
            list->SetHeaderImages(sortArrows);
        tabs->AddPage(list->GetHandle(), page.tab);
    }
    return true;
}

// A list on screen would paint itself here, and again once the goods figures
// are recomputed: its drawing is held back, and it is painted once, when the
// host's message loop runs next.
void CListPages::RefreshAll()
{
    CListView* lists[4] = {goodsList, supplierList, moveList, balanceList};
    for (int i = 0; i < 4; ++i) {
        if (!lists[i])
            continue;
        HWND list = lists[i]->GetHandle();
        bool shown = list && IsWindowVisible(list);
        if (shown)
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        lists[i]->Refresh();
        if (shown) {
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, NULL, TRUE);
        }
    }
}

void CListPages::GoodsFiguresChanged()
{
    // Purchase price, sale price and markup are the derived columns.
    const int column = goodsList ? goodsList->GetSortColumn() : -1;
    if (column >= 2 && column <= 4)
        goodsList->Resort();
}

int CListPages::OnCacheHint(WindowEvent* event)
{
    if (!event || event->code != -150 || !event->notify)
        return 1;
    NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(event->notify);
    const void* record = reinterpret_cast<const void*>(event->param);
    if (!record)
        return 1;   // footer rows and unbound lists have no cells
    switch (event->user) {
    case GOODS_LIST_ID: {
        const GoodsRecord* goods = static_cast<const GoodsRecord*>(record);
        if ((request->item.mask & LVIF_IMAGE) && request->item.iSubItem == 0) {
            int icon = goods->listIcon;
            request->item.iImage = icon >= 1 && icon <= 4 ? icon : 0;
        }
        if (request->item.mask & LVIF_TEXT)
            GoodsCell(goods, request);
        break;
    }
    case SUPPLIER_LIST_ID:
        if (request->item.mask & LVIF_TEXT)
            SupplierCell(static_cast<const SupplierRecord*>(record), request);
        break;
    case MOVE_LIST_ID:
        if (request->item.mask & LVIF_TEXT)
            MoveCell(static_cast<const MoveRecord*>(record), request);
        break;
    case BALANCE_LIST_ID:
        if (request->item.mask & LVIF_TEXT)
            BalanceCell(static_cast<const BalanceRecord*>(record), request);
        break;
    }
    return 1;
}

void CListPages::GoodsCell(const GoodsRecord* g, NMLVDISPINFOA* request)
{
    switch (request->item.iSubItem) {
    case 0:  FormatId(*m_store, idMode, request->item.pszText, request->item.cchTextMax, g->id, g->code, true); break;
    case 1:  CellText(request, "%s", g->name); break;
    case 2:  CellText(request, "%.2f", g->purchasePrice); break;
    case 3:  CellText(request, "%.2f", g->salePrice); break;
    case 4:  CellText(request, "%.2f", g->markup); break;
    case 5:  CellText(request, "%.3f", g->dK); break;
    case 6:  CellText(request, "%.2f", g->volume); break;
    case 7:  CellText(request, "%d", (int)g->assortment); break;
    case 8:  CellText(request, "%d", (int)g->packQty); break;
    case 9:  CellText(request, "%s", g->note); break;
    case 10: CellText(request, "%.0f", g->specialDelivery); break;
    default: CellText(request, "%s", kCellError); break;
    }
}

void CListPages::SupplierCell(const SupplierRecord* s, NMLVDISPINFOA* request)
{
    switch (request->item.iSubItem) {
    case 0:  FormatId(*m_store, idMode, request->item.pszText, request->item.cchTextMax, s->id, s->code, false); break;
    case 1:  CellText(request, "%s", s->name); break;
    case 2:  CellText(request, "%.5f", s->deliveryCost); break;
    case 3:  CellText(request, "%.5f", s->deliveryTimeAvg); break;
    case 4:  CellText(request, "%.5f", s->deliveryTimeMax); break;
    default: CellText(request, "%s", kCellError); break;
    }
}

void CListPages::MoveCell(const MoveRecord* m, NMLVDISPINFOA* request)
{
    switch (request->item.iSubItem) {
    case 0:  DateCell(request, m->date); break;
    case 1:  FormatId(*m_store, idMode, request->item.pszText, request->item.cchTextMax, m->goodsId, NULL, true);
             break;
    case 2:  FormatId(*m_store, idMode, request->item.pszText, request->item.cchTextMax, m->supplierId, NULL,
                      false);
             break;
    case 3:  CellText(request, "%.5f", m->suppliedQty); break;
    case 4:  CellText(request, "%.5f", m->soldQty); break;
    case 5:  CellText(request, "%.5f", m->supplyValue); break;
    case 6:  CellText(request, "%.5f", m->saleValue); break;
    default: CellText(request, "%s", kCellError); break;
    }
}

void CListPages::BalanceCell(const BalanceRecord* b, NMLVDISPINFOA* request)
{
    switch (request->item.iSubItem) {
    case 0:  DateCell(request, b->date); break;
    case 1:  FormatId(*m_store, idMode, request->item.pszText, request->item.cchTextMax, b->goodsId, NULL, true); break;
    case 2:  CellText(request, "%.5f", b->quantity); break;
    default: CellText(request, "%s", kCellError); break;
    }
}

// ---- order

const ColumnOrder* CListPages::OrderOf(int identifier, int column) const
{
    for (const PageSpec& page : kPages)
        if (page.identifier == identifier)
            return column >= 0 && column < page.columnCount ? &page.columns[column].order : NULL;
    return NULL;
}

int CListPages::OnCompare(WindowEvent* event)
{
    const ColumnOrder* order = event ? OrderOf(event->user, (int)event->param) : NULL;
    if (!order)
        return 0;
    // Positive: the record in notify sorts after the one in aux.
    return CListOrder(*m_store, idMode).Compare(*order, reinterpret_cast<const void*>(event->notify),
                                                reinterpret_cast<const void*>(event->aux));
}

bool CListPages::MakeSortKeys(CListView* grid, int column, const void* records, int recordSize, int count,
                              uint64_t* keys)
{
    CListView* lists[4] = {goodsList, supplierList, moveList, balanceList};
    for (int p = 0; p < 4; ++p)
        if (grid && grid == lists[p]) {
            const ColumnOrder* order = OrderOf(kPages[p].identifier, column);
            return order && CListOrder(*m_store, idMode).MakeKeys(*order, records, recordSize, count, keys);
        }
    return false;
}

int CListPages::OnMenuCommand(WindowEvent* event)
{
    CListView* grid = event ? dynamic_cast<CListView*>(event->sender) : NULL;
    if (!grid)
        return 0;
    switch (event->param) {
    case IDM_COPY:       grid->CopySelection(); break;
    case IDM_SELECT_ALL: grid->SelectAllRows(); break;
    case IDM_FIND:       grid->PromptFind(); break;
    }
    return 0;   // the other commands of the menus reach no handler
}

void CListPages::IdModeChanged()
{
    CListView* lists[4] = {goodsList, supplierList, moveList, balanceList};
    for (int p = 0; p < 4; ++p) {
        CListView* list = lists[p];
        if (!list || !list->GetHandle())
            continue;
        const ColumnOrder* order = OrderOf(kPages[p].identifier, list->GetSortColumn());
        if (order && CListOrder::ShowsIdentifiers(order->kind))
            list->Resort();
        InvalidateRect(list->GetHandle(), NULL, TRUE);
    }
}
