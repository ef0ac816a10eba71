// CMoveKindsReader: the editable table moves_type.txt and its default content.
#include "MoveKindsReader.h"
#include "Console.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

const char CMoveKindsReader::kMoveTypesFile[] = "moves_type.txt";

static const char* const kDefaultMoveTypes[] = {
    "Вид движения ЗОРБ|Знак|Направление|сумма\r\n",
    "+Приход от поставщика.|+|приход|сумма\r\n",
    "-Отгрузка.|+|расход|сумма\r\n",
    "-Возврат поставщику.|-|приход|сумма\r\n",
    "+Возврат проданного.|-|расход|сумма\r\n",
};

bool CMoveKindsReader::WriteDefaultMoveTypes(const char* fileName)
{
    // A cut table would be read as the kinds on every later run: the file
    // appears only whole.
    CReplacingFile file;
    if (!file.Open(fileName))
        return false;
    for (const char* line : kDefaultMoveTypes)
        file.Write(line, (DWORD)strlen(line));
    return file.Commit();
}

// Read whole, announced, split; the count read when it was, " fault !!! " when not.
void CMoveKindsReader::Import(CFileFunctions& files, CDelimitedTextReader& reader)
{
    Begin();
    char* text = NULL;
    int length = files.ReadWholeFile(kMoveTypesFile, &text, -1);
    ConsolePrint("Import moves type ... ");
    if (reader.ReadDelimitedText(text, length, '|', 0, this))
        ConsolePrint("(%d) Ok\r\n", m_tables.MoveTypeCount());
    else
        ConsolePrint(" fault !!! ");
    g_heapRegistry.Free(&text);
}

bool CMoveKindsReader::OnTableCell(char* cell, int, int row, int column, bool endOfRow)
{
    if (row == 0)
        return !(endOfRow && column == 0);   // a header line without '|' is no kind table
    MoveType* t = m_tables.PendingMoveType();
    switch (column) {
    case 0: {
        size_t n = strlen(cell);
        if (n > 1023)
            n = 1023;
        memcpy(t->name, cell, n);
        t->name[n] = 0;
        break;
    }
    case 1: t->negate = cell[0] == '-'; break;
    case 2: t->incoming = strcmp(cell, "приход") == 0; break;
    case 3: t->withSum = strcmp(cell, "сумма") == 0; break;
    default: break;
    }
    if (endOfRow)
        return m_tables.AppendMoveType();
    return true;
}
