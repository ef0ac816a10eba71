// fromZORB.exe on one generated report of several thousand rows, every output
// byte compared with files kept in the repository (tests/converter/pinned).
//
// The report opens with hand-made rows whose lines are checked against their
// hand-worked text below; the generated rows that follow carry long partner
// names, cells past 1023 bytes, repeated and distinct texts and unresolved
// headers. Setting ORVEX_PIN_OUT to a folder copies the outputs there.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "ConsoleCapture.h"
#include "FileFaults.h"
#include "ReportConverter.h"
#include "TestSupport.h"
#include "ZorbRows.h"

#ifndef ORVEX_PINNED_DIR
#error ORVEX_PINNED_DIR names the folder of the kept outputs
#endif

namespace {

std::wstring Number(const wchar_t* format, int a, int b = 0)
{
    wchar_t buffer[64];
    _snwprintf(buffer, 63, format, a, b);
    buffer[63] = 0;
    return buffer;
}

std::wstring Move(const std::wstring& date, const std::wstring& kind, const std::wstring& partner,
                  const std::wstring& name, const std::wstring& qty, const std::wstring& sum)
{
    std::wstring cells[zorb::kColumns] = { L"", L"", L"шт", L"", L"", L"01", L"41", L"60", L"123", L"", L"",
                                           L"", L"", L"", L"", L"", L"" };
    zorb::PlaceMove(cells, date, kind + L"  ", L" " + partner, name + L" ", L"   " + qty, L"  " + sum);
    return zorb::TableRow(cells, L'│');
}

std::wstring Header(const std::wstring& text)
{
    return zorb::HeaderRow(text + L"      ", L'│');
}

const wchar_t kRule[] = L"├────────┼──────────────────────┼──┼───┼──────────┼──┼──┼──┼───┼──┼──┼──────────┼──┼──┼──┼──────────┼──┤\r\n";

// A goods code of 1,500 bytes: the goods list keeps its first 1,023.
std::string LongCode()
{
    std::string code = "LONG";
    while (code.size() < 1500)
        code += "0123456789";
    return code.substr(0, 1500);
}

std::wstring Widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

const wchar_t* const kSuppliers[] = { L"ООО Крепёж", L"ЗАО Метиз-Торг", L"ООО Северсталь-М", L"ИП Кузнецов",
                                      L"АО Уралметизы" };
const wchar_t* const kWords[] = { L"Болт", L"Гайка", L"Шайба", L"Винт", L"Саморез", L"Дюбель", L"Анкер" };
const wchar_t* const kKinds[] = { L"+Приход от поставщика.", L"-Отгрузка.", L"-Возврат поставщику.",
                                  L"+Возврат проданного.", L"*Перемещение." };

// Partner names of the buyers: codes 1000 and 1001 share a name, 1002 to 1004
// have one name each, 1005 and 1006 a new name on every row; the rest are long.
std::wstring BuyerName(int code, int row)
{
    switch (code) {
    case 1000:
    case 1001: return L"ИП Иванов И.И.";
    case 1002: return L"ООО Ремонт-Сервис";
    case 1003: return L"ЧП Сидоренко";
    case 1004: return L"ЗАО Фасад";
    case 1005:
    case 1006: return Number(L"Покупатель №%d (разовый, код %d)", row, code);
    case 1007: return std::wstring(300, L'Ж') + L" длинное имя";
    case 1008: return std::wstring(2000, L'я');           // cut at 1023
    case 1009: return std::wstring(1023, L'Ю');           // exactly the limit
    default:   return std::wstring(1023, L'ф') + L"Z";   // one byte past it
    }
}

struct Inputs
{
    std::string goods;
    std::string report;
};

Inputs MakeInputs()
{
    Inputs in;
    std::wstring goods = L"Код;Наименование;Поставщик;Цена;Вес\r\n"
                         L"A1;Болт М6;ООО Крепёж;2.5;0.01\r\n"
                         L"A12;Болт М12;ООО Крепёж;4;0.05\r\n"
                         L"B7;Гайка;ЗАО Метиз-Торг;1.25;0\r\n"
                         L"A12;Болт М12 дубль;Другой;9;9\r\n";
    goods += Widen(LongCode()) + L";" + std::wstring(1100, L'н') + L";" + std::wstring(1030, L'П') + L";0.5;1\r\n";

    std::wstring report = L"                 Движение товаров по складу\r\n";
    report += L"┌────────┬──────────────────────┬──┬───┬──────────┬──┬──┬──┬───┬──┬──┬──────────┬──┬──┬──┬──────────┬──┐\r\n";
    report += L"│  Дата  │ Вид движения         │Ед│Код│Контрагент│Ск│Сч│Кт│Дк │Nд│Пр│Кол-во    │Цн│НД│Ст│Сумма     │Пм│\r\n";
    report += kRule;

    // Hand-made rows (their lines are worked out in the test below).
    report += Header(L".......... 1 A123 Болт М12 особый");
    report += Move(L"01.03.05", kKinds[0], L"101", L"ООО Крепёж", L"10.000", L"50.00");
    report += Move(L"02.03.05", kKinds[1], L"501", L"Иванов", L"3.000", L"12.00");
    report += kRule;
    report += Header(L".......... 2 B7 Гайка");
    report += Move(L"04.03.05", kKinds[2], L"205", L"Метиз-Торг", L"2.000", L"2.50");
    report += Move(L"04.03.05", kKinds[3], L"501", L"Иванов И.", L"1.000", L"1.30");
    report += Move(L"05.03.05", kKinds[4], L"777", L"Склад", L"2.500", L"9.00");
    report += Header(L".......... 3 Z9 Нет в номенклатуре");
    report += Move(L"06.03.05", kKinds[1], L"778", L"Не попадёт", L"1.000", L"1.00");
    report += Header(L".......... 4 " + Widen(LongCode()) + L" хвост");
    report += Move(L"07.03.05", kKinds[1], L"502", L"Петров", L"1.000", L"1.00");
    report += Move(L"07.03.05", kKinds[2], L"206", L"Возврат", L"0.000", L"0.00");

    // Generated rows: 200 positions, 20 moves each, over 120 days.
    zorb::Random rnd{ 20240613 };
    for (int p = 0; p < 200; ++p) {
        std::wstring name = std::wstring(kWords[rnd.Below(7)]) + Number(L" М%d", 3 + rnd.Below(22));
        int supplier = rnd.Below(5);
        goods += Number(L"G%d;", p + 1) + name + L";" + kSuppliers[supplier] + Number(L";%d.%02d", 1 + rnd.Below(500), rnd.Below(100)) +
                 Number(L";%d.%03d\r\n", rnd.Below(5), rnd.Below(1000));
        bool unresolved = p % 37 == 36;
        report += Header(Number(L".......... %d ", 10 + p) + (unresolved ? Number(L"X%d ", p + 1) : Number(L"G%d ", p + 1)) + name);
        int day = rnd.Below(120);
        for (int m = 0; m < 20; ++m) {
            day = (day + rnd.Below(3)) % 120;
            if (day % 7 == 5)   // no moves on Sundays: the fictive rows fill them
                day = (day + 1) % 120;
            int k = rnd.Below(100);
            int kind = k < 40 ? 0 : k < 80 ? 1 : k < 88 ? 2 : k < 95 ? 3 : 4;
            bool incoming = kind == 0 || kind == 2;
            int code = incoming ? 100 + supplier : 1000 + rnd.Below(11);
            std::wstring partner = incoming ? kSuppliers[supplier] : BuyerName(code, p * 20 + m);
            std::wstring qty = rnd.Below(20) == 0 ? L"0.000" : Number(L"%d.%03d", 1 + rnd.Below(200), rnd.Below(1000));
            std::wstring sum = Number(L"%d.%02d", rnd.Below(50000), rnd.Below(100));
            report += Move(zorb::DateText(day, 3), kKinds[kind], Number(L"%d", code), partner, qty, sum);
        }
        if (p % 50 == 49)
            report += kRule;
    }
    report += L"└────────┴──────────────────────┴──┴───┴──────────┴──┴──┴──┴───┴──┴──┴──────────┴──┴──┴──┴──────────┴──┘\r\n";
    report += L" Главный бухгалтер ____________\r\n";
    in.goods = zorb::Encode(goods, 1251);
    in.report = zorb::Encode(report, 866);
    return in;
}

const char* const kOutputs[] = { "console.txt", "moves_type.txt", "Suppliers.txt", "Buyers.txt", "Positions.txt",
                                  "Moves.txt" };

std::string Pinned(const char* name)
{
    std::string bytes;
    EXPECT_TRUE(ReadBytes(std::string(ORVEX_PINNED_DIR) + "/" + name, &bytes)) << name << " is not kept";
    return bytes;
}

int LineCount(const std::string& bytes)
{
    int lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    return lines;
}

struct PinnedRun
{
    ScratchDir dir;
    std::string outputs[6];

