// OrvexHost.exe run as a user runs it: a folder of tables, options, its console
// lines and exit code, and what the plug-in made of the tables (the list files
// it saves to the root of drive c: with -savelists, the report of a
// double-clicked row, the open request that reached the ".html" association,
// the rows of a list as the viewer copies and saves them).
//
// Record layouts read here: goods 672 bytes (id at 8, code at 12, name at 44,
// volume at 392), suppliers 1112 bytes (id 8, code 12, name 44, delivery cost
// 1072, times 1080 and 1088), moves 80 bytes (date 8, goods id 12, supplier
// id 16, then supplied, sold, supply value, sale value as doubles from 24).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <ostream>
#include <string>
#include <vector>

#include "HostRun.h"
#include "ViewerTables.h"

using namespace hosttest;

namespace {

bool SetDefaultValue(const char* key, const std::string& value)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, NULL, 0, KEY_WRITE, NULL, &handle, NULL) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(handle, NULL, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1) ==
              ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

// These tests run in a Wine prefix of their own; there the ".html" association
// only notes the file it is asked to open.
class OpenRecorder : public ::testing::Environment
{
public:
    void SetUp() override
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        g_openLog = std::string(temp) + "orvex-host-opened.txt";
        char system[MAX_PATH] = "";
        GetSystemDirectoryA(system, sizeof system);
        ASSERT_TRUE(SetDefaultValue(".html", "OrvexHostTest.html"));
        ASSERT_TRUE(SetDefaultValue("OrvexHostTest.html\\shell\\open\\command",
                                    std::string(system) + "\\cmd.exe /c echo %1>>\"" + g_openLog + "\""));
    }
};
::testing::Environment* const g_recorder = ::testing::AddGlobalTestEnvironment(new OpenRecorder);

int32_t Int32At(const std::string& bytes, size_t offset)
{
    int32_t value = 0;
    if (offset + 4 <= bytes.size())
        memcpy(&value, bytes.data() + offset, 4);
    return value;
}

double DoubleAt(const std::string& bytes, size_t offset)
{
    double value = -12345.0;
    if (offset + 8 <= bytes.size())
        memcpy(&value, bytes.data() + offset, 8);
    return value;
}

std::string TextAt(const std::string& bytes, size_t offset)
{
    return offset < bytes.size() ? std::string(bytes.c_str() + offset) : std::string();
}

struct Move
{
    uint32_t date;
    int32_t goodsId, supplierId;
    double supplied, sold, supplyValue, saleValue;
};

Move MoveAt(const std::string& bytes, size_t index)
{
    size_t base = index * 80;
    return Move{(uint32_t)Int32At(bytes, base + 8), Int32At(bytes, base + 12), Int32At(bytes, base + 16),
                DoubleAt(bytes, base + 24), DoubleAt(bytes, base + 32), DoubleAt(bytes, base + 40),
                DoubleAt(bytes, base + 48)};
}

uint32_t Date(int day, int month, int year) { return (uint32_t)(day | month << 8 | year << 16); }

const char kPositions[] =
    "ID|Name\r\n"
    "A1|Гайка М8|||||||2.50000|0.75000\r\n"
    "B2|Болт М10|||||||4.00000|1.50000\r\n";
const char kSuppliers[] =
    "ID|Name\r\n"
    "ООО Альфа|ООО Альфа\r\n"
    "ИП Бета|ИП Бета\r\n";
const char kBuyers[] =
    "ID|Name\r\n"
    "17|ЧП Покупатель\r\n";
// A receipt from Альфа, a sale to buyer 17, a receipt from Бета, and the
// converter's placeholder for the day without movements between them.
const char kMoves[] =
    "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
    "01.03.05|A1|ООО Альфа|10.00000||25.00000||\r\n"
    "03.03.05|A1|17||4.00000||16.00000|\r\n"
    "03.03.05|B2|ИП Бета|2.00000||8.00000||\r\n"
    "02.03.05|фикти|Фикц|\r\n";

