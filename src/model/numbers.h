#pragma once
// The program's number rules, each in one place.

#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace kirune {

// Number text: a whole number with one leading blank when it is not negative (" 5", "-1").
QString NumberText(long long n);

// The leading number of a text: blanks and tabs skipped, optional sign, digits, optional "." and
// digits, optional exponent; reading stops at the first other character; 0 when there is none.
// The decimal point is always ".". May return +-inf for absurd exponents, never NaN.
double LeadingNumber(QStringView text);

// Rounds halves to even and reports whether the result fits a 16-bit integer.
bool TryRoundToInt16(double value, int16_t* out);
// Rounds halves to even into a 16-bit integer, saturating at the bounds (NaN gives 0). Used for
// values typed by the user, which are range-checked afterwards.
int16_t RoundHalfEvenInt16(double value);
// Rounds halves away from zero (on the exact value) to a whole number.
double RoundHalfAwayFromZero(double value);

// Score text as the grade book file stores it: exactly one decimal, "." as decimal point, a
// leading 0 before the point, "-" for negatives, no grouping; halves away from zero on the exact
// value of the float (72.35f, held as 72.3499985, gives "72.3").
QString ScoreText(float value);

// The locale used for regional formatting: the system's, or Japanese when the system has none.
QLocale RegionalLocale();
// Regional number formatting with a fixed count of decimals, digit grouping by the locale,
// halves away from zero on the exact value ("1,234" under Japanese settings).
QString FormatFixed(double value, int decimals, const QLocale& locale = RegionalLocale());
// The number FormatFixed shows: `value` rounded to `decimals` places, halves away from zero.
double RoundFixed(double value, int decimals);
// Whether FormatFixed groups the digits under `locale`.
bool GroupsDigits(const QLocale& locale);

} // namespace kirune
