// CReportImport: reading and parsing the movement kinds, the goods list and the ZORB report.
#include "ReportImport.h"
#include "CodeIndex.h"
#include "Console.h"
#include "GoodsList.h"
#include "cwin/system/FileOps.h"
#include "cwin/system/HeapRegistry.h"
#include "Numbers.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

const char CReportImport::kMoveTypesFile[] = "moves_type.txt";
static const char kTableStart[] = "\xA6.........";   // decoded vertical line + nine dots
static const char kTableEnd[] = "L--------+";        // decoded bottom-left corner, rule, tee
static const char kReportSeparator = '\xA6';

CReportImport::CReportImport(CFileFunctions& files, CDelimitedTextReader& reader)
    : m_files(files), m_reader(reader), m_startDate(kUnsetDate), m_endDate(kUnsetDate), m_mode(Positions),
      m_headerRowSeen(false), m_positionUnresolved(false),
      m_moveTypeBlock(NULL), m_pendingMoveType(NULL), m_moveTypeCount(0),
      m_positionBlock(NULL), m_pendingPosition(NULL), m_positionCount(0),
      m_moveBlock(NULL), m_pendingMove(NULL), m_moveCount(0), m_moveCapacity(0), m_movesInText(false),
      m_readFront(NULL),
      m_codeIndex(new CCodeIndex), m_codeIndexStale(true), m_outOfMemory(false)
{
    memset(&m_moveTemplate, 0, sizeof(m_moveTemplate));
    memset(&m_blankType, 0, sizeof(m_blankType));
}

CReportImport::~CReportImport()
{
    ClearMoves();
    delete m_codeIndex;
}

// The largest table the record array would hold; past it the report is not read.
static const int kMaxMoves = 100000000;

void CReportImport::ClearMoves()
{
    g_heapRegistry.Free(&m_moveBlock);
    m_pendingMove = NULL;
    m_moveCount = m_moveCapacity = 0;
    m_movesInText = false;
}

// The committed records and the pending one, copied into a new block.
bool CReportImport::MovesToOwnBlock(size_t capacity)
{
    Move* own = NULL;
    if (capacity < (size_t)m_moveCount + 100)
        capacity = (size_t)m_moveCount + 100;
    if (capacity > (size_t)kMaxMoves || !g_heapRegistry.AllocNew(&own, (SIZE_T)(capacity + 1) * sizeof(Move)))
        return false;
    memcpy(own, m_moveBlock, ((size_t)m_moveCount + 1) * sizeof(Move));
    m_moveBlock = own;   // the report's block stays the reader's
    m_pendingMove = &own[m_moveCount];
    m_moveCapacity = (int)capacity;
    m_movesInText = false;
    return true;
}

// Room for `count` moves and the pending record; the block stays as it was
// when memory runs out. New slots are zero (the registry zero-fills).
bool CReportImport::ReserveMoves(size_t count)
{
    if (m_moveBlock && count <= (size_t)m_moveCapacity)
        return true;
    if (m_movesInText)
        return MovesToOwnBlock(count);
    if (count > (size_t)kMaxMoves)
        count = kMaxMoves;
    if (count < (size_t)m_moveCount || count + 1 > (SIZE_T)-1 / sizeof(Move))
        return false;
    if (!g_heapRegistry.Alloc(&m_moveBlock, (SIZE_T)(count + 1) * sizeof(Move)))
        return false;
    m_moveCapacity = (int)count;
    m_pendingMove = &m_moveBlock[m_moveCount];
    return true;
}

// Commits the pending record and makes the next slot pending.
bool CReportImport::AppendMove()
{
    if (m_moveCount >= kMaxMoves)
        return false;
    m_moveBlock[m_moveCount].id = (uint32_t)m_moveCount + 1;
    // Growing by half again keeps the copies few (large blocks grow in place
    // while their reservation lasts).
    const bool overtaking =
        m_movesInText && reinterpret_cast<const char*>(&m_moveBlock[m_moveCount + 2]) > m_readFront;
    if ((overtaking && !MovesToOwnBlock((size_t)m_moveCapacity)) ||
        (m_moveCount + 1 > m_moveCapacity &&
         !ReserveMoves((size_t)m_moveCapacity + (size_t)m_moveCapacity / 2 + 100))) {
        m_moveBlock[m_moveCount].id = 0;
        return false;
    }
    ++m_moveCount;
    m_pendingMove = &m_moveBlock[m_moveCount];
    m_pendingMove->id = 0;
    memcpy(reinterpret_cast<char*>(m_pendingMove) + sizeof(uint32_t),
           reinterpret_cast<const char*>(&m_moveTemplate) + sizeof(uint32_t), sizeof(Move) - sizeof(uint32_t));
    return true;
}

