// CGoodsListReader: the goods list read into the positions.
#include "GoodsListReader.h"
#include "Console.h"
#include "GoodsList.h"
#include "cwin/system/HeapRegistry.h"
#include "Numbers.h"

// The goods list as a spreadsheet saves it (GoodsList.h); characters that
// code page 1251 lacks are counted on a line of their own after the import's.
bool CGoodsListReader::Import(CFileFunctions& files, CDelimitedTextReader& reader, const char* goodsListName)
{
    Begin();
    char* text = NULL;
    int length = files.ReadWholeFile(goodsListName, &text, -1);
    ConsolePrint("Import positions ... ");
    int unmapped = 0;
    if (length > 0)
        length = GoodsListTo1251(text, length, &unmapped);
    const bool read = length > 0 && ReadGoodsList(text, length, this, reader.GetProgress());
    if (read) {
        ConsolePrint("(%d) Ok\r\n", m_tables.PositionCount());
        if (unmapped == 1)
            ConsolePrint(" 1 character of the goods list has no form in code page 1251 and was written as '?' \r\n");
        else if (unmapped > 1)
            ConsolePrint(" %d characters of the goods list have no form in code page 1251 and were written as '?' \r\n",
                         unmapped);
    } else {
        ConsolePrint(" fault !!! ");
    }
    g_heapRegistry.Free(&text);
    return read;
}

// Texts are stored verbatim, cut to 1023 bytes; a pool that cannot grow stops the reading.
bool CGoodsListReader::OnTableCell(char* cell, int, int row, int column, bool endOfRow)
{
    if (row == 0)
        return !(endOfRow && column == 0);   // a header line without ';' is no goods list
    Position* p = m_tables.PendingPosition();
    bool ok = true;
    switch (column) {
    case 0: ok = m_tables.SetPositionText(&p->code, cell); break;
    case 1: ok = m_tables.SetPositionText(&p->name, cell); break;
    case 2: ok = m_tables.SetPositionText(&p->supplier, cell); break;
    case 3: p->unitCost = ReadNumber(cell); break;
    case 4: p->secondValue = ReadNumber(cell); break;
    default: break;
    }
    if (!ok)
        return false;
    if (endOfRow)
        return m_tables.AppendPosition();
    return true;
}
