// The goods list as spreadsheets save it: the reader's rules cell by cell, the
// text brought to code page 1251, and every accepted form of one goods list
// converting to the same four tables as its plain form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "GoodsList.h"
#include "ReportConverter.h"
#include "TestSupport.h"
#include "ZorbRows.h"

namespace {

using zorb::Encode;

#define EXPECT_BYTES(expected, actual) EXPECT_EQ(Escaped(expected), Escaped(actual))

// The reader's rules --------------------------------------------------------

struct Cell
{
    int row;
    int column;
    std::string text;
    bool endOfRow;
};

std::string Describe(const std::vector<Cell>& cells)
{
    std::string out;
    for (const Cell& c : cells)
        out += std::to_string(c.row) + "," + std::to_string(c.column) + (c.endOfRow ? " end " : " ") + "[" +
               Escaped(c.text) + "]\n";
    return out;
}

struct Recorder : ITableReceiver
{
    std::vector<Cell> cells;
    std::vector<int> lengths;
    int refuseAt = -1;
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        cells.push_back({ row, column, cell, endOfRow });
        lengths.push_back(length);
        return (int)cells.size() != refuseAt;
    }
};

std::vector<Cell> Read(const std::string& text, bool* result = NULL)
{
    std::string buffer = text;
    Recorder r;
    const bool ok = ReadGoodsList(&buffer[0], (int)buffer.size(), &r, NULL);
    if (result)
        *result = ok;
    return r.cells;
}

struct ReaderCase
{
    const char* what;
    std::string text;
    std::vector<Cell> cells;
};

TEST(GoodsListReader, SplitsCellsAsTheRulesSay)
{
    const ReaderCase cases[] = {
        { "CR LF lines", "a;b\r\nc", { { 0, 0, "a", false }, { 0, 1, "b", true }, { 1, 0, "c", true } } },
        { "LF lines", "a;b\nc;d\n", { { 0, 0, "a", false }, { 0, 1, "b", true }, { 1, 0, "c", false }, { 1, 1, "d", true } } },
        { "a lone CR ends a line too", "a\rb", { { 0, 0, "a", true }, { 1, 0, "b", true } } },
        { "empty lines make no rows", "a\n\n\r\n\nb", { { 0, 0, "a", true }, { 1, 0, "b", true } } },
        { "control bytes at a line's start are skipped", "a\r\n\t\x01 b",
          { { 0, 0, "a", true }, { 1, 0, " b", true } } },
        { "a text beginning with a line end", "\r\na", { { 0, 0, "", true }, { 1, 0, "a", true } } },
        { "a final line end opens no row", "a\r\n", { { 0, 0, "a", true } } },
        { "a final separator opens an empty cell", "a;", { { 0, 0, "a", false }, { 0, 1, "", true } } },
        { "trailing spaces go, leading ones stay", "  x  ;y ", { { 0, 0, "  x", false }, { 0, 1, "y", true } } },
        { "a separator inside quotes is text", "\"a;b\";c",
          { { 0, 0, "a;b", false }, { 0, 1, "c", true } } },
        { "two quotes in a row are one", "\"ООО \"\"Ромашка\"\"\";x",
          { { 0, 0, "ООО \"Ромашка\"", false }, { 0, 1, "x", true } } },
        { "a quote inside a cell is text", "ab\"c;d", { { 0, 0, "ab\"c", false }, { 0, 1, "d", true } } },
        { "an empty quoted field", "\"\";\"\"\"\"", { { 0, 0, "", false }, { 0, 1, "\"", true } } },
        { "text after the closing quote is added", "\"ab\"c d;e", { { 0, 0, "abc d", false }, { 0, 1, "e", true } } },
        { "spaces after the closing quote go", "\"ab\"   ;e", { { 0, 0, "ab", false }, { 0, 1, "e", true } } },
        { "trailing spaces inside quotes go too", "\"ab  \";e", { { 0, 0, "ab", false }, { 0, 1, "e", true } } },
        { "a space before the quote: no quoted field", " \"a;b\"",
          { { 0, 0, " \"a", false }, { 0, 1, "b\"", true } } },
        { "line ends inside quotes become spaces", "\"a\r\nb\nc\";d\r\ne",
          { { 0, 0, "a b c", false }, { 0, 1, "d", true }, { 1, 0, "e", true } } },
        { "a quoted last cell without a line end", "a;\"b;c\"", { { 0, 0, "a", false }, { 0, 1, "b;c", true } } },
        // Only doubled quotes can follow a quote that nothing closes; read as
        // a quoted field, the second line's first cell would be c"".
        { "a quote never closed is text, and so is every later quote", "\"a;b\r\n\"\"c\"\";d",
          { { 0, 0, "\"a", false }, { 0, 1, "b", true }, { 1, 0, "\"\"c\"\"", false }, { 1, 1, "d", true } } },
    };
    for (const ReaderCase& c : cases) {
        bool result = false;
        std::vector<Cell> cells = Read(c.text, &result);
        EXPECT_EQ(Describe(c.cells), Describe(cells)) << c.what;
        EXPECT_TRUE(result) << c.what;
    }
}

