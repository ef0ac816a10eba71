// The converter's tables read and fed to the plug-in through its add operations.
#include "HostTables.h"

#include <windows.h>
#include <x86intrin.h>

#include <locale.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <unordered_set>

namespace host {
namespace {

// Texts of the converter's tables, byte for byte (code page 1251).
const char kFictiveGoods[]     = "фикти";
const char kFictivePartner[]   = "Фикц";
const char kSupplierNotFound[] = "[поставщик не найден]";
// A rule line inside the report's table (a page break, a separator between
// goods) is a row of the converter's too: a move of the last goods, dated
// 00.00.00, without amounts. It is no movement.
const char kRuleLineDate[]     = "00.00.00";

// Defaults of a supplier record, as the plug-in's own template has them: the
// converter's supplier table carries no delivery terms.
const double kDeliveryCost    = 20000.0;
const double kDeliveryTimeAvg = 1.0;
const double kDeliveryTimeMax = 1.0;

// What the plug-in keeps of a code: its record has 32 bytes for it.
const size_t kCodeBytes = 31;

// Fault lines per table before they are only counted.
const int kFaultLinesShown = 20;

// The tables are read in pieces of this size; a line longer than that grows it.
const size_t kChunkBytes = 4u << 20;

// One line of a table, split at '|' in the read buffer itself: every field is
// followed by a NUL byte there, so it can be handed on as a C string.
struct Row
{
    static const int kKept = 10;      // no table needs more of a row
    int line = 0;                     // 1-based line number in the file
    int count = 0;                    // the line's fields, all of them
    std::string_view field[kKept];    // the first kKept of them
    const char* Text(int i) const { return field[i].data(); }
};

// ---------------------------------------------------------------------------
// Tables

void Fault(Table& table, int line, const char* format, ...)
{
    ++table.faults;
    if (table.faults > kFaultLinesShown)
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[sizeof text - 1] = 0;
    if (line > 0)
        Say("%s, line %d: %s", table.name, line, text);
    else
        Say("%s: %s", table.name, text);
}

void SayHiddenFaults(const Table& table)
{
    if (table.faults > kFaultLinesShown)
        Say("%s: %d more faults like these not shown", table.name, table.faults - kFaultLinesShown);
}

// -time: the time spent inside the plug-in's add operations, measured with the
// processor's counter (a million moves; the system's clock costs too much per
// call) and scaled to milliseconds against it over the whole feed.
struct PluginTime
{
    uint64_t ticks = 0;
    template <class Call>
    void operator()(Call call)
    {
        if (!g_timing) {
            call();
            return;
        }
        uint64_t start = __rdtsc();
        call();
        ticks += __rdtsc() - start;
    }
};

// The first line of a table, in the buffer: its line end dropped, checked
// against the header, and split into the row when it is none. The byte after
// the line is writable.
template <class Function>
void HandleFirstLine(Table& table, char* text, size_t length, Row& row, Function& each)
{
    if (length && text[length - 1] == '\r')
        --length;
    if (memchr(text, 0, length)) {
        Fault(table, 1, "holds a NUL byte; not a text table line, skipped");
        return;
    }
    text[length] = 0;
    if (length == strlen(table.header) && memcmp(text, table.header, length) == 0)
        return;
    Fault(table, 1, "the header \"%s\" is missing; the line is read as a row", table.header);
    if (length == 0)
        return;
    row.line = 1;
    row.count = 0;
    char* field = text;
    char* end = text + length;
    for (;;) {
        char* bar = (char*)memchr(field, '|', end - field);
        char* stop = bar ? bar : end;
        if (row.count < Row::kKept)
            row.field[row.count] = std::string_view(field, stop - field);
        ++row.count;
        if (!bar)
            break;
        *bar = 0;
        field = bar + 1;
    }
    each(row);
}

// The lines after the first, from `from` on, split into rows in one pass over
// their bytes (a year of moves is a million lines) and handed on. The buffer
// holds a line end at `limit` as a sentinel; a line that reaches it is whole
// only at the end of the file. Returns where the unfinished line begins.
template <class Function>
char* HandleLines(Table& table, char* from, char* limit, bool endOfFile, int& line, Row& row, Function& each)
{
    char* p = from;
    while (p < limit) {
        char* start = p;
        char* fieldStart = p;
        int count = 0;
        bool nul = false;
        for (;; ++p) {
            char c = *p;
            if (c == '|') {
                if (count < Row::kKept)
                    row.field[count] = std::string_view(fieldStart, p - fieldStart);
                ++count;
                fieldStart = p + 1;
            } else if (c == '\n') {
                break;
            } else if (c == 0) {
                nul = true;
            }
        }
        if (p == limit && !endOfFile)
            return start;
        ++line;
        char* end = p > start && p[-1] == '\r' ? p - 1 : p;
        ++p;
        if (nul) {
            Fault(table, line, "holds a NUL byte; not a text table line, skipped");
            continue;
        }
        if (end == start)
            continue;
        if (fieldStart > end)             // the line's last bar was its CR: an empty last field
            fieldStart = end;
        if (count < Row::kKept)
            row.field[count] = std::string_view(fieldStart, end - fieldStart);
        ++count;
        // Every field handed on is a C string too.
        for (int k = 0; k < count && k < Row::kKept; ++k)
            const_cast<char*>(row.field[k].data())[row.field[k].size()] = 0;
        row.line = line;
        row.count = count;
        each(row);
    }
    return p;
}

// Hands each row of a '|'-separated table to the function, one at a time, as
// the file is read in large pieces: a year of moves is never held whole, and
// no field is copied. The first line is the header; a first line that is not
// the expected header is read as a row, so that no row goes unseen.
template <class Function>
void ForEachRow(const std::string& folder, Table& table, Function each)
{
    std::string path = JoinPath(folder, table.name);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    LARGE_INTEGER size;
    // A table, not a disk image.
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart >= 0x40000000) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        char full[MAX_PATH] = "";
        DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
        Fault(table, 0, "cannot read %s", length && length < sizeof full ? full : path.c_str());
        return;
    }
    table.read = true;
    // One byte more than is ever read, for the sentinel line end.
    std::vector<char> buffer(kChunkBytes + 1);
    size_t held = 0;
    int line = 0;
    Row row;
    for (;;) {
        if (held == buffer.size() - 1)
            buffer.resize((buffer.size() - 1) * 2 + 1);
        DWORD got = 0;
        if (!ReadFile(file, buffer.data() + held, (DWORD)(buffer.size() - 1 - held), &got, NULL)) {
            Fault(table, 0, "read error after line %d (error %lu); the rest is not read", line, GetLastError());
            break;
        }
        held += got;
        bool endOfFile = got == 0;
        char* from = buffer.data();
        char* limit = from + held;
        if (line == 0) {
            char* lineEnd = (char*)memchr(from, '\n', held);
            if (!lineEnd && !endOfFile)
                continue;
            if (!lineEnd)
                lineEnd = limit;
            if (lineEnd > from || lineEnd < limit) {
                line = 1;
                HandleFirstLine(table, from, lineEnd - from, row, each);
            }
            from = lineEnd < limit ? lineEnd + 1 : limit;
        }
        *limit = '\n';
        from = HandleLines(table, from, limit, endOfFile, line, row, each);
        if (endOfFile)
            break;
        held = limit - from;
        memmove(buffer.data(), from, held);
    }
    CloseHandle(file);
}

