// CPluginInterface: the one interface object of the library, returned by
// GetInterface. Operations other than GetInterface, Reserved, SetIdMode and
// the two lookups need the tables and windows that AttachHost makes: before
// it they answer false (0 for the lookups) and change nothing.
#ifndef ORVEX_PLUGININTERFACE_H
#define ORVEX_PLUGININTERFACE_H

#include "OrvexInterface.h"

#define ORVEX_MAX_HOST_WINDOWS 32

class CPluginInterface : public IOrvexPlugin
{
public:
    CPluginInterface();

    bool    AttachHost(HWND hostWindow, const char* moduleName) override;
    bool    Reserved() override;
    bool    ShowPlugin() override;
    bool    AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                        double deliveryTimeAvg, double deliveryTimeMax) override;
    bool    RefreshLists() override;
    bool    SetIdMode(int32_t mode) override;
    bool    AddMove(uint32_t date, int32_t goodsId, int32_t supplierId, double suppliedQty, double soldQty,
                    double supplyValue, double saleValue) override;
    int32_t FindGoodsId(const char* code) override;
    int32_t FindSupplierId(const char* code) override;
    bool    AddGoods(int32_t id, const char* code, const char* name, double volume, int32_t assortment,
                     int32_t packQty, const char* note, double specialDelivery) override;
    bool    AddBalance(uint32_t date, int32_t goodsId, const char* goodsCode, double quantity) override;
    bool    SaveLists() override;

private:
    static BOOL CALLBACK RecordChild(HWND window, LPARAM self);
    bool Attached() const { return hostWindow != NULL; }

    HWND    hostChildren[ORVEX_MAX_HOST_WINDOWS];
    int32_t hostChildCount;
    HWND    hostWindow;
    bool    m_shown;
};

#endif
