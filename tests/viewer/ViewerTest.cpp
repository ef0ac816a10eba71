// The viewer as a person works it (no -quit): its message boxes for bad input,
// found among the process's windows, read and closed; its menu commands; the
// folder it opens at start and remembers; the converter run from its menu.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <ostream>
#include <string>

#include "HostRun.h"
#include "OrvexVersion.h"
#include "ViewerIds.h"
#include "ViewerTables.h"
#include "ZorbRows.h"

using namespace hosttest;

namespace {

// The menu's commands (viewer/ViewerIds.h), as the menu or a key sends them.
const WPARAM kOpenFolder = 40001, kConvert = 40002, kExit = 40003, kGuide = 40010, kAbout = 40011;

const char kPositions[] = "ID|Name\r\nA1|Гайка М8|||||||2.50000|0.75000\r\n";
const char kSuppliers[] = "ID|Name\r\nООО Альфа|ООО Альфа\r\n";
const char kMoves[] = "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n01.03.05|A1|ООО Альфа|10.00000||25.00000||\r\n";

// A goods list and a report of one goods item with one receipt, as the
// accounting system prints it (code page 866, box lines).
const char kGoodsList[] = "Код;Наименование;Поставщик;Цена;Объём\r\nA1;Гайка М8;ООО Альфа;2.5;0.75\r\n";
std::string Report()
{
    std::wstring cells[zorb::kColumns];
    zorb::PlaceMove(cells, std::wstring(L"01.03.05"), std::wstring(L"+Приход от поставщика."), std::wstring(L"17"),
                    std::wstring(L"ООО Альфа"), std::wstring(L"10"), std::wstring(L"25"));
    std::wstring report = L" Отчёт ЗОРБ\r\n" + zorb::HeaderRow(std::wstring(L".......... 1 A1 Гайка М8"), L'│') +
                          zorb::TableRow(cells, L'│') + L"└────────┴──┘\r\n";
    return zorb::Encode(report, 866);
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class ViewerBoxes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = NewFolder("orvex-viewer-");
        ASSERT_FALSE(m_folder.empty());
        // The viewer's first display (codes), whatever an earlier test chose.
        ASSERT_TRUE(SetIdModeSetting(-1));
    }

    void Write(const std::string& folder, const char* name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteBytes(folder + "\\" + name, bytes)) << folder << "\\" << name;
    }
    void WriteTables(const std::string& folder)
    {
        Write(folder, "Positions.txt", kPositions);
        Write(folder, "Suppliers.txt", kSuppliers);
        Write(folder, "Moves.txt", kMoves);
        Write(folder, "Buyers.txt", "ID|Name\r\n");
    }
    // The viewer and what ships beside it, copied into a folder of its own;
    // fake: the converter that says and ends as fake-converter.txt tells it.
    std::string Install(bool library, bool converter, bool fake = false)
    {
        std::string folder = m_folder + "\\program";
        CreateDirectoryA(folder.c_str(), NULL);
        const char* names[] = {"OrvexHost.exe", library ? "Orvex_DLL.dll" : NULL, converter ? "fromZORB.exe" : NULL};
        for (const char* name : names) {
            if (name) {
                std::string from = ThisFolder() + "\\" + (fake && name == names[2] ? "host_fake_converter.exe" : name);
                EXPECT_TRUE(CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE));
            }
        }
        return folder + "\\OrvexHost.exe";
    }

    // Waits for the viewer's box, checks its caption, and closes it.
    std::string CloseBox(RunningProgram& viewer)
    {
        HWND box = viewer.WaitForBox();
        if (!box) {
            ADD_FAILURE() << "no message box; the viewer said:\n" << viewer.Finish(1000).output;
            return std::string();
        }
        EXPECT_EQ("Orvex", WindowText(box));
        std::string text = BoxText(box);
        PressOk(box);
        for (int i = 0; i < 200 && IsWindow(box); ++i)
            Sleep(20);
        EXPECT_FALSE(IsWindow(box)) << "the box did not close";
        return text;
    }

    HWND MainWindow(RunningProgram& viewer) { return viewer.WaitForWindow("OrvexHostWindow", 60000); }

    HostRun CloseViewer(RunningProgram& viewer)
    {
        HWND window = MainWindow(viewer);
        EXPECT_TRUE(window != NULL);
        if (window)
            PostMessageA(window, WM_COMMAND, kExit, 0);
        return viewer.Finish();
    }

    std::string m_folder;
};

