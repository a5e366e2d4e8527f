// Structure-aware libFuzzer target for the grade book file: the fuzzer's bytes choose the
// contents of a well-formed 1655-line book (texts in and out of the code page, numbers in and
// out of range and in odd forms, a few score lines and test lines of their own among the many
// alike), which is then read, written and read again.
//
// What must hold: the book is refused exactly when a number is out of its range (the roster
// size, a criterion, a score too big for a float); every number that was read has the value the
// generator meant; a refused book leaves the open one untouched; what was read is written and
// read again to the very same bytes, with the same whole numbers.
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <vector>

using namespace kirune;

namespace {

void Require(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_book.cpp:%d: check failed\n", line);
        std::abort();
    }
}

// The book read into: with no texts, it is quickly put back after each input. The places the
// file does not hold (the last slot and the last column) have values of their own.
const GradeBook& StartBook() {
    static const GradeBook* book = [] {
        auto* b = new GradeBook;
        b->Scores[0].fill(kNoData);
        b->Scores[kUsedSlots].fill(3.5f);
        for (int slot = 0; slot < kUsedSlots; ++slot)
            b->Scores[slot][kScoreColumns] = 2.5f;
        b->RosterSize = 7;
        return b;
    }();
    return *book;
}

bool KeepsWhatTheFileDoesNotHold(const GradeBook& book) {
    for (int slot = 0; slot <= kUsedSlots; slot += 8) // one slot in eight is enough
        if (book.Scores[slot][kScoreColumns] != StartBook().Scores[slot][kScoreColumns])
            return false;
    return book.Scores[kUsedSlots] == StartBook().Scores[kUsedSlots];
}

// A number field: its text and the value the reader must take from it (its leading number).
struct NumberForm {
    const char* text;
    double value;
};

// Odd forms next to plain ones: blanks, signs, exponents, trailing text, rounding halves,
// hexadecimal-looking texts, nothing at all.
constexpr NumberForm kOddForms[] = {
    {"", 0},
    {" 85", 85},
    {"85abc", 85},
    {"+3", 3},
    {"-0", 0},
    {".5", 0.5},
    {"1e2", 100},
    {"1E+2", 100},
    {"2.5", 2.5},
    {"-2.5", -2.5},
    {"0x10", 0},
    {"abc", 0},
    {"  -7.25", -7.25},
    {"1.", 1},
    {"\x82\x50\x82\x51", 0}, // "１２" in code page 932
    {"85.55", 85.55},
    {"-1.0", -1},
    {"-2.0", -2},
    {"10085.5", 10085.5},
    {"1e39", 1e39},
    {"32767", 32767},
    {"32768", 32768},
    {"-32768", -32768},
    {"-32769", -32769},
    {"40", 40},
    {"41", 41},
    {"40.5", 40.5},
    {"-0.5", -0.5},
};

class BookMaker {
public:
    explicit BookMaker(FuzzedDataProvider& in) : in_(in) {}

    // A text from the fuzzer, appended to `out`: ASCII, Japanese, characters the code page
    // lacks, invalid bytes. No line breaks, and (inside a field) no ";".
    void Text(bool field, QByteArray& out) {
        static const std::array<QByteArray, 8> kPieces = [] {
            const char16_t* const texts[] = {u"令和6年度", u"髙橋①", u"ﾀﾅｶ",  u"～",
                                             u"😀",         u"안",    u"国語", u" "};
            std::array<QByteArray, 8> pieces;
            for (size_t i = 0; i < pieces.size(); ++i)
                pieces[i] = EncodeCp932(QString::fromUtf16(texts[i]));
            return pieces;
        }();
        const int parts = in_.ConsumeIntegralInRange(0, 3);
        for (int i = 0; i < parts; ++i) {
            switch (in_.ConsumeIntegralInRange(0, 3)) {
            case 0:
                out += kPieces[in_.ConsumeIntegralInRange<size_t>(0, kPieces.size() - 1)];
                break;
            case 1: {
                // A byte that stands alone in code page 932 (ASCII or a half-width katakana):
                // a file the code page cannot read is refused, which this model does not follow.
                const auto raw = in_.ConsumeIntegralInRange<unsigned>(0x20, 0xFF);
                if ((raw < 0x7F || (raw >= 0xA1 && raw <= 0xDF)) && (raw != ';' || !field))
                    out += static_cast<char>(raw);
                break;
            }
            default:
                out += in_.ConsumeBool() ? "Aoki" : "1,2";
                break;
            }
        }
    }

