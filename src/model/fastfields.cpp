#include "fastfields.h"

#include "cp932.h"
#include "gradebook.h"
#include "numbers.h"

#include <QHashFunctions>
#include <algorithm>
#include <charconv>
#include <cstring>

namespace kirune {

// A full book holds 36,720 score fields and several thousand distinct values, so ScoreText and
// LeadingNumber are too slow to run on each of them when a file is read or written in the
// blink of an eye. The two functions below give exactly their results for the form the writer
// produces (and the reader almost always sees): an optional "-", digits, ".", one digit. Anything
// else goes through the rules themselves. Debug builds check every fast text against ScoreText;
// the tests and the fuzzer check the fast reading against LeadingNumber.

// "00", "01", .. "99": two digits at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// ScoreText for |value| < 10^7, in whole numbers: a float is m * 2^e with a 24-bit m, so ten
// times its exact value is 10m shifted, and the halves-away-from-zero decision is taken on the
// bits shifted out, that is on the exact value, as ScoreText takes it. Returns the length
// written to `out` (at most 11 characters), or 0 when the value is out of this range.
int FastScoreText(float value, char* out) {
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const quint32 biased = (bits >> 23) & 0xFF;
    if (biased == 0xFF)
        return 0; // infinite or not a number
    quint64 tenths = 0;
    if (biased != 0) { // subnormal numbers are far below 0.05
        const quint64 mantissa = (bits & 0x7FFFFF) | 0x800000;
        const int exponent = static_cast<int>(biased) - 150; // value = mantissa * 2^exponent
        if (exponent > 0)
            return 0; // 2^24 and more
        if (exponent == 0) {
            if (mantissa >= 10000000)
                return 0;
            tenths = mantissa * 10;
        } else if (exponent > -29) { // from 2^-29 on, 10m is below half of the last place
            const int shift = -exponent;
            const quint64 scaled = mantissa * 10;
            tenths = scaled >> shift;
            if ((scaled & ((quint64(1) << shift) - 1)) >= (quint64(1) << (shift - 1)))
                ++tenths;
        }
    }
    char digits[10];
    char* first = digits + sizeof digits;
    auto units = static_cast<quint32>(tenths / 10);
    while (units >= 10) {
        first -= 2;
        std::memcpy(first, kDigitPairs.data() + 2 * (units % 100), 2);
        units /= 100;
    }
    if (units > 0 || first == digits + sizeof digits)
        *--first = static_cast<char>('0' + units);
    char* o = out;
    if ((bits >> 31) != 0 && tenths > 0)
        *o++ = '-'; // never "-0.0"
    const auto count = digits + sizeof digits - first;
    std::memcpy(o, first, static_cast<size_t>(count));
    o += count;
    *o++ = '.';
    *o++ = static_cast<char>('0' + tenths % 10);
    return static_cast<int>(o - out);
}

// A score field in the writer's form (-?\d{1,9}\.\d) followed by ";": sets the nearest float
// and returns the position of the ";", else nullptr. The tenths are a whole number below 2^53,
// so dividing by 10 gives the same correctly rounded double as strtod on the text, and the same
// float after that.
const char* ScanScoreField(const char* p, const char* end, float* out) {
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    const char* const digits = p;
    qint64 tenths = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - digits < 10)
        tenths = tenths * 10 + (*p++ - '0');
    if (p == digits || end - p < 3 || p[0] != '.' || p[1] < '0' || p[1] > '9' || p[2] != ';')
        return nullptr;
    tenths = tenths * 10 + (p[1] - '0');
    const double value = static_cast<double>(tenths) / 10.0;
    *out = static_cast<float>(negative ? -value : value);
    return p + 2;
}

// How many copies of the `period` bytes at `start` follow them directly, up to `limit`. The
// bytes from `start` on repeat with that period exactly when each next copy is equal, so a run
// is found with a few long comparisons (the run proven so far doubles at each step).
int CopiesFollowing(const char* start, qsizetype period, int limit) {
    int equal = 0;
    int step = 1;
    while (step > 0) {
        const char* const from = start + period * equal;
        if (equal + step <= limit &&
            std::memcmp(from, from + period, static_cast<size_t>(period * step)) == 0) {
            equal += step;
            step *= 2;
        } else {
            step /= 2;
        }
    }
    return equal;
}

// A whole-number field in the writer's form (an optional blank or "-", then one to five digits,
// and nothing after them): sets its value and returns true, else false.
bool ScanWholeField(QByteArrayView field, int* out) {
    const char* p = field.data();
    const char* const end = p + field.size();
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == ' ' || *p == '-'))
        ++p;
    if (p == end || end - p > 5)
        return false;
    int value = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (*p - '0');
    }
    *out = negative ? -value : value;
    return true;
}

// NumberText of a whole number written at `out` (at most 16 characters); returns its end.
char* WholeNumber(int value, char* out) {
    if (value >= 0)
        *out++ = ' ';
    if (value >= 0 && value < 100) { // percentages, the roster size
        if (value >= 10)
            *out++ = static_cast<char>('0' + value / 10);
        *out++ = static_cast<char>('0' + value % 10);
        return out;
    }
    return std::to_chars(out, out + 15, value).ptr;
}

FileBuffer::FileBuffer(QByteArray& bytes) : bytes_(bytes) {
    bytes_.resize(std::max<qsizetype>(bytes_.capacity(), 256 * 1024)); // a full book: 200 KB
}

void FileBuffer::Text(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    char* out = Room(n);
    qsizetype i = 0;
    while (i < n && units[i] < 0x80) {
        out[i] = static_cast<char>(units[i]);
        ++i;
    }
    if (i == n) {
        used_ += n;
        return;
    }
    // Japanese texts repeat (test names, subject names): each is converted once, and kept in a
    // small table by a hash of its text (one that finds another in its place is converted again).
    Encoded& entry = encoded_[qHash(QStringView(text)) % encoded_.size()];
    if (entry.text != text) {
        entry.text = text;
        entry.bytes = EncodeCp932(text);
    }
    Put(entry.bytes.constData(), entry.bytes.size());
}

void FileBuffer::Repeat(qsizetype start, qsizetype times) {
    const qsizetype n = used_ - start;
    char* const out = Room(n * times);
    qsizetype done = 0;
    while (done < times) {
        const qsizetype copies = std::min(times - done, done + 1);
        std::memcpy(out + done * n, bytes_.constData() + start, static_cast<size_t>(copies * n));
        done += copies;
    }
    used_ += n * times;
}

void FileBuffer::ScoreLine(const float* scores) {
    // The longest score text has 42 characters (the 39 digits of the largest float, a sign and
    // ".0"); ScoreText writes "0.0" for what is not a finite number.
    constexpr int kRoomPerField = 48;
    char* const begin = Room(kScoreColumns * kRoomPerField + 2);
    char* o = begin;
    for (int col = 0; col < kScoreColumns; ++col) {
        int n = FastScoreText(scores[col], o);
        Q_ASSERT(n == 0 || QLatin1String(o, n) == ScoreText(scores[col]));
        if (n == 0) {
            const QByteArray text = ScoreText(scores[col]).toLatin1();
            n = static_cast<int>(std::min<qsizetype>(text.size(), kRoomPerField - 1));
            std::memcpy(o, text.constData(), static_cast<size_t>(n));
        }
        o += n;
        *o++ = ';';
    }
    *o++ = '\r';
    *o++ = '\n';
    used_ += o - begin;
}

} // namespace kirune
