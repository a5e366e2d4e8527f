// libFuzzer target for the grade book file reader. Any input must be read or refused without a
// crash; a refused input leaves the book as it was; an input that reads must be written and read
// again to the very same bytes, and its scores must be the nearest floats to their leading
// numbers, as a plain second reading of the input works them out.
#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/gradebookfile.h"
#include "model/numbers.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace kirune;

namespace {

const GradeBook& StartBook() {
    static const GradeBook* book = [] {
        auto* b = new GradeBook;
        ResetGradeBook(*b);
        b->TestInfo[3][2] = QStringLiteral("not in the file");
        return b;
    }();
    return *book;
}

bool SameBook(const GradeBook& a, const GradeBook& b) {
    if (std::memcmp(&a.Scores, &b.Scores, sizeof a.Scores) != 0 ||
        std::memcmp(&a.RankAPercent, &b.RankAPercent, sizeof a.RankAPercent) != 0 ||
        std::memcmp(&a.RankCPercent, &b.RankCPercent, sizeof a.RankCPercent) != 0 ||
        a.RosterSize != b.RosterSize || a.HomeRoomYear != b.HomeRoomYear ||
        a.HomeRoomGrade != b.HomeRoomGrade || a.HomeRoomClass != b.HomeRoomClass ||
        a.TeacherName != b.TeacherName || a.StudentNames != b.StudentNames ||
        a.SemesterNames != b.SemesterNames || a.SubjectNameChoices != b.SubjectNameChoices ||
        a.ViewpointNameChoices != b.ViewpointNameChoices || a.SubjectKeys != b.SubjectKeys)
        return false;
    for (size_t s = 0; s < a.SubjectTitles.size(); ++s)
        if (a.SubjectTitles[s] != b.SubjectTitles[s])
            return false;
    for (size_t slot = 0; slot < a.TestInfo.size(); ++slot)
        if (a.TestInfo[slot] != b.TestInfo[slot])
            return false;
    return true;
}

// The input's score lines (24..839) read the plain way: lines end at LF (a CR before it is
// dropped), fields end at ";".
void CheckScoresAgainstLeadingNumbers(const QByteArray& bytes, const GradeBook& book) {
    const QList<QByteArray> lines = bytes.split('\n');
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        QByteArray line = lines.at(23 + slot);
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> fields = line.split(';');
        for (int col = 0; col < kScoreColumns; ++col) {
            const auto expected = static_cast<float>(LeadingNumber(DecodeCp932(fields.at(col))));
            if (std::memcmp(&expected, &book.Scores[slot][col], sizeof expected) != 0)
                std::abort();
        }
    }
}

// Every score as the writer wrote it is ScoreText of the value.
void CheckScoreTexts(const QByteArray& written, const GradeBook& book) {
    const QList<QByteArray> lines = written.split('\n');
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        const QList<QByteArray> fields = lines.at(23 + slot).split(';');
        for (int col = 0; col < kScoreColumns; ++col)
            if (QString::fromLatin1(fields.at(col)) != ScoreText(book.Scores[slot][col]))
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto book = std::make_unique<GradeBook>(StartBook());
    QString error;
    if (!ParseGradeBookFile(bytes, *book, &error)) {
        if (error.isEmpty() || !SameBook(*book, StartBook()))
            std::abort();
        return 0;
    }
    CheckScoresAgainstLeadingNumbers(bytes, *book);
    if (book->TestInfo[3][2] != StartBook().TestInfo[3][2])
        std::abort();

    const QByteArray written = GradeBookFileBytes(*book);
    CheckScoreTexts(written, *book);
    auto again = std::make_unique<GradeBook>(StartBook());
    if (!ParseGradeBookFile(written, *again, &error))
        std::abort();
    if (GradeBookFileBytes(*again) != written)
        std::abort();
    return 0;
}
