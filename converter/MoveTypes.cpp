// Movement kinds: the editable table moves_type.txt and its default content.
#include "ReportConverter.h"
#include "cwin/system/FileOps.h"

#include <string.h>

static const char* const kDefaultMoveTypes[] = {
    "Вид движения ЗОРБ|Знак|Направление|сумма\r\n",
    "+Приход от поставщика.|+|приход|сумма\r\n",
    "-Отгрузка.|+|расход|сумма\r\n",
    "-Возврат поставщику.|-|приход|сумма\r\n",
    "+Возврат проданного.|-|расход|сумма\r\n",
};

bool CReportConverter::WriteDefaultMoveTypes(const char* fileName)
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

bool CReportConverter::OnMoveTypeCell(char* cell, int row, int column, bool endOfRow)
{
    if (row == 0)
        return !(endOfRow && column == 0);   // a header line without '|' is no kind table
    MoveType* t = m_pendingMoveType;
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
        return m_moveTypes.Append();
    return true;
}

// First kind with exactly this name; the count of kinds (the blank kind) when none.
int CReportConverter::FindKind(const char* text) const
{
    // Once per report row: compared here, without a library call per kind.
    for (int i = 0; i < m_moveTypeCount; ++i) {
        const char* a = m_moveTypeBlock[i].name;
        const char* b = text;
        while (*a && *a == *b)
            ++a, ++b;
        if (*a == *b)
            return i;
    }
    return m_moveTypeCount;
}

// Any index that names no loaded kind is the blank kind: empty name, no flags.
const MoveType& CReportConverter::TypeAt(int kindIndex) const
{
    if (kindIndex >= 0 && kindIndex < m_moveTypeCount)
        return m_moveTypeBlock[kindIndex];
    return m_blankType;
}