void CReportImport::BeginMoveTypes()
{
    m_moveTypes.Bind(&m_moveTypeBlock, &m_pendingMoveType, 100, &m_moveTypeCount);
    m_mode = MoveTypes;
}

void CReportImport::BeginPositions()
{
    m_positionTexts.Clear();
    m_codeIndexStale = true;
    // Steps of 2,048 records: grown 100 at a time, a list of 10,000 goods was
    // copied a hundred times over (16 MB) while it was read.
    m_positions.Bind(&m_positionBlock, &m_pendingPosition, 2048, &m_positionCount);
    m_mode = Positions;
}

void CReportImport::BeginMoves()
{
    m_partnerNames.Clear();
    m_outOfMemory = false;
    // The first pending record is a zero record; the template fills the later ones.
    ClearMoves();
    ReserveMoves(100);
    m_startDate = m_endDate = kUnsetDate;
    m_headerRowSeen = m_positionUnresolved = false;
    m_mode = Moves;
}

// The report comes in the OEM code page; the parser works on ANSI text, in place.
// Both are single-byte on the systems this runs on, so the length is kept, and
// the text is converted a slice at a time: a UTF-16 copy of the whole report
// would take twice the report's size again.
int DecodeOemText(char* text, int length)
{
    if (length <= 0)
        return length;
    CPINFO oem, ansi;
    const bool singleByte = GetCPInfo(CP_OEMCP, &oem) && GetCPInfo(CP_ACP, &ansi) && oem.MaxCharSize == 1 &&
                            ansi.MaxCharSize == 1;
    const int slice = singleByte && length > 65536 ? 65536 : length;
    wchar_t* wide = NULL;
    if (!g_heapRegistry.Alloc(&wide, (SIZE_T)slice * sizeof(wchar_t)))
        return 0;
    int decoded = 0;
    for (int off = 0; off < length; off += slice) {
        const int n = length - off < slice ? length - off : slice;
        int chars = MultiByteToWideChar(CP_OEMCP, 0, text + off, n, wide, n);
        int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, wide, chars, text + off, n, NULL, NULL) : 0;
        if (bytes <= 0) {
            decoded = length;   // left as read
            break;
        }
        decoded = off + bytes;
    }
    g_heapRegistry.Free(&wide);
    text[decoded] = 0;
    return decoded;
}

// The first byte equal to `c` or zero, from `p` on. The end marker lies past the
// whole table, so the search runs a word at a time (aligned words never cross
// a page, so reading a whole word past the terminating zero is harmless).
static const char* ScanFor(const char* p, char c)
{
    while (((uintptr_t)p & 7) != 0) {
        if (*p == c || !*p)
            return p;
        ++p;
    }
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    const uint64_t pattern = ones * (uint8_t)c;
    for (;; p += 8) {
        uint64_t w;
        memcpy(&w, p, sizeof(w));
        const uint64_t x = w ^ pattern;
        if (((w - ones) & ~w & highs) | ((x - ones) & ~x & highs))
            break;
    }
    while (*p != c && *p)
        ++p;
    return p;
}

// strstr: the first occurrence of the marker in the zero-terminated text.
static char* FindMarker(char* text, const char* marker)
{
    const size_t length = strlen(marker);
    for (const char* p = text;; ++p) {
        p = ScanFor(p, marker[0]);
        if (!*p)
            return NULL;
        if (strncmp(p, marker, length) == 0)
            return text + (p - text);
    }
}

// The CR bytes of text[0, length).
static size_t CountCR(const char* text, size_t length)
{
    // Eight bytes at a time: a byte of x is zero exactly where the text holds
    // CR, and the sum flags each such byte by a clear high bit.
    size_t count = 0, i = 0;
    const uint64_t lows = 0x7F7F7F7F7F7F7F7Full, highs = 0x8080808080808080ull;
    const uint64_t pattern = 0x0D0D0D0D0D0D0D0Dull;
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, sizeof(w));
        const uint64_t x = w ^ pattern;
        const uint64_t zeros = ~(((x & lows) + lows) | x) & highs;
        count += (size_t)(((zeros >> 7) * 0x0101010101010101ull) >> 56);
    }
    for (; i < length; ++i)
        count += text[i] == '\r';
    return count;
}

