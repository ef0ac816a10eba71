// The four exports, written into a scratch folder and compared byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "ExportRun.h"
#include "ZorbRows.h"

namespace {

std::string Row(const std::string& date, const std::string& kind, const std::string& partner,
                const std::string& partnerName, const std::string& qty, const std::string& sum)
{
    return zorb::DecodedMoveRow(date, kind, partner, partnerName, qty, sum);
}

std::string Header(const std::string& text)
{
    return zorb::DecodedHeaderRow(text);
}

const char kKinds[] =
    "+Приход от поставщика.|+|приход|сумма\r\n"
    "-Отгрузка.|+|расход|сумма\r\n"
    "-Возврат поставщику.|-|приход|сумма\r\n"
    "+Возврат проданного.|-|расход|сумма\r\n"
    "Без суммы|-|расход\r\n";

TEST(Exports, SuppliersAreDistinctInFirstAppearanceOrder)
{
    Export e;
    e.Load(kKinds, "A;a;Завод;1;0\r\nB;b;;1;0\r\nC;c;Завод;1;0\r\nD;d;Базa;1;0\r\nE;e;;1;0\r\n", "");
    ASSERT_TRUE(e.exports.ExportSuppliers());
    EXPECT_EQ("ID|Name\r\nЗавод|Завод\r\n|\r\nБазa|Базa\r\n", e.Read("Suppliers.txt"));
}

TEST(Exports, BuyersAreDistinctCodesOfOutgoingAndBlankKinds)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n",
           Header(".......... 1 G g") +
           Row("01.03.05", "+Приход от поставщика.", "5", "Поставщик", "1", "1") +
           Row("01.03.05", "-Отгрузка.", "17", "Первый", "1", "1") +
           Row("01.03.05", "-Отгрузка.", "17", "Второй", "1", "1") +
           Row("01.03.05", "Перемещение", "9", "Склад", "1", "1") +
           Row("01.03.05", "+Возврат проданного.", "17", "Третий", "1", "1"));
    ASSERT_TRUE(e.exports.ExportBuyers());
    EXPECT_EQ("ID|Name\r\n17|Первый\r\n9|Склад\r\n", e.Read("Buyers.txt"));
}

TEST(Exports, PositionsHaveTenFieldsAndFiveDecimals)
{
    Export e;
    e.Load(kKinds, "A1;Гвозди;S;2.5;0.123456\r\nA1;Дубль;S;-1;\r\n", "");
    ASSERT_TRUE(e.exports.ExportPositions());
    EXPECT_EQ("ID|Name\r\n"
              "A1|Гвозди|||||||2.50000|0.12346\r\n"
              "A1|Дубль|||||||-1.00000|0.00000\r\n",
              e.Read("Positions.txt"));
}

TEST(Exports, APositionPieceLongerThan1023BytesIsCut)
{
    Export e;
    std::string code(600, 'c'), name(600, 'n');
    e.Load(kKinds, code + ";" + name + ";S;1;2\r\n", "");
    ASSERT_TRUE(e.exports.ExportPositions());
    std::string piece = code + "|" + name;
    EXPECT_EQ("ID|Name\r\n" + piece.substr(0, 1023) + "|||||||1.00000|2.00000\r\n", e.Read("Positions.txt"));
}

TEST(Exports, MoveLinesBySideSignAndSum)
{
    Export e;
    e.Load(kKinds, "G1;Болт;Завод;2.5;0\r\n",
           Header(".......... 1 G1 Болт") +
           Row("01.03.05", "+Приход от поставщика.", "5", "П", "4", "999") +
           Row("01.03.05", "-Отгрузка.", "17", "Б", "3", "45.5") +
           Row("01.03.05", "-Возврат поставщику.", "5", "П", "2", "7") +
           Row("01.03.05", "+Возврат проданного.", "17", "Б", "5", "100") +
           Row("01.03.05", "Без суммы", "18", "В", "5", "100") +
           Row("01.03.05", "Неизвестный вид", "19", "Г", "1.5", "3"));
    ASSERT_TRUE(e.exports.ExportMoves());
    EXPECT_EQ("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
              "01.03.05|G1|Завод|4.00000||10.00000||\r\n"        // DIN = unit cost x quantity
              "01.03.05|G1|17||3.00000||45.50000|\r\n"
              "01.03.05|G1|Завод|-2.00000||5.00000||\r\n"        // the money is not negated
              "01.03.05|G1|17||-5.00000||100.00000|\r\n"
              "01.03.05|G1|18||-5.00000|||\r\n"
              "01.03.05|G1|19||1.50000|||\r\n",
              e.Read("Moves.txt"));
}