    // A number for a field whose values must lie in [low, high]: mostly in range, in the
    // writer's form or an odd one; out-of-range ones make the whole book refused.
    // (Appended to `out`: a block of its own for each number would cost more than the rest.)
    void Number(double low, double high, double* value, QByteArray& out) {
        if (in_.ConsumeIntegralInRange(0, 3) == 0) {
            const NumberForm& form =
                kOddForms[in_.ConsumeIntegralInRange<size_t>(0, std::size(kOddForms) - 1)];
            *value = form.value;
            if (*value < low || *value > high)
                refused_ = true;
            out += form.text;
            return;
        }
        const int tenths = in_.ConsumeIntegralInRange(static_cast<int>(std::max(low, -3e6) * 10),
                                                      static_cast<int>(std::min(high, 3e6) * 10));
        *value = tenths / 10.0;
        char text[16]; // "-12.3"
        char* o = text;
        if (tenths < 0)
            *o++ = '-';
        const int magnitude = std::abs(tenths);
        o = std::to_chars(o, text + sizeof text, magnitude / 10).ptr;
        *o++ = '.';
        *o++ = static_cast<char>('0' + magnitude % 10);
        out.append(text, o - text);
    }

    // A number rounded to a 16-bit integer, half to even, in [low, high].
    void Whole(int low, int high, int16_t* expected, QByteArray& out) {
        double value = 0;
        Number(-1e300, 1e300, &value, out);
        const double rounded = std::nearbyint(value); // the default rounding is half to even
        if (rounded < low || rounded > high)
            refused_ = true;
        else
            *expected = static_cast<int16_t>(rounded);
    }

    bool Refused() const { return refused_; }

private:
    FuzzedDataProvider& in_;
    bool refused_ = false;
};

struct Expected {
    int16_t rosterSize = 0;
    std::vector<std::array<int, 2>> criteria; // line, column: checked against the values below
    std::vector<int16_t> criterionValues;
    std::vector<std::array<int, 2>> scores; // slot, column
    std::vector<float> scoreValues;
};

// The score lines and the test lines of a new book: no score anywhere, no date, no name.
const QByteArray& EmptyLines() {
    static const QByteArray lines = [] {
        QByteArray line;
        for (int col = 0; col < kScoreColumns; ++col)
            line += "-1.0;";
        line += "\r\n";
        return line.repeated(kUsedSlots) + QByteArray(";;\r\n").repeated(kUsedSlots);
    }();
    return lines;
}

