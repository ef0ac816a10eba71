// The order of the plug-in's list columns when a header is clicked.
//
//   CollateCompare  texts in Russian alphabetical order, code page 1251
//   ColumnOrder     how one column sorts: its kind and where its value lies
//   CListOrder      the sort keys of a whole column (one pass, then the grid
//                   sorts keys) and the comparison of two records, both in the
//                   same order: numbers by value, texts alphabetically, dates
//                   by date, identifiers as the identifier mode shows them
#ifndef ORVEX_LISTORDER_H
#define ORVEX_LISTORDER_H

#include <stddef.h>
#include <stdint.h>

#include "Dynamics.h"
#include "GoodsStore.h"
#include "IdText.h"

// Case-insensitive; ё beside е (after it when the texts differ in nothing
// else); blanks and signs before digits, digits before Latin letters, Latin
// before Cyrillic. Negative, 0 or positive as a before, equal to or after b.
int CollateCompare(const char* a, size_t aLength, const char* b, size_t bLength);

enum SortKind
{
    SortText,          // a text field of the record (size: the field's)
    SortDouble,        // a double field
    SortInteger,       // an int32 field
    SortDate,          // a PackedDate field
    SortOwnId,         // the record's own id, its code right after it (goods, supplier)
    SortGoodsRef,      // an int32 goods id
    SortSupplierRef,   // an int32 supplier id
    SortRowGoodsId,    // a dynamics row's goods, its identifier
    SortRowGoodsName   // a dynamics row's goods, its name
};

struct ColumnOrder
{
    SortKind kind;
    int      offset;   // of the field in the record
    int      size;     // text fields: the field's size
};

class CListOrder
{
public:
    CListOrder(const CGoodsStore& store, int idMode)
        : m_goods(store.Tables().Goods()), m_suppliers(store.Tables().Suppliers()), m_idMode(idMode)
    {
    }

    // keys[i] for records 0 .. count - 1; false when the memory for it cannot be had.
    bool MakeKeys(const ColumnOrder& column, const void* records, int recordSize, int count, uint64_t* keys) const;
    // The order of two records by the same rule: negative when a sorts before b.
    int Compare(const ColumnOrder& column, const void* a, const void* b) const;

    // Columns whose order depends on the identifier mode.
    static bool ShowsIdentifiers(SortKind kind)
    {
        return kind == SortOwnId || kind == SortGoodsRef || kind == SortSupplierRef || kind == SortRowGoodsId;
    }

private:
    bool Textual(SortKind kind) const;
    uint64_t NumericKey(const ColumnOrder& column, const char* record) const;
    // The text the cell shows, for the textual kinds; buffer: at least 16 bytes.
    const char* ShownText(const ColumnOrder& column, const char* record, char* buffer, size_t size,
                          size_t* length) const;
    uint64_t IdKey(int32_t id) const;

    const CRecordTable<GoodsRecord>&    m_goods;
    const CRecordTable<SupplierRecord>& m_suppliers;
    int m_idMode;
};

#endif