// Learns the identifier the plug-in gives each record it adds with a code: its
// add operations answer only true, and it keeps only the first 31 bytes of a
// code, so the full text cannot be looked up.
//  - When the cut code is not yet in the table, the lookup after the add finds
//    exactly the new record.
//  - When it is there already (two texts sharing their first 31 bytes, or a
//    record loaded from a list file), the new record has the identifier after
//    the last one given: the plug-in's record array gives identifiers upwards
//    one by one from the last one it gave. That holds as long as no list file
//    it loaded left a gap below its highest identifier. Records added before
//    any identifier is known are counted back from the first one learned.
class AddedIds
{
public:
    AddedIds(IOrvexPlugin* plugin, int32_t (IOrvexPlugin::*find)(const char*), PluginTime& time)
        : m_plugin(plugin), m_find(find), m_time(time)
    {
    }

    template <class AddFunction>
    void Add(std::string_view code, AddFunction add)
    {
        std::string cut(code.substr(0, kCodeBytes));
        bool there = m_cuts.count(cut) != 0 || Find(cut) != 0;
        m_time(add);
        int32_t id = kUnknown;
        if (!there) {
            id = Find(cut);               // 0: the plug-in refused the record
            if (id)
                m_last = id;
        } else if (m_last) {
            id = ++m_last;
        }
        if (id)
            m_cuts.insert(cut);
        m_added.push_back(Added{std::string(code), id});
    }

