// The fuzzing command's inputs: named files, the random source, mutations, saving and loading.
#include "FuzzInput.h"

#include <windows.h>

#include <string.h>

#include <algorithm>
#include <limits>
#include <ctype.h>

namespace fuzz {

uint64_t InputSeed(uint64_t seed, const char* target, uint64_t index)
{
    uint64_t h = 1469598103934665603ull ^ seed;
    for (const char* p = target; *p; ++p)
        h = (h ^ (uint8_t)*p) * 1099511628211ull;
    Rng mix(h ^ (index * 0x9E3779B97F4A7C15ull));
    mix.Next();
    return mix.Next();
}

FileKind KindOf(const std::string& name)
{
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0)
        return ListImage;
    if (name == "ZORB_MVS.txt")
        return ReportText;
    if (name == "moves_type.txt")
        return KindsText;
    return GoodsText;
}

namespace {

// The report is in code page 866: its box line, corner, rule and tee.
const char kBoxLine[] = "\xB3";
const char kEndMarker[] = "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC1";
const char kStartMarker[] = "\xB3.........";

const char* const kDates[] = { "32.13.99", "1.1.5", "..", "00.00.00", "99.99.99", "31.02.04", "29.02.04",
                               "-1.-5.-9", "255.255.255", "1.1.", "12345678901", "01.01.99999999" };
const char* const kNumbers[] = { "1e308", "-0", "nan", "12,5", "inf", "-1e308", "1e-320", "-nan", "1e309",
                                 "99999999999999999999", "-2147483649", "4294967296", "0x1p3", ".", "-", "1e" };

std::vector<const char*> Separators(FileKind kind)
{
    switch (kind) {
    case ReportText: return { kBoxLine, kBoxLine, kEndMarker, kStartMarker, ".........", ".", "|", ";", "\r\n" };
    case GoodsText: return { ";", ";", "|", "\r\n", "." };
    default: return { "|", "|", ";", "\r\n" };
    }
}

// [start, end) of each line, its line end included.
std::vector<std::pair<size_t, size_t>> Lines(const std::string& text)
{
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            lines.push_back({ start, i + 1 });
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back({ start, text.size() });
    return lines;
}

// Where a cell of `text` is: between two separators of the file's kind.
bool PickCell(Rng& rng, const std::string& text, FileKind kind, size_t* begin, size_t* end)
{
    const char sep = kind == ReportText ? '\xB3' : kind == GoodsText ? ';' : '|';
    std::vector<size_t> seps;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == sep)
            seps.push_back(i);
    if (seps.empty())
        return false;
    size_t k = rng.Below(seps.size());
    *begin = seps[k] + 1;
    size_t e = *begin;
    while (e < text.size() && text[e] != sep && text[e] != '\r' && text[e] != '\n')
        ++e;
    *end = e;
    return true;
}

// A DD.MM.YY date somewhere in the text.
bool PickDate(Rng& rng, const std::string& text, size_t* at)
{
    std::vector<size_t> found;
    for (size_t i = 0; i + 8 <= text.size() && found.size() < 4096; ++i) {
        const char* p = text.data() + i;
        if (isdigit((unsigned char)p[0]) && isdigit((unsigned char)p[1]) && p[2] == '.' &&
            isdigit((unsigned char)p[3]) && isdigit((unsigned char)p[4]) && p[5] == '.' &&
            isdigit((unsigned char)p[6]) && isdigit((unsigned char)p[7]))
            found.push_back(i);
    }
    if (found.empty())
        return false;
    *at = found[rng.Below(found.size())];
    return true;
}

// A number (digits with an optional point) somewhere in the text.
bool PickNumber(Rng& rng, const std::string& text, size_t* begin, size_t* end)
{
    for (int attempt = 0; attempt < 8 && !text.empty(); ++attempt) {
        size_t i = rng.Below(text.size());
        while (i < text.size() && !isdigit((unsigned char)text[i]))
            ++i;
        if (i >= text.size())
            continue;
        size_t e = i;
        while (e < text.size() && (isdigit((unsigned char)text[e]) || text[e] == '.'))
            ++e;
        *begin = i;
        *end = e;
        return true;
    }
    return false;
}

