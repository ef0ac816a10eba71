// The order of the plug-in's list columns without a window: Russian
// alphabetical order in code page 1251, and the comparison of two records
// (what the lists answer a compare event with) ordering every column exactly
// as the keys of the whole column do, in every identifier mode.
#include "../store/StoreFixture.h"

#include <math.h>
#include <stddef.h>

#include "ListOrder.h"

namespace {

int Sign(long long v)
{
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

int Collate(const char* a, const char* b)
{
    return Sign(CollateCompare(a, strlen(a), b, strlen(b)));
}

TEST(Collation, RussianAlphabeticalOrderInCodePage1251)
{
    struct Case { const char* a; const char* b; int order; } cases[] = {
        {"а", "б", -1},  {"Я", "а", 1},    {"А", "а", 0},       {"ЁЛКА", "ёлка", 0},   // case folded
        {"е", "ё", -1},  {"ё", "ж", -1},   {"ёж", "еж", 1},     {"ёа", "еб", -1},      // ё beside е
        {"Ёж", "Ежевика", -1}, {"ёлка", "ель", -1},                                     // е = ё first
        {"", "а", -1},   {"ab", "abc", -1}, {"Иван Петров", "Иванов", -1},             // shorter, blanks first
        {"9", "a", -1},  {"z", "а", -1},   {"Z", "a", 1},       {" ", "0", -1},        // signs, digits, Latin, Cyrillic
        {"-5", "1", -1}, {"№", "0", -1},   {"я", "ґ", -1},      {"Ґ", "ґ", 0},         // other letters after я
        {"Сахар", "сахар", 0}, {"Чай", "Шоколад", -1}, {"ъ", "ы", -1}, {"э", "ю", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.order, Collate(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(-c.order, Collate(c.b, c.a)) << c.b << " / " << c.a;
    }
}

class ListOrderTest : public StoreTest
{
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        struct Goods { const char* code; const char* name; double volume; int pack; const char* note; };
        const Goods goods[] = {
            {"b2", "яблоко", 10, 5, "шт"},     {"Б1", "Ёж", 2, -3, ""},        {"a1", "ель", -1.5, 12, "Шт"},
            {"", "Ежевика", 0.25, 100, "кг"},  {"B1", "абрикос", NAN, 0, ""},  {"е5", "Апельсин", -0.0, 0, "м"},
            {"Ё4", "ёлка", INFINITY, 0, ""},   {"10", "Zebra", 0, 7, "шт"},    {"9", "apple", 0, 0, ""},
            {"ж", "10 гвоздей", 1e-300, 0, ""}, {"Е5", "еж", 0, 0, "кг"},      {"а1", "Ель", 0, 0, ""},
            {"a1", "двойник кода", 3, 3, ""},
        };
        for (const Goods& g : goods)
            store.AddGoods(0, g.code, g.name, g.volume, 0, g.pack, g.note, 0);
        store.AddGoods(-7, NULL, "без кода, отрицательный номер", 0, 0, 0, "", 0);
        store.AddGoods(0, "x", "", 0, 0, 0, "", 0);   // no name: as empty as a row of no goods
        store.AddSupplier(0, "S1", "ООО Крепёж", 1, 2, 3);
        store.AddSupplier(0, "s1", "Агат", 3, 2, 1);
        store.AddSupplier(0, "", "ёмкость", 2, 2, 2);
        const int goodsIds[] = {12, 3, 77, 1, 10, -5, 13, -7, 0, 2};
        const int supplierIds[] = {2, 1, 5, 1, 3, 2, -1, 0, 3, 9};
        for (int i = 0; i < 10; ++i)
            store.AddMove(D(1 + i * 3 % 28, 1 + i * 5 % 12, 20 + i % 5), goodsIds[i], supplierIds[i], i * 0.5,
                          i % 3, i * 1.25, (i * 7) % 5);
        ASSERT_EQ(15, tables.Goods().Count());
        ASSERT_EQ(10, tables.Moves().Count());
        // Dynamics rows, some of goods no longer in the table.
        const int indexes[] = {0, 1, 2, 3, 6, 10, 11, 12, 13, -1, 40, 4, 14};
        for (int g : indexes) {
            DynamicsRow row = {};
            row.goodsIndex = g;
            rows.push_back(row);
        }
    }

    // Every pair of records compared as one compare event does, against their keys.
    void ExpectPairsFollowTheKeys(const ColumnOrder& column, const void* records, int recordSize, int count,
                                  int idMode, const char* what)
    {
        CListOrder order(store, idMode);
        std::vector<uint64_t> keys((size_t)count, 0xDEADBEEFull);
        ASSERT_TRUE(order.MakeKeys(column, records, recordSize, count, keys.data())) << what;
        const char* base = static_cast<const char*>(records);
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < count; ++j) {
                int byKeys = keys[i] < keys[j] ? -1 : keys[i] > keys[j] ? 1 : 0;
                int byPair = Sign(order.Compare(column, base + (size_t)i * recordSize,
                                                base + (size_t)j * recordSize));
                ASSERT_EQ(byKeys, byPair) << what << " mode " << idMode << ": records " << i << " and " << j;
            }
    }

    std::vector<DynamicsRow> rows;
};

#define TEXT_OF(type, field) {SortText, (int)offsetof(type, field), (int)sizeof(((type*)0)->field)}
#define VALUE_OF(kind, type, field) {kind, (int)offsetof(type, field), 0}

TEST_F(ListOrderTest, ACompareEventOrdersTwoRecordsAsTheKeysOfTheirColumnDo)
{
    struct Column { const char* what; ColumnOrder order; int table; } columns[] = {
        {"goods identifier", VALUE_OF(SortOwnId, GoodsRecord, id), 0},
        {"goods name", TEXT_OF(GoodsRecord, name), 0},
        {"goods note", TEXT_OF(GoodsRecord, note), 0},
        {"goods volume", VALUE_OF(SortDouble, GoodsRecord, volume), 0},
        {"goods pack quantity", VALUE_OF(SortInteger, GoodsRecord, packQty), 0},
        {"supplier identifier", VALUE_OF(SortOwnId, SupplierRecord, id), 1},
        {"supplier name", TEXT_OF(SupplierRecord, name), 1},
        {"supplier delivery cost", VALUE_OF(SortDouble, SupplierRecord, deliveryCost), 1},
        {"move date", VALUE_OF(SortDate, MoveRecord, date), 2},
        {"move goods", VALUE_OF(SortGoodsRef, MoveRecord, goodsId), 2},
        {"move supplier", VALUE_OF(SortSupplierRef, MoveRecord, supplierId), 2},
        {"move sale value", VALUE_OF(SortDouble, MoveRecord, saleValue), 2},
        {"dynamics goods identifier", {SortRowGoodsId, 0, 0}, 3},
        {"dynamics goods name", {SortRowGoodsName, 0, 0}, 3},
    };
    for (const Column& c : columns)
        for (int mode = 0; mode <= 2; ++mode) {
            switch (c.table) {
            case 0:
                ExpectPairsFollowTheKeys(c.order, tables.Goods().Records(), sizeof(GoodsRecord), tables.Goods().Count(),
                                         mode, c.what);
                break;
            case 1:
                ExpectPairsFollowTheKeys(c.order, tables.Suppliers().Records(), sizeof(SupplierRecord),
                                         tables.Suppliers().Count(), mode, c.what);
                break;
            case 2:
                ExpectPairsFollowTheKeys(c.order, tables.Moves().Records(), sizeof(MoveRecord), tables.Moves().Count(),
                                         mode, c.what);
                break;
            default:
                ExpectPairsFollowTheKeys(c.order, rows.data(), sizeof(DynamicsRow), (int)rows.size(), mode,
                                         c.what);
                break;
            }
        }
}

TEST_F(ListOrderTest, KeysOfTheGoodsOfMovesFollowTheCodesShown)
{
    // Moves of goods 12 ("а1"), 3 ("a1"), 77 (none), 1 ("b2"), 10 ("ж"), -5 (none),
    // 13 ("a1", a second goods with that code), -7 (no code: "FFFFFFF9"), 0 (none), 2 ("Б1").
    ColumnOrder goods = VALUE_OF(SortGoodsRef, MoveRecord, goodsId);
    std::vector<uint64_t> keys(10);
    ASSERT_TRUE(CListOrder(store, IdModeCode)
                    .MakeKeys(goods, tables.Moves().Records(), sizeof(MoveRecord), 10, keys.data()));
    // Unknown goods show nothing and come first; then "a1" twice, "b2", "FFFFFFF9", "а1", "Б1", "ж".
    EXPECT_EQ(keys[2], keys[5]);
    EXPECT_EQ(keys[2], keys[8]);
    EXPECT_LT(keys[2], keys[1]);
    EXPECT_EQ(keys[1], keys[6]);
    EXPECT_LT(keys[1], keys[3]);
    EXPECT_LT(keys[3], keys[7]);
    EXPECT_LT(keys[7], keys[0]);
    EXPECT_LT(keys[0], keys[9]);
    EXPECT_LT(keys[9], keys[4]);
}

#undef TEXT_OF
#undef VALUE_OF

}  // namespace
