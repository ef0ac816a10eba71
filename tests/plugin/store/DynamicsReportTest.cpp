// The dynamics report file, byte for byte, and its open request.
#include <string>
#include <vector>

#include "DynamicsReport.h"
#include "FileFaults.h"
#include "StoreFixture.h"
#include "TestSupport.h"

namespace {

struct OpenRequest
{
    HWND owner;
    std::string verb;
    std::string file;
    bool noParameters;
    bool noDirectory;
    INT show;
};

std::vector<OpenRequest> g_opened;

HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                            LPCSTR directory, INT show)
{
    g_opened.push_back(OpenRequest{owner, verb ? verb : "", file ? file : "", parameters == NULL,
                                   directory == NULL, show});
    return (HINSTANCE)(INT_PTR)42;
}

const char kHead[] =
    "<html><body>\r\n"
    "\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%\" align=\"center\" >\r\n"
    "<tr align=\"center\">\r\n"
    "<th>дата</th><th>остаток (нач.)</th><th>приход</th><th>расход</th><th>остаток (кон.)</th></tr>\r\n";
const char kTail[] = "</table>\r\n</body></html>\r\n";

std::string Day(const char* date, const char* opening, const char* receipt, const char* expense,
                const char* closing)
{
    return std::string("<tr align=\"center\">\r\n<td>") + date + "</td><td>" + opening + "</td><td>" +
           receipt + "</td><td>" + expense + "</td><td>" + closing + "</td></tr>\r\n";
}

class DynamicsReportTest : public StoreTest
{
protected:
    DynamicsReportTest() : folder(scratch.Path()) {}
    void SetUp() override
    {
        StoreTest::SetUp();
        g_opened.clear();
        SetShellOpenFunction(RecordOpen);
        store.AddSupplier(0, "S1", "Поставщик", 0, 0, 0);
        store.AddGoods(0, "G1", "Товар 1", 0, 0, 0, "", 0);
        store.AddGoods(0, "G2", "Товар 2", 0, 0, 0, "", 0);
    }
    void TearDown() override { SetShellOpenFunction(NULL); }

    std::string Report()
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(scratch.File("GoodsDinamic.html"), &bytes));
        return bytes;
    }

    ScratchDir scratch;
    CurrentDir folder;
};

TEST_F(DynamicsReportTest, BalanceSupplyAndSaleOverThreeDates)
{
    store.AddMove(D(1, 3, 4), 2, 1, 0, 0, 0, 0);    // only puts 01.03.04 into the calendar
    store.AddMove(D(2, 3, 4), 1, 1, 5, 0, 50, 0);
    store.AddMove(D(3, 3, 4), 1, 1, 0, 3, 0, 36);
    store.AddBalance(D(1, 3, 4), 1, NULL, 10);
    BuildDynamics(0);
    ASSERT_EQ(dynamics.RowCount(), 1);

    EXPECT_TRUE(WriteDynamicsReport(dynamics, 0));
    EXPECT_EQ(Escaped(Report()),
              Escaped(std::string(kHead) + Day("01.03.04", "10.00", "0.00", "0.00", "10.00") +
                      Day("02.03.04", "10.00", "5.00", "0.00", "15.00") +
                      Day("03.03.04", "15.00", "0.00", "3.00", "12.00") + kTail));
    // The openings are kept in the day cells.
    EXPECT_EQ(dynamics.DayCells(0)[0].opening, 10.0);
    EXPECT_EQ(dynamics.DayCells(0)[1].opening, 10.0);
    EXPECT_EQ(dynamics.DayCells(0)[2].opening, 15.0);

    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0].owner, (HWND)NULL);
    EXPECT_EQ(g_opened[0].verb, "open");
    EXPECT_EQ(g_opened[0].file, "GoodsDinamic.html");
    EXPECT_TRUE(g_opened[0].noParameters);
    EXPECT_TRUE(g_opened[0].noDirectory);
    EXPECT_EQ(g_opened[0].show, SW_SHOW);
}

TEST_F(DynamicsReportTest, QuietDaysRepeatTheStockAndOversellingGoesNegative)
{
    store.AddMove(D(10, 1, 5), 1, 1, 4, 0, 4, 0);
    store.AddMove(D(11, 1, 5), 2, 1, 1, 0, 1, 0);      // a date goods 1 does not move on
    store.AddMove(D(12, 1, 5), 1, 1, 0.5, 6.25, 0, 1);  // unpriced supply, priced sale
    BuildDynamics(0);
    ASSERT_EQ(dynamics.RowCount(), 2);

    EXPECT_TRUE(WriteDynamicsReport(dynamics, 0));
    EXPECT_EQ(Escaped(Report()),
              Escaped(std::string(kHead) + Day("10.01.05", "0.00", "4.00", "0.00", "4.00") +
                      Day("11.01.05", "4.00", "0.00", "0.00", "4.00") +
                      Day("12.01.05", "4.50", "0.00", "6.25", "-1.75") + kTail));
}