std::string Filler(Rng& rng, size_t n)
{
    static const char kAlphabet[] = "ABCxyz0123456789 .-\xE0\xE1\xE2";
    char c = kAlphabet[rng.Below(sizeof(kAlphabet) - 1)];
    return std::string(n, c);
}

void MutateTextOnce(Rng& rng, std::string& text, FileKind kind)
{
    auto lines = Lines(text);
    switch (rng.Below(16)) {
    case 0:   // byte flips
        for (int n = 1 + (int)rng.Below(4); n > 0 && !text.empty(); --n)
            text[rng.Below(text.size())] ^= (char)(1u << rng.Below(8));
        break;
    case 1:   // random bytes
        for (int n = 1 + (int)rng.Below(4); n > 0 && !text.empty(); --n)
            text[rng.Below(text.size())] = (char)rng.Below(256);
        break;
    case 2:   // a line deleted
        if (!lines.empty()) {
            auto l = lines[rng.Below(lines.size())];
            text.erase(l.first, l.second - l.first);
        }
        break;
    case 3:   // a line doubled
        if (!lines.empty()) {
            auto l = lines[rng.Below(lines.size())];
            text.insert(l.first, text.substr(l.first, l.second - l.first));
        }
        break;
    case 4:   // a line cut short (its end kept, or lost)
        if (!lines.empty()) {
            auto l = lines[rng.Below(lines.size())];
            size_t cut = l.first + rng.Below(l.second - l.first);
            size_t keep = rng.Chance(50) ? l.second : l.second - (text[l.second - 1] == '\n' ? 2 : 0);
            if (keep < cut)
                keep = cut;
            text.erase(cut, keep - cut);
        }
        break;
    case 5: {   // CR LF turned into LF or CR, everywhere or once
        const bool all = rng.Chance(50);
        const char* with = rng.Chance(50) ? "\n" : "\r";
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1)) {
            text.replace(at, 2, with);
            if (!all)
                break;
        }
        break;
    }
    case 6: {   // a separator inserted
        auto seps = Separators(kind);
        text.insert(rng.Below(text.size() + 1), seps[rng.Below(seps.size())]);
        break;
    }
    case 7: {   // separators removed
        auto seps = Separators(kind);
        std::string sep = seps[rng.Below(seps.size())];
        int n = 1 + (int)rng.Below(3);
        for (int k = 0; k < n; ++k) {
            size_t at = text.find(sep, rng.Below(text.size() + 1));
            if (at == std::string::npos)
                at = text.find(sep);
            if (at == std::string::npos)
                break;
            text.erase(at, sep.size());
        }
        break;
    }
    case 8: {   // a cell of 2,000 or 100,000 bytes
        size_t b, e;
        size_t n = rng.Chance(70) ? 2000 : 100000;
        if (PickCell(rng, text, kind, &b, &e))
            text.replace(b, e - b, Filler(rng, n));
        else
            text.insert(rng.Below(text.size() + 1), Filler(rng, n));
        break;
    }
    case 9: {   // an impossible date
        size_t at;
        const char* date = kDates[rng.Below(sizeof(kDates) / sizeof(kDates[0]))];
        if (PickDate(rng, text, &at))
            text.replace(at, 8, date);
        break;
    }
    case 10: {   // a number no report prints
        size_t b, e;
        const char* number = kNumbers[rng.Below(sizeof(kNumbers) / sizeof(kNumbers[0]))];
        if (PickNumber(rng, text, &b, &e))
            text.replace(b, e - b, number);
        break;
    }
    case 11:   // NUL bytes
        for (int n = 1 + (int)rng.Below(3); n > 0; --n)
            text.insert(rng.Below(text.size() + 1), 1, '\0');
        break;
    case 12:   // the file cut off
        text.resize(rng.Below(text.size() + 1));
        break;
    case 13:   // an empty file, seldom; else a line moved elsewhere
        if (rng.Chance(10)) {
            text.clear();
        } else if (!lines.empty()) {
            auto l = lines[rng.Below(lines.size())];
            std::string line = text.substr(l.first, l.second - l.first);
            text.erase(l.first, l.second - l.first);
            text.insert(rng.Below(text.size() + 1), line);
        }
        break;
    case 14:   // a line of several megabytes, now and then; else a long run of one byte
        if (rng.Chance(3))
            text.insert(rng.Below(text.size() + 1), Filler(rng, (2 + rng.Below(3)) * 1024 * 1024));
        else
            text.insert(rng.Below(text.size() + 1), std::string(1 + rng.Below(300), (char)rng.Below(256)));
        break;
    default: {   // spaces and control bytes where cells meet
        static const char* const kBits[] = { " ", "   ", "\t", "\r", "\n", "\r\n\r\n", "\x1A", "\xFF" };
        text.insert(rng.Below(text.size() + 1), kBits[rng.Below(sizeof(kBits) / sizeof(kBits[0]))]);
        break;
    }
    }
}