TEST(GoodsListReader, TheLengthIsTakenBeforeTrimming)
{
    std::string text = "x  ;\"ab\"\"c  \"  ;d";
    Recorder r;
    ASSERT_TRUE(ReadGoodsList(&text[0], (int)text.size(), &r, NULL));
    ASSERT_EQ(3u, r.lengths.size());
    EXPECT_EQ(3, r.lengths[0]);   // "x  "
    EXPECT_EQ(8, r.lengths[1]);   // ab"c and four spaces, unquoted
    EXPECT_EQ(1, r.lengths[2]);
}

TEST(GoodsListReader, ARefusedCellOrAnEmptyTextIsFalse)
{
    std::string text = "a;b\r\nc;d\r\n";
    Recorder r;
    r.refuseAt = 2;
    EXPECT_FALSE(ReadGoodsList(&text[0], (int)text.size(), &r, NULL));
    EXPECT_EQ(2u, r.cells.size());   // nothing after the refusal
    std::string empty;
    empty.reserve(1);
    Recorder none;
    EXPECT_FALSE(ReadGoodsList(&empty[0], 0, &none, NULL));
    EXPECT_TRUE(none.cells.empty());
}

// Code page 1251 -------------------------------------------------------------

TEST(GoodsListText, TheCodePageTableIsTheSystemsOwn)
{
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (b == 0x98)
            continue;   // no character in code page 1251
        const char byte = (char)b;
        wchar_t wide = 0;
        ASSERT_EQ(1, MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1)) << b;
        EXPECT_EQ(b, CodePage1251Byte(wide)) << std::hex << b;
    }
    EXPECT_EQ(-1, CodePage1251Byte(0x98));
    EXPECT_EQ(-1, CodePage1251Byte(0x2713));
    EXPECT_EQ(-1, CodePage1251Byte(0x1F600));
    EXPECT_EQ('A', CodePage1251Byte('A'));
}

struct TextCase
{
    const char* what;
    std::string bytes;
    std::string expected;   // code page 1251
    int unmapped;
};

TEST(GoodsListText, UTF8IsBroughtToCodePage1251AndOtherTextsStayAsTheyAre)
{
    const std::string bolt1251 = "\xC1\xEE\xEB\xF2";                       // "Болт"
    const std::string boltUtf8 = "\xD0\x91\xD0\xBE\xD0\xBB\xD1\x82";       // "Болт"
    const TextCase cases[] = {
        { "code page 1251 stays", bolt1251 + ";1", bolt1251 + ";1", 0 },
        { "UTF-8 with its mark", "\xEF\xBB\xBF" + boltUtf8 + ";1", bolt1251 + ";1", 0 },
        { "UTF-8 without a mark", boltUtf8 + ";1", bolt1251 + ";1", 0 },
        { "ASCII with a mark loses the mark", "\xEF\xBB\xBF" "A1;x", "A1;x", 0 },
        { "ASCII without a mark stays", "A1;x", "A1;x", 0 },
        { "signs that code page 1251 has", "\xE2\x84\x96 \xE2\x82\xAC \xC2\xAB\xC2\xBB \xC2\xA0",
          "\xB9 \x88 \xAB\xBB \xA0", 0 },
        { "characters it lacks become ? and are counted",
          "\xEF\xBB\xBF" "a\xE2\x9C\x93" "b\xF0\x9F\x98\x80" "c\xE4\xB8\xAD", "a?b?c?", 3 },
        { "not valid UTF-8 without a mark: left as it is", boltUtf8 + "\xE0;", boltUtf8 + "\xE0;", 0 },
        { "an overlong form is not valid UTF-8", "\xC0\x80\xD0\x91", "\xC0\x80\xD0\x91", 0 },
        { "with a mark, each invalid byte becomes ?", "\xEF\xBB\xBF" "\xD0\x91\xFF\xD0", "\xC1??", 2 },
        // The rule's known blind spot: code page 1251 text that is valid
        // UTF-8 by chance ("Р°" is the UTF-8 form of "а").
        { "1251 text that happens to be valid UTF-8", "\xD0\xB0", "\xE0", 0 },
        { "only the mark", "\xEF\xBB\xBF", "", 0 },
    };
    for (const TextCase& c : cases) {
        std::string buffer = c.bytes;
        int unmapped = -1;
        const int length = GoodsListTo1251(&buffer[0], (int)buffer.size(), &unmapped);
        ASSERT_GE(length, 0) << c.what;
        EXPECT_BYTES(c.expected, buffer.substr(0, (size_t)length)) << c.what;
        EXPECT_EQ(0, buffer.c_str()[length]) << c.what;
        EXPECT_EQ(c.unmapped, unmapped) << c.what;
    }
}

