// fromZORB.exe end to end: each case runs the real program in a fresh folder,
// with inputs written in code pages 866 (report) and 1251 (goods list, kinds),
// and compares its console output and every file it wrote byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ZorbRows.h"

namespace {

using zorb::Encode;

// A report move row: the eighteen columns between vertical lines, padded as the
// accounting system prints them (cells are trimmed on the right only).
std::wstring MoveRow(const std::wstring& date, const std::wstring& kind, const std::wstring& partner,
                     const std::wstring& name, const std::wstring& qty, const std::wstring& sum)
{
    std::wstring cells[zorb::kColumns] = { L"", L"", L"шт ", L"", L"", L"6", L"7", L"8",
                                           L"9", L"10", L"11", L"", L"13", L"14", L"15", L"", L"17" };
    zorb::PlaceMove(cells, date, kind + L"   ", partner + L" ", name + L"  ", qty, sum);
    return zorb::TableRow(cells, L'│');
}

const wchar_t kTitle[] =
    L"                 Движение товаров по складу\r\n"
    L"┌────────────────────────────────────────────┐\r\n"
    L"│ Отчёт ЗОРБ: период с 01.03.05 по 06.03.05  │\r\n"
    L"└────────────────────────────────────────────┘\r\n"
    L"┌────────┬──────────────────────┬──┬───┬──────────┬─┬─┬─┬─┬──┬──┬─────────┬──┬──┬──┬─────────┬──┐\r\n"
    L"│  Дата  │ Вид движения         │Ед│Код│Контрагент│ …│  │  │  │  │  │Кол-во   │  │  │  │Сумма    │  │\r\n"
    L"├────────┼──────────────────────┼──┼───┼──────────┼─┼─┼─┼─┼──┼──┼─────────┼──┼──┼──┼─────────┼──┤\r\n";

const wchar_t kBottom[] =
    L"└────────┴──────────────────────┴──┴───┴──────────┴─┴─┴─┴─┴──┴──┴─────────┴──┴──┴──┴─────────┴──┘\r\n"
    L" Итого по отчёту: 6 строк\r\n"
    L" Главный бухгалтер ____________\r\n";

const wchar_t kGoods[] =
    L"Код;Наименование;Поставщик;Цена;Вес\r\n"
    L"A1;Болт М6;ООО Крепёж;2.5;0.01\r\n"
    L"A12;Болт М12;ООО Крепёж;4;0.05\r\n"
    L"B7;Гайка;Метиз-Торг;1.25;0\r\n";

const char kDefaultKinds[] =
    "Вид движения ЗОРБ|Знак|Направление|сумма\r\n"
    "+Приход от поставщика.|+|приход|сумма\r\n"
    "-Отгрузка.|+|расход|сумма\r\n"
    "-Возврат поставщику.|-|приход|сумма\r\n"
    "+Возврат проданного.|-|расход|сумма\r\n";

struct ZorbRun
{
    ScratchDir dir;
    ProcessResult result;
    DWORD elapsed = 0;

    void Put(const char* name, const std::string& bytes) { ASSERT_TRUE(WriteBytes(dir.File(name), bytes)); }
    void Start(DWORD exitCode = 0)
    {
        std::string exe = ProgramDir() + "\\fromZORB.exe";
        DWORD t0 = GetTickCount();
        result = RunProgram("\"" + exe + "\"", dir.Path());
        elapsed = GetTickCount() - t0;
        ASSERT_TRUE(result.started) << exe;
        EXPECT_EQ(exitCode, result.exitCode);
    }
    std::string File(const char* name)
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(dir.File(name), &bytes)) << name << " was not written";
        return bytes;
    }
    bool Has(const char* name) { return FileThere(dir.File(name)); }
};

#define EXPECT_BYTES(expected, actual) EXPECT_EQ(Escaped(expected), Escaped(actual))