TEST_F(ViewerBoxes, AFolderWithoutTablesSaysWhichTablesAndWhatToDo)
{
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    ASSERT_TRUE(viewer.Started());
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "нет таблиц конвертера (Positions.txt, Suppliers.txt, Moves.txt)")) << text;
    EXPECT_TRUE(Contains(text, m_folder.c_str())) << text;
    EXPECT_TRUE(Contains(text, "Преобразовать отчёт")) << text;
    // The window stays, with its menu, for the user to open another folder.
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Contains(WindowText(window), m_folder.c_str())) << WindowText(window);
    EXPECT_TRUE(GetMenu(window) != NULL);
    HostRun run = CloseViewer(viewer);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;
}

TEST_F(ViewerBoxes, WithoutTheLibraryTheBoxSaysToReinstallAndTheViewerEnds)
{
    WriteTables(m_folder);
    RunningProgram viewer(Install(false, true), "\"" + m_folder + "\"", m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "Не найден модуль Orvex_DLL.dll")) << text;
    EXPECT_TRUE(Contains(text, "Переустановите программу")) << text;
    HostRun run = viewer.Finish();
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(2u, run.exitCode) << run.output;
}

TEST_F(ViewerBoxes, ALibraryWithoutGetInterfaceIsRefusedWithABox)
{
    WriteTables(m_folder);
    std::string program = Install(false, true);
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    // A real library, but not the plug-in.
    ASSERT_TRUE(CopyFileA((std::string(system) + "\\version.dll").c_str(),
                          (Folder(program) + "\\Orvex_DLL.dll").c_str(), FALSE));
    RunningProgram viewer(program, "\"" + m_folder + "\"", m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "нет функции GetInterface")) << text;
    HostRun run = viewer.Finish();
    EXPECT_EQ(2u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "exports no GetInterface")) << run.output;
}

// Bad reports and missing pieces: a box each, and the folder's tables as they were.
struct ConvertCase
{
    const char* name;
    const char* reportName;     // the file the user picks
    bool goodsList, converter, goodReport;
    const char* boxSays;
};
// The case by its name in test logs, not as raw bytes.
void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }

class ConvertBoxes : public ViewerBoxes, public ::testing::WithParamInterface<ConvertCase>
{
};

TEST_P(ConvertBoxes, SayWhatIsWrongAndLeaveTheTablesAsTheyWere)
{
    const ConvertCase& c = GetParam();
    std::string tables = m_folder + "\\tables";
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(tables.c_str(), NULL);
    CreateDirectoryA(reports.c_str(), NULL);
    WriteTables(tables);
    // Old tables beside the report too: a refused or failed run must not touch them.
    WriteTables(reports);
    Write(reports, c.reportName, c.goodReport ? Report() : std::string("not a report\r\n"));
    if (c.goodsList)
        Write(reports, "Номенкл.csv", kGoodsList);
    std::string program = Install(true, c.converter);
    RunningProgram viewer(program, "\"" + tables + "\" -convert \"" + reports + "\\" + c.reportName + "\"", tables);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, c.boxSays)) << text;
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_EQ(kMoves, ReadBytes(reports + "\\Moves.txt"));
    EXPECT_EQ(kPositions, ReadBytes(reports + "\\Positions.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, ConvertBoxes,
    ::testing::Values(
        ConvertCase{"NoTableInTheReport", "ZORB_MVS.txt", true, true, false,
                    "не найдена таблица движений (конвертер: «Tables start NOT found...»)"},
        ConvertCase{"NoConverter", "ZORB_MVS.txt", true, false, true, "Не найден конвертер fromZORB.exe"},
        ConvertCase{"NoGoodsList", "ZORB_MVS.txt", false, true, true, "нет списка товаров Номенкл.csv"},
        ConvertCase{"AnotherFileName", "report.txt", true, true, true, "только из файла с именем ZORB_MVS.txt"}),
    [](const ::testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

TEST_F(ViewerBoxes, AConvertedReportIsShownAndTheCreatedKindsFileIsTold)
{
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "Номенкл.csv", kGoodsList);
    RunningProgram viewer(Install(true, true), "\"" + m_folder + "\" -convert \"" + reports + "\\ZORB_MVS.txt\"",
                          m_folder);
    // First: the empty folder the viewer was started on.
    EXPECT_TRUE(Contains(CloseBox(viewer), "нет таблиц конвертера"));
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "конвертер создал его с правилами по умолчанию")) << text;
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Contains(WindowText(window), reports.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "fromZORB: Import moves ... (1) Ok")) << run.output;
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves and 0 fictive days")) << run.output;
    EXPECT_NE("", ReadBytes(reports + "\\moves_type.txt"));
}