// Every form of one goods list ----------------------------------------------

std::wstring MoveRow(const std::wstring& date, const std::wstring& kind, const std::wstring& partner,
                     const std::wstring& name, const std::wstring& qty, const std::wstring& sum)
{
    std::wstring cells[zorb::kColumns] = { L"", L"", L"шт ", L"", L"", L"6", L"7", L"8",
                                           L"9", L"10", L"11", L"", L"13", L"14", L"15", L"", L"17" };
    zorb::PlaceMove(cells, date, kind + L"   ", partner + L" ", name + L"  ", L"   " + qty, L"    " + sum);
    return zorb::TableRow(cells, L'│');
}

// The report, with its quantities and sums as given (code page 866).
std::string Report(const wchar_t* const (&qty)[4], const wchar_t* const (&sum)[4])
{
    std::wstring report =
        L"                 Движение товаров по складу\r\n"
        L"┌────────┬──────────────────────┬──┬───┬──────────┬─┬─┬─┬─┬──┬──┬─────────┬──┬──┬──┬─────────┬──┐\r\n"
        L"│  Дата  │ Вид движения         │Ед│Код│Контрагент│ …│  │  │  │  │  │Кол-во   │  │  │  │Сумма    │  │\r\n"
        L"├────────┼──────────────────────┼──┼───┼──────────┼─┼─┼─┼─┼──┼──┼─────────┼──┼──┼──┼─────────┼──┤\r\n";
    report += L"│.......... 1 A1 Болт М6                │\r\n";
    report += MoveRow(L"01.03.05", L"+Приход от поставщика.", L"101", L"ООО Крепёж", qty[0], sum[0]);
    report += MoveRow(L"02.03.05", L"-Отгрузка.", L"501", L"Иванов", qty[1], sum[1]);
    report += L"│.......... 2 B7 Гайка                  │\r\n";
    report += MoveRow(L"02.03.05", L"+Приход от поставщика.", L"205", L"Метиз-Торг", qty[2], sum[2]);
    report += L"│.......... 3 C3 Шайба                  │\r\n";
    report += MoveRow(L"03.03.05", L"+Приход от поставщика.", L"101", L"ООО Крепёж", qty[3], sum[3]);
    report +=
        L"└────────┴──────────────────────┴──┴───┴──────────┴─┴─┴─┴─┴──┴──┴─────────┴──┴──┴──┴─────────┴──┘\r\n"
        L" Главный бухгалтер ____________\r\n";
    return Encode(report, 866);
}

const wchar_t* const kQuantities[4] = { L"2.000", L"1.000", L"4.000", L"0.500" };
const wchar_t* const kSums[4] = { L"2469.00", L"1500.00", L"11.00", L"1.00" };

// The plain form: code page 1251, CR LF, decimal points; fields that hold a
// separator or a quote quoted, as a spreadsheet quotes them.
const wchar_t kPlainGoods[] =
    L"Код;Наименование;Поставщик;Цена;Вес;Примечание\r\n"
    L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1234.5;0.25;\r\n"
    L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2.75;1500;\r\n"
    L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12345678.9;0;\r\n";

// Its tables, worked out by hand: DIN is the price times the quantity
// (1234.5 x 2, 2.75 x 4, 12345678.9 x 0.5); the outgoing move's DOUT is the
// report's sum; the three days have moves, so no fictive rows.
const char kSuppliers[] = "ID|Name\r\nООО \"Крепёж\"|ООО \"Крепёж\"\r\nЗАО Метиз-Торг|ЗАО Метиз-Торг\r\n";
const char kBuyers[] = "ID|Name\r\n501|Иванов\r\n";
const char kPositions[] = "ID|Name\r\n"
                          "A1|Болт М6; оцинк.|||||||1234.50000|0.25000\r\n"
                          "B7|Гайка \"М8\"|||||||2.75000|1500.00000\r\n"
                          "C3|Шайба|||||||12345678.90000|0.00000\r\n";
