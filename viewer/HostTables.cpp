// The converter's tables read and fed to the plug-in through its add
// operations: goods and suppliers here, the moves in MovesFeed.cpp.
#include "HostTables.h"
#include "TableFeed.h"

#include <locale.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <unordered_set>

namespace host {
namespace {

// Defaults of a supplier record, as the plug-in's own template has them: the
// converter's supplier table carries no delivery terms.
const double kDeliveryCost    = 20000.0;
const double kDeliveryTimeAvg = 1.0;
const double kDeliveryTimeMax = 1.0;

// What the plug-in keeps of a code: its record has 32 bytes for it.
const size_t kCodeBytes = 31;

// Fault lines per table before they are only counted.
const int kFaultLinesShown = 20;

thread_local LineSink* t_lineSink = NULL;

void SayHiddenFaults(const Table& table)
{
    if (table.faults > kFaultLinesShown)
        Say("%s: %d more faults like these not shown", table.name, table.faults - kFaultLinesShown);
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

void SetLineSink(LineSink* sink)
{
    t_lineSink = sink;
}

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
    char whole[1200];
    if (line > 0)
        snprintf(whole, sizeof whole, "%s, line %d: %s", table.name, line, text);
    else
        snprintf(whole, sizeof whole, "%s: %s", table.name, text);
    if (t_lineSink)
        t_lineSink->Line(whole);
    else
        Say("%s", whole);
}

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
    double reading = FeedMoves(plugin, folder, tables.moves, tables.buyers, fed, time);
    if (g_timing) {
        double elapsed = NowMs() - start;
        uint64_t ticks = __rdtsc() - startTicks;
        double inPlugin = ticks ? elapsed * (double)time.ticks / (double)ticks : 0.0;
        Say("time: %-40s %9.1f ms", "feeding the tables (read, parse, add)", elapsed);
        // This thread's time outside the plug-in, waits for parsed moves included.
        Say("time: %-40s %9.1f ms", "reading and parsing (the viewer's share)", elapsed - inPlugin);
        Say("time: %-40s %9.1f ms", "add operations (in the plug-in)", inPlugin);
        Say("time: %-40s %9.1f ms", "moves read and parsed (own thread)", reading);
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
