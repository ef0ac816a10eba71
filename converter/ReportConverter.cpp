#include "ReportConverter.h"
#include "CodeIndex.h"
#include "HeapRegistry.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kMoveTypesFile[] = "moves_type.txt";
static const char kTableStart[] = "\xA6.........";   // decoded vertical line + nine dots
static const char kTableEnd[] = "L--------+";        // decoded bottom-left corner, rule, tee
static const char kReportSeparator = '\xA6';

void ConsolePrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

// Cells are stored verbatim, cut to 1023 bytes.
static void CopyCell(char (&field)[1024], const char* cell)
{
    size_t n = strlen(cell);
    if (n > 1023)
        n = 1023;
    memcpy(field, cell, n);
    field[n] = 0;
}

CReportConverter::CReportConverter(CAppFrame& frame)
    : m_frame(frame), m_startDate(kUnsetDate), m_endDate(kUnsetDate), m_mode(Positions),
      m_headerRowSeen(false), m_positionUnresolved(false),
      m_moveTypeBlock(NULL), m_pendingMoveType(NULL), m_moveTypeCount(0),
      m_positionBlock(NULL), m_pendingPosition(NULL), m_positionCount(0),
      m_moveBlock(NULL), m_pendingMove(NULL), m_moveCount(0),
      m_codeIndex(new CCodeIndex)
{
    memset(&m_moveTemplate, 0, sizeof(m_moveTemplate));
    memset(&m_blankType, 0, sizeof(m_blankType));
}

CReportConverter::~CReportConverter()
{
    delete m_codeIndex;
}

void CReportConverter::BeginMoveTypes()
{
    m_moveTypes.Bind(&m_moveTypeBlock, &m_pendingMoveType, 100, &m_moveTypeCount);
    m_mode = MoveTypes;
}

void CReportConverter::BeginPositions()
{
    m_positions.Bind(&m_positionBlock, &m_pendingPosition, 100, &m_positionCount);
    m_mode = Positions;
}

void CReportConverter::BeginMoves()
{
    m_moves.Bind(&m_moveBlock, &m_pendingMove, 100, &m_moveCount);
    m_moves.SetTemplate(&m_moveTemplate);
    m_startDate = m_endDate = kUnsetDate;
    m_headerRowSeen = m_positionUnresolved = false;
    m_mode = Moves;
}

// The report comes in the OEM code page; the parser works on ANSI text, in place.
// Both are single-byte on the systems this runs on, so the length is kept.
int DecodeOemText(char* text, int length)
{
    if (length <= 0)
        return length;
    wchar_t* wide = NULL;
    if (!g_heapRegistry.Alloc(&wide, (SIZE_T)length * sizeof(wchar_t)))
        return 0;
    int chars = MultiByteToWideChar(CP_OEMCP, 0, text, length, wide, length);
    int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, wide, chars, text, length, NULL, NULL) : 0;
    g_heapRegistry.Free(&wide);
    if (bytes <= 0)
        return length;
    text[bytes] = 0;
    return bytes;
}

bool CReportConverter::Run(const char* goodsListName, const char* reportName)
{
    CFileChooser* files = m_frame.GetFileDialog();
    if (!files->FileExists(kMoveTypesFile))
        WriteDefaultMoveTypes(kMoveTypesFile);

    ConsolePrint("\r\n");

    char* text = NULL;
    BeginMoveTypes();
    int length = files->ReadWholeFile(kMoveTypesFile, &text, -1);
    ConsolePrint("Import moves type ... ");
    if (m_frame.ReadDelimitedText(text, length, '|', 0, this))
        ConsolePrint("(%d) Ok\r\n", m_moveTypeCount);
    else
        ConsolePrint(" fault !!! ");

    BeginPositions();
    length = files->ReadWholeFile(goodsListName, &text, -1);
    ConsolePrint("Import positions ... ");
    if (m_frame.ReadDelimitedText(text, length, ';', 0, this))
        ConsolePrint("(%d) Ok\r\n", m_positionCount);
    else
        ConsolePrint(" fault !!! ");

    BeginMoves();
    length = files->ReadWholeFile(reportName, &text, -1);
    length = DecodeOemText(text, length);
    // The decoded text is a string: a stray zero byte ends it.
    const char* start = length > 0 ? strstr(text, kTableStart) : NULL;
    if (!start) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables start NOT found... ");
        return false;
    }
    char* end = strstr(text, kTableEnd);
    if (!end) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables end NOT found... ");
        return false;
    }
    *end = 0;

    ConsolePrint("Import moves ... ");
    m_startDate = m_endDate = kUnsetDate;
    m_mode = Moves;
    char* table = text + (start - text);
    m_frame.ReadDelimitedText(table, (int)strlen(table), kReportSeparator, 0, this);
    ConsolePrint("(%d) Ok\r\n", m_moveCount);
    ConsolePrint("Start date: %.2d.%.2d.%.2d\r\n", DayOf(m_startDate), MonthOf(m_startDate), YearOf(m_startDate));
    ConsolePrint("End date: %.2d.%.2d.%.2d\r\n", DayOf(m_endDate), MonthOf(m_endDate), YearOf(m_endDate));

    g_heapRegistry.Free(&text);
    ConsolePrint("\r\nExport: \r\n");
    ConsolePrint(" SupplierList by pos ... ");
    ExportSuppliers();
    ConsolePrint("Ok\r\n");
    ConsolePrint(" BuyersList ... ");
    ExportBuyers();
    ConsolePrint("Ok\r\n");
    ConsolePrint(" GoodsList ... ");
    ExportPositions();
    ConsolePrint("Ok\r\n");
    ConsolePrint(" MovesList ... ");
    ExportMoves();
    ConsolePrint("Ok\r\n");
    ConsolePrint("\r\nProgram ended ... ");
    return true;
}

