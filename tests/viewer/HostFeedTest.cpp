// The moves fed as the file orders them: the viewer reads and parses a large
// moves table apart from the add calls, yet every move reaches the store in
// file order, and the fault lines come in file order, the first 20 of each
// table, then the count of the rest. Tables at their edges: empty, a header
// alone, a faulty last line with and without its line end.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdint.h>
#include <string.h>

#include <ostream>
#include <string>
#include <vector>

#include "HostRun.h"

using namespace hosttest;

namespace {

const char kGoods[] =
    "ID|Name\r\n"
    "A1|Гайка М8|||||||2.50000|0.75000\r\n";
const char kSuppliers[] =
    "ID|Name\r\n"
    "ООО Альфа|ООО Альфа\r\n";
const char kMovesHeader[] = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n";

class HostFeed : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = NewFolder("orvex-feed-");
        for (const char* name : {"GNList.dat", "SNList.dat", "GMList.dat", "GDList.dat"})
            DeleteFileA((std::string("c:\\") + name).c_str());
    }

    void Write(const char* name, const std::string& bytes) { ASSERT_TRUE(WriteBytes(m_folder + "\\" + name, bytes)); }

    HostRun Host(const std::string& arguments)
    {
        HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", arguments, m_folder);
        EXPECT_TRUE(run.finished) << run.output;
        return run;
    }

    std::string m_folder;
};

// The fault lines of one table, in the order they were said.
std::vector<std::string> LinesOf(const std::string& output, const std::string& table)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, table.size(), table) == 0)
            lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

double SuppliedAt(const std::string& moves, size_t index)
{
    double value = -1.0;
    if (index * 80 + 32 <= moves.size())
        memcpy(&value, moves.data() + index * 80 + 24, 8);
    return value;
}

// 9,000 lines of moves, more than one piece of the reading: every 300th line
// (300, 600, ..., 9000) is faulty, 30 faults in all. Every odd fault (300,
// 900, ...) names goods that are not there: such a move is kept with goods 0.
// Every even one (600, 1200, ...) has a quantity that is no number: skipped.
// Each move's receipt quantity is its line number, so the store's order shows.
TEST_F(HostFeed, MovesAndTheirFaultLinesKeepTheFileOrder)
{
    Write("Positions.txt", kGoods);
    Write("Suppliers.txt", kSuppliers);
    // A buyers' line with a NUL byte: the buyers are read with the moves.
    static const char kBuyers[] = "ID|Name\r\n17|ЧП\0Покупатель\r\n";
    Write("Buyers.txt", std::string(kBuyers, sizeof kBuyers - 1));
    std::string moves = kMovesHeader;
    std::vector<double> kept;
    for (int line = 2; line <= 9001; ++line) {
        int number = line - 1;
        std::string quantity = std::to_string(number) + ".00000";
        if (number % 600 == 0) {
            moves += "01.03.05|A1|ООО Альфа|" + std::to_string(number) + "x||1.00000||\r\n";
        } else if (number % 300 == 0) {
            moves += "01.03.05|ZZ|ООО Альфа|" + quantity + "||1.00000||\r\n";
            kept.push_back(number);
        } else {
            moves += "01.03.05|A1|ООО Альфа|" + quantity + "||1.00000||\r\n";
            kept.push_back(number);
        }
    }
    Write("Moves.txt", moves);
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(1u, run.exitCode) << run.output;

    // The table numbers its header line 1: data line n is file line n + 1.
    std::vector<std::string> said = LinesOf(run.output, "Moves.txt");
    ASSERT_EQ(21u, said.size()) << run.output;
    for (int k = 0; k < 20; ++k) {
        int number = (k + 1) * 300;
        std::string expected = "Moves.txt, line " + std::to_string(number + 1) + ": ";
        expected += number % 600 == 0 ? "NIN \"" + std::to_string(number) + "x\" is not a number; skipped"
                                      : std::string("goods code \"ZZ\" is not in the goods table");
        EXPECT_EQ(0u, said[k].find(expected)) << said[k];
    }
    EXPECT_EQ("Moves.txt: 10 more faults like these not shown", said[20]);
    // The buyers' fault before the first of the moves.
    size_t buyers = run.output.find("Buyers.txt, line 2: holds a NUL byte");
    ASSERT_NE(std::string::npos, buyers) << run.output;
    EXPECT_LT(buyers, run.output.find("Moves.txt, line 301:"));
    EXPECT_TRUE(run.output.find("fed: 1 goods, 1 suppliers, 8985 moves and 0 fictive days") != std::string::npos)
        << run.output;

    std::string stored = ReadBytes("c:\\GMList.dat");
    ASSERT_EQ(kept.size() * 80, stored.size());
    for (size_t k = 0; k < kept.size(); ++k)
        ASSERT_EQ(kept[k], SuppliedAt(stored, k)) << "move " << k;
}

struct EdgeCase
{
    const char* name;
    const char* moves;             // Moves.txt, byte for byte
    unsigned exitCode;
    int fedMoves;
    const char* fault;             // the one Moves.txt line said; null: none
};
// The case by its name in test logs, not as raw bytes.
void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class MovesTableEdges : public HostFeed, public ::testing::WithParamInterface<EdgeCase>
{
};

TEST_P(MovesTableEdges, AreReadToTheirLastByte)
{
    const EdgeCase& c = GetParam();
    Write("Positions.txt", kGoods);
    Write("Suppliers.txt", kSuppliers);
    Write("Buyers.txt", "ID|Name\r\n");
    Write("Moves.txt", c.moves);
    HostRun run = Host("-savelists -quit");
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    std::string fed = "fed: 1 goods, 1 suppliers, " + std::to_string(c.fedMoves) + " moves and 0 fictive days";
    EXPECT_NE(std::string::npos, run.output.find(fed)) << run.output;
    std::vector<std::string> said = LinesOf(run.output, "Moves.txt");
    if (c.fault) {
        ASSERT_EQ(1u, said.size()) << run.output;
        EXPECT_EQ(0u, said[0].find(c.fault)) << said[0];
    } else {
        EXPECT_TRUE(said.empty()) << run.output;
    }
    EXPECT_EQ((size_t)c.fedMoves * 80, ReadBytes("c:\\GMList.dat").size());
}

const EdgeCase kEdges[] = {
    {"Empty", "", 0, 0, nullptr},
    {"HeaderAlone", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n", 0, 0, nullptr},
    {"HeaderWithoutLineEnd", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT", 0, 0, nullptr},
    {"OneMoveWithoutLineEnd", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|ООО Альфа|2.00000||4.00000||", 0, 1,
     nullptr},
    {"ShortLastLine",
     "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|ООО Альфа|2.00000||4.00000||\r\n02.03.05|A1\r\n", 1, 1,
     "Moves.txt, line 3: 2 fields, 7 expected"},
    {"ShortLastLineWithoutLineEnd",
     "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|ООО Альфа|2.00000||4.00000||\r\n02.03.05|A1", 1, 1,
     "Moves.txt, line 3: 2 fields, 7 expected"},
    {"BadDateOnTheLastLineWithoutLineEnd",
     "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|ООО Альфа|2.00000||4.00000||\r\n32.02.05|A1|ООО Альфа|1||1||",
     1, 1, "Moves.txt, line 3: date \"32.02.05\" is not dd.mm.yy"},
};

INSTANTIATE_TEST_SUITE_P(Viewer, MovesTableEdges, ::testing::ValuesIn(kEdges),
                         [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

}  // namespace