const char kMoves[] = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
                      "01.03.05|A1|ООО \"Крепёж\"|2.00000||2469.00000||\r\n"
                      "02.03.05|A1|501||1.00000||1500.00000|\r\n"
                      "02.03.05|B7|ЗАО Метиз-Торг|4.00000||11.00000||\r\n"
                      "03.03.05|C3|ООО \"Крепёж\"|0.50000||6172839.45000||\r\n";

std::string Console(const std::string& afterGoods)
{
    return "\r\nImport moves type ... (4) Ok\r\n"
           "Import positions ... (3) Ok\r\n" +
           afterGoods +
           "Import moves ... (4) Ok\r\n"
           "Start date: 01.03.05\r\n"
           "End date: 03.03.05\r\n"
           "\r\nExport: \r\n"
           " SupplierList by pos ... Ok\r\n"
           " BuyersList ... Ok\r\n"
           " GoodsList ... Ok\r\n"
           " MovesList ...  added 0 fictive moves Ok\r\n"
           "\r\nProgram ended ... ";
}

// A converter run in a folder of its own: the console and the four tables.
struct FormRun
{
    ScratchDir dir;
    CurrentDir cwd{ dir.Path() };
    std::string console;
    bool result = false;
    CReportConverter::ExitCode exitCode = CReportConverter::ExitOk;

    void Convert(const std::string& goods, const std::string& report)
    {
        ASSERT_TRUE(WriteBytes(dir.File("Номенкл.csv"), goods));
        ASSERT_TRUE(WriteBytes(dir.File("ZORB_MVS.txt"), report));
        CFileFunctions files;
        CDelimitedTextReader reader(files);
        CReportConverter conv(files, reader);
        ConsoleCapture capture;
        result = conv.Run("Номенкл.csv", "ZORB_MVS.txt");
        exitCode = conv.LastExitCode();
        console = capture.Text();
    }
    std::string File(const char* name)
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(dir.File(name), &bytes)) << name;
        return bytes;
    }
    void ExpectTheTables(const std::string& what)
    {
        EXPECT_BYTES(kSuppliers, File("Suppliers.txt")) << what;
        EXPECT_BYTES(kBuyers, File("Buyers.txt")) << what;
        EXPECT_BYTES(kPositions, File("Positions.txt")) << what;
        EXPECT_BYTES(kMoves, File("Moves.txt")) << what;
    }
};

enum Encoding { Cp1251, Utf8WithMark, Utf8 };

struct GoodsForm
{
    const char* what;
    Encoding encoding;
    const wchar_t* text;
    const char* afterGoods;   // the console line after the goods list's
};

std::string Encoded(const GoodsForm& form)
{
    switch (form.encoding) {
    case Utf8WithMark: return "\xEF\xBB\xBF" + Encode(form.text, CP_UTF8);
    case Utf8: return Encode(form.text, CP_UTF8);
    default: return Encode(form.text, 1251);
    }
}

const wchar_t kHeader[] = L"Код;Наименование;Поставщик;Цена;Вес;Примечание\r\n";

