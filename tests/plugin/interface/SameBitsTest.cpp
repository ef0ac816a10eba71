// The plug-in's doubles are IEEE double arithmetic in every build, and it leaves
// the calling thread's floating-point state as it found it.
//
// The fed values are ones whose goods figures and report balances come out
// differently when intermediates keep the x87's 64-bit significand (long double
// here, in both builds) instead of being rounded to double at every operation:
// a build that computes on the x87 saves other bits. CrossBuild.* also copies
// the list files and every report out (ORVEX_LIST_IMAGE_DIR), so that the
// x86_64 and the i686 build's files can be compared byte for byte.
#include "OrvexHostFixture.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

uint32_t Day(int k)
{
    return (uint32_t)(1 + k) | 3u << 8 | 24u << 16;   // 01.03.24 + k
}

// One supply (suppliedQty, supplyValue) on day 0 and one sale (soldQty,
// saleValue) on day 1: markup = (sale price - purchase price) / purchase price.
struct MarkupCase { double suppliedQty, supplyValue, soldQty, saleValue; };
const MarkupCase kMarkup[] = {
    {38.944, 4460.05, 7.363, 2078.46},  {6.188, 102.58, 19.788, 593.18},   {35.046, 1247.78, 16.272, 617.08},
    {39.041, 4393.40, 27.751, 3274.52}, {19.408, 622.61, 9.090, 2202.55},  {5.655, 1567.25, 4.314, 2734.47},
};
// A supply of 1 for 100 on day 0, then (suppliedQty, supplyValue) on day 2: the
// last purchase price is one division.
struct LastPriceCase { double suppliedQty, supplyValue; };
const LastPriceCase kLastPrice[] = {
    {3.791, 2586.08}, {7.305, 3569.40}, {17.815, 2052.81}, {8.964, 4494.52}, {38.341, 3220.21}, {38.371, 4289.09},
};
// Two supplies, days 0 and 1: the average purchase price is a sum over a sum;
// the sums are exact, the one division rounds twice on the x87.
struct AverageCase { double qty1, value1, qty2, value2; };
const AverageCase kAverage[] = {
    {30.405, 3140.79, 18.961, 2697.17}, {14.311, 3802.19, 23.494, 2808.43}, {33.993, 2700.13, 4.436, 4398.88},
    {21.129, 1009.86, 4.782, 1007.82},  {17.967, 2064.31, 31.030, 3298.27}, {38.978, 1314.75, 20.278, 417.25},
};
// A counted balance on day 0, then a priced supply and a priced sale on each of
// days 0 to 3: the report's opening and closing balances are chains of sums
// whose "%.2f" shows the last bits.
struct BalanceCase { double balance, receipt[4], expense[4]; };
const BalanceCase kBalances[] = {
    {33.156, {30.506, 30.230, 20.507, 34.287}, {20.009, 9.525, 3.900, 16.731}},
    {4.357, {4.741, 19.420, 2.059, 25.165}, {39.740, 39.168, 5.054, 4.414}},
    {6.527, {24.907, 33.722, 8.409, 26.720}, {37.873, 11.074, 17.306, 40.277}},
    {4.214, {10.586, 38.871, 12.775, 22.237}, {8.017, 14.987, 30.617, 34.757}},
    {17.947, {22.757, 16.379, 8.054, 11.229}, {27.611, 40.924, 36.802, 21.864}},
    {8.928, {26.400, 12.640, 39.086, 4.927}, {2.873, 13.122, 35.171, 26.720}},
};
const int kMarkupCount = sizeof(kMarkup) / sizeof(kMarkup[0]);
const int kLastPriceCount = sizeof(kLastPrice) / sizeof(kLastPrice[0]);
const int kAverageCount = sizeof(kAverage) / sizeof(kAverage[0]);
const int kBalanceCount = sizeof(kBalances) / sizeof(kBalances[0]);

// The figures as the plug-in defines them, in double (the reference) or with
// every intermediate in long double (what the x87 unit keeps in its registers).
template <class T>
double Markup(const MarkupCase& c)
{
    T purchase = (T)c.supplyValue / c.suppliedQty, sale = (T)c.saleValue / c.soldQty;
    return (double)((sale - purchase) / purchase);
}
template <class T>
double LastPrice(const LastPriceCase& c)
{
    return (double)((T)c.supplyValue / c.suppliedQty);
}
template <class T>
double Average(const AverageCase& c)
{
    return (double)(((T)c.value1 + c.value2) / ((T)c.qty1 + c.qty2));
}
// The report's rows of one goods item: opening(0) = balance, opening(k) =
// ((opening(k-1) + receipt(k-1)) - expense(k-1)), closing = (receipt + opening) - expense.
template <class T>
std::string ReportRows(const BalanceCase& c)
{
    std::string rows;
    T opening = 0;
    for (int k = 0; k < 4; ++k) {
        opening = k == 0 ? (T)c.balance : (opening + c.receipt[k - 1]) - c.expense[k - 1];
        T closing = (c.receipt[k] + opening) - c.expense[k];
        char row[200];
        snprintf(row, sizeof(row),
                 "<tr align=\"center\">\r\n<td>%.2d.03.24</td><td>%.2f</td><td>%.2f</td><td>%.2f</td><td>%.2f</td></tr>\r\n",
                 1 + k, (double)opening, c.receipt[k], c.expense[k], (double)closing);
        rows += row;
    }
    return rows;
}

