// CMoveKindsReader: the movement-kind table moves_type.txt, its rows into the
// tables' kinds; and the table's default content, written when it is missing.
//
// A row is a kind's name as the report's kind column shows it, then its sign
// ('-': the quantity changes sign), direction ("приход": incoming) and sum
// ("сумма": the money column is written); the first row is a header.
#ifndef CONVERTER_MOVEKINDSREADER_H
#define CONVERTER_MOVEKINDSREADER_H

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "ConverterTables.h"

class CMoveKindsReader : public ITableReceiver
{
public:
    static const char kMoveTypesFile[];

    explicit CMoveKindsReader(CConverterTables& tables) : m_tables(tables) {}

    // Reads kMoveTypesFile with its console line; a table that cannot be read
    // is left empty.
    void Import(CFileFunctions& files, CDelimitedTextReader& reader);
    // Writes the four default kinds, whole or not at all.
    static bool WriteDefaultMoveTypes(const char* fileName);

    // Empties the kinds; the rows read next fill them.
    void Begin() { m_tables.StartMoveTypes(); }
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override;

private:
    CConverterTables& m_tables;
};

#endif