bool CReportConverter::OnTableCell(char* cell, int length, int row, int column, bool endOfRow)
{
    switch (m_mode) {
    case MoveTypes:
        return OnMoveTypeCell(cell, row, column, endOfRow);
    case Positions:
        return OnPositionCell(cell, row, column, endOfRow);
    case Moves:
        return OnMoveCell(cell, length, column, endOfRow);
    }
    return false;
}

bool CReportConverter::OnPositionCell(char* cell, int row, int column, bool endOfRow)
{
    if (row == 0)
        return !(endOfRow && column == 0);   // a header line without ';' is no goods list
    Position* p = m_pendingPosition;
    switch (column) {
    case 0: CopyCell(p->code, cell); break;
    case 1: CopyCell(p->name, cell); break;
    case 2: CopyCell(p->supplier, cell); break;
    case 3: p->unitCost = atof(cell); break;
    case 4: p->secondValue = atof(cell); break;
    default: break;
    }
    if (endOfRow)
        return m_positions.Append();
    return true;
}

void CReportConverter::IndexPositions()
{
    if (!m_codeIndex->IsBuiltFor(m_positionBlock, m_positionCount))
        m_codeIndex->Build(m_positionBlock, m_positionCount);
}

const Position* CReportConverter::FindPositionByCode(const char* code)
{
    IndexPositions();
    int i = m_codeIndex->FindExact(code);
    return i < 0 ? NULL : &m_positionBlock[i];
}

// Header row: "<any><nine dots>..." then the position number and the goods text.
void CReportConverter::OnPositionHeader(const char* cell, int length)
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
    int found = -1;
    if (goodsStart >= 0) {
        IndexPositions();
        found = m_codeIndex->FindLongestPrefix(cell + goodsStart);
    }
    if (found < 0) {
        m_positionUnresolved = true;
        return;
    }
    m_positionUnresolved = false;
    const Position& p = m_positionBlock[found];
    CopyCell(m_pendingMove->goodsCode, p.code);
    CopyCell(m_pendingMove->goodsName, p.name);
    CopyCell(m_moveTemplate.goodsCode, p.code);
    CopyCell(m_moveTemplate.goodsName, p.name);
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
    return offset < length ? (uint32_t)atoi(cell + offset) : 0u;
}

bool CReportConverter::OnMoveCell(char* cell, int length, int column, bool endOfRow)
{
    Move* m = m_pendingMove;
    if (column == 1 && IsPositionHeader(cell)) {
        OnPositionHeader(cell, length);
    } else {
        switch (column) {
        case 1: {
            size_t n = strlen(cell);
            PackedDate date = MakePackedDate(DatePart(cell, n, 0), DatePart(cell, n, 3), DatePart(cell, n, 6));
            m->date = date;
            if (m_startDate == kUnsetDate || date < m_startDate)
                m_startDate = date;
            if (m_endDate == kUnsetDate || date > m_endDate)
                m_endDate = date;
            break;
        }
        case 2: m->kindIndex = FindKind(cell); break;
        case 4: m->partnerCode = atoi(cell); break;
        case 5: CopyCell(m->partnerName, cell); break;
        case 12: m->quantity = atof(cell); break;
        case 16: m->sum = atof(cell); break;
        default: break;
        }
    }
    if (endOfRow) {
        if (m_headerRowSeen)
            m_headerRowSeen = false;
        else if (!m_positionUnresolved)
            m_moves.Append();
    }
    // A report cell is never refused.
    return true;
}