class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        // A folder no earlier run has used: every test is a process of its own,
        // and Wine gives out the same process ids again.
        for (unsigned n = GetTickCount();; ++n) {
            m_folder = std::string(temp) + "orvex-host-" + std::to_string(n);
            if (CreateDirectoryA(m_folder.c_str(), NULL))
                break;
            ASSERT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
        }
        for (const char* name : {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"})
            DeleteFileA((std::string("c:\\") + name).c_str());
        DeleteFileA(g_openLog.c_str());
        // The viewer's first display (codes), whatever an earlier test chose.
        ASSERT_TRUE(SetIdModeSetting(-1));
    }

    void Write(const char* name, const std::string& bytes) { ASSERT_TRUE(WriteBytes(m_folder + "\\" + name, bytes)); }

    void WriteSample()
    {
        Write("Positions.txt", kPositions);
        Write("Suppliers.txt", kSuppliers);
        Write("Buyers.txt", kBuyers);
        Write("Moves.txt", kMoves);
    }

    // The host runs in the tables' folder, as a user starts it there.
    HostRun Host(const std::string& arguments)
    {
        HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", arguments, m_folder);
        EXPECT_TRUE(run.finished) << run.output;
        return run;
    }

    std::string m_folder;
};

bool Has(const HostRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

TEST(HostOptions, UnknownOptionIsALineAndExitCode3)
{
    HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", "-frobnicate", ThisFolder());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(3u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("unknown option -frobnicate")) << run.output;
}

TEST_F(HostTest, WithoutTheLibraryBesideItSaysSoAndExits2)
{
    std::string alone = m_folder + "\\alone";
    CreateDirectoryA(alone.c_str(), NULL);
    ASSERT_TRUE(CopyFileA((ThisFolder() + "\\OrvexHost.exe").c_str(), (alone + "\\OrvexHost.exe").c_str(), FALSE));
    HostRun run = RunProgram(alone + "\\OrvexHost.exe", "-quit", m_folder);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_TRUE(Has(run, "cannot load ") && Has(run, "\\Orvex_DLL.dll")) << run.output;
}

TEST_F(HostTest, EveryColumnReachesTheStore)
{
    WriteSample();
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "fed: 2 goods, 2 suppliers, 3 moves and 1 fictive days")) << run.output;
    EXPECT_TRUE(Has(run, "Orvex_DLL.dll unloaded")) << run.output;

    std::string goods = ReadBytes("c:\\GNList.dat");
    ASSERT_EQ(2u * 672, goods.size());
    EXPECT_EQ(1, Int32At(goods, 8));
    EXPECT_EQ("A1", TextAt(goods, 12));
    EXPECT_EQ("Гайка М8", TextAt(goods, 44));
    EXPECT_EQ(0.75, DoubleAt(goods, 392));            // the second value is the volume
    EXPECT_EQ(2, Int32At(goods, 672 + 8));
    EXPECT_EQ("Болт М10", TextAt(goods, 672 + 44));
    EXPECT_EQ(1.5, DoubleAt(goods, 672 + 392));

    std::string suppliers = ReadBytes("c:\\SNList.dat");
    ASSERT_EQ(2u * 1112, suppliers.size());
    EXPECT_EQ("ООО Альфа", TextAt(suppliers, 12));
    EXPECT_EQ("ООО Альфа", TextAt(suppliers, 44));
    EXPECT_EQ(20000.0, DoubleAt(suppliers, 1072));
    EXPECT_EQ(1.0, DoubleAt(suppliers, 1080));
    EXPECT_EQ(1.0, DoubleAt(suppliers, 1088));
    EXPECT_EQ("ИП Бета", TextAt(suppliers, 1112 + 12));
    int32_t alpha = Int32At(suppliers, 8), beta = Int32At(suppliers, 1112 + 8);
    EXPECT_NE(0, alpha);
    EXPECT_NE(0, beta);

    std::string moves = ReadBytes("c:\\GMList.dat");
    ASSERT_EQ(4u * 80, moves.size());
    Move receipt = MoveAt(moves, 0);
    EXPECT_EQ(Date(1, 3, 5), receipt.date);
    EXPECT_EQ(1, receipt.goodsId);
    EXPECT_EQ(alpha, receipt.supplierId);
    EXPECT_EQ(10.0, receipt.supplied);
    EXPECT_EQ(0.0, receipt.sold);
    EXPECT_EQ(25.0, receipt.supplyValue);
    EXPECT_EQ(0.0, receipt.saleValue);
    Move sale = MoveAt(moves, 1);                      // the buyer is no supplier
    EXPECT_EQ(Date(3, 3, 5), sale.date);
    EXPECT_EQ(1, sale.goodsId);
    EXPECT_EQ(0, sale.supplierId);
    EXPECT_EQ(0.0, sale.supplied);
    EXPECT_EQ(4.0, sale.sold);
    EXPECT_EQ(0.0, sale.supplyValue);
    EXPECT_EQ(16.0, sale.saleValue);
    Move second = MoveAt(moves, 2);
    EXPECT_EQ(2, second.goodsId);
    EXPECT_EQ(beta, second.supplierId);
    EXPECT_EQ(2.0, second.supplied);
    EXPECT_EQ(8.0, second.supplyValue);
    Move fictive = MoveAt(moves, 3);                   // a day, nothing moved
    EXPECT_EQ(Date(2, 3, 5), fictive.date);
    EXPECT_EQ(0, fictive.goodsId);
    EXPECT_EQ(0, fictive.supplierId);
    EXPECT_EQ(0.0, fictive.supplied);
    EXPECT_EQ(0.0, fictive.sold);
    EXPECT_EQ(0.0, fictive.supplyValue);
    EXPECT_EQ(0.0, fictive.saleValue);
}

