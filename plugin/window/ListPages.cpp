// CListPages: the four list pages, their columns and cell texts.
#include "PluginWindow.h"

#include <stdio.h>
#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/composite/ListView.h"
#include "OrvexResources.h"
#include "StoreTables.h"
#include "cwin/composite/TControl.h"

const char kCellError[] = "<< ошибка >>";

namespace {

struct Column
{
    const char* title;
    int width;
    int format;   // LVCFMT_LEFT 0, LVCFMT_CENTER 2
};

const Column kGoodsColumns[] = {
    {"ID", 81, 0}, {"Наименование", 150, 0}, {"Цена покупки", 100, 2}, {"Цена продажи", 100, 2},
    {"Наценка", 80, 2}, {"dK", 80, 2}, {"Кубатура", 80, 2}, {"Ассортимент", 40, 2},
    {"Кол-во в уп.", 80, 2}, {"Примечание", 80, 0}, {"Спец.ср.дост.", 80, 2},
};
const Column kSupplierColumns[] = {
    {"ID", 70, 0}, {"Наименование", 100, 0}, {"Ст.доставки", 100, 2}, {"вр.дост.ср.", 100, 2},
    {"вр.дост.max", 100, 2},
};
const Column kMoveColumns[] = {
    {"Дата", 80, 0}, {"ID товара", 90, 0}, {"ID поставщика", 90, 0}, {"Поставка кол-во", 120, 0},
    {"Продажа кол-во", 120, 0}, {"Цена поставки", 120, 0}, {"Цена продажи", 100, 0},
};
const Column kBalanceColumns[] = {
    {"Дата", 100, 0}, {"ID товара", 90, 0}, {"Количество", 100, 0},
};

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
    CGoodsStore::ListTable table;
};

const PageSpec kPages[4] = {
    {GOODS_LIST_ID, 0, 4, 1, kGoodsColumns, 11, "Здесь отображено содержимое справочника товаров",
     CGoodsStore::GoodsList},
    {SUPPLIER_LIST_ID, 1, 0, 1, kSupplierColumns, 5, "Здесь отображено содержимое справочника поставщиков",
     CGoodsStore::SupplierList},
    {MOVE_LIST_ID, 2, 0, -1, kMoveColumns, 7, "Здесь отображено 'Обороты по движению товаров' ",
     CGoodsStore::MoveList},
    {BALANCE_LIST_ID, 3, 0, 2, kBalanceColumns, 3, "Здесь отображено 'Остатки по товарам' ",
     CGoodsStore::BalanceList},
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
    : goodsList(NULL), supplierList(NULL), moveList(NULL), balanceList(NULL), goodsPending(NULL),
      goodsCurrent(NULL), supplierPending(NULL), movePending(NULL), balancePending(NULL),
      idMode(IdModeHex), m_store(NULL)
{
    MakeSupplierTemplate(&supplierTemplate);
}

CListView* CListPages::MakeList(CAppFrame* frame, HWND parent, CTControl* tabs, int identifier, const char* hint)
{
    CBaseWindow* made = frame->CreateControl("ListView", 0, 0, 0, 70, WS_EX_CLIENTEDGE,
                                             LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, "ListView", parent);
    CListView* list = static_cast<CListView*>(made);
    if (!list)
        return NULL;
    list->Anchor(tabs, ANCHOR_LEFT, ANCHOR_LEFT | ANCHOR_CLIENT_RECT | 1);
    list->Anchor(tabs, ANCHOR_TOP, ANCHOR_TOP | ANCHOR_CLIENT_RECT | 1);
    list->Anchor(tabs, ANCHOR_RIGHT, ANCHOR_RIGHT | ANCHOR_CLIENT_RECT | 1);
    list->Anchor(tabs, ANCHOR_BOTTOM, ANCHOR_BOTTOM | ANCHOR_CLIENT_RECT | 1);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    list->SetFont(14, 0, 0, "Courier New");
    list->SetColors(RGB(0, 0, 0), 0xC8C8C8);
    list->userData = this;
    if (identifier)
        list->AddHandler(NULL, EV_CACHE_HINT, identifier, this);
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
            list->InsertColumn(c, page.columns[c].title, page.columns[c].width, page.columns[c].format, 0);
        if (page.identifier == GOODS_LIST_ID) {
            HIMAGELIST* icons = frame->GetImageLists()->LoadStrip(5, IDB_GOODS_ICONS, IMAGE_BITMAP,
                                                                   ILC_COLOR32 | ILC_MASK, 16, 16, 5,
                                                                   RGB(255, 0, 255));
            if (icons)
                list->SetImageList(icons, LVSIL_SMALL);
        }
        list->LoadPopupMenu(IDR_LIST_MENUS, page.submenu);

        StoreBinding binding = m_store->Binding();
        switch (page.table) {
        case CGoodsStore::GoodsList:
            binding.goods = list->BindStore((void**)&m_store->goods, (void**)&goodsPending, (void**)&goodsCurrent,
                                            sizeof(GoodsRecord), GoodsGrowthStep, &m_store->goodsCount);
            binding.goodsPending = &goodsPending;
            break;
        case CGoodsStore::SupplierList:
            binding.suppliers = list->BindStore((void**)&m_store->suppliers, (void**)&supplierPending, NULL,
                                                sizeof(SupplierRecord), SupplierGrowthStep, &m_store->supplierCount);
            if (binding.suppliers)
                binding.suppliers->SetTemplate(&supplierTemplate);
            binding.supplierPending = &supplierPending;
            break;
        case CGoodsStore::MoveList:
            binding.moves = list->BindStore((void**)&m_store->moves, (void**)&movePending, NULL,
                                            sizeof(MoveRecord), MoveGrowthStep, &m_store->moveCount);
            binding.movePending = &movePending;
            break;
        default:
            binding.balances = list->BindStore((void**)&m_store->balances, (void**)&balancePending, NULL,
                                               sizeof(BalanceRecord), BalanceGrowthStep, &m_store->balanceCount);
            binding.balancePending = &balancePending;
            break;
        }
        binding.idMode = &idMode;
        m_store->SetBinding(binding);
        m_store->LoadTable(page.table, CGoodsStore::ListFileName(page.table));
        list->Refresh();
        if (page.identifier != GOODS_LIST_ID) {
            list->sortImageBase = 0;
            list->SetImageList(sortArrows, LVSIL_SMALL);
        }
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
    case 0:  m_store->FormatId(request->item.pszText, request->item.cchTextMax, g->id, g->code, true); break;
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
    case 0:  m_store->FormatId(request->item.pszText, request->item.cchTextMax, s->id, s->code, false); break;
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
    case 1:  m_store->FormatId(request->item.pszText, request->item.cchTextMax, m->goodsId, NULL, true); break;
    case 2:  m_store->FormatId(request->item.pszText, request->item.cchTextMax, m->supplierId, NULL, false); break;
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
    case 1:  m_store->FormatId(request->item.pszText, request->item.cchTextMax, b->goodsId, NULL, true); break;
    case 2:  CellText(request, "%.5f", b->quantity); break;
    default: CellText(request, "%s", kCellError); break;
    }
}