template <class T>
void PutValue(std::string& image, size_t at, T value)
{
    if (at + sizeof(T) <= image.size())
        memcpy(&image[at], &value, sizeof(T));
}

void MutateImageOnce(Rng& rng, std::string& image)
{
    switch (rng.Below(9)) {
    case 0:
        for (int n = 1 + (int)rng.Below(8); n > 0 && !image.empty(); --n)
            image[rng.Below(image.size())] ^= (char)(1u << rng.Below(8));
        break;
    case 1:   // the file cut off anywhere
        image.resize(rng.Below(image.size() + 1));
        break;
    case 2: {   // a piece doubled (a record written twice, or half of one)
        if (image.empty())
            break;
        size_t at = rng.Below(image.size());
        size_t n = 1 + rng.Below(std::min<size_t>(image.size() - at, 2000));
        image.insert(at, image.substr(at, n));
        break;
    }
    case 3: {   // an odd double
        static const double kValues[] = { 1e308, -1e308, 0.0, -0.0, 1e-320, 4294967296.0, -1.0 };
        double v;
        switch (rng.Below(4)) {
        case 0: v = std::numeric_limits<double>::quiet_NaN(); break;
        case 1: v = std::numeric_limits<double>::infinity(); break;
        case 2: v = -std::numeric_limits<double>::infinity(); break;
        default: v = kValues[rng.Below(sizeof(kValues) / sizeof(kValues[0]))];
        }
        PutValue(image, rng.Below(image.size() / 8 + 1) * 8, v);
        break;
    }
    case 4: {   // an odd 32-bit word: identifiers, counts, dates with month 0, 13 or 255
        static const uint32_t kWords[] = { 0, 1, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00FF0101u, 0x00040001u,
                                           0x00040D01u, 0x0004FF01u, 0x000400FFu, 0x00630C1Fu, 0x01040101u,
                                           12345678u, 1000000u };
        PutValue(image, rng.Below(image.size() / 4 + 1) * 4, kWords[rng.Below(sizeof(kWords) / sizeof(kWords[0]))]);
        break;
    }
    case 5: {   // a text field without its terminating zero
        if (image.empty())
            break;
        size_t at = rng.Below(image.size());
        size_t n = std::min<size_t>(image.size() - at, 1 + rng.Below(1100));
        memset(&image[at], 'A' + (int)rng.Below(26), n);
        break;
    }
    case 6:   // a piece deleted
        if (!image.empty()) {
            size_t at = rng.Below(image.size());
            image.erase(at, 1 + rng.Below(std::min<size_t>(image.size() - at, 3000)));
        }
        break;
    case 7:   // an empty file, seldom; else zeros
        if (rng.Chance(10))
            image.clear();
        else if (!image.empty()) {
            size_t at = rng.Below(image.size());
            memset(&image[at], 0, std::min<size_t>(image.size() - at, 1 + rng.Below(200)));
        }
        break;
    default:   // random bytes appended
        for (size_t n = 1 + rng.Below(700); n > 0; --n)
            image.push_back((char)rng.Below(256));
        break;
    }
}

}  // namespace

