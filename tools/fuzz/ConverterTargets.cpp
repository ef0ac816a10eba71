// The converter's targets: Run end to end, and the delimited text reader alone.
#include "FuzzTargets.h"

#include <windows.h>
#include <io.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>

#include <regex>
#include <set>

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/HeapRegistry.h"
#include "ReportConverter.h"

namespace fuzz {

namespace {

const char kGoodsName[] = "Номенкл.csv";
const char kReportName[] = "ZORB_MVS.txt";
const char kConsoleName[] = "console.out";
const char* const kOutputs[] = { "Suppliers.txt", "Buyers.txt", "Positions.txt", "Moves.txt", "moves_type.txt" };

// Standard output goes to a file of the scratch folder while Run runs.
class ConsoleCapture
{
public:
    ConsoleCapture()
    {
        fflush(stdout);
        m_saved = _dup(_fileno(stdout));
        int fd = _open(kConsoleName, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
        if (fd >= 0) {
            _dup2(fd, _fileno(stdout));
            _close(fd);
        }
    }
    std::string Finish()
    {
        fflush(stdout);
        if (m_saved >= 0) {
            _dup2(m_saved, _fileno(stdout));
            _close(m_saved);
            m_saved = -1;
        }
        std::string text;
        ReadFileBytes(kConsoleName, &text);
        return text;
    }
    ~ConsoleCapture() { Finish(); }

private:
    int m_saved = -1;
};

std::vector<std::string> CrLfLines(const std::string& bytes, bool* endsWithCrLf)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, at - start));
        start = at + 2;
    }
    *endsWithCrLf = start == bytes.size();
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

int Bars(const std::string& line)
{
    int n = 0;
    for (char c : line)
        n += c == '|';
    return n;
}

// One exported table: header, line count and, where no text can disturb them,
// the separators of every line.
void CheckTable(Verdict& v, const char* name, const char* header, size_t records, bool exact,
                const std::vector<int>& bars)
{
    std::string bytes;
    if (!ReadFileBytes(name, &bytes)) {
        v.Fail(std::string(name) + " missing");
        return;
    }
    if (bytes.compare(0, strlen(header), header) != 0) {
        v.Fail(std::string(name) + " header");
        return;
    }
    if (!exact)
        return;
    bool closed = false;
    std::vector<std::string> lines = CrLfLines(bytes, &closed);
    if (!closed || lines.size() != records + 1) {
        v.Fail(std::string(name) + ": " + std::to_string(lines.size()) + " lines for " + std::to_string(records) +
               " records");
        return;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        int want = bars[i - 1 < bars.size() ? i - 1 : bars.size() - 1];
        if (Bars(lines[i]) != want) {
            v.Fail(std::string(name) + " line " + std::to_string(i) + " has " + std::to_string(Bars(lines[i])) +
                   " fields separators, not " + std::to_string(want));
            return;
        }
    }
}

// A text that can change the exported lines' shape: a separator in it, or a
// length near the 1023-byte cut of one written piece.
bool Plain(const char* text)
{
    return strlen(text) < 300 && !strchr(text, '|');
}

}  // namespace