// FindMarker, and the CR bytes before the marker found in *crs: one pass over
// a report instead of two (the marker lies past the whole table).
static char* FindMarkerCountingCR(char* text, const char* marker, size_t* crs)
{
#ifdef __SSE2__
    // Sixteen bytes at a time, aligned: an aligned load never crosses a page,
    // so reading past the terminating zero is harmless. A window holding the
    // marker's first byte or a zero is looked at byte by byte.
    const size_t length = strlen(marker);
    const __m128i first = _mm_set1_epi8(marker[0]), zero = _mm_setzero_si128(), cr = _mm_set1_epi8('\r');
    size_t count = 0;
    char* p = text;
    for (;;) {
        char* const window = p;
        char* const next = reinterpret_cast<char*>(((uintptr_t)p + 16) & ~(uintptr_t)15);
        if (((uintptr_t)p & 15) == 0) {
            // Whole windows without a stop: CRs summed per byte lane, at most
            // 255 windows a lane, then added up.
            __m128i lanes = zero;
            int inLanes = 0;
            for (;;) {
                const __m128i w = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
                if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(w, first), _mm_cmpeq_epi8(w, zero))))
                    break;
                lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(w, cr));
                p += 16;
                if (++inLanes == 255) {
                    const __m128i sums = _mm_sad_epu8(lanes, zero);
                    count += (size_t)_mm_cvtsi128_si32(sums) + (size_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
                    lanes = zero;
                    inLanes = 0;
                }
            }
            const __m128i sums = _mm_sad_epu8(lanes, zero);
            count += (size_t)_mm_cvtsi128_si32(sums) + (size_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
            if (p != window)
                continue;
        }
        // This window (or the unaligned start) a byte at a time.
        for (; p < next; ++p) {
            if (*p == marker[0] && strncmp(p, marker, length) == 0) {
                *crs = count;
                return p;
            }
            if (!*p)
                return NULL;
            count += *p == '\r';
        }
    }
#else
    char* found = FindMarker(text, marker);
    if (found)
        *crs = CountCR(text, (size_t)(found - text));
    return found;
#endif
}

// Room for as many moves as the table has rows is tried before the import: a
// report whose moves this build's memory cannot hold is refused like an
// unreadable one, instead of failing half-way. The rows (each move ends one)
// are the table's CR bytes and one.
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

// A small input (kinds, goods list): read whole, announced, split; the count
// read when it was, " fault !!! " when not.
void CReportImport::ImportTable(const char* fileName, const char* title, char separator, const int& count)
{
    char* text = NULL;
    int length = m_files.ReadWholeFile(fileName, &text, -1);
    ConsolePrint("%s", title);
    if (m_reader.ReadDelimitedText(text, length, separator, 0, this))
        ConsolePrint("(%d) Ok\r\n", count);
    else
        ConsolePrint(" fault !!! ");
    g_heapRegistry.Free(&text);
}

void CReportImport::ImportMoveTypes()
{
    BeginMoveTypes();
    ImportTable(kMoveTypesFile, "Import moves type ... ", '|', m_moveTypeCount);
}

