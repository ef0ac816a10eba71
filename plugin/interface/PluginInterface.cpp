// The library's static objects and its one export.
#include "PluginInterface.h"

#include <string.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/composite/ListView.h"
#include "cwin/system/MessageBox.h"
#include "ListFiles.h"
#include "PluginWindow.h"
#include "cwin/composite/TControl.h"

// Constructed in this order when the library is loaded and destroyed in the
// reverse order at unload: the pages give their blocks back before the
// registry destroys its heap, and the registry goes before the frame.
static CAppFrame g_appFrame;
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CPluginInterface g_interface;
static CPluginApp g_pluginApp;

extern "C" __declspec(dllexport) IOrvexPlugin* GetInterface()
{
    return &g_interface;
}

CPluginInterface::CPluginInterface()
    : hostChildCount(0), hostWindow(NULL), m_shown(false)
{
    memset(hostChildren, 0, sizeof(hostChildren));
}

BOOL CALLBACK CPluginInterface::RecordChild(HWND window, LPARAM self)
{
    CPluginInterface* plugin = reinterpret_cast<CPluginInterface*>(self);
    if (plugin->hostChildCount >= ORVEX_MAX_HOST_WINDOWS) {
        ShowMessageBox(g_appFrame.GetMainWindow(), "Массив заполнен", "Ошибка !!!", MB_OK);
        return FALSE;
    }
    plugin->hostChildren[plugin->hostChildCount++] = window;
    return TRUE;
}

// A second call would find the frame attached already and build a second
// window over the first: it is refused.
bool CPluginInterface::AttachHost(HWND window, const char* moduleName)
{
    if (Attached() || !window || !IsWindow(window))
        return false;
    EnumChildWindows(window, RecordChild, reinterpret_cast<LPARAM>(this));
    hostWindow = window;
    HMODULE module = GetModuleHandleA(moduleName);

    g_appFrame.RegisterWorker(&g_pluginApp, 100);
    g_appFrame.RegisterWorker(&g_pluginApp.ListPages(), 100);
    if (!g_appFrame.Attach(window, NULL))
        return true;
    if (module)
        g_appFrame.SetInstance(module);
    g_appFrame.SetMinimumClientSize(600, 450, -1);
    if (g_appFrame.CreateStatusBar("всегда готов ...", 0, 0, 0, NULL)) {
        HWND bar = g_appFrame.GetStatusBar();
        ShowWindow(bar, SW_HIDE);
        g_appFrame.SetEraseBackground(true);
        int parts[3] = {470, 570, -1};
        SendMessageA(bar, SB_SETPARTS, 3, (LPARAM)parts);
        g_appFrame.CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH);
    }
    g_pluginApp.BuildWindow(&g_appFrame, window);
    return true;
}

bool CPluginInterface::Reserved()
{
    return true;
}

bool CPluginInterface::ShowPlugin()
{
    if (!Attached())
        return false;
    for (int i = 0; i < hostChildCount; ++i)
        ShowWindow(hostChildren[i], SW_HIDE);
    if (!m_shown) {
        m_shown = true;
        if (g_appFrame.GetStatusBar())
            ShowWindow(g_appFrame.GetStatusBar(), SW_SHOW);
        if (CTControl* tabs = g_pluginApp.TabControl()) {
            static_cast<IWindow*>(tabs)->Show(true);
            tabs->SelectTab(g_pluginApp.SelectedPage());
        }
    }
    return true;
}

bool CPluginInterface::AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                                   double deliveryTimeAvg, double deliveryTimeMax)
{
    if (!Attached())
        return false;
    g_pluginApp.Store().AddSupplier(id, code, name, deliveryCost, deliveryTimeAvg, deliveryTimeMax);
    return true;
}

bool CPluginInterface::RefreshLists()
{
    if (!Attached())
        return false;
    g_pluginApp.ListPages().RefreshAll();
    g_pluginApp.DynamicsPage().FillSuppliers();
    g_pluginApp.Store().RecomputeGoodsFigures();
    g_pluginApp.ListPages().GoodsFiguresChanged();
    return true;
}

bool CPluginInterface::SetIdMode(int32_t mode)
{
    if (mode != IdModeHex && mode != IdModeDecimal && mode != IdModeCode)
        return false;
    g_pluginApp.ListPages().SetIdMode(mode);
    // Shown again in the new mode (no figures recomputed); before AttachHost
    // there are no lists yet.
    g_pluginApp.ListPages().IdModeChanged();
    g_pluginApp.DynamicsPage().IdModeChanged();
    return true;
}

bool CPluginInterface::AddMove(uint32_t date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                               double soldQty, double supplyValue, double saleValue)
{
    if (!Attached())
        return false;
    g_pluginApp.Store().AddMove(date, goodsId, supplierId, suppliedQty, soldQty, supplyValue, saleValue);
    return true;
}

int32_t CPluginInterface::FindGoodsId(const char* code)
{
    return g_pluginApp.Store().FindGoodsId(code);
}

int32_t CPluginInterface::FindSupplierId(const char* code)
{
    return g_pluginApp.Store().FindSupplierId(code);
}

bool CPluginInterface::AddGoods(int32_t id, const char* code, const char* name, double volume, int32_t assortment,
                                int32_t packQty, const char* note, double specialDelivery)
{
    if (!Attached())
        return false;
    g_pluginApp.Store().AddGoods(id, code, name, volume, assortment, packQty, note, specialDelivery);
    return true;
}

// A code is resolved through this object's own lookup, the operation a host sees.
bool CPluginInterface::AddBalance(uint32_t date, int32_t goodsId, const char* goodsCode, double quantity)
{
    if (!Attached())
        return false;
    if (goodsCode)
        goodsId = FindGoodsId(goodsCode);
    g_pluginApp.Store().AddBalance(date, goodsId, NULL, quantity);
    return true;
}

bool CPluginInterface::SaveLists()
{
    if (!Attached())
        return false;
    return CListFiles(g_pluginApp.Store().Tables()).SaveLists();
}