uint64_t Bits(const std::string& bytes, size_t offset)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | (unsigned char)bytes.at(offset + i);
    return value;
}

uint64_t Bits(double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// Goods in this order: markup, last price, average, balance cases. All are
// delivered by supplier S1, so its dynamics lists every one of them.
void FeedAwkwardFigures(IOrvexPlugin* plugin)
{
    const int goodsCount = kMarkupCount + kLastPriceCount + kAverageCount + kBalanceCount;
    for (int g = 1; g <= goodsCount; ++g) {
        char code[16];
        snprintf(code, sizeof(code), "F%d", g);
        ASSERT_TRUE(plugin->AddGoods(0, code, "Товар", 0, 0, 0, "", 0));
    }
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", 0, 0, 0));
    const int32_t s1 = plugin->FindSupplierId("S1");
    int32_t g = 1;
    for (const MarkupCase& c : kMarkup) {
        ASSERT_TRUE(plugin->AddMove(Day(0), g, s1, c.suppliedQty, 0, c.supplyValue, 0));
        ASSERT_TRUE(plugin->AddMove(Day(1), g++, 0, 0, c.soldQty, 0, c.saleValue));
    }
    for (const LastPriceCase& c : kLastPrice) {
        ASSERT_TRUE(plugin->AddMove(Day(0), g, s1, 1, 0, 100, 0));
        ASSERT_TRUE(plugin->AddMove(Day(2), g++, s1, c.suppliedQty, 0, c.supplyValue, 0));
    }
    for (const AverageCase& c : kAverage) {
        ASSERT_TRUE(plugin->AddMove(Day(0), g, s1, c.qty1, 0, c.value1, 0));
        ASSERT_TRUE(plugin->AddMove(Day(1), g++, s1, c.qty2, 0, c.value2, 0));
    }
    for (const BalanceCase& c : kBalances) {
        char code[16];
        snprintf(code, sizeof(code), "F%d", g);
        ASSERT_TRUE(plugin->AddBalance(Day(0), 0, code, c.balance));
        for (int k = 0; k < 4; ++k) {
            ASSERT_TRUE(plugin->AddMove(Day(k), g, s1, c.receipt[k], 0, 10 + k, 0));
            ASSERT_TRUE(plugin->AddMove(Day(k), g, 0, 0, c.expense[k], 0, 20 + k));
        }
        ++g;
    }
    ASSERT_TRUE(plugin->RefreshLists());
    ASSERT_TRUE(plugin->SaveLists());
}

// The helper's premise: every case rounds differently when intermediates keep
// 64 significant bits (in this build's long double) than in double arithmetic.
TEST(CrossBuildValues, EveryCaseComesOutDifferentlyInExtendedPrecision)
{
    ASSERT_EQ(64, __LDBL_MANT_DIG__);
    for (const MarkupCase& c : kMarkup)
        EXPECT_NE(Markup<double>(c), Markup<long double>(c)) << c.suppliedQty;
    for (const LastPriceCase& c : kLastPrice)
        EXPECT_NE(LastPrice<double>(c), LastPrice<long double>(c)) << c.suppliedQty;
    for (const AverageCase& c : kAverage) {
        EXPECT_NE(Average<double>(c), Average<long double>(c)) << c.qty1;
        EXPECT_EQ((long double)(c.value1 + c.value2), (long double)c.value1 + c.value2) << c.qty1;
        EXPECT_EQ((long double)(c.qty1 + c.qty2), (long double)c.qty1 + c.qty2) << c.qty1;
    }
    for (const BalanceCase& c : kBalances)
        EXPECT_NE(ReportRows<double>(c), ReportRows<long double>(c)) << c.balance;
}

using CrossBuild = OrvexHost;

TEST_F(CrossBuild, FiguresAndReportsOfAwkwardValuesAreDoubleArithmetic)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    FeedAwkwardFigures(plugin);
    if (HasFatalFailure())
        return;

    const char* const* names = kListFileNames;
    std::string files[4];
    TakeListFiles(files);
    if (HasFatalFailure())
        return;
    const std::string& goods = files[0];
    const int goodsCount = kMarkupCount + kLastPriceCount + kAverageCount + kBalanceCount;
    ASSERT_EQ(672u * goodsCount, goods.size());
    size_t at = 0;
    for (const MarkupCase& c : kMarkup) {
        EXPECT_EQ(Bits(Markup<double>(c)), Bits(goods, at + 336)) << "markup of goods " << 1 + at / 672;
        at += 672;
    }
    for (const LastPriceCase& c : kLastPrice) {
        EXPECT_EQ(Bits(LastPrice<double>(c)), Bits(goods, at + 352)) << "last price of goods " << 1 + at / 672;
        at += 672;
    }
    for (const AverageCase& c : kAverage) {
        EXPECT_EQ(Bits(Average<double>(c)), Bits(goods, at + 304)) << "average price of goods " << 1 + at / 672;
        at += 672;
    }

    // The dynamics of S1: every goods item a row; each row's report.
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    SendMessageA(GetDlgItem(strip, 1011), CB_SETCURSEL, 0, 0);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    HWND list = DynamicsList();
    ASSERT_EQ(goodsCount, Rows(list));
    std::vector<std::string> reports;
    for (int row = 0; row < goodsCount; ++row) {
        SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
        Pump();
        const size_t opened = OpenRequests().size();
        ClickRow(list, row, true);
        ASSERT_EQ(opened + 1, OpenRequests().size()) << "row " << row;
        std::string report;
        ASSERT_TRUE(ReadBytes(scratch.File("GoodsDinamic.html"), &report));
        reports.push_back(report);
    }
    const int firstBalance = goodsCount - kBalanceCount;
    for (int i = 0; i < kBalanceCount; ++i) {
        const std::string& report = reports[firstBalance + i];
        const std::string rows = ReportRows<double>(kBalances[i]);
        EXPECT_NE(std::string::npos, report.find("</th></tr>\r\n" + rows + "</table>"))
            << "balance case " << i << ":\n" << Escaped(rows) << "\nin\n" << Escaped(report);
    }

    if (const char* out = getenv("ORVEX_LIST_IMAGE_DIR")) {
        std::string folder = std::string(out) + "\\awkward";
        CreateDirectoryA(folder.c_str(), NULL);
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(WriteBytes(folder + "\\" + names[i], files[i])) << folder;
        for (size_t row = 0; row < reports.size(); ++row) {
            char name[40];
            snprintf(name, sizeof(name), "\\GoodsDinamic-%02u.html", (unsigned)row);
            ASSERT_TRUE(WriteBytes(folder + name, reports[row])) << folder;
        }
    }
}

