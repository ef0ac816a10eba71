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
#include "Console.h"
#include "GoodsList.h"
#include "GoodsListReader.h"
#include "MoveKindsReader.h"
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

const FuzzFile* FileNamed(const FuzzInput& input, const char* name)
{
    for (const FuzzFile& f : input)
        if (f.name == name && f.present)
            return &f;
    return NULL;
}

// The goods-list reader on the input's goods list: cells inside the text and
// ended within their length, no line end inside a cell (quoted ones included),
// no trailing space, rows and columns in sequence.
class GoodsCells : public ITableReceiver
{
public:
    GoodsCells(Verdict& v, const char* text, int length) : m_v(v), m_text(text), m_length(length) {}
    bool OnTableCell(char* cell, int length, int row, int column, bool endOfRow) override
    {
        ++calls;
        if (cell < m_text || cell > m_text + m_length || length < 0 || cell + length > m_text + m_length) {
            m_v.Fail("goods list: a cell outside the text");
        } else {
            const size_t n = strnlen(cell, (size_t)length + 1);
            if (n > (size_t)length)
                m_v.Fail("goods list: a cell not ended within its length");
            else if (memchr(cell, '\r', n) || memchr(cell, '\n', n))
                m_v.Fail("goods list: a line end inside a cell");
            else if (n && cell[n - 1] == ' ' && n == strlen(cell) && !memchr(cell, 0, (size_t)length))
                m_v.Fail("goods list: a cell keeps a trailing space");
        }
        if (row != m_row || column != m_column)
            m_v.Fail("goods list: rows and columns out of sequence");
        m_row = endOfRow ? row + 1 : row;
        m_column = endOfRow ? 0 : column + 1;
        return true;
    }
    int calls = 0;

private:
    Verdict&    m_v;
    const char* m_text;
    int         m_length;
    int         m_row = 0;
    int         m_column = 0;
};

void CheckGoodsReader(Verdict& v, const FuzzInput& input)
{
    const FuzzFile* goods = FileNamed(input, kGoodsName);
    if (!goods || goods->bytes.empty())
        return;
    std::string text = goods->bytes;
    int unmapped = 0;
    const int length = GoodsListTo1251(&text[0], (int)text.size(), &unmapped);
    if (length < 0 || length > (int)text.size() || text[(size_t)length] != 0) {
        v.Fail("goods list: the converted text does not fit");
        return;
    }
    if (unmapped > length)
        v.Fail("goods list: more characters without form than characters");
    bool high = false;
    for (char c : goods->bytes)
        high = high || (unsigned char)c >= 0x80;
    if (!high && (length != (int)goods->bytes.size() || text.compare(0, goods->bytes.size(), goods->bytes) != 0))
        v.Fail("goods list: a text without a byte above 0x7F was changed");
    GoodsCells cells(v, text.data(), length);
    const bool result = ReadGoodsList(&text[0], length, &cells, NULL);
    if (result != (cells.calls > 0))
        v.Fail("goods list: the reader's result does not fit its calls");
    if (length > 0 && cells.calls == 0)
        v.Fail("goods list: a text without a single cell");
}