TEST(Exports, IncomingMovesWithoutPositionUseThePlaceholderAndTheReportSum)
{
    Export e;
    e.Load(kKinds, "G1;g;S;2.5;0\r\n",
           Row("02.03.05", "+Приход от поставщика.", "5", "П", "4", "12.25") +
           Row("02.03.05", "-Возврат поставщику.", "5", "П", "0", "0"));
    ASSERT_TRUE(e.exports.ExportMoves());
    EXPECT_EQ("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
              "02.03.05||[поставщик не найден]|4.00000||12.25000||\r\n"
              "02.03.05||[поставщик не найден]|-0.00000||0.00000||\r\n",   // a negated zero keeps its sign
              e.Read("Moves.txt"));
}

TEST(Exports, FictiveRowsFillTheDaysWithoutMoves)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n",
           Header(".......... 1 G g") +
           Row("04.03.05", "-Отгрузка.", "1", "b", "1", "1") +
           Row("01.03.05", "-Отгрузка.", "1", "b", "1", "1"));
    ASSERT_TRUE(e.exports.ExportMoves());
    EXPECT_EQ("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
              "04.03.05|G|1||1.00000||1.00000|\r\n"
              "01.03.05|G|1||1.00000||1.00000|\r\n"
              "02.03.05|фикти|Фикц|\r\n"
              "03.03.05|фикти|Фикц|\r\n",
              e.Read("Moves.txt"));
}

TEST(Exports, FebruaryHasTwentyEightDaysAndYearsRollOver)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n",
           Header(".......... 1 G g") +
           Row("27.02.04", "-Отгрузка.", "1", "b", "1", "1") +
           Row("30.12.99", "-Отгрузка.", "1", "b", "1", "1") +
           Row("01.03.04", "-Отгрузка.", "1", "b", "1", "1"));
    // The period runs to 30.12.99: check the start of the walk and its end.
    ASSERT_TRUE(e.exports.ExportMoves());
    std::string moves = e.Read("Moves.txt");
    EXPECT_NE(std::string::npos, moves.find("01.03.04|G|1||1.00000||1.00000|\r\n28.02.04|фикти|Фикц|\r\n02.03.04|фикти|Фикц|\r\n"));
    EXPECT_EQ(std::string::npos, moves.find("29.02."));
    EXPECT_NE(std::string::npos, moves.find("29.12.99|фикти|Фикц|\r\n"));
    EXPECT_EQ(std::string::npos, moves.find("31.12.99"));
}

TEST(Exports, APeriodEndingInAnotherCenturyKeepsCountingTheYear)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n",
           Header(".......... 1 G g") +
           Row("30.12.99", "-Отгрузка.", "1", "b", "1", "1") +
           Row("02.01.100", "-Отгрузка.", "1", "b", "1", "1"));
    ASSERT_TRUE(e.exports.ExportMoves());
    EXPECT_EQ("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
              "30.12.99|G|1||1.00000||1.00000|\r\n"
              "02.01.100|G|1||1.00000||1.00000|\r\n"
              "31.12.99|фикти|Фикц|\r\n"
              "01.01.100|фикти|Фикц|\r\n",
              e.Read("Moves.txt"));
}

TEST(Exports, MonthsOutsideOneToTwelveStillEndTheWalk)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n",
           Header(".......... 1 G g") +
           Row("30.00.05", "-Отгрузка.", "1", "b", "1", "1") +
           Row("02.01.05", "-Отгрузка.", "1", "b", "1", "1") +
           Row("31.13.05", "-Отгрузка.", "1", "b", "1", "1"));
    ASSERT_TRUE(e.exports.ExportMoves());
    std::string moves = e.Read("Moves.txt");
    // A month 0 of 31 days: 31.00.05, then 01.01.05; month 12 rolls into 06.
    EXPECT_NE(std::string::npos, moves.find("31.00.05|фикти|Фикц|\r\n01.01.05|фикти|Фикц|\r\n03.01.05|"));
    const std::string last = "31.12.05|фикти|Фикц|\r\n";
    ASSERT_GE(moves.size(), last.size());
    EXPECT_EQ(last, moves.substr(moves.size() - last.size()));
}

TEST(Exports, NoMovesGiveOnlyTheHeader)
{
    Export e;
    e.Load(kKinds, "G;g;S;1;0\r\n", "");
    ASSERT_TRUE(e.exports.ExportMoves());
    EXPECT_EQ("Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n", e.Read("Moves.txt"));
}

}  // namespace