// Альфа and Бета each delivered one goods item: the first of them has "the most".
// Calendar 01.03, 02.03 (placeholder), 03.03; goods A1: 10 received on the
// first day, 4 sold on the third.
TEST_F(HostTest, DoubleClickOnTheFirstRowWritesAndOpensItsReport)
{
    WriteSample();
    HostRun run = Host("-tab 4 -supplier most -build -dblclick 0 -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "tab 4: Динамика")) << run.output;
    EXPECT_TRUE(Has(run, "supplier 0: ООО Альфа")) << run.output;
    EXPECT_TRUE(Has(run, "dynamics built: 1 goods rows")) << run.output;
    EXPECT_TRUE(Has(run, "double click on row 0: report " + m_folder + "\\GoodsDinamic.html")) << run.output;

    std::string report = ReadBytes(m_folder + "\\GoodsDinamic.html");
    EXPECT_NE(std::string::npos, report.find("<th>дата</th><th>остаток (нач.)</th><th>приход</th>"
                                             "<th>расход</th><th>остаток (кон.)</th></tr>\r\n")) << report;
    const char* rows =
        "<tr align=\"center\">\r\n<td>01.03.05</td><td>0.00</td><td>10.00</td><td>0.00</td><td>10.00</td></tr>\r\n"
        "<tr align=\"center\">\r\n<td>02.03.05</td><td>10.00</td><td>0.00</td><td>0.00</td><td>10.00</td></tr>\r\n"
        "<tr align=\"center\">\r\n<td>03.03.05</td><td>10.00</td><td>0.00</td><td>4.00</td><td>6.00</td></tr>\r\n"
        "</table>";
    EXPECT_NE(std::string::npos, report.find(rows)) << report;

    // The association's command runs apart from the host; give it a moment.
    std::string opened;
    for (int i = 0; i < 100 && opened.find("GoodsDinamic.html") == std::string::npos; ++i) {
        Sleep(100);
        opened = ReadBytes(g_openLog);
    }
    EXPECT_NE(std::string::npos, opened.find("GoodsDinamic.html")) << opened;
}

TEST_F(HostTest, ASupplierChosenByNumberGivesItsOwnGoods)
{
    WriteSample();
    HostRun run = Host("-tab 4 -supplier 1 -build -dblclick 0 -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "supplier 1: ИП Бета")) << run.output;
    std::string report = ReadBytes(m_folder + "\\GoodsDinamic.html");
    EXPECT_NE(std::string::npos,
              report.find("<td>03.03.05</td><td>0.00</td><td>2.00</td><td>0.00</td><td>2.00</td>")) << report;
}

TEST_F(HostTest, MissingTablesAreLinesAndExitCode1)
{
    HostRun run = Host("-quit");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    for (const char* name : {"Positions.txt", "Suppliers.txt", "Buyers.txt", "Moves.txt"})
        EXPECT_TRUE(Has(run, std::string(name) + ": cannot read " + m_folder + "\\" + name)) << run.output;
    EXPECT_TRUE(Has(run, "fed: 0 goods, 0 suppliers, 0 moves and 0 fictive days")) << run.output;
    EXPECT_TRUE(Has(run, "Orvex_DLL.dll unloaded")) << run.output;
}

TEST_F(HostTest, FaultyRowsAreNamedAndTheRestIsFed)
{
    Write("Positions.txt",
          "ID|Name\r\n"
          "A1|Гайка М8|||||||2.50000|0.75000\r\n"
          "C3|Шуруп\r\n"
          "D4|Винт|||||||дорого|1.0\r\n");
    Write("Suppliers.txt", kSuppliers);
    Write("Buyers.txt", kBuyers);
    Write("Moves.txt",
          "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
          "01.03.05|A1|ООО Альфа|10.00000||25.00000||\r\n"    // fed
          "02.03.05|A1|ООО Альфа|1x||||\r\n"                   // not a number
          "03.03.05|A1\r\n"                                    // short
          "32.03.05|A1|ООО Альфа|1.00000||2.00000||\r\n"       // no such day
          "04.03.05|ZZ|ООО Альфа|3.00000||6.00000||\r\n"       // unknown goods: kept
          "05.03.05|A1|ООО Гамма|5.00000||7.00000||\r\n"       // unknown supplier: kept
          "06.03.05|A1|99||1.00000||2.00000|\r\n");            // unknown buyer: kept
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "Positions.txt, line 3: 2 fields, 10 expected")) << run.output;
    EXPECT_TRUE(Has(run, "Positions.txt, line 4: unit cost \"дорого\"")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 3: NIN \"1x\" is not a number")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 4: 2 fields, 7 expected")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 5: date \"32.03.05\" is not dd.mm.yy")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 6: goods code \"ZZ\" is not in the goods table")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 7: supplier \"ООО Гамма\" is not in the supplier table")) << run.output;
    EXPECT_TRUE(Has(run, "Moves.txt, line 8: buyer code \"99\" is not in Buyers.txt")) << run.output;
    EXPECT_TRUE(Has(run, "fed: 1 goods, 2 suppliers, 4 moves and 0 fictive days")) << run.output;
    EXPECT_TRUE(Has(run, "Orvex_DLL.dll unloaded")) << run.output;

    EXPECT_EQ(1u * 672, ReadBytes("c:\\GNList.dat").size());
    std::string moves = ReadBytes("c:\\GMList.dat");
    ASSERT_EQ(4u * 80, moves.size());
    EXPECT_EQ(Date(4, 3, 5), MoveAt(moves, 1).date);
    EXPECT_EQ(0, MoveAt(moves, 1).goodsId);
    EXPECT_EQ(3.0, MoveAt(moves, 1).supplied);
    EXPECT_EQ(1, MoveAt(moves, 2).goodsId);
    EXPECT_EQ(0, MoveAt(moves, 2).supplierId);
    EXPECT_EQ(5.0, MoveAt(moves, 2).supplied);
    EXPECT_EQ(1.0, MoveAt(moves, 3).sold);
}

