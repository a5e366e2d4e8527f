#include "numbers.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace kirune {

QString NumberText(long long n) {
    if (n < 0)
        return QString::number(n);
    return u' ' + QString::number(n);
}

double LeadingNumber(QStringView text) {
    // Blanks and tabs are skipped wherever they stand, as the program has always read numbers
    // (" 8 5" reads as 85); anything else ends the number.
    std::string ascii;
    ascii.reserve(static_cast<size_t>(text.size()) + 1);
    enum { Sign, Integer, Fraction, ExponentSign, Exponent } state = Sign;
    bool mantissaDigits = false;
    std::string exponent;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t')
            continue;
        const bool digit = c >= u'0' && c <= u'9';
        if (state == Sign && (c == u'+' || c == u'-')) {
            ascii.push_back(static_cast<char>(c));
            state = Integer;
        } else if ((state == Sign || state == Integer) && digit) {
            ascii.push_back(static_cast<char>(c));
            mantissaDigits = true;
            state = Integer;
        } else if ((state == Sign || state == Integer) && c == u'.') {
            ascii.push_back('.');
            state = Fraction;
        } else if (state == Fraction && digit) {
            ascii.push_back(static_cast<char>(c));
            mantissaDigits = true;
        } else if ((state == Integer || state == Fraction) && mantissaDigits &&
                   (c == u'e' || c == u'E' || c == u'd' || c == u'D')) {
            exponent.assign(1, 'e');
            state = ExponentSign;
        } else if (state == ExponentSign && (c == u'+' || c == u'-')) {
            exponent.push_back(static_cast<char>(c));
            state = Exponent;
        } else if ((state == ExponentSign || state == Exponent) && digit) {
            if (exponent.size() < 12) // longer exponents only say "huge" or "tiny"
                exponent.push_back(static_cast<char>(c));
            else if (exponent.back() >= '0' && exponent.back() <= '9')
                exponent.back() = '9';
            state = Exponent;
        } else {
            break;
        }
    }
    if (!mantissaDigits)
        return 0.0;
    if (state == Exponent)
        ascii += exponent;
    // "." is the decimal point whatever the regional settings the program runs under (Qt takes
    // them from the environment: with a decimal comma, strtod would read "85.5" as 85).
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const double value = strtod_l(ascii.c_str(), nullptr, c);
    return std::isnan(value) ? 0.0 : value;
}

bool TryRoundToInt16(double value, int16_t* out) {
    if (!std::isfinite(value))
        return false;
    const double r = std::nearbyint(value); // the default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0)
        return false;
    *out = static_cast<int16_t>(r);
    return true;
}

int16_t RoundHalfEvenInt16(double value) {
    if (std::isnan(value))
        return 0;
    int16_t out = 0;
    if (TryRoundToInt16(value, &out))
        return out;
    return value < 0 ? std::numeric_limits<int16_t>::min() : std::numeric_limits<int16_t>::max();
}

double RoundHalfAwayFromZero(double value) {
    return std::round(value);
}

namespace {

// Rounds to `decimals` places, halves away from zero, deciding on the exact value: a double
// times 10^decimals (decimals <= 3) is exact in the 64-bit mantissa of long double.
double RoundDecimals(double value, int decimals) {
    if (!std::isfinite(value))
        return value;
    long double scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const long double scaled = std::fabs(static_cast<long double>(value) * scale);
    long double whole = std::floor(scaled);
    if (scaled - whole >= 0.5L)
        whole += 1;
    const double result = static_cast<double>(whole / scale);
    if (result == 0)
        return 0.0; // no "-0.0"
    return value < 0 ? -result : result;
}

} // namespace

QString ScoreText(float value) {
    const double rounded = RoundDecimals(static_cast<double>(value), 1);
    if (!std::isfinite(rounded))
        return QStringLiteral("0.0");
    return QString::number(rounded, 'f', 1);
}

QLocale RegionalLocale() {
    QLocale locale;
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::Japanese, QLocale::Japan);
    return locale;
}

QString FormatFixed(double value, int decimals, const QLocale& locale) {
    return locale.toString(RoundDecimals(value, decimals), 'f', decimals);
}

double RoundFixed(double value, int decimals) {
    return RoundDecimals(value, decimals);
}

bool GroupsDigits(const QLocale& locale) {
    return !locale.numberOptions().testFlag(QLocale::OmitGroupSeparator);
}

} // namespace kirune
