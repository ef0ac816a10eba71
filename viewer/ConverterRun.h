// The converter run from the viewer: fromZORB.exe started in the report's
// folder, its console lines shown as they come in a window of their own over
// the viewer's (modal: the viewer's window is disabled while it is open), and
// what its exit code means, said in that window until the user closes it.
#ifndef ORVEX_CONVERTER_RUN_H
#define ORVEX_CONVERTER_RUN_H

#include <string>

#include "HostCommon.h"

namespace host {

// The converter's exit codes.
enum ConverterExit
{
    kConverted = 0,      // the four tables written (the kinds file may have been unreadable)
    kNotWritten = 1,     // an output could not be written; no table was replaced
    kNotRead = 2,        // the report or the goods list could not be read; no table written
    kNoReportTable = 3   // the report's table was not found; no table written
};

struct ConverterRun
{
    bool started = false;
    DWORD startError = 0;             // why it could not be started
    DWORD exitCode = 0;
    std::string output;
};

// Runs the converter in the folder and shows its window until the user closes
// it; with autoClose (automation) the window closes by itself a moment after
// the converter ended.
ConverterRun RunConverter(const std::string& converter, const std::string& folder, bool autoClose);

// Did the import step that printed this text fail (" fault !!! ")?
bool StepFailed(const std::string& output, const char* step);

extern const char kConverterWindowClass[];
// The converter window's children (the tests find them by these).
const int kConverterResultId = 201;
const int kConverterLinesId = 202;

}  // namespace host

#endif
