// CReportReader: the report's table read into the moves.
#include "ReportReader.h"
#include "Console.h"
#include "cwin/system/HeapRegistry.h"
#include "Numbers.h"
#include "ReportText.h"

#include <string.h>

CReportReader::CReportReader(CConverterTables& tables)
    : m_tables(tables), m_headerRowSeen(false), m_positionUnresolved(false), m_outOfMemory(false)
{
    memset(&m_moveTemplate, 0, sizeof(m_moveTemplate));
}

void CReportReader::Begin()
{
    m_tables.StartMoves();
    memset(&m_moveTemplate, 0, sizeof(m_moveTemplate));
    m_headerRowSeen = m_positionUnresolved = m_outOfMemory = false;
}

// Room for as many moves as the table has rows is tried before the import: a
// report whose moves this build's memory cannot hold is refused like an
// unreadable one, instead of failing half-way.
static bool RoomForMoves(size_t rows)
{
    // Room as the record array needed it (block and view index, twice: a
    // growing block was copied once more); kept, so the same reports are refused.
    const uint64_t bytes = 2 * ((uint64_t)rows + 101) * (sizeof(Move) + 2 * sizeof(uint32_t));
    if (bytes > (SIZE_T)-1 / 2)
        return false;
    void* probe = NULL;
    if (!g_heapRegistry.AllocNew(&probe, (SIZE_T)bytes))
        return false;
    g_heapRegistry.Free(&probe);
    return true;
}

CReportReader::Result CReportReader::Import(CFileFunctions& files, CDelimitedTextReader& reader,
                                            const char* reportName)
{
    Begin();
    ConsoleShow();   // before the report is read and decoded
    char* text = NULL;
    int length = files.ReadWholeFile(reportName, &text, -1);
    const bool read = length > 0;
    length = DecodeOemText(text, length);
    ReportTable table;
    const ReportTableFound found = length > 0 ? LocateReportTable(text, &table) : NoTableStart;
    if (found != TableLocated) {
        g_heapRegistry.Free(&text);
        if (found == NoTableEnd) {
            ConsolePrint("Tables end NOT found... ");
            return TableNotFound;
        }
        ConsolePrint("Tables start NOT found... ");
        // Decoding fails only when memory runs out.
        return read && length > 0 ? TableNotFound : NotRead;
    }
    if (!RoomForMoves(table.rows)) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables start NOT found... ");
        return NotRead;
    }
    // The moves go to the front of the report's block, which the read and the
    // decoding have touched already. Else a block of their own, sized once
    // for all rows: fresh pages cost as much as filling the records.
    if (!m_tables.PlaceMovesIn(text, table.start, table.rows))
        m_tables.ReserveMoves(table.rows);

    ConsolePrint("Import moves ... ");
    ConsoleShow();
    reader.ReadDelimitedText(table.start, (int)table.length, kReportSeparator, 0, this);
    // Moves that stayed in the report's block keep it.
    if (m_tables.KeepsBlock(text))
        text = NULL;
    g_heapRegistry.Free(&text);
    if (m_outOfMemory) {
        // Never reached when the room tried above was had; a half-read table is not exported.
        ConsolePrint(" fault !!! ");
        return NotRead;
    }
    const PackedDate start = m_tables.StartDate(), end = m_tables.EndDate();
    ConsolePrint("(%d) Ok\r\n", m_tables.MoveCount());
    ConsolePrint("Start date: %.2d.%.2d.%.2d\r\n", DayOf(start), MonthOf(start), YearOf(start));
    ConsolePrint("End date: %.2d.%.2d.%.2d\r\n", DayOf(end), MonthOf(end), YearOf(end));
    return TableRead;
}

bool CReportReader::OnTableCell(char* cell, int length, int, int column, bool endOfRow)
{
    // The other columns' cells only matter when they end the row.
    if (!endOfRow && ((unsigned)column >= 32 || !((kReportColumns >> column) & 1)))
        return true;
    return OnMoveCell(cell, length, column, endOfRow);
}