Verdict RunConverterInput(const FuzzInput& input)
{
    Verdict v;
    for (const char* name : kOutputs)
        DeleteFileA(name);
    PutInput(input);

    CFileFunctions files;
    CConsoleProgress progress;
    CDelimitedTextReader reader(files, &progress);
    CReportConverter conv(files, reader);
    std::string console;
    bool result;
    {
        ConsoleCapture capture;
        result = conv.Run(kGoodsName, kReportName);
        console = capture.Finish();
    }

    static const std::regex kConsole(
        "\r\nImport moves type \\.\\.\\. (?:\\((\\d+)\\) Ok\r\n| fault !!! )"
        "Import positions \\.\\.\\. (?:\\((\\d+)\\) Ok\r\n| fault !!! )"
        "(Tables start NOT found\\.\\.\\. |Tables end NOT found\\.\\.\\. |"
        "Import moves \\.\\.\\. \\((\\d+)\\) Ok\r\nStart date: \\d{2,3}\\.\\d{2,3}\\.\\d{2,3}\r\n"
        "End date: \\d{2,3}\\.\\d{2,3}\\.\\d{2,3}\r\n\r\nExport: \r\n"
        " SupplierList by pos \\.\\.\\. Ok\r\n BuyersList \\.\\.\\. Ok\r\n GoodsList \\.\\.\\. Ok\r\n"
        " MovesList \\.\\.\\.  added (\\d+) fictive moves Ok\r\n\r\nProgram ended \\.\\.\\. )");
    std::smatch m;
    if (!std::regex_match(console, m, kConsole)) {
        v.Fail("console text not among the specified ones");
        return v;
    }
    if (m[1].matched && std::stoi(m[1]) != conv.MoveTypeCount())
        v.Fail("move type count printed differs");
    if (m[2].matched && std::stoi(m[2]) != conv.PositionCount())
        v.Fail("position count printed differs");
    // Groups: 1 kinds, 2 positions, 3 the rest, 4 moves, 5 fictive rows.
    const bool exported = m[4].matched;
    if (result != exported)
        v.Fail("Run's result does not fit its console text");
    if (!exported) {
        for (const char* name : kOutputs)
            if (name != kOutputs[4] && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
                v.Fail(std::string("an export without both markers: ") + name);
        return v;
    }
    if (std::stoi(m[4]) != conv.MoveCount())
        v.Fail("move count printed differs");
    const long fictive = std::stol(m[5]);

    // What the tables say the files must hold.
    bool exact = true;
    std::set<std::string> suppliers;
    for (int i = 0; i < conv.PositionCount(); ++i) {
        const Position& p = *conv.PositionAt(i);
        suppliers.insert(conv.SupplierOf(p));
        exact = exact && Plain(conv.CodeOf(p)) && Plain(conv.NameOf(p)) && Plain(conv.SupplierOf(p));
    }
    std::set<int> buyers;
    for (int i = 0; i < conv.MoveCount(); ++i) {
        const Move& mv = *conv.MoveAt(i);
        if (!conv.TypeAt(mv.kindIndex).incoming)
            buyers.insert(mv.partnerCode);
        exact = exact && Plain(conv.PartnerNameOf(mv)) && Plain(conv.GoodsCodeOf(mv));
    }
    CheckTable(v, "Suppliers.txt", "ID|Name\r\n", suppliers.size(), exact, { 1 });
    CheckTable(v, "Buyers.txt", "ID|Name\r\n", buyers.size(), exact, { 1 });
    CheckTable(v, "Positions.txt", "ID|Name\r\n", conv.PositionCount(), exact, { 9 });
    std::vector<int> moveBars(conv.MoveCount(), 7);
    moveBars.push_back(3);   // fictive rows: date, two placeholders
    CheckTable(v, "Moves.txt", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n", conv.MoveCount() + fictive, exact, moveBars);
    return v;
}

bool AddDefaultKinds(const std::string& seedDir)
{
    return CReportConverter::WriteDefaultMoveTypes((seedDir + "\\moves_type.txt").c_str());
}

// The reader target -------------------------------------------------------

namespace {

class CheckingReceiver : public ITableReceiver
{
public:
    CheckingReceiver(Verdict& v, const char* text, const std::string& original, int length, char field, char line,
                     int stopAt)
        : m_v(v), m_text(text), m_original(original), m_length(length), m_field(field), m_line(line ? line : '\r'), m_stopAt(stopAt)
    {
    }
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        ++calls;
        if (cell < m_text || cell > m_text + m_length)
            m_v.Fail("a cell outside the text");
        else if (length < 0 || cell + length > m_text + m_length)
            m_v.Fail("a cell length past the text");
        else {
            size_t n = strnlen(cell, (size_t)length + 1);
            if (n > (size_t)length)
                m_v.Fail("a cell not ended within its length");
            // Trimming stops at a zero byte of the text itself.
            else if (n && cell[n - 1] == ' ' && !memchr(m_original.data() + (cell - m_text), 0, (size_t)length))
                m_v.Fail("a cell keeps a trailing space");
            else if (memchr(cell, m_field, n) || memchr(cell, m_line, n))
                m_v.Fail("a separator inside a cell");
        }
        if (row != m_row || column != m_column)
            m_v.Fail("rows and columns out of sequence");
        if (endOfRow) {
            m_row = row + 1;
            m_column = 0;
        } else {
            m_column = column + 1;
        }
        if (m_done)
            m_v.Fail("a cell after the receiver refused");
        if (calls == m_stopAt) {
            m_done = true;
            return false;
        }
        return true;
    }
    int calls = 0;

private:
    Verdict&    m_v;
    const char* m_text;
    const std::string& m_original;
    int         m_length;
    char        m_field;
    char        m_line;
    int         m_stopAt;
    int         m_row = 0;
    int         m_column = 0;
    bool        m_done = false;
};

const FuzzFile* FileNamed(const FuzzInput& input, const char* name)
{
    for (const FuzzFile& f : input)
        if (f.name == name && f.present)
            return &f;
    return NULL;
}

}  // namespace

FuzzInput ReaderInputFrom(const FuzzInput& converterInput, uint64_t seed, uint64_t index)
{
    Rng rng(InputSeed(seed, "separators", index));
    static const char kFields[] = { '|', ';', '\xA6', '\xB3', '.', ' ', '\r', '\n', '\0', '\t' };
    static const char kLines[] = { 0, '\r', '\n', '|', ';', '\xA6', ' ', '\x01' };
    FuzzInput out(2);
    out[0].name = "separators";
    out[0].bytes = std::string(1, kFields[rng.Below(sizeof(kFields))]) + kLines[rng.Below(sizeof(kLines))];
    // Now and then the receiver refuses a cell (the third byte: which call).
    if (rng.Chance(10))
        out[0].bytes.push_back((char)(1 + rng.Below(40)));
    out[1].name = "text";
    std::vector<const FuzzFile*> present;
    for (const FuzzFile& f : converterInput)
        if (f.present)
            present.push_back(&f);
    if (!present.empty())
        out[1].bytes = present[rng.Below(present.size())]->bytes;
    return out;
}

Verdict RunReaderInput(const FuzzInput& input)
{
    Verdict v;
    const FuzzFile* seps = FileNamed(input, "separators");
    const FuzzFile* text = FileNamed(input, "text");
    if (!seps || seps->bytes.size() < 2 || !text)
        return v;
    const char field = seps->bytes[0];
    const char line = seps->bytes[1];
    const int stopAt = seps->bytes.size() > 2 ? (unsigned char)seps->bytes[2] : -1;
    // The buffer as ReadWholeFile makes it: the text and one zero byte, exactly.
    const int length = (int)text->bytes.size();
    char* buffer = NULL;
    if (!g_heapRegistry.Alloc(&buffer, (SIZE_T)length + 1)) {
        v.Fail("no buffer");
        return v;
    }
    if (length)
        memcpy(buffer, text->bytes.data(), (size_t)length);
    CFileFunctions files;
    CConsoleProgress progress;
    CDelimitedTextReader reader(files, &progress);
    CheckingReceiver receiver(v, buffer, text->bytes, length, field, line, stopAt);
    // A zero length names a source instead of a text: give it a name that is no file.
    bool result = length ? reader.ReadDelimitedText(buffer, length, field, line, &receiver)
                         : reader.ReadDelimitedText(buffer, 0, field, line, &receiver);
    const bool refused = stopAt > 0 && receiver.calls >= stopAt;
    if (result != (receiver.calls > 0 && !refused))
        v.Fail("the reader's result does not fit its calls");
    if (length && receiver.calls == 0)
        v.Fail("a text without a single cell");
    g_heapRegistry.Free(&buffer);
    return v;
}

}  // namespace fuzz
