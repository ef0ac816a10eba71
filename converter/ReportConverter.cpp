// CReportConverter::Run: the import of the three inputs, then the four exports.
#include "ReportConverter.h"
#include "cwin/system/FileOps.h"

CReportConverter::CReportConverter(CFileFunctions& files, CDelimitedTextReader& reader)
    // The exports write the tables this object imports (the cast picks the
    // import over the exports' own copy constructor).
    : CReportImport(files, reader), CTableExports(static_cast<CReportImport&>(*this)), m_files(files),
      m_exitCode(ExitOk)
{
}

namespace {

// The exports write into the set while Run works, and only then.
class CWritingInto
{
public:
    CWritingInto(CTableExports& exports, CReplacingFileSet& set) : m_exports(exports) { exports.WriteInto(&set); }
    ~CWritingInto() { m_exports.WriteInto(NULL); }

private:
    CTableExports& m_exports;
};

}  // namespace

bool CReportConverter::Run(const char* goodsListName, const char* reportName)
{
    CConsoleGathering gathering;
    m_exitCode = ExitOk;
    // The four tables replace theirs together. A run that died while moving
    // them left a mark by which they are taken back now; what a death left
    // beside them is removed.
    CReplacingFileSet tables(kTableFiles, 4);
    tables.Recover();
    if (!m_files.FileExists(kMoveTypesFile) && !WriteDefaultMoveTypes(kMoveTypesFile))
        return StopOnOutput(kMoveTypesFile);
    ConsolePrint("\r\n");
    // A kinds table that cannot be read leaves every move the blank kind; the
    // goods list and the report must be read. The report is read after a
    // goods list that was not, so that its own faults show in the same run.
    ImportMoveTypes();
    const bool goodsRead = ImportPositions(goodsListName);
    const ReportRead report = ImportReport(reportName);
    if (!goodsRead || report == ReportNotRead) {
        m_exitCode = ExitInputNotRead;
        return false;
    }
    if (report == ReportTableNotFound) {
        m_exitCode = ExitTableNotFound;
        return false;
    }

    struct Export
    {
        const char* label;
        bool (CTableExports::*write)();
    };
    static const Export kExports[4] = {
        { " SupplierList by pos ... ", &CTableExports::ExportSuppliers },
        { " BuyersList ... ", &CTableExports::ExportBuyers },
        { " GoodsList ... ", &CTableExports::ExportPositions },
        { " MovesList ... ", &CTableExports::ExportMoves },
    };
    ConsolePrint("\r\nExport: \r\n");
    {
        CWritingInto writing(*this, tables);
        for (int i = 0; i < 4; ++i) {
            ConsolePrint("%s", kExports[i].label);
            ConsoleShow();
            if (!(this->*kExports[i].write)())
                return StopOnOutput(kTableFiles[i]);   // the set abandons the tables written
            if (i < 3)
                ConsolePrint("Ok\r\n");
        }
    }
    if (!tables.Commit())
        return StopOnOutput(tables.FailedName());
    ConsolePrint("Ok\r\n");
    ConsolePrint("\r\nProgram ended ... ");
    return true;
}

// A table that cannot be written whole ends the run: the later tables refer
// to it, and a run that reports "Ok" must have left every table in place.
bool CReportConverter::StopOnOutput(const char* fileName)
{
    ConsolePrint("%s NOT written... ", fileName ? fileName : "");
    m_exitCode = ExitOutputFailed;
    return false;
}
