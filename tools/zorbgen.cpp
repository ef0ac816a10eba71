// zorbgen: writes a realistic sample ZORB movement report (code page 866, box
// drawing) and the matching goods list "Номенкл.csv" (code page 1251).
// Deterministic from its seed. Usage:
//   zorbgen [-out DIR] [-seed N] [-positions P] [-moves M] [-days D] [-awkward]
// It prints what it wrote, among it the number of moves the converter must read.
// -awkward: unit costs of seven digits before the point, and every priced
// receipt's quantity (five digits before the point) drawn until unit cost x
// quantity, the DIN the converter writes, comes out differently when the
// product keeps the x87's 64-bit significand before it is stored as a double:
// a build that computes doubles on the x87 writes other "%.5f" digits. Run it
// from the x86_64 build, whose double products are IEEE.
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "ZorbRows.h"

namespace {

const wchar_t* const kGoodsWords[] = { L"Болт", L"Гайка", L"Шайба", L"Винт", L"Саморез", L"Дюбель", L"Анкер",
                                       L"Шуруп", L"Заклёпка", L"Хомут", L"Скоба", L"Петля" };
const wchar_t* const kGoodsKinds[] = { L"оцинк.", L"нерж.", L"латунь", L"чёрный", L"DIN 933", L"ГОСТ 7798" };
const wchar_t* const kSupplierNames[] = { L"ООО Крепёж", L"ЗАО Метиз-Торг", L"ООО Северсталь-М", L"ИП Кузнецов",
                                          L"ООО ТД Болтовня", L"АО Уралметизы", L"ООО Стройдеталь" };
const wchar_t* const kBuyerNames[] = { L"ИП Иванов И.И.", L"ООО Ремонт-Сервис", L"ИП Петрова", L"ООО Домострой",
                                       L"ЧП Сидоренко", L"ООО Мастерок", L"ИП Ёлкин", L"ЗАО Фасад" };

struct Kind
{
    const wchar_t* name;
    bool incoming;
};
// As the accounting system prints them; the last one is unknown to the kind table.
const Kind kKinds[] = { { L"+Приход от поставщика.", true }, { L"-Отгрузка.", false },
                        { L"-Возврат поставщику.", true },   { L"+Возврат проданного.", false },
                        { L"*Перемещение.", false } };

const int kWidths[17] = { 8, 22, 3, 6, 22, 3, 3, 3, 3, 3, 3, 10, 3, 3, 3, 12, 3 };

std::wstring Pad(std::wstring text, int width, bool right = false)
{
    if ((int)text.size() > width)
        text.resize(width);
    std::wstring pad(width - text.size(), L' ');
    return right ? pad + text : text + pad;
}

std::wstring Rule(wchar_t left, wchar_t middle, wchar_t right)
{
    std::wstring line(1, left);
    for (int i = 0; i < 17; ++i) {
        line += std::wstring(kWidths[i], L'─');
        line += i == 16 ? right : middle;
    }
    return line + L"\r\n";
}

int InnerWidth()
{
    int w = 16;
    for (int x : kWidths)
        w += x;
    return w;
}

std::wstring Format(const wchar_t* format, ...)
{
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    _vsnwprintf(buffer, 511, format, args);
    va_end(args);
    buffer[511] = 0;
    return buffer;
}

// The value the converter reads from "W.F" with `decimals` digits after the point.
double Decimal(uint64_t mantissa, int decimals)
{
    return (double)mantissa / (decimals == 2 ? 100.0 : 10000.0);
}

// A quantity "WWWWW.FFFF" whose product with unitCost differs in "%.5f" between
// double arithmetic and a product rounded first to 64 significant bits; false
// when none turned up within the tries.
bool AwkwardQuantity(zorb::Random& rnd, double unitCost, std::wstring* text)
{
    for (int tries = 0; tries < 1000000; ++tries) {
        const int whole = 10000 + rnd.Below(90000), fraction = rnd.Below(10000);
        const double quantity = Decimal((uint64_t)whole * 10000 + (uint64_t)fraction, 4);
        const double product = unitCost * quantity;
        volatile long double wide = unitCost;   // keeps the compiler from narrowing the product
        const double extended = (double)(wide * quantity);
        char a[64], b[64];
        if (product != extended && snprintf(a, sizeof(a), "%.5f", product) > 0 &&
            snprintf(b, sizeof(b), "%.5f", extended) > 0 && strcmp(a, b) != 0) {
            *text = Format(L"%d.%04d", whole, fraction);
            return true;
        }
    }
    return false;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out = ".";
    uint64_t seed = 1;
    int positions = 200, moves = 2000, days = 90;
    bool awkward = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "-awkward")) {
            awkward = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        if (!strcmp(argv[i], "-out")) out = argv[++i];
        else if (!strcmp(argv[i], "-seed")) seed = strtoull(argv[++i], NULL, 10);
        else if (!strcmp(argv[i], "-positions")) positions = atoi(argv[++i]);
        else if (!strcmp(argv[i], "-moves")) moves = atoi(argv[++i]);
        else if (!strcmp(argv[i], "-days")) days = atoi(argv[++i]);
        else ++i;
    }
    if (positions < 1 || moves < 0 || days < 1) {
        fprintf(stderr, "zorbgen: bad sizes\n");
        return 2;
    }
    zorb::Random rnd{ seed };

    // Goods: codes T1, T2, ... so that T1 is a prefix of T10 and T100, as real
    // catalogues have; the header rows must still resolve to the longest code.
    std::wstring goods = L"Код;Наименование;Поставщик;Цена;Вес\r\n";
    std::vector<std::wstring> names(positions);
    std::vector<int> supplierOf(positions);
    std::vector<double> unitCost(positions);
    for (int i = 0; i < positions; ++i) {
        names[i] = Format(L"%ls М%d %ls", kGoodsWords[rnd.Below(12)], 3 + rnd.Below(22), kGoodsKinds[rnd.Below(6)]);
        supplierOf[i] = rnd.Below(7);
        if (!awkward) {
            goods += Format(L"T%d;%ls;%ls;%d.%02d;%d.%03d\r\n", i + 1, names[i].c_str(), kSupplierNames[supplierOf[i]],
                            1 + rnd.Below(500), rnd.Below(100), rnd.Below(5), rnd.Below(1000));
            continue;
        }
        const int whole = 1000000 + rnd.Below(9000000), cents = rnd.Below(100);
        unitCost[i] = Decimal((uint64_t)whole * 100 + (uint64_t)cents, 2);
        goods += Format(L"T%d;%ls;%ls;%d.%02d;%d.%03d\r\n", i + 1, names[i].c_str(), kSupplierNames[supplierOf[i]],
                        whole, cents, rnd.Below(5), rnd.Below(1000));
    }

    const int width = InnerWidth();
    std::wstring report;
    report += L"                              Движение товаров по складу\r\n";
    report += L"┌" + std::wstring(width, L'─') + L"┐\r\n";
    report += L"│" + Pad(L" Отчёт ЗОРБ: период с " + zorb::DateText(0) + L" по " + zorb::DateText(days - 1), width) + L"│\r\n";
    report += L"└" + std::wstring(width, L'─') + L"┘\r\n";
    report += Rule(L'┌', L'┬', L'┐');
    const wchar_t* headings[17] = { L" Дата", L" Вид движения", L"Ед", L"Код", L" Контрагент", L"Ск", L"Сч",
                                    L"Кт", L"Дк", L"Nд", L"Пр", L"Кол-во", L"Цн", L"НД", L"Ст", L"Сумма", L"Пм" };
    std::wstring headingCells[zorb::kColumns];
    for (int c = 0; c < zorb::kColumns; ++c)
        headingCells[c] = Pad(headings[c], kWidths[c]);
    report += zorb::TableRow(headingCells, L'│');
    report += Rule(L'├', L'┼', L'┤');

    int written = 0, dropped = 0, rules = 0, kinds[5] = {}, awkwardReceipts = 0;
    for (int p = 0; p < positions; ++p) {
        int count = moves / positions + (p < moves % positions ? 1 : 0);
        // Now and then a header whose goods are missing from the goods list.
        bool unknown = p % 97 == 96;
        std::wstring code = unknown ? Format(L"X%d", p + 1) : Format(L"T%d", p + 1);
        std::wstring header = Format(L".......... %d %ls %ls", p + 1, code.c_str(), names[p].c_str());
        report += zorb::HeaderRow(Pad(header, width), L'│');
        int day = rnd.Below(days);
        for (int m = 0; m < count; ++m) {
            day = (day + rnd.Below(3)) % days;
            if (day % 7 == 6)   // nothing moves on Sundays
                day = (day + 1) % days;
            int k = rnd.Below(100);
            int kind = k < 40 ? 0 : k < 85 ? 1 : k < 90 ? 2 : k < 95 ? 3 : 4;
            ++kinds[kind];
            bool incoming = kKinds[kind].incoming;
            int partner = incoming ? 100 + supplierOf[p] : 1000 + rnd.Below(8);
            const wchar_t* partnerName = incoming ? kSupplierNames[supplierOf[p]] : kBuyerNames[partner - 1000];
            std::wstring cells[zorb::kColumns] = { zorb::DateText(day), kKinds[kind].name, L"шт", Format(L"%d", partner), partnerName,
                                       L"01", L"41", L"60", Format(L"%d", rnd.Below(900) + 100), L"", L"",
                                       Format(L"%d.%03d", 1 + rnd.Below(200), rnd.Below(1000)), L"", L"", L"",
                                       Format(L"%d.%02d", rnd.Below(50000), rnd.Below(100)), L"" };
            // Receipts and supplier returns of a listed position are priced by its unit cost.
            if (awkward && incoming && !unknown && AwkwardQuantity(rnd, unitCost[p], &cells[zorb::QuantityColumn]))
                ++awkwardReceipts;
            for (int c = 0; c < zorb::kColumns; ++c)
                cells[c] = Pad(cells[c], kWidths[c], c == zorb::QuantityColumn || c == zorb::SumColumn);
            report += zorb::TableRow(cells, L'│');
            if (unknown)
                ++dropped;
            else
                ++written;
        }
        // Rule lines between groups are rows too, read as moves of the last goods.
        if (!unknown && p % 50 == 49 && p + 1 < positions) {
            report += Rule(L'├', L'┼', L'┤');
            ++rules;
        }
    }
    report += Rule(L'└', L'┴', L'┘');
    report += Format(L" Итого строк движения: %d\r\n", written + dropped);
    report += L" Главный бухгалтер ______________\r\n\r\n";

    std::string sep = out.empty() || out.back() == '\\' || out.back() == '/' ? "" : "\\";
    if (!WriteAll(out + sep + "ZORB_MVS.txt", zorb::Encode(report, 866)) ||
        !WriteAll(out + sep + "Номенкл.csv", zorb::Encode(goods, 1251))) {
        fprintf(stderr, "zorbgen: cannot write into %s\n", out.c_str());
        return 1;
    }
    printf("positions: %d\n", positions);
    printf("move rows: %d (%d under headers missing from the goods list)\n", written + dropped, dropped);
    printf("rule lines inside the table: %d\n", rules);
    printf("kinds: %d receipts, %d shipments, %d supplier returns, %d customer returns, %d unknown\n",
           kinds[0], kinds[1], kinds[2], kinds[3], kinds[4]);
    printf("period: %s to %s\n", zorb::Encode(zorb::DateText(0), 1251).c_str(), zorb::Encode(zorb::DateText(days - 1), 1251).c_str());
    printf("expected moves: %d\n", written + rules);
    if (awkward)
        printf("awkward receipts: %d\n", awkwardReceipts);
    return 0;
}