TEST_F(ViewerBoxes, PartialTablesAreCountedPerTableAndTheRestIsShown)
{
    WriteTables(m_folder);
    // One move with a date that is no day, one with too few fields.
    Write(m_folder, "Moves.txt", std::string(kMoves) + "32.13.05|A1|ООО Альфа|1||||\r\n01.03.05|A1\r\n");
    DeleteFileA((m_folder + "\\Buyers.txt").c_str());
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "Не все строки таблиц удалось прочитать")) << text;
    EXPECT_TRUE(Contains(text, "Moves.txt: не прочитано строк: 2")) << text;
    EXPECT_TRUE(Contains(text, "Buyers.txt: файла нет или он не читается")) << text;
    EXPECT_FALSE(Contains(text, "Positions.txt")) << text;
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(1u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves")) << run.output;
}

// The converter reads no table it cannot trust: a goods list whose first line
// holds no ';' ends it with code 2, and no table is written.
TEST_F(ViewerBoxes, AGoodsListTheConverterCannotReadIsToldAndNoTableIsWritten)
{
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "moves_type.txt", "Вид|Знак|Направление|сумма\r\n+Приход от поставщика.|+|приход|сумма\r\n");
    Write(reports, "Номенкл.csv", "no separator in the first line\r\nA1;Гайка М8;ООО Альфа;2.5;0.75\r\n");
    WriteTables(reports);
    WriteTables(m_folder);
    RunningProgram viewer(Install(true, true), "\"" + m_folder + "\" -convert \"" + reports + "\\ZORB_MVS.txt\"",
                          m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "Конвертер не смог прочитать список товаров")) << text;
    EXPECT_TRUE(Contains(text, (reports + "\\Номенкл.csv").c_str())) << text;
    EXPECT_TRUE(Contains(text, "Таблицы не записаны, прежние таблицы не изменены")) << text;
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Contains(WindowText(window), m_folder.c_str())) << WindowText(window);
    EXPECT_FALSE(Contains(WindowText(window), reports.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "Import positions ...  fault !!! ")) << run.output;
    EXPECT_TRUE(Contains(run.output, "fromZORB.exe ended with code 2")) << run.output;
    EXPECT_EQ(kMoves, ReadBytes(reports + "\\Moves.txt"));
    EXPECT_EQ(kPositions, ReadBytes(reports + "\\Positions.txt"));
}

TEST_F(ViewerBoxes, ListFilesThatCannotBeReplacedAreToldAndTheTablesStillShown)
{
    WriteTables(m_folder);
    // A folder where a list file belongs: no save can put the file there.
    DeleteFileA("c:\\GMList.dat");
    ASSERT_TRUE(CreateDirectoryA("c:\\GMList.dat", NULL));
    HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\" -savelists -quit", m_folder);
    RemoveDirectoryA("c:\\GMList.dat");
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves")) << run.output;
    EXPECT_TRUE(Contains(run.output, "the list files could not be saved")) << run.output;
}

// The menu: About reads the versions from the resources; the guide is opened
// through the ".html" association; a missing guide is a box.
TEST_F(ViewerBoxes, AboutShowsTheVersionOfEveryProgram)
{
    WriteTables(m_folder);
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, kAbout, 0);
    std::string text = CloseBox(viewer);
    const std::string version = ORVEX_VERSION_TEXT;
    EXPECT_TRUE(Contains(text, ("Orvex " + version).c_str())) << text;
    EXPECT_TRUE(Contains(text, ("OrvexHost.exe — версия " + version).c_str())) << text;
    EXPECT_TRUE(Contains(text, ("Orvex_DLL.dll — версия " + version).c_str())) << text;
    EXPECT_TRUE(Contains(text, ("fromZORB.exe — версия " + version).c_str())) << text;
    EXPECT_TRUE(Contains(text, "©")) << text;
    CloseViewer(viewer);
}

