// CDynamicsPage: the supplier box, the build button, the dynamics list and its report.
#include "PluginWindow.h"

#include <stdio.h>
#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/controls/BasicControls.h"
#include "DynamicsReport.h"
#include "cwin/composite/ListView.h"
#include "cwin/system/MessageBox.h"
#include "OrvexResources.h"
#include "cwin/composite/TControl.h"

namespace {

// Column 0 the goods' identifier, column 1 its name.
const ColumnOrder kDynamicsOrder[2] = {{SortRowGoodsId, 0, 0}, {SortRowGoodsName, 0, 0}};

}  // namespace

CDynamicsPage::CDynamicsPage()
    : dynamicsList(NULL), dialog(NULL), supplierBox(NULL), m_store(NULL), m_lists(NULL), m_progress(NULL),
      m_boxes(NULL)
{
}

bool CDynamicsPage::Build(CAppFrame* frame, HWND parent, CTControl* tabs)
{
    if (!frame)
        return false;
    m_progress = frame;
    m_boxes = frame;
    dialog = frame->CreatePage(MAKEINTRESOURCEA(IDD_DYNAMICS_STRIP), ControlArgs().Parent(parent).Place(0, 0, 100, 40));
    if (!dialog) {
        ShowMessageBox(NULL, "COrvex", "cDlg == NULL", MB_OK);
        return false;
    }
    dialog->AnchorSide(SideAnchor(ANCHOR_LEFT, 1).From(tabs, ANCHOR_LEFT).ClientRect());
    dialog->AnchorSide(SideAnchor(ANCHOR_TOP, 1).From(tabs, ANCHOR_TOP).ClientRect());
    dialog->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1).From(tabs, ANCHOR_RIGHT).ClientRect());
    dialog->FitToParent();
    if (tabs)
        tabs->AddPage(dialog->GetHandle(), 4);

    HWND strip = dialog->GetHandle();
    frame->Factory().AttachItem<CButton>(strip, IDC_BUILD_DYNAMICS, NULL, EV_COMMAND, this);
    supplierBox = frame->Factory().AttachItem<CComboBox>(strip, IDC_SUPPLIER_BOX, NULL, EV_COMMAND, this);

    dynamicsList = frame->Create<CListView>(ControlArgs()
                                                .Parent(parent)
                                                .Place(0, 0, 0, 70)
                                                .ExStyle(WS_EX_CLIENTEDGE)
                                                .Style(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA)
                                                .Text("ListView"));
    if (!dynamicsList)
        return true;
    dynamicsList->AnchorSide(SideAnchor(ANCHOR_LEFT, 1).From(tabs, ANCHOR_LEFT).ClientRect());
    dynamicsList->AnchorSide(SideAnchor(ANCHOR_TOP, 1).From(dialog, ANCHOR_BOTTOM));
    dynamicsList->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1).From(tabs, ANCHOR_RIGHT).ClientRect());
    dynamicsList->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 1).From(tabs, ANCHOR_BOTTOM).ClientRect());
    dynamicsList->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    dynamicsList->SetFont(14, 0, 0, "Courier New");
    dynamicsList->SetColors(RGB(0, 0, 0), 0xC8C8C8);
    dynamicsList->SetUserData(this);
    dynamicsList->AddHandler(NULL, EV_CACHE_HINT, 0, this);
    dynamicsList->SetHint("Здесь отображено содержимое справочника");
    if (tabs)
        tabs->AddPage(dynamicsList->GetHandle(), 4);
    dynamicsList->SetStretchColumn(1);
    dynamicsList->InsertColumn(0, "ID", 80, LVCFMT_LEFT, 0);
    dynamicsList->InsertColumn(1, "Наименование товара", 140, LVCFMT_LEFT, 0);
    dynamicsList->AddHandler(NULL, EV_DOUBLE_CLICK | EV_MENU_COMMAND, 0, this);
    dynamicsList->LoadPopupMenu(IDR_LIST_MENUS, 7);
    return true;
}

void CDynamicsPage::FillSuppliers()
{
    if (!supplierBox || !supplierBox->GetHandle())
        return;
    HWND box = supplierBox->GetHandle();
    // Filled without drawing, with room for all names made at once; painted once after.
    bool drawn = (GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE) != 0;
    if (drawn)
        SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    const CRecordTable<SupplierRecord>& suppliers = m_store->Tables().Suppliers();
    int count = suppliers.Records() ? suppliers.Count() : 0;
    if (count > 0) {
        size_t bytes = 0;
        for (int i = 0; i < count; ++i)
            bytes += strlen(suppliers[i].name) + 1;
        SendMessageA(box, CB_INITSTORAGE, (WPARAM)count, (LPARAM)bytes);
    }
    for (int i = 0; i < count; ++i)
        SendMessageA(box, CB_INSERTSTRING, (WPARAM)i, (LPARAM)suppliers[i].name);
    SendMessageA(box, CB_SETCURSEL, 0, 0);
    if (drawn) {
        SendMessageA(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, NULL, TRUE);
    }
}

