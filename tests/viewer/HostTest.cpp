// OrvexHost.exe run as a user runs it: a folder of tables, options, its console
// lines and exit code, and what the plug-in made of the tables (the list files
// it saves to the root of drive c:, the report of a double-clicked row, the
// open request that reached the ".html" association).
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

#include <string>
#include <vector>

#include "HostRun.h"

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
    HostRun run = Host("-quit");
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
    HostRun run = Host("-quit");
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
    HostRun run = Host("-quit");
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

}  // namespace