TEST(FromZorb, ConvertsAReportIntoTheFourTables)
{
    ZorbRun run;
    run.Put("Номенкл.csv", Encode(kGoods, 1251));
    std::wstring report = kTitle;
    report += L"│.......... 1 A123 Болт М12 особый                                     │\r\n";
    report += MoveRow(L"01.03.05", L"+Приход от поставщика.", L"101", L"ООО Крепёж", L"   10.000", L"    50.00");
    report += MoveRow(L"02.03.05", L"-Отгрузка.", L"501", L"Иванов", L"    3.000", L"    12.00");
    report += L"├────────┼──────────────────────┼──┼───┼──────────┼─┼─┼─┼─┼──┼──┼─────────┼──┼──┼──┼─────────┼──┤\r\n";
    report += L"│.......... 2 B7 Гайка                                                 │\r\n";
    report += MoveRow(L"04.03.05", L"-Возврат поставщику.", L"205", L"Метиз-Торг", L"    2.000", L"     2.50");
    report += MoveRow(L"04.03.05", L"+Возврат проданного.", L"501", L"Иванов И.", L"    1.000", L"     1.30");
    report += L"│.......... 3 Z9 Нет в номенклатуре                                    │\r\n";
    report += MoveRow(L"06.03.05", L"-Отгрузка.", L"777", L"Не попадёт", L"    1.000", L"     1.00");
    report += kBottom;
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start();

    EXPECT_BYTES("Programm started...\n"
                 "\r\n"
                 "Import moves type ... (4) Ok\r\n"
                 "Import positions ... (3) Ok\r\n"
                 "Import moves ... (5) Ok\r\n"
                 "Start date: 01.03.05\r\n"
                 "End date: 06.03.05\r\n"
                 "\r\nExport: \r\n"
                 " SupplierList by pos ... Ok\r\n"
                 " BuyersList ... Ok\r\n"
                 " GoodsList ... Ok\r\n"
                 " MovesList ...  added 3 fictive moves Ok\r\n"
                 "\r\nProgram ended ... ",
                 run.result.output);
    EXPECT_GE(run.elapsed, 2900u);   // the program waits 3000 ms before it ends

    EXPECT_BYTES(kDefaultKinds, run.File("moves_type.txt"));
    EXPECT_BYTES("ID|Name\r\nООО Крепёж|ООО Крепёж\r\nМетиз-Торг|Метиз-Торг\r\n", run.File("Suppliers.txt"));
    EXPECT_BYTES("ID|Name\r\n501|Иванов\r\n", run.File("Buyers.txt"));
    EXPECT_BYTES("ID|Name\r\n"
                 "A1|Болт М6|||||||2.50000|0.01000\r\n"
                 "A12|Болт М12|||||||4.00000|0.05000\r\n"
                 "B7|Гайка|||||||1.25000|0.00000\r\n",
                 run.File("Positions.txt"));
    // The rule line inside the table is a move of its own: the template's
    // goods, kind 0, no date or amount.
    EXPECT_BYTES("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
                 "01.03.05|A12|ООО Крепёж|10.00000||40.00000||\r\n"
                 "02.03.05|A12|501||3.00000||12.00000|\r\n"
                 "00.00.00|A12|ООО Крепёж|0.00000||0.00000||\r\n"
                 "04.03.05|B7|Метиз-Торг|-2.00000||2.50000||\r\n"
                 "04.03.05|B7|501||-1.00000||1.30000|\r\n"
                 "03.03.05|фикти|Фикц|\r\n"
                 "05.03.05|фикти|Фикц|\r\n"
                 "06.03.05|фикти|Фикц|\r\n",
                 run.File("Moves.txt"));
}

