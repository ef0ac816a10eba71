// The viewer as a person works it (no -quit): its message boxes for bad input,
// found among the process's windows, read and closed; its menu commands; the
// folder it opens at start and remembers; the converter run from its menu.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "HostRun.h"
#include "OrvexVersion.h"
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
    // The viewer and what ships beside it, copied into a folder of its own.
    std::string Install(bool library, bool converter)
    {
        std::string folder = m_folder + "\\program";
        CreateDirectoryA(folder.c_str(), NULL);
        const char* names[] = {"OrvexHost.exe", library ? "Orvex_DLL.dll" : NULL, converter ? "fromZORB.exe" : NULL};
        for (const char* name : names) {
            if (name) {
                EXPECT_TRUE(CopyFileA((ThisFolder() + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE));
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

TEST_F(ViewerBoxes, AGoodsListTheConverterCannotReadIsToldAndTheTablesStillShown)
{
    std::string reports = m_folder + "\\report";
    CreateDirectoryA(reports.c_str(), NULL);
    Write(reports, "ZORB_MVS.txt", Report());
    Write(reports, "moves_type.txt", "Вид|Знак|Направление|сумма\r\n+Приход от поставщика.|+|приход|сумма\r\n");
    Write(reports, "Номенкл.csv", "no separator in the first line\r\nA1;Гайка М8;ООО Альфа;2.5;0.75\r\n");
    WriteTables(m_folder);
    RunningProgram viewer(Install(true, true), "\"" + m_folder + "\" -convert \"" + reports + "\\ZORB_MVS.txt\"",
                          m_folder);
    std::string text = CloseBox(viewer);
    EXPECT_TRUE(Contains(text, "Не прочитан список товаров Номенкл.csv")) << text;
    HWND window = MainWindow(viewer);
    ASSERT_TRUE(window != NULL);
    HostRun run = CloseViewer(viewer);
    EXPECT_TRUE(Contains(run.output, "Import positions ...  fault !!! ")) << run.output;
    // No goods: the move rows under the header resolve to nothing, the tables are still fed.
    EXPECT_TRUE(Contains(run.output, "fed: 0 goods")) << run.output;
}

TEST_F(ViewerBoxes, ListFilesThatCannotBeReplacedAreToldAndTheTablesStillShown)
{
    WriteTables(m_folder);
    // A folder where a list file belongs: no save can put the file there.
    DeleteFileA("c:\\GMList.dat");
    ASSERT_TRUE(CreateDirectoryA("c:\\GMList.dat", NULL));
    HostRun run = RunProgram(ThisFolder() + "\\OrvexHost.exe", "\"" + m_folder + "\" -quit", m_folder);
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

    Write(Folder(program), "Руководство.html", "<html></html>");
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
    // The test association notes the name through the console, in code page 866.
    std::wstring wide(64, L' ');
    wide.resize(MultiByteToWideChar(1251, 0, "Руководство.html", -1, &wide[0], 64) - 1);
    std::string oem(64, ' ');
    oem.resize(WideCharToMultiByte(866, 0, wide.c_str(), -1, &oem[0], 64, NULL, NULL) - 1);
    EXPECT_TRUE(Contains(opened, ("\\program\\" + oem).c_str())) << opened;
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

}  // namespace