void MutateText(Rng& rng, std::string& text, FileKind kind)
{
    for (int n = 1 + (int)rng.Below(rng.Chance(80) ? 2 : 8); n > 0; --n)
        MutateTextOnce(rng, text, kind);
}

void MutateImage(Rng& rng, std::string& image)
{
    for (int n = 1 + (int)rng.Below(rng.Chance(80) ? 2 : 8); n > 0; --n)
        MutateImageOnce(rng, image);
}

FuzzInput MakeInput(const std::vector<FuzzInput>& seeds, uint64_t seed, const char* target, uint64_t index)
{
    Rng rng(InputSeed(seed, target, index));
    FuzzInput input = seeds.empty() ? FuzzInput() : seeds[rng.Below(seeds.size())];
    if (input.empty())
        return input;
    // A few inputs stay as they were: the seeds themselves must pass.
    if (index < seeds.size())
        return seeds[index];
    size_t must = rng.Below(input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        FuzzFile& file = input[i];
        if (i != must && !rng.Chance(30))
            continue;
        if (rng.Chance(3)) {
            file.present = false;
            continue;
        }
        FileKind kind = KindOf(file.name);
        if (kind == ListImage) {
            // Now and then a text where a record image belongs.
            if (rng.Chance(3) && i + 1 < input.size())
                file.bytes = input[rng.Below(input.size())].bytes.substr(0, 5000);
            MutateImage(rng, file.bytes);
        } else {
            MutateText(rng, file.bytes, kind);
        }
    }
    return input;
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes->assign((size_t)size.QuadPart, '\0');
        DWORD got = 0;
        ok = bytes->empty() || (ReadFile(f, &(*bytes)[0], (DWORD)bytes->size(), &got, NULL) && got == bytes->size());
    }
    CloseHandle(f);
    return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = bytes.empty() || (WriteFile(f, bytes.data(), (DWORD)bytes.size(), &put, NULL) && put == bytes.size());
    CloseHandle(f);
    return ok;
}

bool SaveInput(const std::string& dir, const FuzzInput& input)
{
    CreateDirectoryA(dir.c_str(), NULL);
    bool ok = true;
    for (const FuzzFile& file : input) {
        std::string path = dir + "\\" + file.name;
        if (file.present)
            ok = WriteFileBytes(path, file.bytes) && ok;
        else
            ok = WriteFileBytes(path + ".missing", "") && ok;
    }
    return ok;
}

bool LoadInput(const std::string& dir, FuzzInput* input)
{
    input->clear();
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        FuzzFile file;
        file.name = found.cFileName;
        const std::string missing = ".missing";
        if (file.name.size() > missing.size() &&
            file.name.compare(file.name.size() - missing.size(), missing.size(), missing) == 0) {
            file.name.resize(file.name.size() - missing.size());
            file.present = false;
        } else if (!ReadFileBytes(dir + "\\" + file.name, &file.bytes)) {
            continue;
        }
        input->push_back(file);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(input->begin(), input->end(), [](const FuzzFile& a, const FuzzFile& b) { return a.name < b.name; });
    return !input->empty();
}

std::vector<FuzzInput> LoadSeeds(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
                names.push_back(found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());   // the same order on every run
    std::vector<FuzzInput> seeds;
    for (const std::string& name : names) {
        FuzzInput input;
        if (LoadInput(dir + "\\" + name, &input))
            seeds.push_back(input);
    }
    return seeds;
}

bool PutInput(const FuzzInput& input)
{
    bool ok = true;
    for (const FuzzFile& file : input) {
        DeleteFileA(file.name.c_str());
        if (file.present)
            ok = WriteFileBytes(file.name, file.bytes) && ok;
    }
    return ok;
}

}  // namespace fuzz
