// The plug-in's host-facing interface: what a host program sees of Orvex_DLL.
//
// This layout is a contract with hosts built apart from the library: the slot
// order, the argument lists and the calling convention below stay exactly as
// they are (scripts/check-plugin-abi.py checks the built library). With the
// list files' records (StoreRecords.h) it is the only fixed layout of the
// plug-in.
//
// The library exports one function, GetInterface (undecorated, no arguments),
// that returns the interface object. The host calls the twelve operations as
// virtual member functions of that object, in this slot order (thiscall on
// 32-bit Windows; doubles by value; bool results are one byte). The object has
// no virtual destructor and is never freed by the host.
//
// Calling order: GetInterface, AttachHost once, ShowPlugin; then in any order
// the add operations, SetIdMode, RefreshLists (after a batch of additions) and
// SaveLists. Dates are packed: day in bits 0-7, month in bits 8-15, two-digit
// year in bits 16-23. Texts are code page 1251. SaveLists answers false when
// a list file could not be replaced whole; that file then keeps its old bytes.
#ifndef ORVEX_INTERFACE_H
#define ORVEX_INTERFACE_H

#include <windows.h>
#include <stdint.h>

class IOrvexPlugin
{
public:
    virtual bool    AttachHost(HWND hostWindow, const char* moduleName) = 0;                    // 0
    virtual bool    Reserved() = 0;                                                             // 1
    virtual bool    ShowPlugin() = 0;                                                           // 2
    virtual bool    AddSupplier(int32_t id, const char* code, const char* name, double deliveryCost,
                                double deliveryTimeAvg, double deliveryTimeMax) = 0;            // 3
    virtual bool    RefreshLists() = 0;                                                         // 4
    virtual bool    SetIdMode(int32_t mode) = 0;                                                // 5
    virtual bool    AddMove(uint32_t date, int32_t goodsId, int32_t supplierId, double suppliedQty,
                            double soldQty, double supplyValue, double saleValue) = 0;          // 6
    virtual int32_t FindGoodsId(const char* code) = 0;                                          // 7
    virtual int32_t FindSupplierId(const char* code) = 0;                                       // 8
    virtual bool    AddGoods(int32_t id, const char* code, const char* name, double volume,
                             int32_t assortment, int32_t packQty, const char* note,
                             double specialDelivery) = 0;                                       // 9
    virtual bool    AddBalance(uint32_t date, int32_t goodsId, const char* goodsCode,
                               double quantity) = 0;                                            // 10
    virtual bool    SaveLists() = 0;                                                            // 11
};

// The export, as a host resolves it with GetProcAddress(library, "GetInterface").
typedef IOrvexPlugin* (*GetInterfaceFunction)();

#endif
