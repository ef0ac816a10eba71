// The converter's four tables, read in large chunks and fed row by row through
// the plug-in's add operations (Positions.txt, Suppliers.txt, Moves.txt;
// Buyers.txt only to check the buyer codes of sales). Every faulty row is a
// console line and is counted; the rest is fed.
#ifndef ORVEX_HOST_TABLES_H
#define ORVEX_HOST_TABLES_H

#include <string.h>

#include <string>
#include <string_view>
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
// code, so a move must never look its full text up in the plug-in. A year's
// moves ask this a million times: an open-addressing table over one block of
// text, no allocation per lookup.
class CodeIds
{
public:
    // The identifier of the first record added with this text; 0 when none.
    int32_t Find(std::string_view text) const
    {
        const Entry* entry = Lookup(text);
        return entry ? entry->id : 0;
    }
    // The first text added keeps its identifier.
    void Insert(std::string_view text, int32_t id);
    size_t Size() const { return m_entries.size(); }

private:
    struct Entry
    {
        uint32_t hash;
        uint32_t length;
        size_t offset;                 // in m_texts
        int32_t id;
    };
    const Entry* Lookup(std::string_view text) const
    {
        if (m_entries.empty())
            return NULL;
        uint32_t hash = Hash(text);
        for (size_t slot = hash & m_mask;; slot = (slot + 1) & m_mask) {
            uint32_t number = m_slots[slot];
            if (number == 0)
                return NULL;
            const Entry& entry = m_entries[number - 1];
            if (entry.hash == hash && entry.length == text.size() &&
                memcmp(m_texts.data() + entry.offset, text.data(), text.size()) == 0)
                return &entry;
        }
    }
    static uint32_t Hash(std::string_view text)
    {
        uint32_t hash = 2166136261u;   // FNV-1a
        for (unsigned char c : text)
            hash = (hash ^ c) * 16777619u;
        return hash;
    }
    void Grow();

    std::string m_texts;               // every text, back to back
    std::vector<Entry> m_entries;
    std::vector<uint32_t> m_slots;     // entry number + 1, 0 for a free slot
    size_t m_mask = 0;
};

struct Fed
{
    int goods = 0, suppliers = 0, moves = 0, fictive = 0, ruleLines = 0;
    CodeIds goodsIds, supplierIds;
    std::vector<int32_t> addedSuppliers;      // identifiers, in the order they were added
    // (supplier id << 32 | goods id) of every receipt of known goods from a
    // known supplier with a non-zero quantity, as the plug-in builds its
    // dynamics rows; each pair once.
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