// The calling thread's x87 control word and MXCSR, status flags left out.
uint16_t X87Control()
{
    uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void SetX87Control(uint16_t word)
{
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

uint32_t MxcsrControl()
{
    uint32_t word;
    __asm__ __volatile__("stmxcsr %0" : "=m"(word));
    return word & ~0x3Fu;
}

void SetMxcsr(uint32_t word)
{
    __asm__ __volatile__("ldmxcsr %0" : : "m"(word));
}

// A host built with another compiler runs with its own settings: the x87 at a
// 53-bit significand (as Windows starts 32-bit threads), and here SSE with
// flush-to-zero. Put back whatever happens.
class HostFloatState
{
public:
    static constexpr uint16_t kX87 = 0x027F;
    static constexpr uint32_t kMxcsr = 0x9F80;
    HostFloatState() : m_x87(X87Control()), m_mxcsr(MxcsrControl())
    {
        SetX87Control(kX87);
        SetMxcsr(kMxcsr);
    }
    ~HostFloatState()
    {
        SetX87Control(m_x87);
        SetMxcsr(m_mxcsr);
    }
private:
    uint16_t m_x87;
    uint32_t m_mxcsr;
};

using FloatState = OrvexHost;

TEST_F(FloatState, ThePlugInLeavesTheHostThreadsControlWordsAsTheyWere)
{
    HostFloatState state;
    auto expectUnchanged = [](const char* after) {
        EXPECT_EQ(HostFloatState::kX87, X87Control()) << "x87 control word after " << after;
        EXPECT_EQ(HostFloatState::kMxcsr, MxcsrControl()) << "MXCSR after " << after;
    };
    ASSERT_TRUE(Load());
    expectUnchanged("loading the library and GetInterface");
    ASSERT_TRUE(Attach());
    expectUnchanged("AttachHost");
    ASSERT_TRUE(plugin->ShowPlugin());
    expectUnchanged("ShowPlugin");
    FeedAwkwardFigures(plugin);
    expectUnchanged("the add operations, RefreshLists and SaveLists");
    for (const char* name : {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"})
        DeleteFileA(name);
    ClickTab(4);
    HWND strip = DynamicsStrip();
    ASSERT_NE(nullptr, strip);
    SendMessageA(GetDlgItem(strip, 1024), BM_CLICK, 0, 0);
    Pump();
    ASSERT_LT(0, Rows(DynamicsList()));
    expectUnchanged("building the dynamics");
    ClickRow(DynamicsList(), 0, true);
    ASSERT_EQ(1u, OpenRequests().size());
    expectUnchanged("writing the report");
    ASSERT_TRUE(Unload());
    expectUnchanged("unloading the library");
}

}  // namespace
