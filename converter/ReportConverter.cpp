// CReportConverter::Run: the import of the three inputs, then the four exports.
#include "ReportConverter.h"
#include "Console.h"
#include "cwin/system/FileOps.h"
#include "GoodsListReader.h"
#include "MoveKindsReader.h"
#include "ReportReader.h"

CReportConverter::CReportConverter(CFileFunctions& files, CDelimitedTextReader& reader)
    : m_files(files), m_reader(reader), m_exports(m_tables), m_exitCode(ExitOk)
{
}

bool CReportConverter::Run(const char* goodsListName, const char* reportName)
{
    CConsoleGathering gathering;
    m_exitCode = ExitOk;
    // The four tables replace theirs together. A run that died while moving
    // them left a mark by which they are taken back now; what a death left
    // beside them is removed.
    CReplacingFileSet tables(CTableExports::kTableFiles, 4);
    tables.Recover();
    const char* const kinds = CMoveKindsReader::kMoveTypesFile;
    if (!m_files.FileExists(kinds) && !CMoveKindsReader::WriteDefaultMoveTypes(kinds))
        return StopOnOutput(kinds);
    ConsolePrint("\r\n");
    return ImportInputs(goodsListName, reportName) && ExportTables(tables);
}

// A kinds table that cannot be read leaves every move the blank kind; the
// goods list and the report must be read. The report is read after a goods
// list that was not, so that its own faults show in the same run.
bool CReportConverter::ImportInputs(const char* goodsListName, const char* reportName)
{
    CMoveKindsReader(m_tables).Import(m_files, m_reader);
    const bool goodsRead = CGoodsListReader(m_tables).Import(m_files, m_reader, goodsListName);
    const CReportReader::Result report = CReportReader(m_tables).Import(m_files, m_reader, reportName);
    if (!goodsRead || report == CReportReader::NotRead) {
        m_exitCode = ExitInputNotRead;
        return false;
    }
    if (report == CReportReader::TableNotFound) {
        m_exitCode = ExitTableNotFound;
        return false;
    }
    return true;
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

// Each table beside its old one, then all four put in place together.
bool CReportConverter::ExportTables(CReplacingFileSet& tables)
{
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
        CWritingInto writing(m_exports, tables);
        for (int i = 0; i < 4; ++i) {
            ConsolePrint("%s", kExports[i].label);
            ConsoleShow();
            if (!(m_exports.*kExports[i].write)())
                return StopOnOutput(CTableExports::kTableFiles[i]);   // the set abandons the tables written
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