// Header row: "<any><nine dots>..." then the position number and the goods text.
void CReportReader::OnPositionHeader(const char* cell, int length)
{
    m_headerRowSeen = true;

    // Four phases over the untrimmed cell, its terminating byte included: dots,
    // spaces, digits, spaces. The byte ending a phase belongs to it, and the goods
    // text starts at the byte that ends phase 3, once one more byte is seen.
    int phase = 0;
    int goodsStart = -1;
    for (int i = 0; i <= length; ++i) {
        const char c = cell[i];
        if (phase == 4) {
            goodsStart = i - 1;
            break;
        }
        switch (phase) {
        case 0: if (c != '.') phase = 1; break;
        case 1: if (c != ' ') phase = 2; break;
        case 2: if (c < '0' || c > '9') phase = 3; break;
        case 3: if (c != ' ') phase = 4; break;
        }
    }
    const int found = goodsStart >= 0 ? m_tables.FindLongestCodePrefix(cell + goodsStart) : -1;
    if (found < 0) {
        m_positionUnresolved = true;
        return;
    }
    m_positionUnresolved = false;
    m_tables.PendingMove()->goods = m_moveTemplate.goods = (uint32_t)found + 1;
}

static bool IsPositionHeader(const char* cell)
{
    for (int i = 0; i < 10; ++i) {
        if (!cell[i])
            return false;
        if (i >= 1 && cell[i] != '.')
            return false;
    }
    return true;
}

// Reads the number at `offset` of a DD.MM.YY cell; nothing past the cell's end.
static uint32_t DatePart(const char* cell, size_t length, size_t offset)
{
    return offset < length ? (uint32_t)ReadInt(cell + offset) : 0u;
}

static bool IsDigitByte(char c)
{
    return c >= '0' && c <= '9';
}

// DD.MM.YY and no ninth digit: atoi at offsets 0, 3 and 6 reads exactly the
// three pairs of digits.
static bool IsPlainDate(const char* cell)
{
    return IsDigitByte(cell[0]) && IsDigitByte(cell[1]) && cell[2] == '.' && IsDigitByte(cell[3]) &&
           IsDigitByte(cell[4]) && cell[5] == '.' && IsDigitByte(cell[6]) && IsDigitByte(cell[7]) &&
           !IsDigitByte(cell[8]);
}

static PackedDate ReadDate(const char* cell)
{
    if (IsPlainDate(cell))
        return MakePackedDate((uint32_t)(cell[0] - '0') * 10 + (uint32_t)(cell[1] - '0'),
                              (uint32_t)(cell[3] - '0') * 10 + (uint32_t)(cell[4] - '0'),
                              (uint32_t)(cell[6] - '0') * 10 + (uint32_t)(cell[7] - '0'));
    const size_t n = strlen(cell);
    return MakePackedDate(DatePart(cell, n, 0), DatePart(cell, n, 3), DatePart(cell, n, 6));
}

bool CReportReader::OnMoveCell(char* cell, int length, int column, bool endOfRow)
{
    Move* m = m_tables.PendingMove();
    if (column == 1 && IsPositionHeader(cell)) {
        OnPositionHeader(cell, length);
    } else {
        switch (column) {
        case 1:
            m->date = ReadDate(cell);
            m_tables.TakeDate(m->date);
            break;
        case 2: m->kindIndex = m_tables.KindIndexOf(cell); break;
        case 4: m->partnerCode = ReadInt(cell); break;
        case 5:
            // Stored verbatim, cut to 1023 bytes.
            if (!m_tables.SetPartnerName(&m->partnerName, cell)) {
                m_outOfMemory = true;
                return false;
            }
            break;
        case 12: m->quantity = ReadNumber(cell); break;
        case 16: m->sum = ReadNumber(cell); break;
        default: break;
        }
    }
    if (endOfRow) {
        if (m_headerRowSeen) {
            m_headerRowSeen = false;
        } else if (!m_positionUnresolved && !m_tables.AppendMove(m_moveTemplate, cell)) {
            // Only when memory runs out: stop before the pending record is lost.
            m_outOfMemory = true;
            return false;
        }
    }
    // A report cell is never refused otherwise.
    return true;
}