TEST_F(ViewerBoxes, TheGuideBesideTheViewerIsOpenedAndAMissingOneIsABox)
{
    WriteTables(m_folder);
    std::string program = Install(true, true);
    RunningProgram first(program, "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(first);
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, kGuide, 0);
    EXPECT_TRUE(Contains(CloseBox(first), "Не найдено руководство пользователя"));
    CloseViewer(first);

    // An ASCII name: unzip tools that ignore the zip's UTF-8 flag keep it.
    Write(Folder(program), "Guide.html", "<html></html>");
    DeleteFileA(g_openLog.c_str());
    RunningProgram second(program, "\"" + m_folder + "\"", m_folder);
    window = MainWindow(second);
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, kGuide, 0);
    std::string opened;
    for (int i = 0; i < 300 && opened.empty(); ++i) {
        Sleep(50);
        opened = ReadBytes(g_openLog);
    }
    EXPECT_TRUE(Contains(opened, "\\program\\Guide.html")) << opened;
    HostRun run = CloseViewer(second);
    EXPECT_TRUE(Contains(run.output, "guide: ")) << run.output;
}

// Started with no folder and none that holds tables where it starts, the
// viewer opens the folder used last.
TEST_F(ViewerBoxes, TheLastFolderIsRememberedAndOpenedNextTime)
{
    std::string tables = m_folder + "\\tables";
    std::string elsewhere = m_folder + "\\elsewhere";
    CreateDirectoryA(tables.c_str(), NULL);
    CreateDirectoryA(elsewhere.c_str(), NULL);
    WriteTables(tables);
    {
        RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + tables + "\"", elsewhere);
        EXPECT_EQ(0u, CloseViewer(viewer).exitCode);
    }
    char remembered[MAX_PATH] = "";
    DWORD size = sizeof remembered;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Orvex\\Viewer", "LastFolder",
                                          RRF_RT_REG_SZ, NULL, remembered, &size));
    EXPECT_EQ(tables, std::string(remembered));

    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "", elsewhere);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Contains(WindowText(window), tables.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves")) << run.output;
}

TEST(ViewerOptions, VersionPrintsTheVersionOfTheThreePrograms)
{
    HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", "-version", ThisFolder());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode);
    const std::string version = ORVEX_VERSION_TEXT;
    for (const char* name : {"OrvexHost.exe ", "Orvex_DLL.dll ", "fromZORB.exe "})
        EXPECT_TRUE(Contains(run.output, (name + version + "\r\n").c_str()) ||
                    Contains(run.output, (name + version + "\n").c_str()))
            << run.output;
}

// ---------------------------------------------------------------------------
// The converter's exit codes: each its own box, and the folder's tables as they
// were. The converter here says and ends as it is told.
struct ExitCase
{
    const char* name;
    const char* told;           // the exit code's line, then the console output
    const char* windowSays;     // the converter window's line, echoed on the console
    const char* boxSays[2];
    bool tablesKept;            // the box says the old tables stay
};
// The case by its name in test logs, not as raw bytes.
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ConverterExitCodes : public ViewerBoxes, public ::testing::WithParamInterface<ExitCase>
{
};

