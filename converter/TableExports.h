// CTableExports: the four exported tables, Suppliers.txt, Buyers.txt,
// Positions.txt and Moves.txt, written from the converter's tables.
#ifndef CONVERTER_TABLEEXPORTS_H
#define CONVERTER_TABLEEXPORTS_H

class CConverterTables;
class CReplacingFileSet;

class CTableExports
{
public:
    explicit CTableExports(const CConverterTables& tables);
    ~CTableExports();

    // The four tables' file names, in the order they are written.
    static const char* const kTableFiles[4];

    // Each returns false when its table could not be written whole (the file
    // then keeps what it held before, or stays absent). While a set is given
    // (null: none), a table that names one of its files is left whole beside
    // it for the set's Commit.
    void WriteInto(CReplacingFileSet* set) { m_set = set; }
    bool ExportSuppliers();
    bool ExportBuyers();
    bool ExportPositions();
    bool ExportMoves();

private:
    CTableExports(const CTableExports&);
    CTableExports& operator=(const CTableExports&);

    const CConverterTables& m_tables;
    char*          m_writeBuffer;   // the output buffer, one for all four tables
    CReplacingFileSet* m_set;
};

#endif
