// The converter's four tables, read whole and fed row by row through the
// plug-in's add operations (Positions.txt, Suppliers.txt, Moves.txt; Buyers.txt
// only to check the buyer codes of sales). Every faulty row is a console line
// and is counted; the rest is fed.
#ifndef ORVEX_HOST_TABLES_H
#define ORVEX_HOST_TABLES_H

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "HostCommon.h"

namespace host {

struct Table
{
    const char* name;
    const char* header;
    bool read = false;
    std::string content;              // the whole file; rows are split as they are fed
    int faults = 0;                   // faulty rows and lines, all counted
};

struct Fed
{
    int goods = 0, suppliers = 0, moves = 0, fictive = 0;
    std::vector<std::string> supplierCodes;           // in the order they were added
    // Per supplier id, the goods ids it supplied (non-zero quantity, known goods),
    // as the plug-in builds its dynamics rows.
    std::unordered_map<int32_t, std::unordered_set<int32_t>> suppliedGoods;
};

// The four tables of one folder, in the order they are read.
struct TableSet
{
    Table positions{"Positions.txt", "ID|Name", false, std::string(), 0};
    Table suppliers{"Suppliers.txt", "ID|Name", false, std::string(), 0};
    Table buyers{"Buyers.txt", "ID|Name", false, std::string(), 0};
    Table moves{"Moves.txt", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT", false, std::string(), 0};
    Table* all[4] = {&positions, &suppliers, &buyers, &moves};
};

// Does the folder hold the tables a viewer needs (goods, suppliers, moves)?
bool HasTables(const std::string& folder);

// Reads the four tables of the folder and feeds them; every table's faults are
// counted in it. Returns false when any table was missing or had faulty rows.
bool FeedFolder(IOrvexPlugin* plugin, const std::string& folder, TableSet& tables, Fed& fed);

bool ParseNumber(const std::string& text, double& value);
bool ParseDate(const std::string& text, uint32_t& date);

}  // namespace host

#endif