TEST_P(ConverterExitCodes, GiveTheirOwnBoxAndKeepTheShownTables)
{
    const ExitCase& c = GetParam();
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "Номенкл.csv", kGoodsList);
    Write(reports, "fake-converter.txt", c.told);
    WriteTables(m_folder);
    RunningProgram viewer(Install(true, true, true),
                          "\"" + m_folder + "\" -convert \"" + reports + "\\ZORB_MVS.txt\"", m_folder);
    std::string text = CloseBox(viewer);
    for (const char* part : c.boxSays) {
        if (part) {
            EXPECT_TRUE(Contains(text, part)) << part << "\n" << text;
        }
    }
    EXPECT_EQ(c.tablesKept, Contains(text, "прежние таблицы не изменены") || Contains(text, "Прежние таблицы не изменены"))
        << text;
    // Nothing new to show: the viewer stays on its folder.
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_FALSE(Contains(WindowText(window), reports.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, (std::string("converter window: ") + c.windowSays).c_str())) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, ConverterExitCodes,
    ::testing::Values(
        ExitCase{"NotWritten", "1\r\nProgramm started...\r\n\r\nExport: \r\n SupplierList by pos ... Ok\r\n"
                               " BuyersList ... Ok\r\n GoodsList ... Ok\r\n MovesList ... Moves.txt NOT written... ",
                 "Преобразование не удалось (код 1): конвертер не смог записать таблицы.",
                 {"Конвертер не смог записать таблицы (конвертер: «Moves.txt NOT written...»)",
                  "конвертер заменяет все четыре таблицы сразу или ни одной"},
                 true},
        ExitCase{"GoodsListNotRead", "2\r\nProgramm started...\r\n\r\nImport moves type ... (4) Ok\r\n"
                                     "Import positions ...  fault !!! ",
                 "Преобразование не удалось (код 2): конвертер не смог прочитать отчёт или список товаров.",
                 {"Конвертер не смог прочитать список товаров", "Номенкл.csv"}, true},
        ExitCase{"ReportNotRead", "2\r\nProgramm started...\r\n\r\nImport moves type ... (4) Ok\r\n"
                                  "Import positions ... (1) Ok\r\nTables start NOT found... ",
                 "Преобразование не удалось (код 2)",
                 {"Конвертер не смог прочитать отчёт", "ZORB_MVS.txt"}, true},
        ExitCase{"TableEndNotFound", "3\r\nProgramm started...\r\n\r\nImport moves type ... (4) Ok\r\n"
                                     "Import positions ... (1) Ok\r\nTables end NOT found... ",
                 "Преобразование не удалось (код 3): в отчёте не найдена таблица движений.",
                 {"не найдена таблица движений (конвертер: «Tables end NOT found...»)", "Напечатайте отчёт"}, true},
        ExitCase{"AnUnknownCode", "7\r\nProgramm started...\r\n",
                 "Преобразование не удалось: конвертер завершился с кодом 7.",
                 {"Конвертер завершился с ошибкой (код завершения 7, 0x00000007)", "обратитесь в поддержку"},
                 false}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

// Code 0 with the kinds file unreadable: the tables were written without kinds;
// the box says so, then the new tables are shown.
TEST_F(ViewerBoxes, TablesWrittenWithoutKindsAreToldAndShown)
{
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "Номенкл.csv", kGoodsList);
    Write(reports, "moves_type.txt", "no bar\r\n");
    Write(reports, "fake-converter.txt", "0\r\nProgramm started...\r\n\r\nImport moves type ...  fault !!! "
                                         "Import positions ... (1) Ok\r\n\r\nProgram ended ... ");
    WriteTables(reports);
    WriteTables(m_folder);
    RunningProgram viewer(Install(true, true, true),
                          "\"" + m_folder + "\" -convert \"" + reports + "\\ZORB_MVS.txt\"", m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "Не прочитан файл видов движения moves_type.txt")) << text;
    // The second session: the report's folder.
    std::string output;
    for (int i = 0; i < 400 && !Contains(output.substr(output.find("ended with code") + 1), "fed: "); ++i) {
        Sleep(50);
        output = viewer.Output();
    }
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Contains(WindowText(window), reports.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "converter window: Таблицы записаны, но файл видов движения moves_type.txt не прочитан"))
        << run.output;
}

