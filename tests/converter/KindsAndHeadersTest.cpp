// Kinds and header rows as a hand-edited kinds table and a broken report show
// them, checked through the lines of Moves.txt.
#include <gtest/gtest.h>

#include <string>

#include "ExportRun.h"
#include "ZorbRows.h"

namespace {

// Moves.txt of one run: kinds, goods and report as given.
std::string Moves(Export& e, const std::string& kinds, const std::string& goods, const std::string& report)
{
    e.Load(kinds, goods, report);
    EXPECT_TRUE(e.exports.ExportMoves());
    return e.Read("Moves.txt");
}

std::string Row(const std::string& kind, const std::string& qty, const std::string& sum)
{
    return zorb::DecodedMoveRow("02.03.05", kind, "17", "Партнёр", qty, sum);
}

const char kHead[] = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n";

TEST(KindsInMoves, AnIncomingKindWithoutSumLeavesBothMoneyColumnsEmpty)
{
    Export e;
    std::string moves = Moves(e, "Приход без суммы|+|приход\r\n", "G1;Болт;Завод;2.5;0\r\n",
                                zorb::DecodedHeaderRow(".......... 1 G1 Болт") + Row("Приход без суммы", "4", "10"));
    EXPECT_EQ(std::string(kHead) + "02.03.05|G1|Завод|4.00000||||\r\n", moves);
}

TEST(KindsInMoves, ACapitalisedDirectionIsOutgoingWithTheBuyersCode)
{
    Export e;
    std::string moves = Moves(e, "Приход|+|Приход|сумма\r\n", "G1;Болт;Завод;2.5;0\r\n",
                                zorb::DecodedHeaderRow(".......... 1 G1 Болт") + Row("Приход", "4", "10"));
    EXPECT_EQ(std::string(kHead) + "02.03.05|G1|17||4.00000||10.00000|\r\n", moves);
}

TEST(KindsInMoves, OfTwoKindsWithOneNameTheFirstIsUsed)
{
    Export e;
    std::string moves = Moves(e, "Возврат|-|приход|сумма\r\nВозврат|+|расход\r\n", "G1;Болт;Завод;2.5;0\r\n",
                                zorb::DecodedHeaderRow(".......... 1 G1 Болт") + Row("Возврат", "4", "10"));
    EXPECT_EQ(std::string(kHead) + "02.03.05|G1|Завод|-4.00000||10.00000||\r\n", moves);
}

// Characters 2 to 10 of the cell must be dots; the first one may be anything.
TEST(HeaderRows, ACellWhoseSecondCharacterIsNoDotIsAMoveRow)
{
    Export e;
    std::string moves = Moves(e, "Отгрузка|+|расход|сумма\r\n", "X;ex;S;1;0\r\n",
                                "\xA6.x........ 5 X\xA6\r\n" + Row("Отгрузка", "1", "2"));
    // Both rows are moves (the first one of no goods and no date worth reading;
    // the fictive days its date opens follow the move lines), and neither
    // belongs to goods X.
    size_t first = moves.find("\r\n");
    size_t second = moves.find("\r\n", first + 2);
    size_t third = moves.find("\r\n", second + 2);
    ASSERT_NE(std::string::npos, third);
    EXPECT_EQ(kHead, moves.substr(0, first + 2));
    EXPECT_EQ("02.03.05||17||1.00000||2.00000|", moves.substr(second + 2, third - second - 2));
    EXPECT_EQ(std::string::npos, moves.find("|X|"));
}

// The first character is not looked at: with nine dots after it the row is a
// header, and as phase 0 ends on that character the goods text is read from the
// dots, matches no position, and the move under it is dropped.
TEST(HeaderRows, AnyFirstCharacterBeforeNineDotsMakesAHeader)
{
    Export e;
    std::string moves = Moves(e, "Отгрузка|+|расход|сумма\r\n", "X;ex;S;1;0\r\n",
                                "\xA6" "A......... 5 X\xA6\r\n" + Row("Отгрузка", "1", "2"));
    EXPECT_EQ(std::string(kHead) + "02.03.05|фикти|Фикц|\r\n", moves);
}

}  // namespace