    void Convert()
    {
        Inputs in = MakeInputs();
        ASSERT_TRUE(WriteBytes(dir.File("Номенкл.csv"), in.goods));
        ASSERT_TRUE(WriteBytes(dir.File("ZORB_MVS.txt"), in.report));
        ProcessResult run = RunProgram("\"" + ProgramDir() + "\\fromZORB.exe\"", dir.Path());
        ASSERT_TRUE(run.started);
        EXPECT_EQ(0u, run.exitCode);
        outputs[0] = run.output;
        for (int i = 1; i < 6; ++i)
            EXPECT_TRUE(ReadBytes(dir.File(kOutputs[i]), &outputs[i])) << kOutputs[i];
        if (const char* out = getenv("ORVEX_PIN_OUT"))
            for (int i = 0; i < 6; ++i)
                WriteBytes(std::string(out) + "\\" + kOutputs[i], outputs[i]);
    }
};

TEST(PinnedOutput, EveryFileIsByteForByteTheKeptOne)
{
    PinnedRun run;
    run.Convert();
    for (int i = 0; i < 6; ++i) {
        std::string kept = Pinned(kOutputs[i]);
        EXPECT_EQ(kept.size(), run.outputs[i].size()) << kOutputs[i];
        // The first differing line makes a readable failure.
        if (kept != run.outputs[i]) {
            size_t at = 0;
            while (at < kept.size() && at < run.outputs[i].size() && kept[at] == run.outputs[i][at])
                ++at;
            size_t from = kept.rfind('\n', at == 0 ? 0 : at - 1);
            from = from == std::string::npos ? 0 : from + 1;
            ADD_FAILURE() << kOutputs[i] << " differs at byte " << at << ", line " << LineCount(kept.substr(0, at)) + 1
                          << "\n kept: " << Escaped(kept.substr(from, 200))
                          << "\n  now: " << Escaped(run.outputs[i].substr(from, 200));
        }
    }
}

// The kept files against the hand-made rows, worked out from the rules.
TEST(PinnedOutput, TheHandMadeRowsReadAsTheRulesSay)
{
    const std::string moves = Pinned("Moves.txt");
    const std::string code = LongCode().substr(0, 1023);
    // A123 belongs to A12 (the first of the two A12 positions: cost 4); the rule
    // line is a move of kind 0 without date or amounts; Z9 matches nothing and its
    // move is dropped; the 1,023-byte code fills its whole piece, so the "|" after
    // it is cut off; a negated zero keeps its sign, and DIN is 0.5 x 0.
    const std::string head = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n"
                             "01.03.05|A12|ООО Крепёж|10.00000||40.00000||\r\n"
                             "02.03.05|A12|501||3.00000||12.00000|\r\n"
                             "00.00.00|A12|ООО Крепёж|0.00000||0.00000||\r\n"
                             "04.03.05|B7|ЗАО Метиз-Торг|-2.00000||2.50000||\r\n"
                             "04.03.05|B7|501||-1.00000||1.30000|\r\n"
                             "05.03.05|B7|777||2.50000|||\r\n"
                             "07.03.05|" + code + "502||1.00000||1.00000|\r\n"
                             "07.03.05|" + code + std::string(1023, 'П') + "-0.00000||0.00000||\r\n";
    ASSERT_GE(moves.size(), head.size());
    EXPECT_EQ(Escaped(head), Escaped(moves.substr(0, head.size())));

    // The long position's piece "code|name" is its code alone once cut.
    const std::string positions = Pinned("Positions.txt");
    const std::string positionsHead = "ID|Name\r\n"
                                      "A1|Болт М6|||||||2.50000|0.01000\r\n"
                                      "A12|Болт М12|||||||4.00000|0.05000\r\n"
                                      "B7|Гайка|||||||1.25000|0.00000\r\n"
                                      "A12|Болт М12 дубль|||||||9.00000|9.00000\r\n" +
                                      code + "|||||||0.50000|1.00000\r\n"
                                      "G1|";
    EXPECT_EQ(Escaped(positionsHead), Escaped(positions.substr(0, positionsHead.size())));

    // Suppliers in order of first appearance; the long one's piece is cut.
    const std::string suppliers = Pinned("Suppliers.txt");
    EXPECT_EQ(0u, suppliers.find("ID|Name\r\nООО Крепёж|ООО Крепёж\r\nЗАО Метиз-Торг|ЗАО Метиз-Торг\r\n"
                                 "Другой|Другой\r\n" + std::string(1023, 'П')));

    // Buyers: 501 with its first name, then 777 (the blank kind), then 502.
    EXPECT_EQ(0u, Pinned("Buyers.txt").find("ID|Name\r\n501|Иванов\r\n777|Склад\r\n502|Петров\r\n"));

    EXPECT_EQ(0u, Pinned("console.txt").find("Programm started...\n\r\nImport moves type ... (4) Ok\r\n"
                                             "Import positions ... (205) Ok\r\nImport moves ... ("));
}

// The generated part: what the kept files must hold by their counts.
TEST(PinnedOutput, TheKeptFilesHoldTheGeneratedRows)
{
    const std::string console = Pinned("console.txt");
    const std::string moves = Pinned("Moves.txt");
    size_t at = console.find("Import moves ... (");
    ASSERT_NE(std::string::npos, at);
    int moveCount = atoi(console.c_str() + at + 18);
    at = console.find(" added ");
    ASSERT_NE(std::string::npos, at);
    int fictive = atoi(console.c_str() + at + 7);
    // 8 hand-made moves, 200 x 20 generated rows less the 5 unresolved headers'
    // 100, and the 4 rule lines among them.
    EXPECT_EQ(8 + 4000 - 100 + 4, moveCount);
    EXPECT_GT(fictive, 0);
    EXPECT_EQ(1 + moveCount + fictive, LineCount(moves));
    // Long buyer names: a line "code|name\r\n" past 1023 bytes loses its end,
    // line end included, so the next line follows at once.
    const std::string buyers = Pinned("Buyers.txt");
    for (const char* cut : { "1008|я", "1009|Ю", "1010|ф" }) {
        std::string line = std::string(cut, 5) + std::string(1018, cut[5]);
        size_t at = buyers.find(line);
        ASSERT_NE(std::string::npos, at) << cut;
        EXPECT_NE('\r', at + line.size() < buyers.size() ? buyers[at + line.size()] : 0) << cut;
    }
    EXPECT_NE(std::string::npos, buyers.find("1007|" + std::string(300, 'Ж') + " длинное имя\r\n"));
    EXPECT_NE(std::string::npos, buyers.find("1000|ИП Иванов И.И.\r\n"));
    EXPECT_NE(std::string::npos, buyers.find("1001|ИП Иванов И.И.\r\n"));
}

// Writing fails: the run stops at the table that could not be written whole
// with "<file> NOT written... ", exits with 1, and leaves every table as it
// was (the four are replaced together or not at all); never a cut one, never
// a temporary file.
const char* const kTables[] = {"Suppliers.txt", "Buyers.txt", "Positions.txt", "Moves.txt"};
const char* const kTableSteps[] = {" SupplierList by pos ... ", " BuyersList ... ", " GoodsList ... ",
                                   " MovesList ... "};

std::string OldTable(int t)
{
    return std::string("old ") + kTables[t] + "\r\n";
}

TEST(WriteFaults, ATableThatCannotBeWrittenStopsTheRunAndKeepsItsOldFile)
{
    const std::string console = Pinned("console.txt");
    for (int failing : {0, 3}) {
        SCOPED_TRACE(kTables[failing]);
        ScratchDir dir;
        Inputs in = MakeInputs();
        ASSERT_TRUE(WriteBytes(dir.File("Номенкл.csv"), in.goods));
        ASSERT_TRUE(WriteBytes(dir.File("ZORB_MVS.txt"), in.report));
        for (int t = 0; t < 4; ++t)
            ASSERT_TRUE(WriteBytes(dir.File(kTables[t]), OldTable(t)));
        // A folder in the temporary file's place: the table cannot be made.
        ASSERT_TRUE(CreateDirectoryA(dir.File(std::string(kTables[failing]) + ".tmp").c_str(), NULL));
        ProcessResult run = RunProgram("\"" + ProgramDir() + "\\fromZORB.exe\"", dir.Path());
        ASSERT_TRUE(run.started);
        EXPECT_EQ(1u, run.exitCode);
        const size_t step = console.find(kTableSteps[failing]);
        ASSERT_NE(std::string::npos, step);
        EXPECT_EQ(console.substr(0, step + strlen(kTableSteps[failing])) + kTables[failing] + " NOT written... ",
                  run.output);
        for (int t = 0; t < 4; ++t) {
            std::string bytes;
            ASSERT_TRUE(ReadBytes(dir.File(kTables[t]), &bytes)) << kTables[t];
            EXPECT_TRUE(bytes == OldTable(t)) << kTables[t];
            // (The failing table's ".tmp" is the test's folder.)
            if (t != failing) {
                EXPECT_FALSE(FileThere(dir.File(std::string(kTables[t]) + ".tmp"))) << kTables[t];
            }
            EXPECT_FALSE(FileThere(dir.File(std::string(kTables[t]) + ".old"))) << kTables[t];
        }
        EXPECT_FALSE(FileThere(dir.File("Suppliers.txt.commit")));
    }
}

// Every create, write, flush, close and move of the run fails in turn (and
// every write also writes only half): Run answers false and says the output
// failed; the four tables are all old; moves_type.txt is whole or absent.
// The inputs are the kept run's, or for the crash command a larger report's
// (ORVEX_SWEEP_REPORT names its folder).
TEST(WriteFaults, EveryFailingFileOperationLeavesTheOldTables)
{
    ScratchDir dir;
    CurrentDir here(dir.Path());
    const char* large = getenv("ORVEX_SWEEP_REPORT");
    if (large) {
        std::string bytes;
        for (const char* name : {"Номенкл.csv", "ZORB_MVS.txt"}) {
            ASSERT_TRUE(ReadBytes(std::string(large) + "\\" + name, &bytes)) << name;
            ASSERT_TRUE(WriteBytes(dir.File(name), bytes));
        }
    } else {
        Inputs in = MakeInputs();
        ASSERT_TRUE(WriteBytes(dir.File("Номенкл.csv"), in.goods));
        ASSERT_TRUE(WriteBytes(dir.File("ZORB_MVS.txt"), in.report));
    }
    auto reset = [&] {
        DeleteFileA(dir.File("moves_type.txt").c_str());
        for (int t = 0; t < 4; ++t)
            ASSERT_TRUE(WriteBytes(dir.File(kTables[t]), OldTable(t)));
    };
    FileFaults faults;
    reset();
    faults.Arm(0);
    {
        CFileFunctions files;
        CDelimitedTextReader reader(files);
        CReportConverter conv(files, reader);
        ASSERT_TRUE(conv.Run("Номенкл.csv", "ZORB_MVS.txt"));
        EXPECT_FALSE(conv.OutputFailed());
    }
    // The clean run replaced all four.
    for (int t = 0; t < 4; ++t) {
        std::string bytes;
        ASSERT_TRUE(ReadBytes(dir.File(kTables[t]), &bytes));
        EXPECT_TRUE(large ? bytes != OldTable(t) : bytes == Pinned(kTables[t])) << kTables[t];
    }
    // moves_type.txt in five writes, each kept table in one (the largest is
    // under a block); then the commit's mark, the old tables moved aside and
    // the new ones moved in.
    const std::string ops = faults.Log();
    if (!large) {
        ASSERT_EQ("cwwwwwfxm" "cwfx" "cwfx" "cwfx" "cwfx" "cwfx" "mmmm" "mmmm", ops);
    }
    const int points = FileFaults::Sweep(ops, [&](int n, FileFaults::Kind kind) {
        reset();
        faults.Arm(n, kind);
        CFileFunctions files;
        CDelimitedTextReader reader(files);
        CReportConverter conv(files, reader);
        EXPECT_FALSE(conv.Run("Номенкл.csv", "ZORB_MVS.txt"));
        EXPECT_TRUE(conv.OutputFailed());
        // File 0 is moves_type.txt, then the four tables in their order.
        int failing = -1;
        for (int i = 0; i < n; ++i)
            failing += ops[i] == 'c';
        std::string bytes;
        if (failing == 0)
            EXPECT_FALSE(FileThere(dir.File("moves_type.txt")));
        else
            EXPECT_TRUE(ReadBytes(dir.File("moves_type.txt"), &bytes) && bytes == Pinned("moves_type.txt"));
        for (int t = 0; t < 4; ++t) {
            ASSERT_TRUE(ReadBytes(dir.File(kTables[t]), &bytes)) << kTables[t];
            EXPECT_TRUE(bytes == OldTable(t)) << kTables[t] << ": " << bytes.size() << " bytes";
            EXPECT_FALSE(FileThere(dir.File(std::string(kTables[t]) + ".tmp"))) << kTables[t];
            EXPECT_FALSE(FileThere(dir.File(std::string(kTables[t]) + ".old"))) << kTables[t];
        }
        EXPECT_FALSE(FileThere(dir.File("Suppliers.txt.commit")));
        EXPECT_FALSE(FileThere(dir.File("moves_type.txt.tmp")));
    });
    if (!large) {
        EXPECT_EQ(47, points);
    }
    printf("%d injection points\n", points);
}

// A failure at each of the four tables: its temporary file cannot be made or
// written, or the commit cannot move it aside or into place. The run names
// that table, and all four stay as they were, with nothing left beside them.
TEST(WriteFaults, AFailureAtEachOfTheFourTablesLeavesAllFour)
{
    ScratchDir dir;
    CurrentDir here(dir.Path());
    Inputs in = MakeInputs();
    ASSERT_TRUE(WriteBytes(dir.File("Номенкл.csv"), in.goods));
    ASSERT_TRUE(WriteBytes(dir.File("ZORB_MVS.txt"), in.report));
    FileFaults faults;
    // The n-th (1-based) operation of a letter in a clean run's log.
    std::string ops;
    auto nth = [&](char letter, int n) {
        for (size_t i = 0; i < ops.size(); ++i)
            if (ops[i] == letter && --n == 0)
                return (int)i + 1;
        return 0;
    };
    auto convert = [&](int armed, std::string* console) {
        DeleteFileA("moves_type.txt");
        for (int t = 0; t < 4; ++t)
            ASSERT_TRUE(WriteBytes(dir.File(kTables[t]), OldTable(t)));
        faults.Arm(armed);
        CFileFunctions files;
        CDelimitedTextReader reader(files);
        CReportConverter conv(files, reader);
        ConsoleCapture capture;
        const bool result = conv.Run("Номенкл.csv", "ZORB_MVS.txt");
        *console = capture.Text();
        EXPECT_EQ(armed == 0, result);
        EXPECT_EQ(armed == 0 ? CReportConverter::ExitOk : CReportConverter::ExitOutputFailed, conv.LastExitCode());
    };
    std::string console;
    convert(0, &console);
    ops = faults.Log();
    // moves_type.txt, the four tables, the mark; the tables aside, the new ones in.
    ASSERT_EQ("cwwwwwfxm" "cwfx" "cwfx" "cwfx" "cwfx" "cwfx" "mmmm" "mmmm", ops);
    const std::string pinned = Pinned("console.txt");
    const std::string moved = pinned.substr(0, pinned.find(" fictive moves ") + 15);
    for (int t = 0; t < 4; ++t) {
        struct Point
        {
            const char* step;
            int op;
            std::string console;   // where the run stops
        };
        const std::string before = pinned.substr(0, pinned.find(kTableSteps[t]) + strlen(kTableSteps[t]));
        const Point points[] = {
            { "create", nth('c', 2 + t), before },
            { "write", nth('w', 6 + t), before },
            { "move aside", nth('m', 2 + t), moved },
            { "move in", nth('m', 6 + t), moved },
        };
        for (const Point& p : points) {
            SCOPED_TRACE(std::string(kTables[t]) + ", " + p.step);
            ASSERT_GT(p.op, 0);
            convert(p.op, &console);
            EXPECT_TRUE(faults.Fired());
            // The console without the program's first line, which Run does not print.
            const std::string expected = p.console.substr(strlen("Programm started...\n")) + kTables[t] +
                                         " NOT written... ";
            EXPECT_EQ(Escaped(expected), Escaped(console));
            for (int k = 0; k < 4; ++k) {
                std::string bytes;
                ASSERT_TRUE(ReadBytes(dir.File(kTables[k]), &bytes)) << kTables[k];
                EXPECT_TRUE(bytes == OldTable(k)) << kTables[k];
                for (const char* leftover : {".tmp", ".old"})
                    EXPECT_FALSE(FileThere(dir.File(std::string(kTables[k]) + leftover))) << kTables[k] << leftover;
            }
            EXPECT_FALSE(FileThere(dir.File("Suppliers.txt.commit")));
        }
    }
}

}  // namespace
