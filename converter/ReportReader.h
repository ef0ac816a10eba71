// CReportReader: the ZORB report's table, its rows into the tables' moves.
//
// A position header row ("<any><nine dots> <number> <goods text>") names the
// position of the move rows under it, by the longest goods code that begins
// its goods text; the move rows take their date, kind, partner, quantity and
// sum from their columns.
#ifndef CONVERTER_REPORTREADER_H
#define CONVERTER_REPORTREADER_H

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "ConverterTables.h"

class CReportReader : public ITableReceiver
{
public:
    explicit CReportReader(CConverterTables& tables);

    enum Result
    {
        TableRead,
        NotRead,        // missing, unreadable, empty or too large to hold
        TableNotFound   // read, but without the table's start or end
    };
    // Reads, decodes and splits the report with its console lines.
    Result Import(CFileFunctions& files, CDelimitedTextReader& reader, const char* reportName);

    // Empties the moves; the rows read next fill them.
    void Begin();
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override;
    // A report row has eighteen cells, and the reader skips the eleven unread
    // ones instead of trimming and passing each.
    unsigned CellColumns() override { return kReportColumns; }
    // The report columns read (bit c: column c).
    static const unsigned kReportColumns = (1u << 1) | (1u << 2) | (1u << 4) | (1u << 5) | (1u << 12) | (1u << 16);

private:
    bool OnMoveCell(char* cell, int length, int column, bool endOfRow);
    void OnPositionHeader(const char* cell, int length);

    CConverterTables& m_tables;
    Move m_moveTemplate;         // what every new pending move starts from
    bool m_headerRowSeen;        // the current row is a position header row
    bool m_positionUnresolved;   // the last header row matched no position
    bool m_outOfMemory;          // a table or pool could not grow
};

#endif