// From the menu, the converter's window waits for the person: its lines can be
// read, selected and copied, the viewer's window is disabled meanwhile, and the
// new tables are shown once «Закрыть» is pressed.
TEST_F(ViewerBoxes, TheConverterWindowStaysOpenUntilClosed)
{
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "Номенкл.csv", kGoodsList);
    WriteTables(m_folder);
    RunningProgram viewer(Install(true, true), "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    PostMessageA(window, WM_COMMAND, IDM_CONVERT, 0);
    HWND dialog = viewer.WaitForBox();
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(ChooseInFileDialog(dialog, reports + "\\ZORB_MVS.txt"));

    HWND converter = viewer.WaitForWindow("OrvexConvertWindow", 60000);
    ASSERT_TRUE(converter != NULL);
    EXPECT_EQ("Преобразование отчёта", WindowText(converter));
    HWND result = GetDlgItem(converter, 201), lines = GetDlgItem(converter, 202);
    ASSERT_TRUE(result && lines);
    for (int i = 0; i < 600 && !Contains(WindowText(result), "закончено"); ++i)
        Sleep(50);
    EXPECT_EQ("Преобразование закончено успешно: таблицы записаны. Нажмите «Закрыть» — программа покажет новые таблицы.",
              WindowText(result));
    EXPECT_TRUE(Contains(ControlText(lines), "Import moves ... (1) Ok\r\n")) << ControlText(lines);
    EXPECT_FALSE(IsWindowEnabled(window));
    // The lines are an edit box's: they select and copy.
    SendMessageA(lines, EM_SETSEL, 0, -1);
    SendMessageA(lines, WM_COPY, 0, 0);
    EXPECT_TRUE(Contains(ClipboardText(), "Programm started...")) << ClipboardText();
    // Nobody closed it: it stays, and the old tables stay shown.
    Sleep(1500);
    EXPECT_TRUE(IsWindow(converter) && IsWindowVisible(converter));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(Contains(WindowText(window), m_folder.c_str())) << WindowText(window);
    EXPECT_FALSE(Contains(WindowText(window), reports.c_str())) << WindowText(window);

    HWND close = GetDlgItem(converter, IDCANCEL);
    ASSERT_TRUE(close != NULL);
    EXPECT_TRUE(IsWindowEnabled(close));
    EXPECT_EQ("Закрыть", WindowText(close));
    PostMessageA(converter, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)close);
    // The converter made moves_type.txt: said once the new tables are shown.
    EXPECT_TRUE(Contains(CloseBox(viewer), "конвертер создал его с правилами по умолчанию"));
    EXPECT_FALSE(IsWindow(converter));
    window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_TRUE(Contains(WindowText(window), reports.c_str())) << WindowText(window);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves")) << run.output;
}

// The first shown list of the window: at the start, the goods of page 0.
HWND ShownList(HWND window)
{
    HWND list = NULL;
    for (int i = 0; i < 400 && !(list = ShownChild(window, "SysListView32")); ++i)
        Sleep(50);
    return list;
}

// Waits until the cell shows the text; returns what it shows.
std::string WaitForCell(HWND list, int row, int column, const std::string& expected)
{
    std::string shown;
    for (int i = 0; i < 200 && (shown = ListCellText(list, row, column)) != expected; ++i)
        Sleep(50);
    return shown;
}

// Codes at first; «Вид > Номера» shows decimal numbers, with its check mark,
// and is what the next start shows. A code of more than 31 bytes is shown as
// the plug-in keeps it. The viewer says what its menu shows checked.
TEST_F(ViewerBoxes, TheIdentifiersAreCodesAtFirstAndTheChosenDisplayIsRemembered)
{
    WriteLongNames(m_folder);
    {
        RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
        HWND window = MainWindow(viewer);
        ASSERT_TRUE(window != NULL);
        HWND goods = ShownList(window);
        ASSERT_TRUE(goods != NULL);
        EXPECT_EQ("G1", WaitForCell(goods, 0, 0, "G1"));
        EXPECT_EQ(kLongGoodsCut, ListCellText(goods, 4, 0));
        EXPECT_EQ(kLongGoodsCut, ListCellText(goods, 5, 0));
        EXPECT_TRUE(viewer.WaitForOutput("menu View: Коды checked")) << viewer.Output();
        EXPECT_EQ(-1, IdModeSetting());

        PostMessageA(window, WM_COMMAND, IDM_VIEW_DECIMAL, 0);
        EXPECT_EQ("1", WaitForCell(goods, 0, 0, "1"));
        EXPECT_EQ("6", ListCellText(goods, 5, 0));
        EXPECT_TRUE(viewer.WaitForOutput("menu View: Номера checked")) << viewer.Output();
        EXPECT_EQ(1, IdModeSetting());
        EXPECT_EQ(0u, CloseViewer(viewer).exitCode);
    }
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    HWND goods = ShownList(window);
    ASSERT_TRUE(goods != NULL);
    EXPECT_EQ("2", WaitForCell(goods, 1, 0, "2"));
    HostRun run = CloseViewer(viewer);
    EXPECT_TRUE(Contains(run.output, "identifiers shown as decimal numbers")) << run.output;
    EXPECT_TRUE(Contains(run.output, "menu View: Номера checked")) << run.output;
    EXPECT_FALSE(Contains(run.output, "menu View: Коды checked")) << run.output;
}

