// CListOrder: sort keys and comparisons of the plug-in's list columns, and
// the alphabetical order of texts in code page 1251.
#include "ListOrder.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "FirstIndex.h"
#include "cwin/composite/ListView.h"
#include "cwin/system/HeapRegistry.h"

namespace {

// Weights of the 256 bytes of code page 1251: the primary weight orders the
// letters (both cases of a letter, and е with ё, share one); the secondary
// weight puts ё after е among texts that differ in nothing else.
class CCollation
{
public:
    CCollation()
    {
        memset(m_primary, 0, sizeof(m_primary));
        memset(m_secondary, 0, sizeof(m_secondary));
        bool letterOrDigit[256] = {};
        for (int c = '0'; c <= '9'; ++c)
            letterOrDigit[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c)
            letterOrDigit[c] = letterOrDigit[c + 32] = true;
        for (int c = 0xC0; c <= 0xFF; ++c)
            letterOrDigit[c] = true;
        for (const auto& pair : kOtherCyrillic)
            letterOrDigit[pair[0]] = letterOrDigit[pair[1]] = true;
        letterOrDigit[0xA8] = letterOrDigit[0xB8] = true;

        uint16_t weight = 1;
        // Control characters, blanks and signs in the order of their bytes.
        for (int c = 1; c < 256; ++c)
            if (!letterOrDigit[c])
                m_primary[c] = weight++;
        for (int c = '0'; c <= '9'; ++c)
            m_primary[c] = weight++;
        for (int c = 'a'; c <= 'z'; ++c)
            m_primary[c] = m_primary[c - 32] = weight++;
        // а .. я (0xE0 .. 0xFF, capitals 32 below); ё right after е.
        for (int c = 0xE0; c <= 0xFF; ++c) {
            m_primary[c] = m_primary[c - 32] = weight++;
            if (c == 0xE5) {
                m_primary[0xB8] = m_primary[0xA8] = m_primary[c];
                m_secondary[0xB8] = m_secondary[0xA8] = 1;
            }
        }
        // The other Cyrillic letters of the code page after я.
        for (const auto& pair : kOtherCyrillic)
            m_primary[pair[0]] = m_primary[pair[1]] = weight++;
    }

    int Compare(const unsigned char* a, size_t aLength, const unsigned char* b, size_t bLength) const
    {
        size_t n = aLength < bLength ? aLength : bLength;
        for (size_t i = 0; i < n; ++i) {
            uint16_t pa = m_primary[a[i]], pb = m_primary[b[i]];
            if (pa != pb)
                return pa < pb ? -1 : 1;
        }
        if (aLength != bLength)
            return aLength < bLength ? -1 : 1;
        for (size_t i = 0; i < n; ++i) {
            uint8_t sa = m_secondary[a[i]], sb = m_secondary[b[i]];
            if (sa != sb)
                return sa < sb ? -1 : 1;
        }
        return 0;
    }

private:
    // Capital and small letter of the Cyrillic letters beyond the Russian
    // alphabet (Ukrainian, Belarusian, Serbian, Macedonian), in this order.
    static const unsigned char kOtherCyrillic[14][2];

    uint16_t m_primary[256];
    uint8_t  m_secondary[256];
};

const unsigned char CCollation::kOtherCyrillic[14][2] = {
    {0xA5, 0xB4}, {0x80, 0x90}, {0x81, 0x83}, {0xAA, 0xBA}, {0xBD, 0xBE}, {0xB2, 0xB3}, {0xAF, 0xBF},
    {0xA3, 0xBC}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x8D, 0x9D}, {0xA1, 0xA2}, {0x8F, 0x9F}};

const CCollation& Collation()
{
    static const CCollation collation;
    return collation;
}

// A block of the heap registry for the length of a scope.
template <class T> class CScratch
{
public:
    explicit CScratch(int count) : m_data(NULL)
    {
        if (count > 0)
            g_heapRegistry.Alloc(&m_data, (SIZE_T)count * sizeof(T));
    }
    ~CScratch()
    {
        if (m_data)
            g_heapRegistry.Free(&m_data);
    }
    T* Get() const { return m_data; }

private:
    CScratch(const CScratch&);
    CScratch& operator=(const CScratch&);
    T* m_data;
};

