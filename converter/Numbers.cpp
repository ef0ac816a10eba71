// The report's and the tables' numbers: reading as atoi and atof, writing as "%d", "%.2d" and "%.5f".
#include "Numbers.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Leading spaces (other white space is left to the library) and one sign.
static const char* SkipSpacesAndSign(const char* p, bool* negative)
{
    while (*p == ' ')
        ++p;
    *negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    return p;
}

// Spaces, a sign and one to nine digits: no overflow, so the value is exact.
int ReadInt(const char* text)
{
    bool negative;
    const char* p = SkipSpacesAndSign(text, &negative);
    int value = 0, digits = 0;
    while (IsDigit(*p) && digits < 10) {
        value = value * 10 + (*p++ - '0');
        ++digits;
    }
    if (digits == 0 || digits > 9)
        return atoi(text);
    return negative ? -value : value;
}

static bool IsGroupSeparator(char c)
{
    return c == ' ' || c == '\xA0';
}

// A number written with a decimal comma or digit groups: the same text as
// atof wants it (the groups joined, the comma a point) is read by atof, so
// its value is the one the point form gives. Any other text: atof's reading.
// Kept out of ReadNumber: inlined there, it made the short path of every
// report number a tenth slower.
__attribute__((noinline, cold)) static double ReadWrittenNumber(const char* text)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    const char* const digits = p;
    while (IsDigit(*p))
        ++p;
    const size_t lead = (size_t)(p - digits);
    int groups = 0;
    if (lead >= 1 && lead <= 3) {
        while (IsGroupSeparator(p[0]) && IsDigit(p[1]) && IsDigit(p[2]) && IsDigit(p[3]) && !IsDigit(p[4])) {
            p += 4;
            ++groups;
        }
    }
    const bool comma = *p == ',';
    if (groups == 0 && !comma)
        return atof(text);

    // The rest after the number's integer part is copied whole: atof decides
    // where the number ends and rounds on all its digits.
    const size_t length = strlen(text);
    char local[128];
    char* copy = length < sizeof(local) ? local : (char*)malloc(length + 1);
    if (!copy)
        return atof(text);
    char* out = copy;
    const size_t head = (size_t)(digits - text) + lead;
    memcpy(out, text, head);
    out += head;
    for (const char* g = digits + lead; g < p; g += 4) {
        memcpy(out, g + 1, 3);
        out += 3;
    }
    if (comma) {
        *out++ = '.';
        ++p;
    }
    memcpy(out, p, length - (size_t)(p - text) + 1);
    const double value = atof(copy);
    if (copy != local)
        free(copy);
    return value;
}