TEST_F(HostTest, ATableWithoutHeaderLosesNoRow)
{
    Write("Positions.txt", kPositions);
    Write("Suppliers.txt", "ООО Альфа|ООО Альфа\n");   // no header, Unix line end
    Write("Buyers.txt", kBuyers);
    Write("Moves.txt", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n");
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "Suppliers.txt, line 1: the header \"ID|Name\" is missing")) << run.output;
    EXPECT_TRUE(Has(run, "fed: 2 goods, 1 suppliers, 0 moves and 0 fictive days")) << run.output;
    EXPECT_EQ("ООО Альфа", TextAt(ReadBytes("c:\\SNList.dat"), 12));
}

TEST_F(HostTest, StepsThatCannotBeDoneAreLinesAndExitCode3)
{
    WriteSample();
    HostRun run = Host("-tab 9 -dblclick 0 -supplier 7 -quit");
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "no tab 9: the tab control has 5 tabs")) << run.output;
    EXPECT_TRUE(Has(run, "no row 0: the dynamics list has 0 rows")) << run.output;
    EXPECT_TRUE(Has(run, "no supplier 7: the box holds 2")) << run.output;
    EXPECT_TRUE(Has(run, "Orvex_DLL.dll unloaded")) << run.output;
}

// Long texts: the plug-in keeps 31 bytes of a code, yet every move keeps its
// goods and supplier. Supplier 0 has 40 bytes; suppliers 1 and 2 share their
// first 32 bytes, as goods LA and LB share their first 31; the buyer's code
// has 40 digits. Each supplier delivered its own number of goods: 1, 2 and 3.
TEST_F(HostTest, LongTextsKeepEveryMoveAndTwoSuppliersSharingTheirStartStayTwo)
{
    WriteLongNames(m_folder);
    HostRun run = Host("-savelists -tab 4 -supplier 0 -build -supplier 1 -build -supplier 2 -build "
                       "-supplier most -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "fed: 6 goods, 3 suppliers, 7 moves and 0 fictive days")) << run.output;
    EXPECT_FALSE(Has(run, "Moves.txt, line")) << run.output;
    // Each supplier's goods rows, in the order the steps ran.
    const char* steps[] = {"supplier 0: " kSupplier40, "dynamics built: 1 goods rows",
                           "supplier 1: " kSupplierA,  "dynamics built: 2 goods rows",
                           "supplier 2: " kSupplierB,  "dynamics built: 3 goods rows",
                           "supplier 2: " kSupplierB};
    size_t at = 0;
    for (const char* step : steps) {
        at = run.output.find(step, at);
        ASSERT_NE(std::string::npos, at) << "missing in order: " << step << "\n" << run.output;
        ++at;
    }

    // The store: cut codes, and the identifiers the moves carry.
    std::string suppliers = ReadBytes("c:\\SNList.dat");
    ASSERT_EQ(3u * 1112, suppliers.size());
    const char* supplierCuts[] = {kSupplier40Cut, kSupplierABCut, kSupplierABCut};
    const char* supplierNames[] = {kSupplier40, kSupplierA, kSupplierB};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(k + 1, Int32At(suppliers, k * 1112 + 8));
        EXPECT_EQ(supplierCuts[k], TextAt(suppliers, k * 1112 + 12));
        EXPECT_EQ(supplierNames[k], TextAt(suppliers, k * 1112 + 44));
    }
    std::string goods = ReadBytes("c:\\GNList.dat");
    ASSERT_EQ(6u * 672, goods.size());
    EXPECT_EQ(kLongGoodsCut, TextAt(goods, 4 * 672 + 12));
    EXPECT_EQ(kLongGoodsCut, TextAt(goods, 5 * 672 + 12));
    std::string moves = ReadBytes("c:\\GMList.dat");
    ASSERT_EQ(7u * 80, moves.size());
    const int32_t goodsIds[7] = {1, 2, 3, 4, 5, 6, 1};
    const int32_t supplierIds[7] = {1, 2, 2, 3, 3, 3, 0};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(goodsIds[k], MoveAt(moves, k).goodsId) << "move " << k;
        EXPECT_EQ(supplierIds[k], MoveAt(moves, k).supplierId) << "move " << k;
    }
    EXPECT_EQ(2.0, MoveAt(moves, 6).sold);           // the sale to the buyer of 40 digits
}