// ranks[i] for the texts of 0 .. count - 1 (textOf(i, buffer, size, &length)):
// equal texts get equal ranks, rising with the text; an empty text is 0, the
// others count from 1. False when the memory for it cannot be had.
template <class TextOf> bool RankTexts(int count, TextOf textOf, uint32_t* ranks)
{
    if (count <= 0)
        return true;
    CScratch<int32_t> order(count);
    if (!order.Get())
        return false;
    int32_t* o = order.Get();
    for (int i = 0; i < count; ++i)
        o[i] = i;
    auto compare = [&textOf](int32_t a, int32_t b) {
        char bufferA[16], bufferB[16];
        size_t lengthA, lengthB;
        const char* textA = textOf(a, bufferA, sizeof(bufferA), &lengthA);
        const char* textB = textOf(b, bufferB, sizeof(bufferB), &lengthB);
        return CollateCompare(textA, lengthA, textB, lengthB);
    };
    std::sort(o, o + count, [&compare](int32_t a, int32_t b) {
        int c = compare(a, b);
        return c < 0 || (c == 0 && a < b);
    });
    uint32_t rank = 0;
    int32_t previous = -1;
    for (int k = 0; k < count; ++k) {
        int32_t i = o[k];
        char buffer[16];
        size_t length;
        textOf(i, buffer, sizeof(buffer), &length);
        if (length == 0) {
            ranks[i] = 0;
            continue;
        }
        if (previous < 0 || compare(previous, i) != 0)
            ++rank;
        ranks[i] = rank;
        previous = i;
    }
    return true;
}

// The identifier as the code mode shows it: the code, or eight hexadecimal
// digits when the code is empty.
const char* CodeOrHex(int32_t id, const char* code, char* buffer, size_t size, size_t* length)
{
    size_t n = strnlen(code, 32);
    if (n > 0 && n < 32) {
        *length = n;
        return code;
    }
    if (n == 32) {   // a code from a list file without its terminator: as far as it goes
        *length = 32;
        return code;
    }
    snprintf(buffer, size, "%.8X", (unsigned)id);
    *length = strlen(buffer);
    return buffer;
}

const char* Field(const char* text, size_t size, size_t* length)
{
    *length = strnlen(text, size);
    return text;
}

}  // namespace

int CollateCompare(const char* a, size_t aLength, const char* b, size_t bLength)
{
    return Collation().Compare(reinterpret_cast<const unsigned char*>(a), aLength,
                               reinterpret_cast<const unsigned char*>(b), bLength);
}

bool CListOrder::Textual(SortKind kind) const
{
    if (kind == SortText || kind == SortRowGoodsName)
        return true;
    return ShowsIdentifiers(kind) && m_idMode == IdModeCode;
}

// Hexadecimal identifiers show as unsigned numbers, decimal ones as signed.
uint64_t CListOrder::IdKey(int32_t id) const
{
    return m_idMode == IdModeDecimal ? (uint32_t)id ^ 0x80000000u : (uint32_t)id;
}

uint64_t CListOrder::NumericKey(const ColumnOrder& column, const char* record) const
{
    const char* field = record + column.offset;
    switch (column.kind) {
    case SortDouble: {
        double value;
        memcpy(&value, field, sizeof(value));
        return SortKeyOfDouble(value);
    }
    case SortInteger: {
        int32_t value;
        memcpy(&value, field, sizeof(value));
        return SortKeyOfSigned(value);
    }
    case SortDate: {
        uint32_t value;
        memcpy(&value, field, sizeof(value));
        return value;
    }
    case SortOwnId:
    case SortGoodsRef:
    case SortSupplierRef: {
        int32_t id;
        memcpy(&id, field, sizeof(id));
        return IdKey(id);
    }
    case SortRowGoodsId: {
        // An empty cell (a goods item no longer in the table) before every number.
        const DynamicsRow* row = reinterpret_cast<const DynamicsRow*>(record);
        int g = row->goodsIndex;
        if (!m_goods.Records() || g < 0 || g >= m_goods.Count())
            return 0;
        return (1ull << 32) | IdKey(m_goods[g].id);
    }
    default:
        return 0;
    }
}

const char* CListOrder::ShownText(const ColumnOrder& column, const char* record, char* buffer, size_t size,
                                  size_t* length) const
{
    *length = 0;
    buffer[0] = 0;
    switch (column.kind) {
    case SortText:
        return Field(record + column.offset, (size_t)column.size, length);
    case SortOwnId: {
        int32_t id;
        memcpy(&id, record + column.offset, sizeof(id));
        return CodeOrHex(id, record + column.offset + 4, buffer, size, length);
    }
    case SortGoodsRef:
    case SortSupplierRef: {
        // The code of the first record with the identifier; nothing when none has it.
        int32_t id;
        memcpy(&id, record + column.offset, sizeof(id));
        if (column.kind == SortGoodsRef) {
            for (int i = 0; m_goods.Records() && i < m_goods.Count(); ++i)
                if (m_goods[i].id == id)
                    return CodeOrHex(id, m_goods[i].code, buffer, size, length);
        } else {
            for (int i = 0; m_suppliers.Records() && i < m_suppliers.Count(); ++i)
                if (m_suppliers[i].id == id)
                    return CodeOrHex(id, m_suppliers[i].code, buffer, size, length);
        }
        return buffer;
    }
    case SortRowGoodsId:
    case SortRowGoodsName: {
        const DynamicsRow* row = reinterpret_cast<const DynamicsRow*>(record);
        int g = row->goodsIndex;
        if (!m_goods.Records() || g < 0 || g >= m_goods.Count())
            return buffer;
        const GoodsRecord& goods = m_goods[g];
        if (column.kind == SortRowGoodsName)
            return Field(goods.name, sizeof(goods.name), length);
        return CodeOrHex(goods.id, goods.code, buffer, size, length);
    }
    default:
        return buffer;
    }
}