// Writes the book into `out` (whose room is kept from input to input: large blocks cost the
// sanitizer's allocator a fresh mapping each time).
void MakeBook(FuzzedDataProvider& in, Expected& expected, bool* refused, QByteArray& out) {
    BookMaker make(in);
    out.resize(0);
    // The first line starts with a letter: a byte order mark there would make another file.
    out += 'R';
    for (int i = 0; i < 4; ++i) {
        make.Text(false, out);
        out += "\r\n";
    }
    make.Whole(0, kMaxPupils, &expected.rosterSize, out);
    out += "\r\n";
    for (int n = 0; n < kMaxPupils; ++n) {
        if (n < 6)
            make.Text(true, out);
        out += ';';
    }
    out += "\r\n";
    // The criteria lines: one of them with numbers of the fuzzer's, the rest as a new book has
    // them.
    const int criteriaLine = in.ConsumeIntegralInRange(0, 2 * kCriteriaPeriods - 1);
    for (int l = 0; l < 2 * kCriteriaPeriods; ++l) {
        for (int c = 0; c < kCriteriaColumns; ++c) {
            if (l == criteriaLine) {
                int16_t value = 0;
                make.Whole(-32768, 32767, &value, out);
                out += ';';
                expected.criteria.push_back({l, c});
                expected.criterionValues.push_back(value);
            } else {
                out += "20;";
            }
        }
        out += "\r\n";
    }
    for (const int count :
         {kSemesters, 4, 4, 4, 4, 4, 4, kSubjectNameChoices, kViewpointNameChoices}) {
        for (int i = 0; i < count; ++i) {
            if (i < 3)
                make.Text(true, out);
            out += ';';
        }
        out += "\r\n";
    }
    // The score lines: up to eight of the fuzzer's, at places of its choosing, among lines as a
    // new book has them; then the test lines, one of them the fuzzer's.
    std::array<bool, kUsedSlots> own{};
    const int owned = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < owned; ++i)
        own[in.ConsumeIntegralInRange(0, kUsedSlots - 1)] = true;
    const QByteArray& empty = EmptyLines();
    const qsizetype scoreLine = empty.indexOf('\n') + 1;
    int run = 0; // lines as a new book has them, not written yet
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        if (!own[slot]) {
            ++run;
            continue;
        }
        out.append(empty.constData(), run * scoreLine);
        run = 0;
        for (int col = 0; col < kScoreColumns; ++col) {
            double value = 0;
            make.Number(-3.4e38, 3.4e38, &value, out);
            out += ';';
            expected.scores.push_back({slot, col});
            expected.scoreValues.push_back(static_cast<float>(value));
        }
        out += "\r\n";
    }
    out.append(empty.constData(), run * scoreLine);
    const int testLine = in.ConsumeIntegralInRange(0, kUsedSlots - 1);
    const char* const tests = empty.constData() + kUsedSlots * scoreLine;
    out.append(tests, testLine * 4);
    make.Text(true, out);
    out += ';';
    make.Text(true, out);
    out += ";\r\n";
    out.append(tests, (kUsedSlots - testLine - 1) * 4);
    // What the fuzzer has left, after the last line (ignored by the reader).
    out += QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());
    *refused = make.Refused();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Kept from input to input so that its vectors keep their room.
    static Expected expected;
    expected.criteria.clear();
    expected.criterionValues.clear();
    expected.scores.clear();
    expected.scoreValues.clear();
    bool refused = false;
    static QByteArray bytes;
    MakeBook(in, expected, &refused, bytes);

    // The book to read into starts as StartBook. Whatever this input puts in the books is let
    // go before it ends: blocks kept from one input to the next would make the fuzzer look for
    // leaks after almost every input, which costs far more than the run itself.
    static GradeBook* const book = new GradeBook(StartBook());
    QString error;
    const bool read = ParseGradeBookFile(bytes, *book, &error);
    Require(read == !refused);
    if (!read) {
        Require(!error.isEmpty());
        Require(std::memcmp(&book->Scores, &StartBook().Scores, sizeof book->Scores) == 0);
        Require(book->RosterSize == StartBook().RosterSize);
        return 0;
    }
    Require(book->RosterSize == expected.rosterSize);
    Require(KeepsWhatTheFileDoesNotHold(*book));
    for (size_t i = 0; i < expected.criteria.size(); ++i) {
        const auto [l, c] = expected.criteria[i];
        const auto& table = l < kCriteriaPeriods ? book->RankAPercent : book->RankCPercent;
        Require(table[l % kCriteriaPeriods][c] == expected.criterionValues[i]);
    }
    for (size_t i = 0; i < expected.scores.size(); ++i) {
        const auto [slot, col] = expected.scores[i];
        Require(book->Scores[slot][col] == expected.scoreValues[i]);
    }

    // The written files are kept too, so that their room is used again. A file written exactly
    // as it was read (what follows its last line is ignored) would read back as the same book.
    static QByteArray written, rewritten;
    GradeBookFileBytes(*book, written);
    if (!bytes.startsWith(written)) {
        // Whole numbers come back as they were; texts may have lost characters the code page
        // lacks, and scores are written to one decimal.
        const int16_t rosterSize = book->RosterSize;
        const auto rankA = book->RankAPercent;
        const auto rankC = book->RankCPercent;
        Require(ParseGradeBookFile(written, *book, &error));
        GradeBookFileBytes(*book, rewritten);
        // Texts whose code page 932 bytes happen to be valid UTF-8 with a character from U+3000
        // on (user-defined characters can make such bytes) are read back as UTF-8.
        Require(rewritten == written || DetectTextEncoding(written) == TextEncoding::Utf8);
        Require(book->RosterSize == rosterSize);
        Require(book->RankAPercent == rankA && book->RankCPercent == rankC);
    }
    *book = StartBook();
    return 0;
}
