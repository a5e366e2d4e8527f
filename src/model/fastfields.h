#pragma once
// The grade book file's hand-tuned fast paths, kept apart from the reader and the writer they
// serve: score fields and whole numbers written and scanned without the general number rules,
// runs of equal lines found and copied many at a time, and the one buffer the writer builds
// the file in.
//
// What they buy is speed, and it is the fuzzer that needs it: the file readers' fuzzers run the
// reader and the writer on every input, and with these paths a whole book goes through both in
// well under a millisecond, so a short fuzzing run tries hundreds of thousands of files instead
// of a few thousand. Open and Save of a full book stay instant as well. Each path gives exactly
// the result of the rule it stands in for (ScoreText, LeadingNumber, NumberText); whatever it
// does not recognise goes through the rule itself.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <algorithm>
#include <array>
#include <cstring>

namespace kirune {

// ScoreText of `value` written at `out` for |value| < 10^7; returns the length written (at most
// 11 characters), or 0 when the value is out of that range.
int FastScoreText(float value, char* out);

// A score field in the writer's form (-?\d{1,9}\.\d) followed by ";": sets the nearest float
// and returns the position of the ";", else nullptr.
const char* ScanScoreField(const char* p, const char* end, float* out);

// How many copies of the `period` bytes at `start` follow them directly, up to `limit`.
int CopiesFollowing(const char* start, qsizetype period, int limit);

// A whole-number field in the writer's form (an optional blank or "-", then one to five digits,
// and nothing after them): sets its value and returns true, else false.
bool ScanWholeField(QByteArrayView field, int* out);

// NumberText of a whole number written at `out` (at most 16 characters); returns its end.
char* WholeNumber(int value, char* out);

// The file is built in one buffer; every append makes room first.
class FileBuffer {
public:
    explicit FileBuffer(QByteArray& bytes);

    char* Room(qsizetype n) {
        if (bytes_.size() - used_ < n)
            bytes_.resize(std::max(bytes_.size() * 2, used_ + n));
        return bytes_.data() + used_;
    }
    void Put(char c) {
        *Room(1) = c;
        ++used_;
    }
    void Put(const char* text, qsizetype n) {
        std::memcpy(Room(n), text, static_cast<size_t>(n));
        used_ += n;
    }
    void LineEnd() { Put("\r\n", 2); }
    // A text in code page 932.
    void Text(const QString& text);
    void Field(const QString& text) {
        Text(text);
        Put(';');
    }
    // NumberText of a whole number: a blank before one that is not negative.
    void Number(int value) {
        char* const begin = Room(16);
        used_ += WholeNumber(value, begin) - begin;
    }
    // The same followed by ";".
    void NumberField(int value) {
        char* const begin = Room(17);
        char* const end = WholeNumber(value, begin);
        *end = ';';
        used_ += end + 1 - begin;
    }
    qsizetype Size() const { return used_; }
    // Appends `times` more copies of what was written from `start` on, doubling what is copied
    // at each step.
    void Repeat(qsizetype start, qsizetype times);
    // One line of scores: each as ScoreText writes it, followed by ";".
    void ScoreLine(const float* scores);

    void Finish() { bytes_.truncate(used_); }

private:
    QByteArray& bytes_;
    qsizetype used_ = 0;
    struct Encoded {
        QString text;
        QByteArray bytes;
    };
    std::array<Encoded, 32> encoded_;
};

} // namespace kirune