uint64_t Fnv(const std::string& bytes)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// A field as a spreadsheet writes it: quoted when it must be (or always),
// its quotes doubled.
std::string Field(const std::string& text, bool alwaysQuoted)
{
    bool quote = alwaysQuoted;
    for (char c : text)
        quote = quote || c == ';' || c == '"' || (unsigned char)c < 0x20;
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

// A number as a Russian-locale spreadsheet may write it: a decimal comma,
// digit groups set apart by a space or a no-break space. *pointForm is the
// same number with a point and no groups.
std::string Number(double value, int form, std::string* pointForm)
{
    char text[64];
    snprintf(text, sizeof(text), "%.17g", value);
    *pointForm = text;
    std::string out = text;
    if (out.find_first_of("eEnN") != std::string::npos)
        return out;
    if (form & 1) {
        size_t point = out.find('.');
        if (point != std::string::npos)
            out[point] = ',';
    }
    if (form & 6) {
        const char separator = (form & 2) ? ' ' : '\xA0';
        size_t begin = out[0] == '-' ? 1 : 0;
        size_t end = begin;
        while (end < out.size() && out[end] >= '0' && out[end] <= '9')
            ++end;
        for (size_t at = end; at > begin + 3; at -= 3)
            out.insert(at - 3, 1, separator);
    }
    return out;
}

std::string Utf8(const std::string& cp1251)
{
    if (cp1251.empty())
        return cp1251;
    int n = MultiByteToWideChar(1251, 0, cp1251.data(), (int)cp1251.size(), NULL, 0);
    std::wstring wide((size_t)n, L'\0');
    MultiByteToWideChar(1251, 0, cp1251.data(), (int)cp1251.size(), &wide[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, NULL, 0, NULL, NULL);
    std::string out((size_t)m, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, &out[0], m, NULL, NULL);
    return out;
}

// The goods list as read, written again the way a spreadsheet saves it
// (quoted fields, a decimal comma, digit groups, UTF-8 with or without its
// mark, LF line ends: a choice made from the input's bytes), must read back
// to the same positions.
void CheckSpreadsheetForm(Verdict& v, const CConverterTables& tables, const std::string& goodsBytes)
{
    const uint64_t h = Fnv(goodsBytes);
    const bool alwaysQuoted = h & 1, lf = (h >> 1) & 1;
    const int numberForm = (int)((h >> 2) % 6);   // bit 0 comma, bit 1 spaces, bit 2 no-break spaces
    const int encoding = (int)((h >> 5) % 3);      // 0 code page 1251, 1 UTF-8 with its mark, 2 without
    const char* const end = lf ? "\n" : "\r\n";
    std::string list = std::string("Код;Наименование;Поставщик;Цена;Вес") + end;
    std::vector<double> expected;
    bool noForm98 = true;
    for (int i = 0; i < tables.PositionCount(); ++i) {
        const Position& p = *tables.PositionAt(i);
        const std::string texts[3] = { tables.CodeOf(p), tables.NameOf(p), tables.SupplierOf(p) };
        for (const std::string& t : texts) {
            // A zero byte in a cell ends its text before the trimmed spaces:
            // no field ends in a space once read.
            if (!t.empty() && t.back() == ' ')
                return;
            list += Field(t, alwaysQuoted) + ";";
            noForm98 = noForm98 && t.find('\x98') == std::string::npos;
        }
        const double values[2] = { p.unitCost, p.secondValue };
        for (int k = 0; k < 2; ++k) {
            if (values[k] != values[k] || values[k] - values[k] != 0)
                return;   // not finite: no written form of its own
            std::string point;
            list += Field(Number(values[k], numberForm, &point), alwaysQuoted);
            list += k == 0 ? ";" : end;
            expected.push_back(atof(point.c_str()));
        }
    }
    if (encoding != 0) {
        if (!noForm98)
            return;   // 0x98 has no character of its own
        list = (encoding == 1 ? "\xEF\xBB\xBF" : "") + Utf8(list);
    }
    const char kFormName[] = "spreadsheet.csv";
    if (!WriteFileBytes(kFormName, list)) {
        v.Fail("cannot write the spreadsheet form");
        return;
    }
    CFileFunctions files;
    CDelimitedTextReader reader(files);
    CConverterTables again;
    bool read;
    {
        ConsoleCapture capture;
        read = CGoodsListReader(again).Import(files, reader, kFormName);
        capture.Finish();
    }
    if (!read || again.PositionCount() != tables.PositionCount()) {
        v.Fail("the spreadsheet form of the goods list reads otherwise");
        return;
    }
    for (int i = 0; i < tables.PositionCount(); ++i) {
        const Position& a = *tables.PositionAt(i);
        const Position& b = *again.PositionAt(i);
        const char* field = strcmp(tables.CodeOf(a), again.CodeOf(b))                   ? "code"
                            : strcmp(tables.NameOf(a), again.NameOf(b))                 ? "name"
                            : strcmp(tables.SupplierOf(a), again.SupplierOf(b))         ? "supplier"
                            : memcmp(&expected[2 * (size_t)i], &b.unitCost, sizeof(double)) ? "unit cost"
                            : memcmp(&expected[2 * (size_t)i + 1], &b.secondValue, sizeof(double)) ? "second value"
                                                                                                  : NULL;
        if (field) {
            v.Fail("the spreadsheet form of the goods list reads the " + std::string(field) + " of position " +
                   std::to_string(i) + " otherwise (form " + std::to_string(h & 63) + ")");
            return;
        }
    }
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
    CReportConverter converter(files, reader);
    std::string console;
    bool result;
    {
        ConsoleCapture capture;
        result = converter.Run(kGoodsName, kReportName);
        console = capture.Finish();
    }
    const CConverterTables& tables = converter.Tables();

    // The run ends after the report's lines when an input could not be read
    // or holds no table; else the four tables are written.
    static const std::regex kConsole(
        "\r\nImport moves type \\.\\.\\. (?:\\((\\d+)\\) Ok\r\n| fault !!! )"
        "Import positions \\.\\.\\. (?:\\((\\d+)\\) Ok\r\n"
        "(?: 1 character of the goods list has no form in code page 1251 and was written as '\\?' \r\n|"
        " (\\d+) characters of the goods list have no form in code page 1251 and were written as '\\?' \r\n)?"
        "| fault !!! )"
        "(Tables start NOT found\\.\\.\\. |Tables end NOT found\\.\\.\\. |"
        "Import moves \\.\\.\\. \\((\\d+)\\) Ok\r\nStart date: \\d{2,3}\\.\\d{2,3}\\.\\d{2,3}\r\n"
        "End date: \\d{2,3}\\.\\d{2,3}\\.\\d{2,3}\r\n(\r\nExport: \r\n"
        " SupplierList by pos \\.\\.\\. Ok\r\n BuyersList \\.\\.\\. Ok\r\n GoodsList \\.\\.\\. Ok\r\n"
        " MovesList \\.\\.\\.  added (\\d+) fictive moves Ok\r\n\r\nProgram ended \\.\\.\\. )?)");
    std::smatch m;
    if (!std::regex_match(console, m, kConsole)) {
        v.Fail("console text not among the specified ones");
        return v;
    }
    if (m[1].matched && std::stoi(m[1]) != tables.MoveTypeCount())
        v.Fail("move type count printed differs");
    if (m[2].matched && std::stoi(m[2]) != tables.PositionCount())
        v.Fail("position count printed differs");
    if (m[3].matched && std::stoi(m[3]) < 2)
        v.Fail("a count of characters without form below 2 in the plural");
    // Groups: 1 kinds, 2 positions, 3 characters without form, 4 the rest,
    // 5 moves, 6 the exports, 7 fictive rows.
    const bool goodsRead = m[2].matched;
    const bool exported = m[6].matched;
    if (result != exported)
        v.Fail("Run's result does not fit its console text");
    if (exported && !goodsRead)
        v.Fail("tables written without a goods list");
    const int code = converter.LastExitCode();
    const std::string rest = m[4];
    if (exported ? code != 0
                 : !goodsRead ? code != 2
                 : rest.compare(0, 12, "Tables end N") == 0 ? code != 3
                 : rest.compare(0, 14, "Tables start N") == 0 ? code != 2 && code != 3 : true)
        v.Fail("exit code " + std::to_string(code) + " does not fit the console text");
    CheckGoodsReader(v, input);
    if (goodsRead) {
        if (const FuzzFile* goods = FileNamed(input, kGoodsName))
            CheckSpreadsheetForm(v, tables, goods->bytes);
    }
    if (!exported) {
        for (const char* name : kOutputs)
            if (name != kOutputs[4] && GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
                v.Fail(std::string("tables written by a run that failed: ") + name);
        return v;
    }
    if (std::stoi(m[5]) != tables.MoveCount())
        v.Fail("move count printed differs");
    const long fictive = std::stol(m[7]);

    // What the tables say the files must hold.
    bool exact = true;
    std::set<std::string> suppliers;
    for (int i = 0; i < tables.PositionCount(); ++i) {
        const Position& p = *tables.PositionAt(i);
        suppliers.insert(tables.SupplierOf(p));
        exact = exact && Plain(tables.CodeOf(p)) && Plain(tables.NameOf(p)) && Plain(tables.SupplierOf(p));
    }
    std::set<int> buyers;
    for (int i = 0; i < tables.MoveCount(); ++i) {
        const Move& mv = *tables.MoveAt(i);
        if (!tables.TypeAt(mv.kindIndex).incoming)
            buyers.insert(mv.partnerCode);
        exact = exact && Plain(tables.PartnerNameOf(mv)) && Plain(tables.GoodsCodeOf(mv));
    }
    CheckTable(v, "Suppliers.txt", "ID|Name\r\n", suppliers.size(), exact, { 1 });
    CheckTable(v, "Buyers.txt", "ID|Name\r\n", buyers.size(), exact, { 1 });
    CheckTable(v, "Positions.txt", "ID|Name\r\n", tables.PositionCount(), exact, { 9 });
    std::vector<int> moveBars(tables.MoveCount(), 7);
    moveBars.push_back(3);   // fictive rows: date, two placeholders
    CheckTable(v, "Moves.txt", "Date|IDG|IDS|NIN|NOUT|DIN|DOUT\r\n", tables.MoveCount() + fictive, exact, moveBars);
    return v;
}

bool AddDefaultKinds(const std::string& seedDir)
{
    return CMoveKindsReader::WriteDefaultMoveTypes((seedDir + "\\moves_type.txt").c_str());
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
