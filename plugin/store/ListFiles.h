// CListFiles: the four tables kept from one run to the next in the list files
// "GNList.dat", "SNList.dat", "GMList.dat" and "GDList.dat", each the raw
// image of its table's records (layouts in StoreRecords.h).
//
// Written to the root of drive c:, read from the current directory. A file is
// replaced whole or not at all: a failed save leaves the old file as it was.
#ifndef ORVEX_LISTFILES_H
#define ORVEX_LISTFILES_H

#include "StoreTables.h"

class CListFiles
{
public:
    explicit CListFiles(CStoreTables& tables) : m_tables(tables) {}

    // "GNList.dat" ..., the names read; null for a value that names no table.
    static const char* FileName(StoreTable table);
    // "c:\GNList.dat" ..., the paths written.
    static const char* SavePath(StoreTable table);

    // One table to or from a file; false when the table is not bound, the file
    // could not be replaced, or could not be read as whole records (the table
    // is then as it was).
    bool SaveTable(StoreTable table, const char* path);
    bool LoadTable(StoreTable table, const char* path);
    // Goods, suppliers, moves and balances, in this order. A file that fails
    // does not keep the others from being saved; false when any one failed.
    bool SaveLists();
    void LoadLists();

private:
    CStoreTables& m_tables;
};

#endif
