// CReportImport: reads and parses the converter's three inputs (movement
// kinds, goods list, ZORB report) into its tables.
//
// One object receives the cells of all three through OnTableCell; `mode` says
// which one is being read.
#ifndef CONVERTER_REPORTIMPORT_H
#define CONVERTER_REPORTIMPORT_H

#include <stdint.h>

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/PackedDate.h"
#include "cwin/system/RecordArray.h"
#include "TextPool.h"

enum ParseMode { Positions = 0, Moves = 1, MoveTypes = 2 };

struct MoveType
{
    uint32_t id;
    char     name[1024];
    bool     negate;
    bool     incoming;
    bool     withSum;
};

// Positions and moves keep their texts in the converter's text pools (each
// distinct text once, at most 1023 bytes) and hold references to them.
struct Position
{
    uint32_t id;
    TextRef  code;
    TextRef  supplier;
    TextRef  name;
    double   unitCost;
    double   secondValue;
};

// A move's goods code and name are those of the position of the last resolved
// header row: the move refers to that position.
struct Move
{
    uint32_t   id;
    PackedDate date;
    int32_t    kindIndex;
    int32_t    partnerCode;
    TextRef    partnerName;
    uint32_t   goods;   // 1 + index of the position; 0: none (empty code and name)
    double     quantity;
    double     sum;
};

// The layout is the same in both builds (the benchmark computes the 32-bit
// build's memory from these sizes).
static_assert(sizeof(Position) == 32, "Position layout");
static_assert(sizeof(Move) == 40, "Move layout");

class CCodeIndex;

class CReportImport : public ITableReceiver
{
public:
    // Inputs are read with `files` and split by `reader`, whose progress is
    // the program's.
    CReportImport(CFileFunctions& files, CDelimitedTextReader& reader);
    ~CReportImport();

    static const char kMoveTypesFile[];

    // The three imports, each with its console lines. The kinds leave an
    // empty table when they fail. The goods list is false when it could not
    // be read (missing, unreadable, empty, too large to hold, or no goods list:
    // its first line holds no ';').
    enum ReportRead
    {
        ReportTableRead,
        ReportNotRead,        // missing, unreadable, empty or too large to hold
        ReportTableNotFound   // read, but without the table's start or end
    };
    void ImportMoveTypes();
    bool ImportPositions(const char* goodsListName);
    ReportRead ImportReport(const char* reportName);

    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override;
    unsigned CellColumns() override;
    // The report columns read (bit c: column c); the reader skips the others.
    static const unsigned kReportColumns = (1u << 1) | (1u << 2) | (1u << 4) | (1u << 5) | (1u << 12) | (1u << 16);

    // Movement kinds.
    static bool WriteDefaultMoveTypes(const char* fileName);
    const MoveType& TypeAt(int kindIndex) const;

    // Read access for the exports and for tests.
    int MoveTypeCount() const { return m_moveTypeCount; }
    int PositionCount() const { return m_positionCount; }
    int MoveCount() const { return m_moveCount; }
    const MoveType* MoveTypeAt(int i) const { return i >= 0 && i < m_moveTypeCount ? &m_moveTypeBlock[i] : 0; }
    // The texts of a position and of a move.
    const char* CodeOf(const Position& p) const { return m_positionTexts.At(p.code); }
    const char* NameOf(const Position& p) const { return m_positionTexts.At(p.name); }
    const char* SupplierOf(const Position& p) const { return m_positionTexts.At(p.supplier); }
    const char* PartnerNameOf(const Move& m) const { return m_partnerNames.At(m.partnerName); }
    const Position* GoodsOf(const Move& m) const { return m.goods ? PositionAt((int)m.goods - 1) : NULL; }
    const char* GoodsCodeOf(const Move& m) const;
    const char* GoodsNameOf(const Move& m) const;
    // Memory the tables and pools hold now, in bytes.
    size_t TableBytes() const;
    const Position* PositionAt(int i) const { return i >= 0 && i < m_positionCount ? &m_positionBlock[i] : 0; }
    const Move*     MoveAt(int i) const { return i >= 0 && i < m_moveCount ? &m_moveBlock[i] : 0; }
    // The tables whole, for the exports' passes over them.
    const Position* PositionBlock() const { return m_positionBlock; }
    const Move*     MoveBlock() const { return m_moveBlock; }
    PackedDate StartDate() const { return m_startDate; }
    PackedDate EndDate() const { return m_endDate; }
    // First position with exactly this code, or null.
    const Position* FindPositionByCode(const char* code);

    // Starts reading one input in a mode, with empty tables bound as the imports bind them.
    void BeginMoveTypes();
    void BeginPositions();
    void BeginMoves();

private:
    void ImportTable(const char* fileName, const char* title, char separator, const int& count);
    bool OnMoveTypeCell(char* cell, int row, int column, bool endOfRow);
    bool OnPositionCell(char* cell, int row, int column, bool endOfRow);
    bool OnMoveCell(char* cell, int length, int column, bool endOfRow);
    void OnPositionHeader(const char* cell, int length);
    int  FindKind(const char* text) const;
    void IndexPositions();
    bool SetText(CTextPool& pool, TextRef* field, const char* cell);

    CFileFunctions&       m_files;
    CDelimitedTextReader& m_reader;

    CRecordArray m_moveTypes;
    CRecordArray m_positions;
    Move         m_moveTemplate;
    PackedDate   m_startDate;
    PackedDate   m_endDate;
    ParseMode    m_mode;
    bool         m_headerRowSeen;
    bool         m_positionUnresolved;

    // The variables the record arrays keep up to date.
    MoveType* m_moveTypeBlock;
    MoveType* m_pendingMoveType;
    int       m_moveTypeCount;
    Position* m_positionBlock;
    Position* m_pendingPosition;
    int       m_positionCount;
    // The moves are only ever appended: a block of their own, without the
    // record array's identifier bitmap and view index (a million moves filled
    // both, and its bitmap read the whole of a block sized for all rows).
    // Identifiers are 1, 2, 3 ... as the record array gives them; the pending
    // record is the slot after the last, a copy of the template.
    Move*     m_moveBlock;
    Move*     m_pendingMove;
    int       m_moveCount;
    int       m_moveCapacity;   // slots besides the pending one
    // While the report is read, the moves may fill the front of the report's
    // own block, behind the cells already read (ImportReport): its pages are touched
    // already, where a block of their own would be fresh memory. m_readFront
    // is the cell that ended the last row; the next pending record must end
    // before it, or the moves move to a block of their own.
    bool        m_movesInText;
    const char* m_readFront;
    bool ReserveMoves(size_t count);
    bool AppendMove();
    bool MovesToOwnBlock(size_t capacity);
    void ClearMoves();

    MoveType    m_blankType;
    CCodeIndex* m_codeIndex;   // first position by code, built when the report is read
    bool        m_codeIndexStale;
    CTextPool   m_positionTexts;   // codes, names, suppliers
    CTextPool   m_partnerNames;    // kept apart: the code index points into the positions' texts
    bool        m_outOfMemory;     // a table or pool could not grow while the report was read
};

// Turns report text from the OEM code page into the ANSI code page, in place;
// returns the new length (the same on single-byte code pages).
int DecodeOemText(char* text, int length);

#endif