int CDynamicsPage::OnCacheHint(WindowEvent* event)
{
    if (!event || event->code != -150 || !event->notify || !dynamicsList
        || event->sender != static_cast<CBaseWindow*>(dynamicsList))
        return 0;
    NMLVDISPINFOA* request = reinterpret_cast<NMLVDISPINFOA*>(event->notify);
    const DynamicsRow* row = reinterpret_cast<const DynamicsRow*>(event->param);
    if (!row || !(request->item.mask & LVIF_TEXT) || !request->item.pszText || request->item.cchTextMax <= 0)
        return 0;
    char* text = request->item.pszText;
    int size = request->item.cchTextMax;
    text[0] = 0;
    const CRecordTable<GoodsRecord>& goods = m_store->Tables().Goods();
    int g = row->goodsIndex;
    bool known = goods.Records() && g >= 0 && g < goods.Count();
    switch (request->item.iSubItem) {
    case 0:
        if (known)
            FormatId(*m_store, IdMode(), text, size, goods[g].id, goods[g].code, true);
        break;
    case 1:
        snprintf(text, (size_t)size, "%s", known ? goods[g].name : "");
        break;
    default:
        snprintf(text, (size_t)size, "%s", kCellError);
        break;
    }
    return 0;
}

int CDynamicsPage::OnMenuCommand(WindowEvent* event)
{
    if (!event || !dynamicsList || event->sender != static_cast<CBaseWindow*>(dynamicsList))
        return 0;
    switch (event->param) {
    case IDM_FIND_NEXT:  dynamicsList->SearchAtCursor(-1); break;
    case IDM_COPY:       dynamicsList->CopySelection(); break;
    case IDM_SELECT_ALL: dynamicsList->SelectAllRows(); break;
    case IDM_FIND:       dynamicsList->PromptFind(); break;
    }
    return 0;
}

int CDynamicsPage::OnCommand(WindowEvent* event)
{
    if (!event || event->user != IDC_BUILD_DYNAMICS)
        return 0;   // the supplier box's own commands
    int selection = supplierBox ? (int)supplierBox->GetCurSel() : -1;
    m_dynamics.Rebuild(*m_store, selection, m_progress, m_boxes);
    // The list is lent the rows of the build it shows (the same as before when
    // nothing was built); a sorted list sorts them in at its Refresh. It takes
    // them without painting them here: it is painted once, when the host's
    // message loop runs next.
    if (dynamicsList) {
        dynamicsList->ReplaceStore(m_dynamics.RowArray());
        HWND list = dynamicsList->GetHandle();
        bool shown = list && IsWindowVisible(list);
        if (shown)
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        dynamicsList->Refresh();
        if (shown) {
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, NULL, TRUE);
        }
    }
    return 0;
}

int CDynamicsPage::OnDoubleClick(WindowEvent* event)
{
    if (dynamicsList)
        WriteDynamicsReport(m_dynamics, dynamicsList->GetCurrentRecordIndex());
    return 0;
}

// ---- order

void CDynamicsPage::EnableSorting(HIMAGELIST* arrows)
{
    if (!dynamicsList)
        return;
    dynamicsList->AddHandler(NULL, EV_COMPARE, 0, this);
    dynamicsList->SetSortKeySource(this);
    dynamicsList->SetSortImageBase(0);
    if (arrows)
        dynamicsList->SetHeaderImages(arrows);
}

int CDynamicsPage::OnCompare(WindowEvent* event)
{
    if (!event || event->param < 0 || event->param > 1)
        return 0;
    return CListOrder(*m_store, IdMode())
        .Compare(kDynamicsOrder[event->param], reinterpret_cast<const void*>(event->notify),
                 reinterpret_cast<const void*>(event->aux));
}

bool CDynamicsPage::MakeSortKeys(CListView* grid, int column, const void* records, int recordSize, int count,
                                 uint64_t* keys)
{
    if (grid != dynamicsList || column < 0 || column > 1)
        return false;
    return CListOrder(*m_store, IdMode()).MakeKeys(kDynamicsOrder[column], records, recordSize, count, keys);
}

void CDynamicsPage::IdModeChanged()
{
    if (!dynamicsList || !dynamicsList->GetHandle())
        return;
    if (dynamicsList->GetSortColumn() == 0)
        dynamicsList->Resort();
    InvalidateRect(dynamicsList->GetHandle(), NULL, TRUE);
}