TEST_F(DynamicsReportTest, ASecondReportReplacesTheFirstAndOpensAgain)
{
    store.AddMove(D(1, 1, 4), 1, 1, 2, 0, 2, 0);
    store.AddMove(D(1, 1, 4), 2, 1, 3, 0, 3, 0);
    BuildDynamics(0);
    ASSERT_TRUE(WriteBytes(scratch.File("GoodsDinamic.html"), std::string(5000, 'x')));
    EXPECT_TRUE(WriteDynamicsReport(dynamics, 0));
    EXPECT_TRUE(WriteDynamicsReport(dynamics, 1));
    EXPECT_EQ(Escaped(Report()),
              Escaped(std::string(kHead) + Day("01.01.04", "0.00", "3.00", "0.00", "3.00") + kTail));
    EXPECT_EQ(g_opened.size(), 2u);
}

TEST_F(DynamicsReportTest, NoRowNoFile)
{
    store.AddMove(D(1, 1, 4), 1, 1, 2, 0, 2, 0);
    BuildDynamics(0);
    EXPECT_FALSE(WriteDynamicsReport(dynamics, -1));
    EXPECT_FALSE(WriteDynamicsReport(dynamics, 1));
    EXPECT_FALSE(FileThere(scratch.File("GoodsDinamic.html")));
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(DynamicsReportTest, AFileThatCannotBeCreatedIsNotOpened)
{
    store.AddMove(D(1, 1, 4), 1, 1, 2, 0, 2, 0);
    BuildDynamics(0);
    ASSERT_TRUE(CreateDirectoryA(scratch.File("GoodsDinamic.html").c_str(), NULL));
    EXPECT_FALSE(WriteDynamicsReport(dynamics, 0));
    EXPECT_TRUE(g_opened.empty());
    RemoveDirectoryA(scratch.File("GoodsDinamic.html").c_str());
}

}  // namespace

// A long calendar: the file holds every day in order, written in a few large
// writes (not one per piece), byte for byte as the layout gives it.
namespace {

TEST_F(DynamicsReportTest, ALongCalendarIsOneFileOfEveryDayWrittenInFewWrites)
{
    // 400 dates, a priced supply of goods 1 of one unit on each: day k opens
    // with k units and closes with k + 1.
    std::string expected = kHead;
    for (int k = 0; k < 400; ++k) {
        int day = 1 + k % 28, month = 1 + (k / 28) % 12, year = 4 + k / 336;
        store.AddMove(D(day, month, year), 1, 1, 1, 0, 7, 0);
        char date[16], opening[16], closing[16];
        snprintf(date, sizeof(date), "%02d.%02d.%02d", day, month, year);
        snprintf(opening, sizeof(opening), "%d.00", k);
        snprintf(closing, sizeof(closing), "%d.00", k + 1);
        expected += Day(date, opening, "1.00", "0.00", closing);
    }
    expected += kTail;
    BuildDynamics(0);
    ASSERT_EQ(dynamics.RowCount(), 1);
    ASSERT_EQ(dynamics.CalendarCount(), 400);

    FileFaults faults;
    EXPECT_TRUE(WriteDynamicsReport(dynamics, 0));
    EXPECT_EQ(Escaped(expected), Escaped(Report()));
    // Created once, then whole buffers: the 40,421 bytes in two writes.
    EXPECT_EQ("cww", faults.Log());
}

// Write errors are ignored as they always were: a failing write loses its
// bytes, the rest still goes out and the file is opened.
TEST_F(DynamicsReportTest, AFailingWriteIsIgnoredAndTheReportStillOpens)
{
    store.AddMove(D(1, 1, 4), 1, 1, 2, 0, 2, 0);
    BuildDynamics(0);
    FileFaults faults;
    faults.Arm(2);   // the first write
    EXPECT_TRUE(WriteDynamicsReport(dynamics, 0));
    EXPECT_TRUE(faults.Fired());
    EXPECT_EQ(1u, g_opened.size());
}

}  // namespace
