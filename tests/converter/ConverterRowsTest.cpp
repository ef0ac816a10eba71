// Converter row rules through the readers' OnTableCell: movement kinds, goods-list rows,
// report header rows (position numbers, longest code prefix) and move rows.
#include <gtest/gtest.h>

#include <string>

#include "ConverterTables.h"
#include "GoodsListReader.h"
#include "MoveKindsReader.h"
#include "ReportReader.h"
#include "TestSupport.h"
#include "ZorbRows.h"

namespace {

struct Converter
{
    CFileFunctions files;
    CDelimitedTextReader reader{files};
    CConverterTables tables;
    CMoveKindsReader kinds{tables};
    CGoodsListReader goods{tables};
    CReportReader report{tables};

    // Feeds text through the reader to one of the three receivers.
    bool Feed(std::string text, char separator, ITableReceiver* receiver)
    {
        buffer = text;
        return reader.ReadDelimitedText(&buffer[0], (int)buffer.size(), separator, 0, receiver);
    }
    bool Kinds(const std::string& rows)
    {
        kinds.Begin();
        return Feed("Kind|Sign|Dir|Sum\r\n" + rows, '|', &kinds);
    }
    bool Goods(const std::string& rows)
    {
        goods.Begin();
        return Feed("Code;Name;Supplier;Cost;Weight\r\n" + rows, ';', &goods);
    }
    bool Report(const std::string& rows)
    {
        report.Begin();
        return Feed(rows, '\xA6', &report);
    }
    std::string buffer;
};

// One report move row: date, kind, partner code and name, quantity and sum in
// their columns, the other columns filled with noise.
std::string MoveRow(const std::string& date, const std::string& kind, const std::string& partner,
                    const std::string& partnerName, const std::string& qty, const std::string& sum)
{
    std::string cells[zorb::kColumns] = { "", "", "c3", "", "", "6", "7", "8", "9", "10", "11",
                                          "", "13", "14", "15", "", "17" };
    zorb::PlaceMove(cells, date, kind, partner, partnerName, qty, sum);
    return zorb::TableRow(cells, '\xA6');
}

std::string Header(const std::string& text)
{
    return zorb::DecodedHeaderRow(text);
}

TEST(MoveKinds, FlagsFollowTheExactCellTexts)
{
    Converter c;
    ASSERT_TRUE(c.Kinds("Приход|+|приход|сумма\r\n"
                        "Минус| -|Приход|сумма   \r\n"
                        "Два|-\r\n"
                        "Один\r\n"));
    ASSERT_EQ(4, c.tables.MoveTypeCount());
    const MoveType* t = c.tables.MoveTypeAt(0);
    EXPECT_STREQ("Приход", t->name);
    EXPECT_FALSE(t->negate);
    EXPECT_TRUE(t->incoming);
    EXPECT_TRUE(t->withSum);
    t = c.tables.MoveTypeAt(1);
    EXPECT_FALSE(t->negate);      // a space before the minus
    EXPECT_FALSE(t->incoming);    // capital first letter
    EXPECT_TRUE(t->withSum);      // trailing spaces are cut
    t = c.tables.MoveTypeAt(2);
    EXPECT_TRUE(t->negate);
    EXPECT_FALSE(t->incoming);
    EXPECT_FALSE(t->withSum);
    t = c.tables.MoveTypeAt(3);
    EXPECT_STREQ("Один", t->name);
    EXPECT_FALSE(t->negate || t->incoming || t->withSum);
}

TEST(MoveKinds, AHeaderWithoutSeparatorFailsTheImport)
{
    Converter c;
    c.kinds.Begin();
    EXPECT_FALSE(c.Feed("Kinds\r\nA|-|приход|сумма\r\n", '|', &c.kinds));
    EXPECT_EQ(0, c.tables.MoveTypeCount());
}

TEST(MoveKinds, TheLastLineNeedsNoLineEndAndLeadingSpacesStayInTheName)
{
    Converter c;
    ASSERT_TRUE(c.Kinds("A|-\r\n  B|+|приход"));
    ASSERT_EQ(2, c.tables.MoveTypeCount());
    EXPECT_STREQ("  B", c.tables.MoveTypeAt(1)->name);
    EXPECT_TRUE(c.tables.MoveTypeAt(1)->incoming);
}

TEST(MoveKinds, IndexesPastTheTableAreTheBlankKind)
{
    Converter c;
    ASSERT_TRUE(c.Kinds("A|-|приход|сумма\r\n"));
    const MoveType& blank = c.tables.TypeAt(1);
    EXPECT_STREQ("", blank.name);
    EXPECT_FALSE(blank.negate || blank.incoming || blank.withSum);
    EXPECT_FALSE(c.tables.TypeAt(-5).incoming);
    EXPECT_TRUE(c.tables.TypeAt(0).incoming);
}

TEST(GoodsList, ColumnsGoToTheirFieldsAndNumbersReadLikeAtof)
{
    Converter c;
    ASSERT_TRUE(c.Goods("A1;Гвозди;Завод;2.5;  7x;extra\r\n"
                        ";;;abc\r\n"
                        "B2\r\n"));
    ASSERT_EQ(3, c.tables.PositionCount());
    const Position* p = c.tables.PositionAt(0);
    EXPECT_STREQ("A1", c.tables.CodeOf(*p));
    EXPECT_STREQ("Гвозди", c.tables.NameOf(*p));
    EXPECT_STREQ("Завод", c.tables.SupplierOf(*p));
    EXPECT_EQ(2.5, p->unitCost);
    EXPECT_EQ(7.0, p->secondValue);
    p = c.tables.PositionAt(1);
    EXPECT_STREQ("", c.tables.CodeOf(*p));
    EXPECT_EQ(0.0, p->unitCost);
    EXPECT_STREQ("B2", c.tables.CodeOf(*c.tables.PositionAt(2)));
    EXPECT_EQ(1u, c.tables.PositionAt(0)->id);
    EXPECT_EQ(3u, c.tables.PositionAt(2)->id);
}

TEST(GoodsList, AFirstLineWithoutSeparatorOrAnEmptyFirstLineFails)
{
    Converter c;
    c.goods.Begin();
    EXPECT_FALSE(c.Feed("Header\r\nA;B;C\r\n", ';', &c.goods));
    EXPECT_EQ(0, c.tables.PositionCount());
    c.goods.Begin();
    EXPECT_FALSE(c.Feed("\r\nCode;Name\r\nA;B;C\r\n", ';', &c.goods));
    EXPECT_EQ(0, c.tables.PositionCount());
}

TEST(GoodsList, LongCellsAreCutTo1023Bytes)
{
    Converter c;
    std::string longName(2000, 'n');
    ASSERT_TRUE(c.Goods("X;" + longName + ";S\r\n"));
    EXPECT_EQ(std::string(1023, 'n'), c.tables.NameOf(*c.tables.PositionAt(0)));
}

TEST(ReportRows, MoveRowsTakeTheirColumnsAndTheLastResolvedPosition)
{
    Converter c;
    ASSERT_TRUE(c.Kinds("Приход|+|приход|сумма\r\nРасход|+|расход|сумма\r\n"));
    ASSERT_TRUE(c.Goods("G1;Болт;Завод;1;0\r\nG2;Гайка;Завод;1;0\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 1 G1 Болт") +
                         MoveRow("05.01.04", "Приход", "17", "Склад", "  12.5", " 100.25") +
                         MoveRow("06.01.04", "Расход", "-3", "Покупатель", "2", "8") +
                         Header(".......... 2 G2 Гайка") +
                         MoveRow("28.12.03", "Неизвестно", "4", "Кто-то", "1", "1")));
    ASSERT_EQ(3, c.tables.MoveCount());
    const Move* m = c.tables.MoveAt(0);
    EXPECT_EQ(MakePackedDate(5, 1, 4), m->date);
    EXPECT_EQ(0, m->kindIndex);
    EXPECT_EQ(17, m->partnerCode);
    EXPECT_STREQ("Склад", c.tables.PartnerNameOf(*m));
    EXPECT_STREQ("G1", c.tables.GoodsCodeOf(*m));
    EXPECT_STREQ("Болт", c.tables.GoodsNameOf(*m));
    EXPECT_EQ(12.5, m->quantity);
    EXPECT_EQ(100.25, m->sum);
    EXPECT_EQ(1, c.tables.MoveAt(1)->kindIndex);
    EXPECT_EQ(-3, c.tables.MoveAt(1)->partnerCode);
    EXPECT_STREQ("G1", c.tables.GoodsCodeOf(*c.tables.MoveAt(1)));
    m = c.tables.MoveAt(2);
    EXPECT_EQ(2, m->kindIndex);   // unknown kind: the blank kind
    EXPECT_STREQ("G2", c.tables.GoodsCodeOf(*m));
    EXPECT_STREQ("Гайка", c.tables.GoodsNameOf(*m));
    EXPECT_EQ(MakePackedDate(28, 12, 3), c.tables.StartDate());
    EXPECT_EQ(MakePackedDate(6, 1, 4), c.tables.EndDate());
}

