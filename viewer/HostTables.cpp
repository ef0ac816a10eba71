// The converter's tables read and fed to the plug-in through its add operations.
#include "HostTables.h"

#include <windows.h>

#include <locale.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace host {
namespace {

// Texts of the converter's tables, byte for byte (code page 1251).
const char kFictiveGoods[]     = "фикти";
const char kFictivePartner[]   = "Фикц";
const char kSupplierNotFound[] = "[поставщик не найден]";

// Defaults of a supplier record, as the plug-in's own template has them: the
// converter's supplier table carries no delivery terms.
const double kDeliveryCost    = 20000.0;
const double kDeliveryTimeAvg = 1.0;
const double kDeliveryTimeMax = 1.0;

// Fault lines per table before they are only counted.
const int kFaultLinesShown = 20;

struct Row
{
    int line;                         // 1-based line number in the file
    std::vector<std::string> fields;  // split at '|'
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


bool ReadWholeFile(const std::string& path, std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;   // a table, not a disk image
    if (ok) {
        content.resize((size_t)size.QuadPart);
        DWORD done = 0;
        ok = content.empty() || (ReadFile(file, &content[0], (DWORD)content.size(), &done, NULL) &&
                                 done == content.size());
    }
    CloseHandle(file);
    return ok;
}

void ReadTable(const std::string& folder, Table& table)
{
    std::string path = JoinPath(folder, table.name);
    if (!ReadWholeFile(path, table.content)) {
        char full[MAX_PATH] = "";
        DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
        Fault(table, 0, "cannot read %s", length && length < sizeof full ? full : path.c_str());
        return;
    }
    table.read = true;
}

// Hands each row of a '|'-separated table to the given function, one at a time
// (a year of moves split into strings at once would not fit a 32-bit host). The
// first line is the header; a first line that is not the expected header is
// read as a row, so that no row goes unseen.
template <class Function>
void ForEachRow(Table& table, Function each)
{
    const std::string& content = table.content;
    Row row;
    std::string text;
    size_t start = 0;
    int line = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        text.assign(content, start, end - start);
        start = end + 1;
        ++line;
        if (!text.empty() && text[text.size() - 1] == '\r')
            text.erase(text.size() - 1);
        if (text.find('\0') != std::string::npos) {
            Fault(table, line, "holds a NUL byte; not a text table line, skipped");
            continue;
        }
        if (line == 1) {
            if (text == table.header)
                continue;
            Fault(table, line, "the header \"%s\" is missing; the line is read as a row", table.header);
        }
        if (text.empty())
            continue;
        row.line = line;
        row.fields.clear();
        size_t from = 0;
        for (;;) {
            size_t bar = text.find('|', from);
            row.fields.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            if (bar == std::string::npos)
                break;
            from = bar + 1;
        }
        each(row);
    }
}

}  // namespace

// A decimal number as the converter writes it ("%.5f"), or an integer; an empty
// field is 0. Read with the decimal point whatever the runtime's locale says.
bool ParseNumber(const std::string& text, double& value)
{
    value = 0.0;
    if (text.empty())
        return true;
    size_t i = 0, n = text.size();
    if (text[i] == '-' || text[i] == '+')
        ++i;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') { ++i; ++digits; }
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
    }
    if (i != n)
        return false;
    std::string local = text;
    const char* point = localeconv()->decimal_point;
    for (char& c : local)
        if (c == '.')
            c = point && *point ? *point : '.';
    value = strtod(local.c_str(), NULL);
    return value == value && value - value == 0.0;   // neither NaN nor infinite
}


// "dd.mm.yy" into a packed date: day in bits 0-7, month 8-15, year 16-23. The
// converter's years count on past 99, so up to three digits are taken.
bool ParseDate(const std::string& text, uint32_t& date)
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


void FeedGoods(IOrvexPlugin* plugin, Table& table, Fed& fed)
{
    ForEachRow(table, [&](const Row& row) {
        if (row.fields.size() < 10) {
            Fault(table, row.line, "%u fields, 10 expected (code|name|6 empty|unit cost|second value); skipped",
                  (unsigned)row.fields.size());
            return;
        }
        double unitCost = 0.0, secondValue = 0.0;
        if (!ParseNumber(row.fields[8], unitCost) || !ParseNumber(row.fields[9], secondValue)) {
            Fault(table, row.line, "unit cost \"%s\" or second value \"%s\" is not a number; skipped",
                  row.fields[8].c_str(), row.fields[9].c_str());
            return;
        }
        // The goods record has no field for the unit cost (the plug-in derives
        // prices from the movements); the second value is the goods' volume.
        plugin->AddGoods(0, row.fields[0].c_str(), row.fields[1].c_str(), secondValue, 0, 0, "", 0.0);
        ++fed.goods;
    });
}