    // The identifiers of the records added so far, by their full texts.
    void Finish(const Table& table, const char* what, CodeIds& ids, std::vector<int32_t>* order)
    {
        size_t first = 0;
        while (first < m_added.size() && m_added[first].id <= 0)
            ++first;
        int unknown = 0;
        int32_t next = first < m_added.size() ? m_added[first].id : 0;
        for (size_t i = first; i-- > 0;) {
            if (m_added[i].id != kUnknown)
                continue;
            if (next) {
                m_added[i].id = --next;
            } else {
                m_added[i].id = Find(m_added[i].text.substr(0, kCodeBytes));
                ++unknown;
            }
        }
        if (unknown)
            Say("%s: the identifiers of %d %s could not be learned (their codes were in the list files "
                "loaded); their moves go to the first record with the same code", table.name, unknown, what);
        for (const Added& added : m_added) {
            ids.Insert(added.text, added.id);
            if (order)
                order->push_back(added.id);
        }
        m_added.clear();
    }

private:
    static const int32_t kUnknown = -1;
    struct Added
    {
        std::string text;
        int32_t id;
    };

    int32_t Find(const std::string& cut)
    {
        int32_t id = 0;
        m_time([&] { id = (m_plugin->*m_find)(cut.c_str()); });
        return id;
    }

    IOrvexPlugin* m_plugin;
    int32_t (IOrvexPlugin::*m_find)(const char*);
    PluginTime& m_time;
    std::unordered_set<std::string> m_cuts;   // cut codes known to be in the table
    int32_t m_last = 0;                       // the last identifier given, 0 until one is known
    std::vector<Added> m_added;
};

}  // namespace

void CodeIds::Insert(std::string_view text, int32_t id)
{
    if (Lookup(text))
        return;
    if ((m_entries.size() + 1) * 2 > m_slots.size())
        Grow();
    uint32_t hash = Hash(text);
    m_entries.push_back(Entry{hash, (uint32_t)text.size(), m_texts.size(), id});
    m_texts.append(text.data(), text.size());
    size_t slot = hash & m_mask;
    while (m_slots[slot] != 0)
        slot = (slot + 1) & m_mask;
    m_slots[slot] = (uint32_t)m_entries.size();
}

// A power of two at least twice the entries: short probe runs.
void CodeIds::Grow()
{
    size_t size = m_slots.empty() ? 64 : m_slots.size() * 2;
    m_slots.assign(size, 0);
    m_mask = size - 1;
    for (size_t k = 0; k < m_entries.size(); ++k) {
        size_t slot = m_entries[k].hash & m_mask;
        while (m_slots[slot] != 0)
            slot = (slot + 1) & m_mask;
        m_slots[slot] = (uint32_t)(k + 1);
    }
}

// A decimal number as the converter writes it ("%.5f"), or an integer; an empty
// field is 0. Read with the decimal point whatever the runtime's locale says.
bool ParseNumber(std::string_view text, double& value)
{
    value = 0.0;
    if (text.empty())
        return true;
    size_t i = 0, n = text.size();
    bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        ++i;
    // The digits as one integer while it stays exact, and how many of them
    // follow the point.
    uint64_t mantissa = 0;
    bool exact = true;
    size_t digits = 0, decimals = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (mantissa >= 100000000000000000ull)
            exact = false;
        mantissa = mantissa * 10 + (text[i] - '0');
    }
    if (i < n && text[i] == '.') {
        ++i;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++decimals) {
            if (mantissa >= 100000000000000000ull)
                exact = false;
            mantissa = mantissa * 10 + (text[i] - '0');
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+'))
            ++i;
        size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++exponentDigits; }
        if (exponentDigits == 0)
            return false;
        exact = false;
    }
    if (i != n)
        return false;
    // An integer below 2^53 and a power of ten up to 10^22 are both exact
    // doubles, and one division rounds correctly: the value is the nearest
    // double, as strtod gives it. Anything else goes to strtod itself.
    static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (exact && mantissa <= (1ull << 53) && decimals <= 22) {
        double magnitude = decimals ? (double)mantissa / kPowers[decimals] : (double)mantissa;
        value = negative ? -magnitude : magnitude;
        return true;
    }
    std::string local(text);
    const char* point = localeconv()->decimal_point;
    for (char& c : local)
        if (c == '.')
            c = point && *point ? *point : '.';
    value = strtod(local.c_str(), NULL);
    return value == value && value - value == 0.0;   // neither NaN nor infinite
}