TEST(ReportRows, TheLongestCodePrefixWins)
{
    Converter c;
    ASSERT_TRUE(c.Goods("A1;short;S\r\nA12;long;S\r\nA12;later;S\r\nA;shortest;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 7 A123 и далее") + MoveRow("01.01.01", "", "1", "p", "1", "1")));
    ASSERT_EQ(1, c.tables.MoveCount());
    EXPECT_STREQ("A12", c.tables.GoodsCodeOf(*c.tables.MoveAt(0)));
    EXPECT_STREQ("long", c.tables.GoodsNameOf(*c.tables.MoveAt(0)));
}

TEST(ReportRows, AnUnmatchedHeaderDropsItsMovesUntilTheNextMatch)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G1;one;S\r\n;empty code;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 1 G1 one") + MoveRow("01.01.01", "", "1", "a", "1", "1") +
                         Header(".......... 2 ZZ nothing") + MoveRow("02.01.01", "", "2", "b", "1", "1") +
                         MoveRow("03.01.01", "", "3", "c", "1", "1") +
                         Header(".......... 3 G1 again") + MoveRow("04.01.01", "", "4", "d", "1", "1")));
    ASSERT_EQ(2, c.tables.MoveCount());
    EXPECT_EQ(1, c.tables.MoveAt(0)->partnerCode);
    EXPECT_EQ(4, c.tables.MoveAt(1)->partnerCode);
    // Dates of dropped rows still count for the period.
    EXPECT_EQ(MakePackedDate(1, 1, 1), c.tables.StartDate());
    EXPECT_EQ(MakePackedDate(4, 1, 1), c.tables.EndDate());
}