TEST(FromZorb, WithoutAnyInputOnlyTheKindTableIsWritten)
{
    ZorbRun run;
    run.Start(2);   // an input could not be read
    EXPECT_BYTES("Programm started...\n"
                 "\r\n"
                 "Import moves type ... (4) Ok\r\n"
                 "Import positions ...  fault !!! "
                 "Tables start NOT found... ",
                 run.result.output);
    EXPECT_BYTES(kDefaultKinds, run.File("moves_type.txt"));
    EXPECT_FALSE(run.Has("Suppliers.txt"));
    EXPECT_FALSE(run.Has("Moves.txt"));
}

TEST(FromZorb, EmptyAndHeaderlessInputsFailTheirImportsAndAnOpenTableIsRefused)
{
    ZorbRun run;
    run.Put("moves_type.txt", "");
    run.Put("Номенкл.csv", Encode(L"Номенклатура без колонок\r\nA1;Болт;Завод;1;1\r\n", 1251));
    std::wstring report = kTitle;
    report += L"│.......... 1 A1 Болт                     │\r\n";
    report += MoveRow(L"01.03.05", L"-Отгрузка.", L"501", L"Иванов", L"1", L"1");
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start(2);   // the goods list could not be read
    EXPECT_BYTES("Programm started...\n"
                 "\r\n"
                 "Import moves type ...  fault !!! "
                 "Import positions ...  fault !!! "
                 "Tables end NOT found... ",
                 run.result.output);
    EXPECT_EQ("", run.File("moves_type.txt"));   // an existing kind table is never rewritten
    EXPECT_FALSE(run.Has("Moves.txt"));
}

// A goods list that cannot be read writes no table: tables without goods
// would replace good ones. The report is still read, so that its own faults
// show in the same run.
TEST(FromZorb, AGoodsListThatCannotBeReadLeavesTheTablesAsTheyWere)
{
    ZorbRun run;
    run.Put("moves_type.txt", Encode(L"Вид|Знак|Направление|Сумма\r\nПродажа|-|расход\r\n", 1251));
    run.Put("Номенкл.csv", "");
    run.Put("Positions.txt", "old\r\n");
    std::wstring report = kTitle;
    report += L"│.......... 1 A1 Болт                     │\r\n";
    report += MoveRow(L"03.03.05", L"Продажа", L"42", L"Сидоров", L"3", L"9");
    report += MoveRow(L"01.03.05", L"Продажа", L"42", L"Сидоров", L"3", L"9");
    report += kBottom;
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start(2);
    EXPECT_BYTES("Programm started...\n"
                 "\r\n"
                 "Import moves type ... (1) Ok\r\n"
                 "Import positions ...  fault !!! "
                 "Import moves ... (0) Ok\r\n"
                 "Start date: 01.03.05\r\n"
                 "End date: 03.03.05\r\n",
                 run.result.output);
    EXPECT_BYTES(Encode(L"Вид|Знак|Направление|Сумма\r\nПродажа|-|расход\r\n", 1251), run.File("moves_type.txt"));
    EXPECT_BYTES("old\r\n", run.File("Positions.txt"));
    for (const char* table : {"Suppliers.txt", "Buyers.txt", "Moves.txt"})
        EXPECT_FALSE(run.Has(table)) << table;
}

TEST(FromZorb, AReportWithLineFeedsOnlyIsOneRow)
{
    ZorbRun run;
    run.Put("Номенкл.csv", Encode(kGoods, 1251));
    std::wstring report = L"┌────────┬───┐\n│.......... 1 A1 Болт│\n";
    report += L"│01.03.05│-Отгрузка.│шт│501│Иванов│6│7│8│9│10│11│1│13│14│15│1│17│\n";
    report += L"└────────┴───┘\n";
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start();
    // The whole table is one row that starts with a header cell: nothing is committed.
    EXPECT_BYTES("Programm started...\n"
                 "\r\n"
                 "Import moves type ... (4) Ok\r\n"
                 "Import positions ... (3) Ok\r\n"
                 "Import moves ... (0) Ok\r\n"
                 "Start date: 255.255.255\r\n"
                 "End date: 255.255.255\r\n"
                 "\r\nExport: \r\n"
                 " SupplierList by pos ... Ok\r\n"
                 " BuyersList ... Ok\r\n"
                 " GoodsList ... Ok\r\n"
                 " MovesList ...  added 0 fictive moves Ok\r\n"
                 "\r\nProgram ended ... ",
                 run.result.output);
    EXPECT_BYTES("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n", run.File("Moves.txt"));
}

