// The converter's four tables, read in large chunks and fed row by row through
// the plug-in's add operations (Positions.txt, Suppliers.txt, Moves.txt;
// Buyers.txt only to check the buyer codes of sales). Every faulty row is a
// console line and is counted; the rest is fed.
#ifndef ORVEX_HOST_TABLES_H
#define ORVEX_HOST_TABLES_H

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "HostCommon.h"

namespace host {

struct Table
{
    const char* name;
    const char* header;
    bool read = false;
    int faults = 0;                   // faulty rows and lines, all counted
};

// The full texts of one table's codes and the identifiers the plug-in gave
// the records added with them. The plug-in keeps only the first 31 bytes of a
// code, so a move must never look its full text up in the plug-in.
class CodeIds
{
public:
    // The identifier of the first record added with this text; 0 when none.
    int32_t Find(std::string_view text) const
    {
        auto found = m_ids.find(text);
        return found == m_ids.end() ? 0 : found->second;
    }
    // The first text added keeps its identifier.
    void Insert(std::string_view text, int32_t id)
    {
        if (m_ids.count(text))
            return;
        m_texts.emplace_back(text);
        m_ids.emplace(std::string_view(m_texts.back()), id);
    }
    size_t Size() const { return m_ids.size(); }

private:
    std::deque<std::string> m_texts;  // a deque keeps its strings where they are
    std::unordered_map<std::string_view, int32_t> m_ids;
};

struct Fed
{
    int goods = 0, suppliers = 0, moves = 0, fictive = 0, ruleLines = 0;
    CodeIds goodsIds, supplierIds;
    std::vector<int32_t> addedSuppliers;      // identifiers, in the order they were added
    // (supplier id << 32 | goods id) of every receipt of known goods from a
    // known supplier with a non-zero quantity, as the plug-in builds its
    // dynamics rows; a pair may be there more than once.
    std::vector<uint64_t> receipts;
};

// The four tables of one folder, in the order they are read.
struct TableSet
{
    Table positions{"Positions.txt", "ID|Name", false, 0};
    Table suppliers{"Suppliers.txt", "ID|Name", false, 0};
    Table buyers{"Buyers.txt", "ID|Name", false, 0};
    Table moves{"Moves.txt", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT", false, 0};
    Table* all[4] = {&positions, &suppliers, &buyers, &moves};
};

// Does the folder hold the tables a viewer needs (goods, suppliers, moves)?
bool HasTables(const std::string& folder);

// Reads the four tables of the folder and feeds them; every table's faults are
// counted in it. Returns false when any table was missing or had faulty rows.
bool FeedFolder(IOrvexPlugin* plugin, const std::string& folder, TableSet& tables, Fed& fed);

bool ParseNumber(std::string_view text, double& value);
bool ParseDate(std::string_view text, uint32_t& date);

}  // namespace host

#endif
