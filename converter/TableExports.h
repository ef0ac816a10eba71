// CTableExports: the four exported tables, Suppliers.txt, Buyers.txt,
// Positions.txt and Moves.txt, written from the import's tables.
#ifndef CONVERTER_TABLEEXPORTS_H
#define CONVERTER_TABLEEXPORTS_H

class CReportImport;

class CTableExports
{
public:
    explicit CTableExports(CReportImport& tables);
    ~CTableExports();

    // Each returns false when its table could not be written whole (the file
    // then keeps what it held before, or stays absent).
    bool ExportSuppliers();
    bool ExportBuyers();
    bool ExportPositions();
    bool ExportMoves();

private:
    CTableExports(const CTableExports&);
    CTableExports& operator=(const CTableExports&);

    CReportImport& m_tables;
    char*          m_writeBuffer;   // the output buffer, one for all four tables
};

#endif