int CListOrder::Compare(const ColumnOrder& column, const void* a, const void* b) const
{
    const char* recordA = static_cast<const char*>(a);
    const char* recordB = static_cast<const char*>(b);
    if (!recordA || !recordB)
        return 0;
    if (!Textual(column.kind)) {
        uint64_t keyA = NumericKey(column, recordA), keyB = NumericKey(column, recordB);
        return keyA < keyB ? -1 : keyA > keyB ? 1 : 0;
    }
    char bufferA[64], bufferB[64];
    size_t lengthA, lengthB;
    const char* textA = ShownText(column, recordA, bufferA, sizeof(bufferA), &lengthA);
    const char* textB = ShownText(column, recordB, bufferB, sizeof(bufferB), &lengthB);
    return CollateCompare(textA, lengthA, textB, lengthB);
}

bool CListOrder::MakeKeys(const ColumnOrder& column, const void* records, int recordSize, int count,
                          uint64_t* keys) const
{
    const char* base = static_cast<const char*>(records);
    if (count <= 0)
        return true;
    if (!Textual(column.kind)) {
        for (int i = 0; i < count; ++i)
            keys[i] = NumericKey(column, base + (size_t)i * (size_t)recordSize);
        return true;
    }
    if (column.kind == SortText || column.kind == SortOwnId) {
        // Ranks of the records' own texts.
        CScratch<uint32_t> ranks(count);
        if (!ranks.Get())
            return false;
        auto textOf = [&](int i, char* buffer, size_t size, size_t* length) {
            return ShownText(column, base + (size_t)i * (size_t)recordSize, buffer, size, length);
        };
        if (!RankTexts(count, textOf, ranks.Get()))
            return false;
        for (int i = 0; i < count; ++i)
            keys[i] = ranks.Get()[i];
        return true;
    }

    // The other texts come from the goods or supplier table: the ranks of its
    // records, then each record's key through them (0: not in the table).
    bool suppliers = column.kind == SortSupplierRef;
    int tableCount = suppliers ? (m_suppliers.Records() ? m_suppliers.Count() : 0)
                               : (m_goods.Records() ? m_goods.Count() : 0);
    CScratch<uint32_t> tableRanks(tableCount);
    if (tableCount > 0 && !tableRanks.Get())
        return false;
    uint32_t* ranks = tableRanks.Get();
    bool ranked;
    if (suppliers)
        ranked = RankTexts(tableCount, [this](int i, char* buffer, size_t size, size_t* length) {
            const SupplierRecord& s = m_suppliers[i];
            return CodeOrHex(s.id, s.code, buffer, size, length);
        }, ranks);
    else if (column.kind == SortRowGoodsName)
        ranked = RankTexts(tableCount, [this](int i, char*, size_t, size_t* length) {
            return Field(m_goods[i].name, sizeof(m_goods[i].name), length);
        }, ranks);
    else
        ranked = RankTexts(tableCount, [this](int i, char* buffer, size_t size, size_t* length) {
            const GoodsRecord& g = m_goods[i];
            return CodeOrHex(g.id, g.code, buffer, size, length);
        }, ranks);
    if (!ranked)
        return false;
    if (tableCount == 0) {
        memset(keys, 0, (size_t)count * sizeof(uint64_t));
        return true;
    }

    if (column.kind == SortRowGoodsId || column.kind == SortRowGoodsName) {
        for (int i = 0; i < count; ++i) {
            const DynamicsRow* row = reinterpret_cast<const DynamicsRow*>(base + (size_t)i * (size_t)recordSize);
            int g = row->goodsIndex;
            keys[i] = g >= 0 && g < tableCount ? ranks[g] : 0;
        }
        return true;
    }
    // An identifier shows the code of the first record that has it.
    CFirstIndex first;
    if (!first.Reset(tableCount))
        return false;
    for (int i = 0; i < tableCount; ++i)
        first.AddFirst((uint32_t)(suppliers ? m_suppliers[i].id : m_goods[i].id), i);
    for (int i = 0; i < count; ++i) {
        int32_t id;
        memcpy(&id, base + (size_t)i * (size_t)recordSize + column.offset, sizeof(id));
        int32_t j = first.Find((uint32_t)id);
        keys[i] = j >= 0 && j < tableCount ? ranks[j] : 0;
    }
    return true;
}
