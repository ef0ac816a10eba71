// OrvexHost: the viewer of the converter's tables, and the stand-in for the
// host program of Orvex_DLL. It loads Orvex_DLL.dll from its own folder as a
// host does, lends it a window with a menu, feeds it the converter's tables
// (Positions.txt, Suppliers.txt, Moves.txt; Buyers.txt only to check the buyer
// codes of sales) through the add operations, and refreshes the lists (and
// with -savelists has them saved). A person opens folders, converts reports,
// saves lists, chooses how identifiers are shown and reads the guide through
// the menu; options drive the same steps, and the plug-in's window as a user
// would (tabs, supplier box, button, header and row clicks, the lists' keys),
// take pictures and quit. Every fault is a line on the console; without -quit
// also a message box.
//
//   OrvexHost.exe [FOLDER] [options]     run with -help for the options
//
// Exit code: 0 all well; 1 a table was missing or had faulty rows (the rest was
// fed); 2 the library could not be loaded or attached; 3 a bad option, a step
// that could not be done, or (-savelists) list files that could not be saved.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "Viewer.h"

namespace host {
namespace {

void Usage()
{
    Say("usage: OrvexHost.exe [FOLDER] [options]");
    Say("  Loads Orvex_DLL.dll from the program's folder, shows it in a window and feeds it");
    Say("  Positions.txt, Suppliers.txt and Moves.txt from FOLDER (else the current directory).");
    Say("  The plug-in loads its list files from the current directory and writes its report there.");
    Say("  Without -quit a person works the viewer: faults are also message boxes, FOLDER (else the");
    Say("  current directory if it holds the tables, else the last folder used, else one the user");
    Say("  chooses) becomes the current directory and is remembered.");
    Say("options, done in the order given once the tables are in:");
    Say("  -tab N          click tab N (0 goods, 1 suppliers, 2 movements, 3 balances, 4 dynamics)");
    Say("  -supplier N     choose supplier N in the dynamics page's box; \"most\": the one with most goods");
    Say("  -build          press \"Build the dynamics\"");
    Say("  -dblclick N     double-click row N of the dynamics list (writes and opens the report)");
    Say("  -sort N         click the header of column N of the current page's list (it sorts by it)");
    Say("  -select N       click row N of the current page's list");
    Say("  -selectall      select every row of the current page's list (Ctrl+A)");
    Say("  -copy TARGET    copy the selected rows (Ctrl+C); TARGET \"clipboard\", or a FILE that gets");
    Say("                  the clipboard's text (code page 1251)");
    Say("  -save FILE      save the current page's list as CSV, as File > Save list does");
    Say("  -find TEXT      find the next row holding TEXT in the current page's list (Ctrl+F)");
    Say("  -findnext       find the same text again (F3)");
    Say("  -shot FILE      save a picture of the window as a 24-bit BMP");
    Say("  -menushot FILE  save a picture of the window with its File menu open (24-bit BMP)");
    Say("  -wait MS        keep the window running for MS milliseconds");
    Say("  -open FOLDER    open another folder's tables, as File > Open folder does");
    Say("  -convert FILE   convert the report FILE (ZORB_MVS.txt) and show its tables, as File > Convert");
    Say("                  does; the converter's window closes by itself");
    Say("  -quit           quit (else the program runs until its window is closed)");
    Say("settings of the run:");
    Say("  -idmode N       identifiers shown as 0 hexadecimal numbers, 1 decimal numbers, 2 codes (the");
    Say("                  default: the choice of the View menu, remembered; codes at first)");
    Say("  -savelists      have the plug-in save its list files to c:\\ after feeding (exit code 3 when");
    Say("                  they could not be saved); the viewer itself needs none");
    Say("  -nofeed         feed no tables (the list files alone)");
    Say("  -time           print the time of every step and the peak memory");
    Say("  -version        print the version of the viewer, the plug-in and the converter, and quit");
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        Action action;
        if (arg == "-help" || arg == "--help" || arg == "-h" || arg == "/?") {
            Usage();
            exit(kExitOk);
        } else if (arg == "-tab" || arg == "-dblclick" || arg == "-wait" || arg == "-idmode" || arg == "-sort" ||
                   arg == "-select") {
            int value = 0;
            if (!hasValue || !ParseCount(argv[i + 1], value)) {
                Say("%s needs a number", arg.c_str());
                return false;
            }
            ++i;
            if (arg == "-idmode") {
                if (value > 2) {
                    Say("-idmode takes 0 (hexadecimal numbers), 1 (decimal numbers) or 2 (codes), not %d", value);
                    return false;
                }
                options.idMode = value;
                continue;
            }
            action.kind = arg == "-tab" ? kTab : arg == "-dblclick" ? kDoubleClick : arg == "-sort" ? kSort
                        : arg == "-select" ? kSelect : kWait;
            action.number = value;
            options.actions.push_back(action);
        } else if (arg == "-supplier" || arg == "-shot" || arg == "-menushot" || arg == "-open" ||
                   arg == "-convert" || arg == "-copy" || arg == "-save" || arg == "-find") {
            if (!hasValue) {
                Say("%s needs a value", arg.c_str());
                return false;
            }
            action.kind = arg == "-supplier" ? kSupplier : arg == "-shot" ? kShot : arg == "-menushot" ? kMenuShot
                        : arg == "-open" ? kOpen : arg == "-copy" ? kCopy : arg == "-save" ? kSave
                        : arg == "-find" ? kFind : kConvert;
            action.text = argv[++i];
            options.actions.push_back(action);
        } else if (arg == "-build" || arg == "-selectall" || arg == "-findnext") {
            action.kind = arg == "-build" ? kBuild : arg == "-selectall" ? kSelectAll : kFindNext;
            options.actions.push_back(action);
        } else if (arg == "-quit") {
            action.kind = kQuit;
            options.actions.push_back(action);
            options.interactive = false;
        } else if (arg == "-nofeed") {
            options.feed = false;
        } else if (arg == "-savelists") {
            options.saveLists = true;
        } else if (arg == "-version") {
            Viewer::SayVersions();
            exit(kExitOk);
        } else if (arg == "-time") {
            g_timing = true;
        } else if (!arg.empty() && arg[0] == '-') {
            Say("unknown option %s (-help lists them)", arg.c_str());
            return false;
        } else if (!haveFolder) {
            options.folder = arg;
            options.folderGiven = haveFolder = true;
        } else {
            Say("one folder only: %s", arg.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace host

// Started from a console without redirected output (a GUI program gets none),
// the console lines go to the parent's console.
static void FindConsole()
{
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output && output != INVALID_HANDLE_VALUE)
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        freopen("CONOUT$", "w", stdout);
        freopen("CONOUT$", "w", stderr);
    }
}

int main(int argc, char** argv)
{
    FindConsole();
    host::Options options;
    if (!host::ParseOptions(argc, argv, options))
        return host::kExitStep;
    host::Viewer viewer(options);
    return viewer.Run();
}