TEST(FromZorb, AnEndMarkerBeforeTheTableLetsTheReaderRunToTheEnd)
{
    ZorbRun run;
    run.Put("Номенкл.csv", Encode(kGoods, 1251));
    std::wstring report = L"└────────┴ в заголовке\r\n";
    report += L"│.......... 1 A1 Болт│\r\n";
    report += MoveRow(L"01.03.05", L"-Отгрузка.", L"7", L"Петров", L"2", L"5");
    report += L"└────────┴───┘\r\n";
    report += L"Конец\r\n";
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start();
    EXPECT_NE(std::string::npos, run.result.output.find("Import moves ... (3) Ok\r\n"
                                                        "Start date: 01.03.05\r\n"
                                                        "End date: 01.03.05\r\n"));
    // The bottom border and the text after it are read as rows of their own.
    EXPECT_BYTES("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
                 "01.03.05|A1|7||2.00000||5.00000|\r\n"
                 "00.00.00|A1|ООО Крепёж|0.00000||0.00000||\r\n"
                 "00.00.00|A1|ООО Крепёж|0.00000||0.00000||\r\n",
                 run.File("Moves.txt"));
    EXPECT_BYTES("ID|Name\r\n7|Петров\r\n", run.File("Buyers.txt"));
}

// Rows shorter than a move record: the records kept behind the cells read
// would reach the cells still to read, so they move to a block of their own
// on the way, every one as it was.
TEST(FromZorb, RowsShorterThanAMoveRecordAreAllConverted)
{
    ZorbRun run;
    run.Put("Номенкл.csv", Encode(kGoods, 1251));
    run.Put("moves_type.txt", kDefaultKinds);
    std::wstring report = kTitle;
    report += L"│.......... 1 A1 Болт│\r\n";
    std::string expected = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n";
    for (int i = 0; i < 300; ++i) {
        const std::wstring day = L"0" + std::to_wstring(1 + i % 6);
        report += L"│" + day + L".03.05│-Отгрузка.││" + std::to_wstring(i) + L"│\r\n";
        expected += "0" + std::to_string(1 + i % 6) + ".03.05|A1|" + std::to_string(i) + "||0.00000||0.00000|\r\n";
    }
    report += kBottom;
    run.Put("ZORB_MVS.txt", Encode(report, 866));
    run.Start();
    EXPECT_NE(std::string::npos, run.result.output.find("Import moves ... (300) Ok\r\n"
                                                        "Start date: 01.03.05\r\n"
                                                        "End date: 06.03.05\r\n"));
    EXPECT_BYTES(expected, run.File("Moves.txt"));
}

// Each way a run can fail, through the real program: its exit code, its
// console text, and the four tables as they were (none of them replaced, no
// file left beside them). 0: the tables written (also when the kinds table
// could not be read); 1: an output not written; 2: an input not read; 3: a
// report without its table.
struct ExitCase
{
    const char* what;
    DWORD exitCode;
    std::string goods, report, kinds;   // "-": no such file
    bool lockBuyers;                      // Buyers.txt held open, so it cannot be moved aside
    std::string console;                  // after "Programm started...\n\r\n"
};

const char* const kTableNames[] = { "Suppliers.txt", "Buyers.txt", "Positions.txt", "Moves.txt" };