TEST(GoodsListForms, EveryFormGivesThePlainFormsTables)
{
    const std::wstring commaRows = L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1234,5;0,25;\r\n"
                                   L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2,75;1500;\r\n"
                                   L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12345678,9;0;\r\n";
    const std::wstring comma = kHeader + commaRows;
    const std::wstring spaceGroups = std::wstring(kHeader) +
                                     L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1 234,5;0,25;\r\n"
                                     L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2,75;1 500;\r\n"
                                     L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12 345 678,9;0;\r\n";
    const std::wstring noBreakGroups = std::wstring(kHeader) +
                                       L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1\u00A0234,5;0,25;\r\n"
                                       L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2,75;1\u00A0500;\r\n"
                                       L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12\u00A0345\u00A0678,9;0;\r\n";
    const std::wstring pointGroups = std::wstring(kHeader) +
                                     L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1 234.5;0.25;\r\n"
                                     L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2.75;1 500;\r\n"
                                     L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12 345 678.9;0;\r\n";
    const std::wstring allQuoted = L"\"Код\";\"Наименование\";\"Поставщик\";\"Цена\";\"Вес\";\"Примечание\"\r\n"
                                   L"\"A1\";\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";\"1 234,5\";\"0,25\";\"\"\r\n"
                                   L"\"B7\";\"Гайка \"\"М8\"\"\";\"ЗАО Метиз-Торг\";\"2,75\";\"1500\";\"\"\r\n"
                                   L"\"C3\"  ;\"Шайба\" ;\"ООО \"\"Крепёж\"\"\";\"12345678,9\";\"0\";\"\"\r\n";
    const std::wstring quotesAsText = std::wstring(kHeader) +
                                      L"A1;\"Болт М6; оцинк.\";ООО \"Крепёж\";1234.5;0.25;\r\n"
                                      L"B7;Гайка \"М8\";ЗАО Метиз-Торг;2.75;1500;\r\n"
                                      L"C3;Шайба;ООО \"Крепёж\";12345678.9;0;\r\n";
    std::wstring lineFeeds = kPlainGoods;
    for (size_t at = lineFeeds.find(L"\r\n"); at != std::wstring::npos; at = lineFeeds.find(L"\r\n", at))
        lineFeeds.erase(at, 1);
    std::wstring utf8LineFeeds = noBreakGroups;
    for (size_t at = utf8LineFeeds.find(L"\r\n"); at != std::wstring::npos; at = utf8LineFeeds.find(L"\r\n", at))
        utf8LineFeeds.erase(at, 1);
    // Characters without a form in code page 1251 in the notes column, which
    // no table shows: a check mark, a face (two UTF-16 units) and a hieroglyph.
    const std::wstring threeWithoutForm = std::wstring(kHeader) +
                                          L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1234,5;0,25;✓ проверено\r\n"
                                          L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2,75;1500;хит \U0001F600\r\n"
                                          L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12345678,9;0;№ 中\r\n";
    const std::wstring oneWithoutForm = std::wstring(kHeader) +
                                        L"A1;\"Болт М6; оцинк.\";\"ООО \"\"Крепёж\"\"\";1234,5;0,25;✓ €\r\n"
                                        L"B7;\"Гайка \"\"М8\"\"\";ЗАО Метиз-Торг;2,75;1500;«хит»\r\n"
                                        L"C3;Шайба;\"ООО \"\"Крепёж\"\"\";12345678,9;0;\r\n";

    const GoodsForm forms[] = {
        { "plain", Cp1251, kPlainGoods, "" },
        { "decimal commas", Cp1251, comma.c_str(), "" },
        { "digit groups with spaces", Cp1251, spaceGroups.c_str(), "" },
        { "digit groups with no-break spaces", Cp1251, noBreakGroups.c_str(), "" },
        { "digit groups and decimal points", Cp1251, pointGroups.c_str(), "" },
        { "every field quoted, spaces after some quotes", Cp1251, allQuoted.c_str(), "" },
        { "quotes inside unquoted fields are text", Cp1251, quotesAsText.c_str(), "" },
        { "LF line ends", Cp1251, lineFeeds.c_str(), "" },
        { "UTF-8 with its mark", Utf8WithMark, comma.c_str(), "" },
        { "UTF-8 without a mark", Utf8, spaceGroups.c_str(), "" },
        { "UTF-8 without a mark, LF, no-break spaces", Utf8, utf8LineFeeds.c_str(), "" },
        { "three characters without a form", Utf8WithMark, threeWithoutForm.c_str(),
          " 3 characters of the goods list have no form in code page 1251 and were written as '?' \r\n" },
        { "one character without a form", Utf8, oneWithoutForm.c_str(),
          " 1 character of the goods list has no form in code page 1251 and was written as '?' \r\n" },
    };
    const std::string report = Report(kQuantities, kSums);
    for (const GoodsForm& form : forms) {
        FormRun run;
        run.Convert(Encoded(form), report);
        EXPECT_TRUE(run.result) << form.what;
        EXPECT_EQ(CReportConverter::ExitOk, run.exitCode) << form.what;
        EXPECT_BYTES(Console(form.afterGoods), run.console) << form.what;
        run.ExpectTheTables(form.what);
    }
}

// The report's quantities and sums with decimal commas and digit groups (a
// no-break space in code page 866 is 0xFF, which decodes to 0xA0).
TEST(GoodsListForms, AReportWithDecimalCommasGivesTheSameTables)
{
    const wchar_t* const quantities[4] = { L"2,000", L"1,000", L"4,000", L"0,500" };
    const wchar_t* const sums[4] = { L"2 469,00", L"1\u00A0500,00", L"11,00", L"1,00" };
    FormRun run;
    run.Convert(Encode(kPlainGoods, 1251), Report(quantities, sums));
    EXPECT_TRUE(run.result);
    EXPECT_BYTES(Console(""), run.console);
    run.ExpectTheTables("comma report");
}

}  // namespace