// The goods list as a spreadsheet saves it (GoodsList.h); characters that
// code page 1251 lacks are counted on a line of their own after the import's.
bool CReportImport::ImportPositions(const char* goodsListName)
{
    BeginPositions();
    char* text = NULL;
    int length = m_files.ReadWholeFile(goodsListName, &text, -1);
    ConsolePrint("Import positions ... ");
    int unmapped = 0;
    if (length > 0)
        length = GoodsListTo1251(text, length, &unmapped);
    const bool read = length > 0 && ReadGoodsList(text, length, this, m_reader.GetProgress());
    if (read) {
        ConsolePrint("(%d) Ok\r\n", m_positionCount);
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

CReportImport::ReportRead CReportImport::ImportReport(const char* reportName)
{
    char* text = NULL;
    BeginMoves();
    ConsoleShow();   // before the report is read and decoded
    int length = m_files.ReadWholeFile(reportName, &text, -1);
    const bool read = length > 0;
    length = DecodeOemText(text, length);
    // The decoded text is a string: a stray zero byte ends it.
    char* start = length > 0 ? FindMarker(text, kTableStart) : NULL;
    if (!start) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables start NOT found... ");
        // Decoding fails only when memory runs out.
        return read && length > 0 ? ReportTableNotFound : ReportNotRead;
    }
    size_t crsBeforeEnd = 0;
    char* end = FindMarkerCountingCR(text, kTableEnd, &crsBeforeEnd);
    if (!end) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables end NOT found... ");
        return ReportTableNotFound;
    }
    *end = 0;
    char* table = start;
    const size_t tableLength = end > start ? (size_t)(end - start) : strlen(start);
    const size_t rows = 1 + (end > start ? crsBeforeEnd - CountCR(text, (size_t)(start - text))
                                         : CountCR(table, tableLength));
    if (!RoomForMoves(rows)) {
        g_heapRegistry.Free(&text);
        ConsolePrint("Tables start NOT found... ");
        return ReportNotRead;
    }
    // The moves go to the front of the report's block, which the read and the
    // decoding have touched already; a report row is longer than a record, so
    // they stay behind the cells read. Else a block of their own, sized once
    // for all rows: fresh pages cost as much as filling the records.
    if (text + sizeof(Move) <= start && rows <= (size_t)kMaxMoves && m_moveCount == 0) {
        ClearMoves();
        m_moveBlock = reinterpret_cast<Move*>(text);
        memset(m_moveBlock, 0, sizeof(Move));   // the first pending record is a zero record
        m_pendingMove = m_moveBlock;
        m_moveCapacity = (int)rows;
        m_movesInText = true;
        m_readFront = start;
    } else {
        ReserveMoves(rows);
    }

    ConsolePrint("Import moves ... ");
    ConsoleShow();
    m_startDate = m_endDate = kUnsetDate;
    m_mode = Moves;
    m_reader.ReadDelimitedText(table, (int)tableLength, kReportSeparator, 0, this);
    // Moves that stayed in the report's block keep it.
    m_movesInText = false;
    if (reinterpret_cast<char*>(m_moveBlock) == text)
        text = NULL;
    if (m_outOfMemory) {
        // Never reached when the room tried above was had; a half-read table is not exported.
        g_heapRegistry.Free(&text);
        ConsolePrint(" fault !!! ");
        return ReportNotRead;
    }
    ConsolePrint("(%d) Ok\r\n", m_moveCount);
    ConsolePrint("Start date: %.2d.%.2d.%.2d\r\n", DayOf(m_startDate), MonthOf(m_startDate), YearOf(m_startDate));
    ConsolePrint("End date: %.2d.%.2d.%.2d\r\n", DayOf(m_endDate), MonthOf(m_endDate), YearOf(m_endDate));

    g_heapRegistry.Free(&text);
    return ReportTableRead;
}

// Report columns that OnMoveCell reads; the others (eleven of a row's eighteen
// cells) only matter when they end the row.
static const uint32_t kReadReportColumns = CReportImport::kReportColumns;

// A report row has eighteen cells, and the reader skips the eleven unread ones
// instead of trimming and passing each.
unsigned CReportImport::CellColumns()
{
    return m_mode == Moves ? kReadReportColumns : ~0u;
}