// Spaces, a sign, at most 15 digits with one optional point, then the end of
// the text. The digits make an integer below 2^53 and the point a power of ten
// up to 10^15, both exact doubles, and one IEEE division of two exact values is
// the correctly rounded quotient: the value a correctly rounding atof gives.
// Only where doubles are computed in double precision (SSE2); the x87 unit
// would round twice.
double ReadNumber(const char* text)
{
#if defined(__SSE2_MATH__) || defined(__x86_64__)
    static const double kPowers[16] = { 1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15 };
    bool negative;
    const char* p = SkipSpacesAndSign(text, &negative);
    uint64_t mantissa = 0;
    int digits = 0, decimals = -1;
    for (;; ++p) {
        if (IsDigit(*p)) {
            mantissa = mantissa * 10 + (uint64_t)(*p - '0');
            if (++digits > 15)
                return ReadWrittenNumber(text);
            if (decimals >= 0)
                ++decimals;
        } else if (*p == '.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    // A zero with a minus sign is left to the library, whose sign of zero rules.
    if (*p != 0 || digits == 0 || (negative && mantissa == 0))
        return ReadWrittenNumber(text);
    double value = (double)mantissa;
    if (decimals > 0)
        value /= kPowers[decimals];
    return negative ? -value : value;
#else
    return ReadWrittenNumber(text);
#endif
}

size_t FormatInt(int value, char* out)
{
    char digits[16];
    int n = 0;
    uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
    do {
        digits[n++] = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    size_t length = 0;
    if (value < 0)
        out[length++] = '-';
    while (n)
        out[length++] = digits[--n];
    out[length] = 0;
    return length;
}

size_t FormatTwoDigits(int value, char* out)
{
    if (value >= 0 && value < 10) {
        out[0] = '0';
        out[1] = (char)('0' + value);
        out[2] = 0;
        return 2;
    }
    if (value <= -1 && value >= -9) {
        out[0] = '-';
        out[1] = '0';
        out[2] = (char)('0' - value);
        out[3] = 0;
        return 3;
    }
    return FormatInt(value, out);
}

const char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// x = m * 2^e exactly; x * 10^5 = m * 10^5 * 2^e is an integer below 2^70
// shifted right, rounded to nearest with ties to even as printf rounds: the
// exact decimal digits, without the library's arbitrary-precision arithmetic.
size_t FormatFixed5(double value, char* out)
{
#ifdef __SIZEOF_INT128__
    if (fabs(value) < 9.0e13) {
        uint64_t bits;
        memcpy(&bits, &value, sizeof(bits));
        const bool negative = (bits >> 63) != 0;
        int exponent = (int)((bits >> 52) & 0x7FF);
        uint64_t mantissa = bits & ((1ull << 52) - 1);
        if (exponent)
            mantissa |= 1ull << 52;
        else
            exponent = 1;
        const int shift = 1075 - exponent;   // below 9e13 the exponent is negative
        uint64_t scaled = 0;
        // Most values: the rounded product |x| * 10^5 is within a 64th of its
        // exact value (below 2^47), so where its fraction is clearly off one
        // half both round to the same integer; near one half, the exact way.
        const double product = fabs(value) * 100000.0;
        const uint64_t truncated = product < 140737488355328.0 ? (uint64_t)product : 0;
        const double fraction5 = product - (double)truncated;
        if (product < 140737488355328.0 && (fraction5 < 0.4375 || fraction5 > 0.5625)) {
            scaled = truncated + (fraction5 > 0.5 ? 1 : 0);
        } else if (shift < 128) {
            const unsigned __int128 n = (unsigned __int128)mantissa * 100000u;
            const unsigned __int128 one = 1;
            scaled = (uint64_t)(n >> shift);
            const unsigned __int128 rest = n & ((one << shift) - 1);
            const unsigned __int128 half = one << (shift - 1);
            if (rest > half || (rest == half && (scaled & 1)))
                ++scaled;
        }
        // Written backwards from the end: five decimals, the point, the whole part.
        uint64_t whole = scaled / 100000u;
        uint32_t fraction = (uint32_t)(scaled % 100000u);
        int wholeDigits = 1;
        for (uint64_t limit = 10; wholeDigits < 20 && whole >= limit; limit *= 10)
            ++wholeDigits;
        const size_t length = (negative ? 1 : 0) + (size_t)wholeDigits + 6;
        char* q = out + length;
        *q = 0;
        q -= 2;
        memcpy(q, kDigitPairs + 2 * (fraction % 100), 2);
        fraction /= 100;
        q -= 2;
        memcpy(q, kDigitPairs + 2 * (fraction % 100), 2);
        *--q = (char)('0' + fraction / 100);
        *--q = '.';
        while (whole >= 100) {
            q -= 2;
            memcpy(q, kDigitPairs + 2 * (whole % 100), 2);
            whole /= 100;
        }
        if (whole >= 10) {
            q -= 2;
            memcpy(q, kDigitPairs + 2 * whole, 2);
        } else {
            *--q = (char)('0' + whole);
        }
        if (negative)
            *--q = '-';
        return length;
    }
#endif
    int length = snprintf(out, 512, "%.5f", value);
    return length < 0 ? 0 : (size_t)(length < 511 ? length : 511);
}
