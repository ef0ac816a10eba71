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

    bool Run(const char* goodsListName, const char* reportName);

    // An output file could not be written whole: Run stopped, and the program
    // ends with a non-zero code.
    bool OutputFailed() const { return m_outputFailed; }

private:
    bool StopOnOutput(const char* fileName);

    CFileFunctions& m_files;
    bool            m_outputFailed;
};

#endif
