// CReportConverter::Run: the import of the three inputs, then the four exports.
#include "ReportConverter.h"

CReportConverter::CReportConverter(CFileFunctions& files, CDelimitedTextReader& reader)
    // The exports write the tables this object imports (the cast picks the
    // import over the exports' own copy constructor).
    : CReportImport(files, reader), CTableExports(static_cast<CReportImport&>(*this)), m_files(files),
      m_outputFailed(false)
{
}

bool CReportConverter::Run(const char* goodsListName, const char* reportName)
{
    CConsoleGathering gathering;
    if (!m_files.FileExists(kMoveTypesFile) && !WriteDefaultMoveTypes(kMoveTypesFile))
        return StopOnOutput(kMoveTypesFile);
    ConsolePrint("\r\n");
    // The exports run after a failed kinds or goods import too, with what was read.
    ImportMoveTypes();
    ImportPositions(goodsListName);
    if (!ImportReport(reportName))
        return false;

    struct Export
    {
        const char* label;
        const char* fileName;
        bool (CTableExports::*write)();
    };
    static const Export kExports[] = {
        { " SupplierList by pos ... ", "Suppliers.txt", &CTableExports::ExportSuppliers },
        { " BuyersList ... ", "Buyers.txt", &CTableExports::ExportBuyers },
        { " GoodsList ... ", "Positions.txt", &CTableExports::ExportPositions },
        { " MovesList ... ", "Moves.txt", &CTableExports::ExportMoves },
    };
    ConsolePrint("\r\nExport: \r\n");
    for (const Export& e : kExports) {
        ConsolePrint("%s", e.label);
        ConsoleShow();
        if (!(this->*e.write)())
            return StopOnOutput(e.fileName);
        ConsolePrint("Ok\r\n");
    }
    ConsolePrint("\r\nProgram ended ... ");
    return true;
}

// A table that cannot be written whole ends the run: the later tables refer
// to it, and a run that reports "Ok" must have left every table in place.
bool CReportConverter::StopOnOutput(const char* fileName)
{
    ConsolePrint("%s NOT written... ", fileName);
    m_outputFailed = true;
    return false;
}