// "dd.mm.yy" into a packed date: day in bits 0-7, month 8-15, year 16-23. The
// converter's years count on past 99, so up to three digits are taken.
bool ParseDate(std::string_view text, uint32_t& date)
{
    int parts[3] = {0, 0, 0};
    size_t i = 0, n = text.size();
    const size_t maxDigits[3] = {2, 2, 3};
    for (int p = 0; p < 3; ++p) {
        size_t digits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            parts[p] = parts[p] * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > maxDigits[p])
            return false;
        if (p < 2) {
            if (i >= n || text[i] != '.')
                return false;
            ++i;
        }
    }
    if (i != n || parts[0] < 1 || parts[0] > 31 || parts[1] < 1 || parts[1] > 12 || parts[2] > 255)
        return false;
    date = (uint32_t)parts[0] | ((uint32_t)parts[1] << 8) | ((uint32_t)parts[2] << 16);
    return true;
}

namespace {

// ---------------------------------------------------------------------------
// Feeding the plug-in

void FeedGoods(IOrvexPlugin* plugin, const std::string& folder, Table& table, Fed& fed, PluginTime& time)
{
    AddedIds ids(plugin, &IOrvexPlugin::FindGoodsId, time);
    ForEachRow(folder, table, [&](const Row& row) {
        if (row.count < 10) {
            Fault(table, row.line, "%u fields, 10 expected (code|name|6 empty|unit cost|second value); skipped",
                  (unsigned)row.count);
            return;
        }
        double unitCost = 0.0, secondValue = 0.0;
        if (!ParseNumber(row.field[8], unitCost) || !ParseNumber(row.field[9], secondValue)) {
            Fault(table, row.line, "unit cost \"%s\" or second value \"%s\" is not a number; skipped",
                  row.Text(8), row.Text(9));
            return;
        }
        // The goods record has no field for the unit cost (the plug-in derives
        // prices from the movements); the second value is the goods' volume.
        ids.Add(row.field[0], [&] { plugin->AddGoods(0, row.Text(0), row.Text(1), secondValue, 0, 0, "", 0.0); });
        ++fed.goods;
    });
    ids.Finish(table, "goods", fed.goodsIds, NULL);
}

void FeedSuppliers(IOrvexPlugin* plugin, const std::string& folder, Table& table, Fed& fed, PluginTime& time)
{
    AddedIds ids(plugin, &IOrvexPlugin::FindSupplierId, time);
    ForEachRow(folder, table, [&](const Row& row) {
        if (row.count < 2) {
            Fault(table, row.line, "1 field, 2 expected (code|name); skipped");
            return;
        }
        ids.Add(row.field[0], [&] {
            plugin->AddSupplier(0, row.Text(0), row.Text(1), kDeliveryCost, kDeliveryTimeAvg, kDeliveryTimeMax);
        });
        ++fed.suppliers;
    });
    ids.Finish(table, "suppliers", fed.supplierIds, &fed.addedSuppliers);
}

// A year holds half a million receipts but far fewer pairs of supplier and
// goods: a full list is made distinct before it grows.
void AddReceipt(std::vector<uint64_t>& receipts, uint64_t pair)
{
    if (receipts.size() == receipts.capacity() && receipts.size() >= 65536) {
        std::sort(receipts.begin(), receipts.end());
        receipts.erase(std::unique(receipts.begin(), receipts.end()), receipts.end());
    }
    receipts.push_back(pair);
}

// A rule line of the report: dated 00.00.00, every amount empty or zero.
bool IsRuleLine(const Row& row)
{
    if (row.field[0] != kRuleLineDate)
        return false;
    for (int k = 3; k < 7; ++k) {
        double value = 0.0;
        if (!ParseNumber(row.field[k], value) || value != 0.0)
            return false;
    }
    return true;
}

void FeedMoves(IOrvexPlugin* plugin, const std::string& folder, Table& table, Table& buyers, Fed& fed,
               PluginTime& time)
{
    CodeIds buyerCodes;
    ForEachRow(folder, buyers, [&](const Row& row) { buyerCodes.Insert(row.field[0], 1); });

    ForEachRow(folder, table, [&](const Row& row) {
        const std::string_view* f = row.field;
        uint32_t date = 0;
        if (row.count >= 3 && f[1] == kFictiveGoods && f[2] == kFictivePartner) {
            // A calendar day without movements: a move of nothing, so that the
            // plug-in's calendar holds the day.
            if (!ParseDate(f[0], date)) {
                Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", row.Text(0));
                return;
            }
            time([&] { plugin->AddMove(date, 0, 0, 0.0, 0.0, 0.0, 0.0); });
            ++fed.fictive;
            return;
        }
        if (row.count < 7) {
            Fault(table, row.line, "%u fields, 7 expected (Date|IDG|IDS|NIN|NOUT|DIN|DOUT); skipped",
                  (unsigned)row.count);
            return;
        }
        if (IsRuleLine(row)) {
            ++fed.ruleLines;
            return;
        }
        if (!ParseDate(f[0], date)) {
            Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", row.Text(0));
            return;
        }
        double values[4];
        static const char* const names[4] = {"NIN", "NOUT", "DIN", "DOUT"};
        for (int k = 0; k < 4; ++k) {
            if (!ParseNumber(f[3 + k], values[k])) {
                Fault(table, row.line, "%s \"%s\" is not a number; skipped", names[k], row.Text(3 + k));
                return;
            }
        }

        int32_t goodsId = fed.goodsIds.Find(f[1]);
        if (goodsId == 0)
            Fault(table, row.line, "goods code \"%s\" is not in the goods table; the move is kept with goods id 0",
                  row.Text(1));
        // IDS names the supplier of a receipt (NIN filled) and the buyer of
        // anything else; buyers are no suppliers, so a sale has supplier id 0.
        int32_t supplierId = 0;
        if (!f[3].empty()) {
            if (f[2] == kSupplierNotFound)
                Fault(table, row.line, "the converter found no supplier for goods \"%s\"; the move is kept with supplier id 0",
                      row.Text(1));
            else if ((supplierId = fed.supplierIds.Find(f[2])) == 0)
                Fault(table, row.line, "supplier \"%s\" is not in the supplier table; the move is kept with supplier id 0",
                      row.Text(2));
        } else if (buyers.read && buyerCodes.Find(f[2]) == 0) {
            Fault(table, row.line, "buyer code \"%s\" is not in Buyers.txt; the move is kept", row.Text(2));
        }
        time([&] { plugin->AddMove(date, goodsId, supplierId, values[0], values[1], values[2], values[3]); });
        ++fed.moves;
        if (supplierId != 0 && goodsId != 0 && values[0] != 0.0)
            AddReceipt(fed.receipts, (uint64_t)(uint32_t)supplierId << 32 | (uint32_t)goodsId);
    });
}

}  // namespace

