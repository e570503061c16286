#include "data/qagvznumber.h"

#include <array>
#include <climits>
#include <cmath>

namespace {

// The fraction factors 0.1, 0.1*0.1, ... each rounded to single precision as the repeated
// multiplication rounds them; they reach 0 long before the end of the table.
constexpr int factorCount = 64;
constexpr std::array<float, factorCount> fractionFactors = [] {
    std::array<float, factorCount> factors{};
    float factor = 0.1f;
    for (float& f : factors) {
        f = factor;
        factor *= 0.1f;
    }
    return factors;
}();
static_assert(fractionFactors[factorCount - 1] == 0.0f, "the factor table must run out to 0");

int digitOf(char c)
{
    const unsigned d = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
    return d <= 9 ? int(d) : -1;
}

int digitOf(QChar c)
{
    return c.isDigit() ? c.digitValue() : -1;
}

template <typename Char> float parseNumber(const Char* p, const Char* end, const Char** stop)
{
    bool negative = false;
    if (p < end && *p == u'-') {
        negative = true;
        ++p;
    } else if (p < end && *p == u'+') {
        ++p;
    }

    // Integer part. While magnitude * 10 + digit stays within 2^24 every float step is exact,
    // so an integer gives the same bits; past that the float steps round as they go.
    int d = -1;
    quint32 exact = 0;
    while (p < end && (d = digitOf(*p)) >= 0 && exact * 10 + quint32(d) <= (1u << 24)) {
        exact = exact * 10 + quint32(d);
        ++p;
    }
    float magnitude = float(exact);
    while (p < end && (d = digitOf(*p)) >= 0) {
        magnitude = magnitude * 10.0f + float(d);
        ++p;
    }

    if (p < end && (*p == u'.' || *p == u',')) {
        ++p;
        for (int k = 0; p < end && (d = digitOf(*p)) >= 0; ++k, ++p)
            magnitude += float(d) * (k < factorCount ? fractionFactors[size_t(k)] : 0.0f);
    }

    if (p < end && (*p == u'e' || *p == u'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && *p == u'-') {
            negativeExponent = true;
            ++p;
        } else if (p < end && *p == u'+') {
            ++p;
        }
        int exponent = 0;
        for (; p < end && (d = digitOf(*p)) >= 0; ++p)
            exponent = exponent > (INT_MAX - d) / 10 ? INT_MAX : exponent * 10 + d;
        // Once the magnitude is 0 or infinite no further step changes it: stop there, so that
        // a huge exponent costs no more than about a hundred steps.
        const float step = negativeExponent ? 0.1f : 10.0f;
        for (; exponent > 0 && magnitude != 0.0f && !std::isinf(magnitude); --exponent)
            magnitude *= step;
    }

    *stop = p;
    return negative ? -magnitude : magnitude;
}

} // namespace

namespace QAGVZNumber {

float parse(QStringView cell)
{
    const QStringView text = cell.trimmed();
    const QChar* stop = nullptr;
    return parseNumber(text.data(), text.data() + text.size(), &stop);
}

float parseAscii(const char* begin, const char* end, const char** stop)
{
    while (begin < end && (*begin == ' ' || (*begin >= '\n' && *begin <= '\r')))
        ++begin;
    return parseNumber(begin, end, stop);
}

} // namespace QAGVZNumber