bool CReportImport::OnTableCell(char* cell, int length, int row, int column, bool endOfRow)
{
    if (m_mode == Moves && !endOfRow && ((unsigned)column >= 32 || !((kReadReportColumns >> column) & 1)))
        return true;
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

// Cells are stored verbatim, cut to 1023 bytes.
bool CReportImport::SetText(CTextPool& pool, TextRef* field, const char* cell)
{
    if (pool.Add(cell, field))
        return true;
    m_outOfMemory = true;
    return false;
}

bool CReportImport::OnPositionCell(char* cell, int row, int column, bool endOfRow)
{
    if (row == 0)
        return !(endOfRow && column == 0);   // a header line without ';' is no goods list
    Position* p = m_pendingPosition;
    bool ok = true;
    switch (column) {
    case 0: ok = SetText(m_positionTexts, &p->code, cell); break;
    case 1: ok = SetText(m_positionTexts, &p->name, cell); break;
    case 2: ok = SetText(m_positionTexts, &p->supplier, cell); break;
    case 3: p->unitCost = ReadNumber(cell); break;
    case 4: p->secondValue = ReadNumber(cell); break;
    default: break;
    }
    if (!ok)
        return false;
    if (endOfRow) {
        m_codeIndexStale = true;
        return m_positions.Append();
    }
    return true;
}

void CReportImport::IndexPositions()
{
    if (m_codeIndexStale)
        m_codeIndex->Build(*this);
    m_codeIndexStale = false;
}

const Position* CReportImport::FindPositionByCode(const char* code)
{
    IndexPositions();
    int i = m_codeIndex->FindExact(code);
    return i < 0 ? NULL : &m_positionBlock[i];
}

const char* CReportImport::GoodsCodeOf(const Move& m) const
{
    const Position* p = GoodsOf(m);
    return p ? CodeOf(*p) : "";
}

const char* CReportImport::GoodsNameOf(const Move& m) const
{
    const Position* p = GoodsOf(m);
    return p ? NameOf(*p) : "";
}

size_t CReportImport::TableBytes() const
{
    return (size_t)(m_moveTypes.Capacity() + 1) * sizeof(MoveType) +
           (size_t)(m_positions.Capacity() + 1) * sizeof(Position) +
           (size_t)(m_moveCapacity + 1) * sizeof(Move) + m_positionTexts.Bytes() + m_partnerNames.Bytes();
}

// Header row: "<any><nine dots>..." then the position number and the goods text.
void CReportImport::OnPositionHeader(const char* cell, int length)
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
    m_pendingMove->goods = m_moveTemplate.goods = (uint32_t)found + 1;
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

bool CReportImport::OnMoveCell(char* cell, int length, int column, bool endOfRow)
{
    Move* m = m_pendingMove;
    if (column == 1 && IsPositionHeader(cell)) {
        OnPositionHeader(cell, length);
    } else {
        switch (column) {
        case 1: {
            PackedDate date;
            if (IsPlainDate(cell)) {
                date = MakePackedDate((uint32_t)(cell[0] - '0') * 10 + (uint32_t)(cell[1] - '0'),
                                      (uint32_t)(cell[3] - '0') * 10 + (uint32_t)(cell[4] - '0'),
                                      (uint32_t)(cell[6] - '0') * 10 + (uint32_t)(cell[7] - '0'));
            } else {
                size_t n = strlen(cell);
                date = MakePackedDate(DatePart(cell, n, 0), DatePart(cell, n, 3), DatePart(cell, n, 6));
            }
            m->date = date;
            if (m_startDate == kUnsetDate || date < m_startDate)
                m_startDate = date;
            if (m_endDate == kUnsetDate || date > m_endDate)
                m_endDate = date;
            break;
        }
        case 2: m->kindIndex = FindKind(cell); break;
        case 4: m->partnerCode = ReadInt(cell); break;
        case 5:
            if (!SetText(m_partnerNames, &m->partnerName, cell))
                return false;
            break;
        case 12: m->quantity = ReadNumber(cell); break;
        case 16: m->sum = ReadNumber(cell); break;
        default: break;
        }
    }
    if (endOfRow) {
        m_readFront = cell;
        if (m_headerRowSeen) {
            m_headerRowSeen = false;
        } else if (!m_positionUnresolved && !AppendMove()) {
            // Only when memory runs out: stop before the pending record is lost.
            m_outOfMemory = true;
            return false;
        }
    }
    // A report cell is never refused otherwise.
    return true;
}

// Movement kinds: the editable table moves_type.txt and its default content.

static const char* const kDefaultMoveTypes[] = {
    "Вид движения ЗОРБ|Знак|Направление|сумма\r\n",
    "+Приход от поставщика.|+|приход|сумма\r\n",
    "-Отгрузка.|+|расход|сумма\r\n",
    "-Возврат поставщику.|-|приход|сумма\r\n",
    "+Возврат проданного.|-|расход|сумма\r\n",
};

bool CReportImport::WriteDefaultMoveTypes(const char* fileName)
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

bool CReportImport::OnMoveTypeCell(char* cell, int row, int column, bool endOfRow)
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
int CReportImport::FindKind(const char* text) const
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
const MoveType& CReportImport::TypeAt(int kindIndex) const
{
    if (kindIndex >= 0 && kindIndex < m_moveTypeCount)
        return m_moveTypeBlock[kindIndex];
    return m_blankType;
}