TEST(ReportRows, AHeaderWithoutPositionNumberLosesItsFirstCharacters)
{
    Converter c;
    ASSERT_TRUE(c.Goods("AB12;wrong;S\r\n12;right;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... AB12 x") + MoveRow("01.01.01", "", "1", "a", "1", "1")));
    ASSERT_EQ(1, c.tables.MoveCount());
    EXPECT_STREQ("12", c.tables.GoodsCodeOf(*c.tables.MoveAt(0)));
}

TEST(ReportRows, AGoodsTextOfOneLastCharacterCountsThroughTheTerminator)
{
    Converter c;
    ASSERT_TRUE(c.Goods("X;ex;S\r\n"));
    // Cell ends right after "X": the terminator is the one more character examined.
    ASSERT_TRUE(c.Report("\xA6.......... 5 X\xA6\r\n" + MoveRow("01.01.01", "", "1", "a", "1", "1")));
    ASSERT_EQ(1, c.tables.MoveCount());
    EXPECT_STREQ("X", c.tables.GoodsCodeOf(*c.tables.MoveAt(0)));
}

TEST(ReportRows, AHeaderThatEndsBeforeItsGoodsTextResolvesNothing)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 12") + MoveRow("01.01.01", "", "1", "a", "1", "1")));
    EXPECT_EQ(0, c.tables.MoveCount());
}

