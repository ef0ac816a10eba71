// CGoodsListReader: the goods list, its rows into the tables' positions:
// code; name; supplier; price; second value (further columns are ignored),
// after a header line.
//
// The list's text is brought to code page 1251 and split by GoodsList.h; any
// reader that splits by ';' may feed this receiver.
#ifndef CONVERTER_GOODSLISTREADER_H
#define CONVERTER_GOODSLISTREADER_H

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "ConverterTables.h"

class CGoodsListReader : public ITableReceiver
{
public:
    explicit CGoodsListReader(CConverterTables& tables) : m_tables(tables) {}

    // Reads the goods list with its console lines; false when it could not be
    // read (missing, unreadable, empty, too large to hold, or no goods list:
    // its first line holds no ';'). The reader's progress is stepped.
    bool Import(CFileFunctions& files, CDelimitedTextReader& reader, const char* goodsListName);

    // Empties the positions; the rows read next fill them.
    void Begin() { m_tables.StartPositions(); }
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override;

private:
    CConverterTables& m_tables;
};

#endif