TEST(FromZorb, EachFailureHasItsExitCodeAndLeavesTheTablesAsTheyWere)
{
    const std::string goods = Encode(kGoods, 1251);
    std::wstring table = kTitle;
    table += L"│.......... 1 A1 Болт                     │\r\n";
    table += MoveRow(L"01.03.05", L"-Отгрузка.", L"501", L"Иванов", L"1.000", L"7.00");
    const std::string report = Encode(table + kBottom, 866);
    const std::string noEnd = Encode(table, 866);
    const std::string noTable = Encode(L"Отчёт о движении товаров: нет данных за период\r\n", 866);
    const std::string kinds = "Import moves type ... (4) Ok\r\n";
    const std::string imported = "Import moves ... (1) Ok\r\nStart date: 01.03.05\r\nEnd date: 01.03.05\r\n";
    const std::string exported = "\r\nExport: \r\n SupplierList by pos ... Ok\r\n BuyersList ... Ok\r\n"
                                 " GoodsList ... Ok\r\n MovesList ...  added 0 fictive moves ";
    const ExitCase cases[] = {
        { "report without the table's start", 3, goods, noTable, "-", false,
          kinds + "Import positions ... (3) Ok\r\nTables start NOT found... " },
        { "report without the table's end", 3, goods, noEnd, "-", false,
          kinds + "Import positions ... (3) Ok\r\nTables end NOT found... " },
        { "report missing", 2, goods, "-", "-", false,
          kinds + "Import positions ... (3) Ok\r\nTables start NOT found... " },
        { "report empty", 2, goods, "", "-", false,
          kinds + "Import positions ... (3) Ok\r\nTables start NOT found... " },
        // Without goods the header row is unresolved and its move dropped; the
        // report is still read whole.
        { "goods list missing", 2, "-", report, "-", false,
          kinds + "Import positions ...  fault !!! "
                  "Import moves ... (0) Ok\r\nStart date: 01.03.05\r\nEnd date: 01.03.05\r\n" },
        { "goods list whose first line holds no ';'", 2, Encode(L"Номенклатура\r\nA1;Болт;Завод;1;1\r\n", 1251),
          report, "-", false,
          kinds + "Import positions ...  fault !!! "
                  "Import moves ... (0) Ok\r\nStart date: 01.03.05\r\nEnd date: 01.03.05\r\n" },
        { "a table that cannot be put in place", 1, goods, report, "-", true,
          kinds + "Import positions ... (3) Ok\r\n" + imported + exported + "Buyers.txt NOT written... " },
        // Every move then has the blank kind: outgoing, without a sum.
        { "kinds table that cannot be read", 0, goods, report, "", false,
          "Import moves type ...  fault !!! Import positions ... (3) Ok\r\n" + imported + exported +
              "Ok\r\n\r\nProgram ended ... " },
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.what);
        ZorbRun run;
        if (c.goods != "-")
            run.Put("Номенкл.csv", c.goods);
        if (c.report != "-")
            run.Put("ZORB_MVS.txt", c.report);
        if (c.kinds != "-")
            run.Put("moves_type.txt", c.kinds);
        for (const char* name : kTableNames)
            run.Put(name, std::string("old ") + name);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.lockBuyers) {
            lock = CreateFileA(run.dir.File("Buyers.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
            ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        }
        run.Start(c.exitCode);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_BYTES("Programm started...\n\r\n" + c.console, run.result.output);
        for (const char* name : kTableNames) {
            if (c.exitCode == 0)
                EXPECT_NE(std::string("old ") + name, run.File(name)) << name;
            else
                EXPECT_EQ(std::string("old ") + name, run.File(name)) << name;
            EXPECT_FALSE(run.Has((std::string(name) + ".tmp").c_str())) << name;
            EXPECT_FALSE(run.Has((std::string(name) + ".old").c_str())) << name;
        }
        EXPECT_FALSE(run.Has("Suppliers.txt.commit"));
        if (c.exitCode == 0) {
            EXPECT_BYTES("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|501||1.00000|||\r\n", run.File("Moves.txt"));
        }
    }
}

}  // namespace
