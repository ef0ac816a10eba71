// Record layouts of the list files: GoodsRecord, SupplierRecord, MoveRecord and
// BalanceRecord.
//
// These layouts are a contract: the list files "GNList.dat", "SNList.dat",
// "GMList.dat" and "GDList.dat" are raw images of the tables' record blocks,
// written and read by other runs and other builds (32 and 64 bits alike), so
// every field keeps its offset and every record its size (checked below).
// Nothing else in the plug-in needs a fixed layout.
//
// All records start with the record array's key and the list view's row mark.
#ifndef ORVEX_STORERECORDS_H
#define ORVEX_STORERECORDS_H

#include <stddef.h>
#include <stdint.h>

#include "cwin/system/PackedDate.h"

struct RecordHead
{
    int32_t key;        // given by the record array; 0 = free slot
    uint8_t rowMark[4]; // byte 0: the list view's focus mark
};

struct GoodsRecord
{
    RecordHead head;
    int32_t  id;
    char     code[32];
    char     name[260];
    double   purchasePrice;
    double   suppliedQty;
    double   salePrice;
    double   soldQty;
    double   markup;
    uint32_t firstMoveDate;     // kUnsetDate: none
    uint8_t  padding1[4];
    double   lastPurchasePrice;
    uint32_t lastPurchaseDate;  // 0: none
    uint8_t  reserved1[12];
    double   dK;
    uint8_t  listIcon;
    uint8_t  reserved2;
    uint8_t  padding2[6];
    double   volume;
    int32_t  assortment;
    int32_t  packQty;
    char     note[256];
    double   specialDelivery;
};

struct SupplierRecord
{
    RecordHead head;
    int32_t id;
    char    code[32];
    char    name[1024];
    uint8_t padding1[4];
    double  deliveryCost;
    double  deliveryTimeAvg;
    double  deliveryTimeMax;
    uint8_t reserved[16];
};

struct MoveRecord
{
    RecordHead head;
    PackedDate date;
    int32_t goodsId;
    int32_t supplierId;
    uint8_t padding1[4];
    double  suppliedQty;
    double  soldQty;
    double  supplyValue;   // money value of the supplied quantity (a total)
    double  saleValue;     // money value of the sold quantity (a total)
    uint8_t reserved[24];
};

struct BalanceRecord
{
    RecordHead head;
    PackedDate date;
    int32_t goodsId;
    double  quantity;
};

#define ORVEX_CHECK_FIELD(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "::" #field " is not at " #offset)

static_assert(sizeof(RecordHead) == 8, "record head is 8 bytes");

static_assert(sizeof(GoodsRecord) == 672, "GoodsRecord is 672 bytes");
ORVEX_CHECK_FIELD(GoodsRecord, id, 8);
ORVEX_CHECK_FIELD(GoodsRecord, code, 12);
ORVEX_CHECK_FIELD(GoodsRecord, name, 44);
ORVEX_CHECK_FIELD(GoodsRecord, purchasePrice, 304);
ORVEX_CHECK_FIELD(GoodsRecord, suppliedQty, 312);
ORVEX_CHECK_FIELD(GoodsRecord, salePrice, 320);
ORVEX_CHECK_FIELD(GoodsRecord, soldQty, 328);
ORVEX_CHECK_FIELD(GoodsRecord, markup, 336);
ORVEX_CHECK_FIELD(GoodsRecord, firstMoveDate, 344);
ORVEX_CHECK_FIELD(GoodsRecord, lastPurchasePrice, 352);
ORVEX_CHECK_FIELD(GoodsRecord, lastPurchaseDate, 360);
ORVEX_CHECK_FIELD(GoodsRecord, reserved1, 364);
ORVEX_CHECK_FIELD(GoodsRecord, dK, 376);
ORVEX_CHECK_FIELD(GoodsRecord, listIcon, 384);
ORVEX_CHECK_FIELD(GoodsRecord, reserved2, 385);
ORVEX_CHECK_FIELD(GoodsRecord, volume, 392);
ORVEX_CHECK_FIELD(GoodsRecord, assortment, 400);
ORVEX_CHECK_FIELD(GoodsRecord, packQty, 404);
ORVEX_CHECK_FIELD(GoodsRecord, note, 408);
ORVEX_CHECK_FIELD(GoodsRecord, specialDelivery, 664);

static_assert(sizeof(SupplierRecord) == 1112, "SupplierRecord is 1112 bytes");
ORVEX_CHECK_FIELD(SupplierRecord, id, 8);
ORVEX_CHECK_FIELD(SupplierRecord, code, 12);
ORVEX_CHECK_FIELD(SupplierRecord, name, 44);
ORVEX_CHECK_FIELD(SupplierRecord, deliveryCost, 1072);
ORVEX_CHECK_FIELD(SupplierRecord, deliveryTimeAvg, 1080);
ORVEX_CHECK_FIELD(SupplierRecord, deliveryTimeMax, 1088);
ORVEX_CHECK_FIELD(SupplierRecord, reserved, 1096);

static_assert(sizeof(MoveRecord) == 80, "MoveRecord is 80 bytes");
ORVEX_CHECK_FIELD(MoveRecord, date, 8);
ORVEX_CHECK_FIELD(MoveRecord, goodsId, 12);
ORVEX_CHECK_FIELD(MoveRecord, supplierId, 16);
ORVEX_CHECK_FIELD(MoveRecord, suppliedQty, 24);
ORVEX_CHECK_FIELD(MoveRecord, soldQty, 32);
ORVEX_CHECK_FIELD(MoveRecord, supplyValue, 40);
ORVEX_CHECK_FIELD(MoveRecord, saleValue, 48);
ORVEX_CHECK_FIELD(MoveRecord, reserved, 56);

static_assert(sizeof(BalanceRecord) == 24, "BalanceRecord is 24 bytes");
ORVEX_CHECK_FIELD(BalanceRecord, date, 8);
ORVEX_CHECK_FIELD(BalanceRecord, goodsId, 12);
ORVEX_CHECK_FIELD(BalanceRecord, quantity, 16);

#undef ORVEX_CHECK_FIELD

#endif