// Rule lines of the report come out of the converter as moves dated 00.00.00
// without amounts: no movements, so they are skipped without a fault. A row of
// that date with an amount stays a fault.
struct RuleLineCase
{
    const char* name;
    const char* extraMoves;
    unsigned exitCode;
    const char* fed;
    const char* fault;          // null: no fault line at all
};
// The case by its name in test logs, not as raw bytes.
void PrintTo(const RuleLineCase& c, std::ostream* os) { *os << c.name; }

class RuleLines : public HostTest, public ::testing::WithParamInterface<RuleLineCase>
{
};

TEST_P(RuleLines, AreNoMovementsAndNoFaults)
{
    const RuleLineCase& c = GetParam();
    Write("Positions.txt", kPositions);
    Write("Suppliers.txt", kSuppliers);
    Write("Buyers.txt", kBuyers);
    std::string moves = kMoves;
    moves.insert(moves.find("03.03.05|B2"), c.extraMoves);
    Write("Moves.txt", moves);
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, c.fed)) << run.output;
    if (c.fault) {
        EXPECT_TRUE(Has(run, c.fault)) << run.output;
    } else {
        EXPECT_FALSE(Has(run, "Moves.txt, line")) << run.output;
    }
    // The moves fed: the sample's three and its day without movements.
    std::string list = ReadBytes("c:\\GMList.dat");
    ASSERT_EQ(4u * 80, list.size());
    EXPECT_EQ(Date(1, 3, 5), MoveAt(list, 0).date);
    EXPECT_EQ(Date(3, 3, 5), MoveAt(list, 1).date);
    EXPECT_EQ(Date(3, 3, 5), MoveAt(list, 2).date);
    EXPECT_EQ(Date(2, 3, 5), MoveAt(list, 3).date);
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, RuleLines,
    ::testing::Values(
        // Under a receipt's kind (zero quantity and value), under a kind
        // without sums, and with no amount at all.
        RuleLineCase{"AsTheConverterWritesThem",
                     "00.00.00|A1|ООО Альфа|0.00000||0.00000||\r\n"
                     "00.00.00|A1|0||0.00000|||\r\n"
                     "00.00.00|B2|ИП Бета||||\r\n",
                     0, "fed: 2 goods, 2 suppliers, 3 moves and 1 fictive days", NULL},
        RuleLineCase{"ADateOfZerosWithAnAmountIsStillAFault",
                     "00.00.00|A1|ООО Альфа|0.00000||0.00000||\r\n"
                     "00.00.00|A1|ООО Альфа|1.00000||2.50000||\r\n",
                     1, "fed: 2 goods, 2 suppliers, 3 moves and 1 fictive days",
                     "Moves.txt, line 5: date \"00.00.00\" is not dd.mm.yy; skipped"}),
    [](const ::testing::TestParamInfo<RuleLineCase>& info) { return std::string(info.param.name); });

