// CReportConverter: the console converter's run, the import of its three
// inputs followed by the four exports.
#ifndef CONVERTER_REPORTCONVERTER_H
#define CONVERTER_REPORTCONVERTER_H

#include "Console.h"
#include "ReportImport.h"
#include "TableExports.h"

class CReportConverter : public CReportImport, public CTableExports
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

private:
    bool StopOnOutput(const char* fileName);

    CFileFunctions& m_files;
    ExitCode        m_exitCode;
};

#endif