void FeedSuppliers(IOrvexPlugin* plugin, Table& table, Fed& fed)
{
    ForEachRow(table, [&](const Row& row) {
        if (row.fields.size() < 2) {
            Fault(table, row.line, "1 field, 2 expected (code|name); skipped");
            return;
        }
        plugin->AddSupplier(0, row.fields[0].c_str(), row.fields[1].c_str(),
                            kDeliveryCost, kDeliveryTimeAvg, kDeliveryTimeMax);
        fed.supplierCodes.push_back(row.fields[0]);
        ++fed.suppliers;
    });
}

class CodeCache
{
public:
    CodeCache(IOrvexPlugin* plugin, bool goods) : m_plugin(plugin), m_goods(goods) {}
    // The plug-in's lookups scan the whole table; one call per distinct code.
    int32_t Find(const std::string& code)
    {
        auto found = m_ids.find(code);
        if (found != m_ids.end())
            return found->second;
        int32_t id = m_goods ? m_plugin->FindGoodsId(code.c_str()) : m_plugin->FindSupplierId(code.c_str());
        m_ids.emplace(code, id);
        return id;
    }
private:
    IOrvexPlugin* m_plugin;
    bool m_goods;
    std::unordered_map<std::string, int32_t> m_ids;
};

void FeedMoves(IOrvexPlugin* plugin, Table& table, Table& buyers, Fed& fed)
{
    CodeCache goodsIds(plugin, true), supplierIds(plugin, false);
    std::unordered_set<std::string> buyerCodes;
    ForEachRow(buyers, [&](const Row& row) { buyerCodes.insert(row.fields[0]); });

    ForEachRow(table, [&](const Row& row) {
        const std::vector<std::string>& f = row.fields;
        uint32_t date = 0;
        if (f.size() >= 3 && f[1] == kFictiveGoods && f[2] == kFictivePartner) {
            // A calendar day without movements: a move of nothing, so that the
            // plug-in's calendar holds the day.
            if (!ParseDate(f[0], date)) {
                Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", f[0].c_str());
                return;
            }
            plugin->AddMove(date, 0, 0, 0.0, 0.0, 0.0, 0.0);
            ++fed.fictive;
            return;
        }
        if (f.size() < 7) {
            Fault(table, row.line, "%u fields, 7 expected (Date|IDG|IDS|NIN|NOUT|DIN|DOUT); skipped",
                  (unsigned)f.size());
            return;
        }
        if (!ParseDate(f[0], date)) {
            Fault(table, row.line, "date \"%s\" is not dd.mm.yy; skipped", f[0].c_str());
            return;
        }
        double values[4];
        static const char* const names[4] = {"NIN", "NOUT", "DIN", "DOUT"};
        bool numbers = true;
        for (int k = 0; k < 4 && numbers; ++k) {
            if (!ParseNumber(f[3 + k], values[k])) {
                Fault(table, row.line, "%s \"%s\" is not a number; skipped", names[k], f[3 + k].c_str());
                numbers = false;
            }
        }
        if (!numbers)
            return;

        int32_t goodsId = goodsIds.Find(f[1]);
        if (goodsId == 0)
            Fault(table, row.line, "goods code \"%s\" is not in the goods table; the move is kept with goods id 0",
                  f[1].c_str());
        // IDS names the supplier of a receipt (NIN filled) and the buyer of
        // anything else; buyers are no suppliers, so a sale has supplier id 0.
        int32_t supplierId = 0;
        if (!f[3].empty()) {
            if (f[2] == kSupplierNotFound)
                Fault(table, row.line, "the converter found no supplier for goods \"%s\"; the move is kept with supplier id 0",
                      f[1].c_str());
            else if ((supplierId = supplierIds.Find(f[2])) == 0)
                Fault(table, row.line, "supplier \"%s\" is not in the supplier table; the move is kept with supplier id 0",
                      f[2].c_str());
        } else if (buyers.read && buyerCodes.count(f[2]) == 0) {
            Fault(table, row.line, "buyer code \"%s\" is not in Buyers.txt; the move is kept", f[2].c_str());
        }
        plugin->AddMove(date, goodsId, supplierId, values[0], values[1], values[2], values[3]);
        ++fed.moves;
        if (supplierId != 0 && goodsId != 0 && values[0] != 0.0)
            fed.suppliedGoods[supplierId].insert(goodsId);
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
    for (Table* table : tables.all)
        ReadTable(folder, *table);
    SayTime("reading the tables", start);
    start = NowMs();
    FeedGoods(plugin, tables.positions, fed);
    FeedSuppliers(plugin, tables.suppliers, fed);
    FeedMoves(plugin, tables.moves, tables.buyers, fed);
    SayTime("add operations", start);
    bool whole = true;
    for (const Table* table : tables.all) {
        SayHiddenFaults(*table);
        if (table->faults)
            whole = false;
    }
    Say("fed: %d goods, %d suppliers, %d moves and %d fictive days", fed.goods, fed.suppliers, fed.moves,
        fed.fictive);
    return whole;
}

}  // namespace host