// The viewer itself writes nothing to the root of drive c:; -savelists has the
// plug-in save its four list files there, as the host program's protocol does.
struct RootCase
{
    const char* name;
    const char* arguments;
    bool listFiles;
};
// The case by its name in test logs, not as raw bytes.
void PrintTo(const RootCase& c, std::ostream* os) { *os << c.name; }

class RootOfC : public HostTest, public ::testing::WithParamInterface<RootCase>
{
};

TEST_P(RootOfC, HoldsListFilesOnlyWhenAsked)
{
    const RootCase& c = GetParam();
    WriteSample();
    std::string before = RootListing();
    HostRun run = Host(c.arguments);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    std::string after = RootListing();
    if (!c.listFiles) {
        EXPECT_EQ(before, after);
        return;
    }
    for (const char* name : {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"})
        EXPECT_NE(std::string::npos, after.find(std::string(name) + " ")) << after;
    EXPECT_EQ(2u * 672, ReadBytes("c:\\GNList.dat").size());
    EXPECT_EQ(4u * 80, ReadBytes("c:\\GMList.dat").size());
}

INSTANTIATE_TEST_SUITE_P(Viewer, RootOfC,
                         ::testing::Values(RootCase{"ANormalRun", "-tab 4 -supplier 0 -build -quit", false},
                                           RootCase{"WithSaveLists", "-savelists -quit", true}),
                         [](const ::testing::TestParamInfo<RootCase>& info) { return std::string(info.param.name); });

TEST_F(HostTest, TheIdModeOfAnAutomatedRunIsNotRememberedAndOnlyZeroToTwoIsTaken)
{
    WriteSample();
    ASSERT_TRUE(SetIdModeSetting(1));
    HostRun run = Host("-idmode 0 -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(1, IdModeSetting());
    run = Host("-idmode 3 -quit");
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "-idmode takes 0 (hexadecimal numbers), 1 (decimal numbers) or 2 (codes), not 3"))
        << run.output;
}

// The application manifest, read back from the program: common controls 6, run
// as the invoker, the Windows versions it was made for.
TEST(HostManifest, AsksForCommonControls6TheInvokersRightsAndNamesTheWindowsVersions)
{
    HMODULE program = LoadLibraryExA((ThisFolder() + "\\OrvexHost.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != NULL);
    HRSRC resource = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(resource != NULL);
    const char* bytes = (const char*)LockResource(LoadResource(program, resource));
    ASSERT_TRUE(bytes != NULL);
    std::string manifest(bytes, SizeofResource(program, resource));
    FreeLibrary(program);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "publicKeyToken=\"6595b64144ccf1df\"",
                             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",    // Windows 7
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // Windows 8
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // Windows 8.1
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})   // Windows 10 and 11
        EXPECT_NE(std::string::npos, manifest.find(part)) << part << "\n" << manifest;
}

// ---------------------------------------------------------------------------
// The lists' own commands, driven as a user's clicks and keys drive them: they
// need the framework's grid commands and the plug-in's sort.

// The sample's movements in codes (the default display): a sale and the day
// without movements have no supplier, the day no goods either.
const char kMovesTitles[] = "Дата;ID товара;ID поставщика;Поставка кол-во;Продажа кол-во;Цена поставки;Цена продажи\r\n";
const char kMove0[] = "01.03.05;A1;ООО Альфа;10,00000;0,00000;25,00000;0,00000\r\n";
const char kMove1[] = "03.03.05;A1;;0,00000;4,00000;0,00000;16,00000\r\n";
const char kMove2[] = "03.03.05;B2;ИП Бета;2,00000;0,00000;8,00000;0,00000\r\n";
const char kMove3[] = "02.03.05;;;0,00000;0,00000;0,00000;0,00000\r\n";

TEST_F(HostTest, HeaderClicksSortUpDownAndBackAndTheSavedListFollows)
{
    WriteSample();
    HostRun run = Host("-tab 2 -sort 3 -save up.csv -sort 3 -save down.csv -sort 3 -save stored.csv -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    // The viewer asks for common controls 6, which draw the system's sort arrow.
    const char* clicks[] = {"header click on column 3 \"Поставка кол-во\", sorted up;",
                            "header click on column 3 \"Поставка кол-во\", sorted down;",
                            "header click on column 3 \"Поставка кол-во\"; focused row"};
    size_t at = 0;
    for (const char* click : clicks) {
        at = run.output.find(click, at);
        ASSERT_NE(std::string::npos, at) << click << "\n" << run.output;
    }
    // Supplied 10, 0, 2, 0: equal keys keep their order.
    EXPECT_EQ(std::string(kMovesTitles) + kMove1 + kMove3 + kMove2 + kMove0, ReadBytes(m_folder + "\\up.csv"));
    EXPECT_EQ(std::string(kMovesTitles) + kMove0 + kMove2 + kMove1 + kMove3, ReadBytes(m_folder + "\\down.csv"));
    EXPECT_EQ(std::string(kMovesTitles) + kMove0 + kMove1 + kMove2 + kMove3, ReadBytes(m_folder + "\\stored.csv"));
}

// Goods figures: A1 bought 10 for 25 (2.50), sold 4 for 16 (4.00), markup
// (4 - 2.5) / 2.5 = 0.60; B2 bought 2 for 8 (4.00), never sold: markup 0.
TEST_F(HostTest, SelectAllAndCopyPutTheRowsWithTheirTitlesOnTheClipboard)
{
    WriteSample();
    HostRun run = Host("-tab 0 -selectall -copy copied.txt -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "selected: 2 rows")) << run.output;
    EXPECT_TRUE(Has(run, "copied: 2 rows")) << run.output;
    EXPECT_EQ("ID\tНаименование\tЦена покупки\tЦена продажи\tНаценка\tdK\tКубатура\tАссортимент\tКол-во в уп.\t"
              "Примечание\tСпец.ср.дост.\r\n"
              "A1\tГайка М8\t2,50\t4,00\t0,60\t0,000\t0,75\t0\t0\t\t0\r\n"
              "B2\tБолт М10\t4,00\t0,00\t0,00\t0,000\t1,50\t0\t0\t\t0\r\n",
              ReadBytes(m_folder + "\\copied.txt"));
}

TEST_F(HostTest, CopyWithNothingSelectedIsAFailedStep)
{
    WriteSample();
    HostRun run = Host("-tab 0 -copy copied.txt -quit");
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Has(run, "nothing was copied (0 rows selected)")) << run.output;
}

// A1 is in rows 0 and 1 of the movements; "бета" matches "ИП Бета" of row 2
// whatever the case.
TEST_F(HostTest, FindGoesFromRowToRowAndWrapsAtTheEnd)
{
    WriteSample();
    HostRun run = Host("-tab 2 -find A1 -findnext -findnext -find бета -find ZZZ -quit");
    EXPECT_EQ(0u, run.exitCode) << run.output;
    const char* found[] = {"find \"A1\": row 0", "find next: row 1", "find next: row 0", "find \"бета\": row 2",
                           "find \"ZZZ\": not found"};
    size_t at = 0;
    for (const char* line : found) {
        at = run.output.find(line, at);
        ASSERT_NE(std::string::npos, at) << "missing in order: " << line << "\n" << run.output;
    }
}

}  // namespace