TEST(ReportRows, RuleLinesAndRowsBeforeAnyHeaderAreCommitted)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    ASSERT_TRUE(c.Report(MoveRow("01.01.01", "", "9", "before", "1", "1") +
                         Header(".......... 1 G g") +
                         "+--------+-------+\r\n" +
                         MoveRow("02.01.01", "", "8", "after", "1", "1")));
    ASSERT_EQ(3, c.tables.MoveCount());
    EXPECT_STREQ("", c.tables.GoodsCodeOf(*c.tables.MoveAt(0)));
    const Move* rule = c.tables.MoveAt(1);
    EXPECT_STREQ("G", c.tables.GoodsCodeOf(*rule));
    EXPECT_EQ(0u, rule->date);
    EXPECT_EQ(0.0, rule->quantity);
    EXPECT_STREQ("", c.tables.PartnerNameOf(*rule));
    EXPECT_EQ(8, c.tables.MoveAt(2)->partnerCode);
}

// Each report starts from a blank move: a reader used again carries nothing
// of the position the last report ended with.
TEST(ReportRows, ASecondReportStartsWithoutThePositionOfTheFirst)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 1 G g") + MoveRow("01.01.01", "", "1", "a", "1", "1")));
    ASSERT_EQ(1, c.tables.MoveCount());
    ASSERT_TRUE(c.Report(MoveRow("02.01.01", "", "2", "b", "1", "1") + MoveRow("03.01.01", "", "3", "c", "1", "1")));
    ASSERT_EQ(2, c.tables.MoveCount());
    EXPECT_STREQ("", c.tables.GoodsCodeOf(*c.tables.MoveAt(0)));
    EXPECT_STREQ("", c.tables.GoodsCodeOf(*c.tables.MoveAt(1)));
    EXPECT_EQ(MakePackedDate(2, 1, 1), c.tables.StartDate());
}

TEST(ReportRows, OnlyHeaderRowsLeaveTheDatesUnset)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    ASSERT_TRUE(c.Report(Header(".......... 1 G g") + Header(".......... 2 G g")));
    EXPECT_EQ(0, c.tables.MoveCount());
    EXPECT_EQ(kUnsetDate, c.tables.StartDate());
    EXPECT_EQ(kUnsetDate, c.tables.EndDate());
}

TEST(ReportRows, ShortDateCellsReadNothingPastTheirEnd)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    // The bytes after each short cell are digits: reading past the cell would see them.
    ASSERT_TRUE(c.Report(Header(".......... 1 G g") +
                         "\xA6" "7\xA6" "99\xA6\r\n" +
                         "\xA6" "07.1\xA6" "99\xA6\r\n" +
                         "\xA6" "\xA6" "99\xA6\r\n"));
    ASSERT_EQ(3, c.tables.MoveCount());
    EXPECT_EQ(MakePackedDate(7, 0, 0), c.tables.MoveAt(0)->date);
    EXPECT_EQ(MakePackedDate(7, 1, 0), c.tables.MoveAt(1)->date);
    EXPECT_EQ(0u, c.tables.MoveAt(2)->date);
}

TEST(ReportRows, LongCellsAreCutTo1023Bytes)
{
    Converter c;
    ASSERT_TRUE(c.Goods("G;g;S\r\n"));
    std::string longName(2000, 'p');
    ASSERT_TRUE(c.Report(Header(".......... 1 G g") + MoveRow("01.01.01", "", "1", longName, "1", "1")));
    ASSERT_EQ(1, c.tables.MoveCount());
    EXPECT_EQ(std::string(1023, 'p'), c.tables.PartnerNameOf(*c.tables.MoveAt(0)));
}

}  // namespace
