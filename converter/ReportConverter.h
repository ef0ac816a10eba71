// CReportConverter: the console converter's run: the three inputs read into
// the tables, then the four tables written from them, all or none.
//
//   CReportConverter  Run, the exit codes
//     CConverterTables  kinds, positions, moves, their texts, the period
//       <- CMoveKindsReader  moves_type.txt
//       <- CGoodsListReader  the goods list
//       <- CReportReader     the report
//     CTableExports     Suppliers.txt, Buyers.txt, Positions.txt, Moves.txt
#ifndef CONVERTER_REPORTCONVERTER_H
#define CONVERTER_REPORTCONVERTER_H

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "ConverterTables.h"
#include "TableExports.h"

class CReplacingFileSet;

class CReportConverter
{
public:
    CReportConverter(CFileFunctions& files, CDelimitedTextReader& reader);

    // The program's exit codes: how the last Run ended.
    enum ExitCode
    {
        ExitOk = 0,               // the four tables written (a kinds table that could not be read included)
        ExitOutputFailed = 1,     // an output could not be written: "<file> NOT written... "
        ExitInputNotRead = 2,     // the report or the goods list could not be read
        ExitTableNotFound = 3     // the report holds no table: "Tables start/end NOT found... "
    };

    // True when the four tables were written. Either all four are replaced or
    // none is: on any failure the tables stay as they were.
    bool Run(const char* goodsListName, const char* reportName);
    ExitCode LastExitCode() const { return m_exitCode; }

    // An output file could not be written whole: Run stopped, and the program
    // ends with a non-zero code.
    bool OutputFailed() const { return m_exitCode == ExitOutputFailed; }

    // The tables the last Run read.
    const CConverterTables& Tables() const { return m_tables; }

private:
    CReportConverter(const CReportConverter&);
    CReportConverter& operator=(const CReportConverter&);

    bool ImportInputs(const char* goodsListName, const char* reportName);
    bool ExportTables(CReplacingFileSet& tables);
    bool StopOnOutput(const char* fileName);

    CFileFunctions&       m_files;
    CDelimitedTextReader& m_reader;
    CConverterTables      m_tables;
    CTableExports         m_exports;
    ExitCode              m_exitCode;
};

#endif