// Hexadecimal numbers: the plug-in's SetIdMode takes 0 as well.
TEST_F(ViewerBoxes, HexadecimalNumbersFromTheMenu)
{
    WriteTables(m_folder);
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    HWND goods = ShownList(window);
    ASSERT_TRUE(goods != NULL);
    EXPECT_EQ("A1", WaitForCell(goods, 0, 0, "A1"));
    PostMessageA(window, WM_COMMAND, IDM_VIEW_HEX, 0);
    EXPECT_EQ("00000001", WaitForCell(goods, 0, 0, "00000001"));
    EXPECT_TRUE(viewer.WaitForOutput("menu View: Шестнадцатеричные номера checked")) << viewer.Output();
    EXPECT_EQ(0, IdModeSetting());
    CloseViewer(viewer);
}

// The system's look: the manifest has the process load the common controls 6
// from the side-by-side store, and no other, for the plug-in's lists too.
TEST_F(ViewerBoxes, TheCommonControlsAreVersion6)
{
    WriteTables(m_folder);
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(ShownList(window) != NULL);
    int found = 0;
    for (std::string path : ModulesOf(window)) {
        CharLowerA(&path[0]);
        if (path.size() < 13 || path.compare(path.size() - 13, 13, "\\comctl32.dll") != 0)
            continue;
        ++found;
        EXPECT_TRUE(Contains(path, "\\winsxs\\") && Contains(path, "microsoft.windows.common-controls_") &&
                    Contains(path, "_6.0."))
            << path;
    }
    EXPECT_EQ(1, found);
    CloseViewer(viewer);
}

// A person's session leaves nothing in the root of drive c: and shows no box
// about list files.
TEST_F(ViewerBoxes, ASessionWritesNothingToTheRootOfC)
{
    WriteTables(m_folder);
    std::string before = RootListing();
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\" -tab 4 -supplier 0 -build",
                          m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(ShownList(window) != NULL);
    EXPECT_TRUE(viewer.WaitForBox(3000) == NULL);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "dynamics built: 1 goods rows")) << run.output;
    EXPECT_EQ(before, RootListing());
}

// Rule lines of the report are no fault: no box.
TEST_F(ViewerBoxes, RuleLinesOfTheReportShowNoBox)
{
    WriteTables(m_folder);
    Write(m_folder, "Moves.txt", std::string(kMoves) + "00.00.00|A1|ООО Альфа|0.00000||0.00000||\r\n"
                                                       "00.00.00|A1|0||0.00000|||\r\n");
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\"", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(ShownList(window) != NULL);
    HWND box = viewer.WaitForBox(3000);
    EXPECT_TRUE(box == NULL) << BoxText(box);
    HostRun run = CloseViewer(viewer);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Contains(run.output, "fed: 1 goods, 1 suppliers, 1 moves and 0 fictive days")) << run.output;
}

// «Файл > Сохранить список…»: a file name asked for, the current page's list
// written there (the framework's grid writes it).
TEST_F(ViewerBoxes, SaveListFromTheMenuWritesTheCurrentPage)
{
    WriteTables(m_folder);
    RunningProgram viewer(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\" -tab 1", m_folder);
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(ShownList(window) != NULL);
    Sleep(500);
    PostMessageA(window, WM_COMMAND, IDM_SAVE_LIST, 0);
    HWND dialog = viewer.WaitForBox();
    ASSERT_TRUE(dialog != NULL);
    ASSERT_TRUE(ChooseInFileDialog(dialog, m_folder + "\\suppliers.csv"));
    std::string saved;
    for (int i = 0; i < 200 && saved.empty(); ++i) {
        Sleep(50);
        saved = ReadBytes(m_folder + "\\suppliers.csv");
    }
    EXPECT_EQ("ID;Наименование;Ст.доставки;вр.дост.ср.;вр.дост.max\r\n"
              "ООО Альфа;ООО Альфа;20000,00000;1,00000;1,00000\r\n",
              saved);
    HostRun run = CloseViewer(viewer);
    EXPECT_TRUE(Contains(run.output, ("list saved: " + m_folder + "\\suppliers.csv (1 rows)").c_str())) << run.output;
}

}  // namespace