bool HasTables(const std::string& folder)
{
    for (const char* name : {"Positions.txt", "Suppliers.txt", "Moves.txt"})
        if (!FileExists(JoinPath(folder, name)))
            return false;
    return true;
}

bool FeedFolder(IOrvexPlugin* plugin, const std::string& folder, TableSet& tables, Fed& fed)
{
    double start = NowMs();
    uint64_t startTicks = __rdtsc();
    PluginTime time;
    FeedGoods(plugin, folder, tables.positions, fed, time);
    FeedSuppliers(plugin, folder, tables.suppliers, fed, time);
    FeedMoves(plugin, folder, tables.moves, tables.buyers, fed, time);
    if (g_timing) {
        double elapsed = NowMs() - start;
        uint64_t ticks = __rdtsc() - startTicks;
        double inPlugin = ticks ? elapsed * (double)time.ticks / (double)ticks : 0.0;
        Say("time: %-40s %9.1f ms", "feeding the tables (read, parse, add)", elapsed);
        Say("time: %-40s %9.1f ms", "reading and parsing (the viewer's share)", elapsed - inPlugin);
        Say("time: %-40s %9.1f ms", "add operations (in the plug-in)", inPlugin);
    }
    bool whole = true;
    for (const Table* table : tables.all) {
        SayHiddenFaults(*table);
        if (table->faults)
            whole = false;
    }
    if (fed.ruleLines)
        Say("%s: %d rule lines of the report (dated %s, no amounts) are no movements; not fed", tables.moves.name,
            fed.ruleLines, kRuleLineDate);
    Say("fed: %d goods, %d suppliers, %d moves and %d fictive days", fed.goods, fed.suppliers, fed.moves,
        fed.fictive);
    return whole;
}

}  // namespace host
