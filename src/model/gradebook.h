#pragma once
// The grade book of one class: every value the file stores, with the program's fixed bounds.
// Indices are zero-based and the arrays are never resized; entries beyond the used ranges exist
// only because their place is part of the program's layout (never saved, never shown).

#include <QString>
#include <array>
#include <cstdint>

namespace kirune {

constexpr int kMaxPupils = 40;          // attendance numbers 1..40
constexpr int kSubjects = 6;            // subjects 0..5
constexpr int kSemesters = 3;           // semesters 0..2
constexpr int kTestsPerSemester = 10;   // tests 0..9; index 10 is the semester aggregate
constexpr int kViewpoints = 3;          // viewpoints 0..2; offset 3 is the total
constexpr int kUsedSlots = 816;         // slots 0..815 are used and saved
constexpr int kScoreColumns = 45;       // columns 0..44 are used and saved
constexpr int kYearSlotBase = 792;      // whole-year aggregates: 792 + 4 * subject + viewpoint
constexpr int kAverageColumn = 42;      // class average of a slot
constexpr int kCountColumn = 43;        // pupils counted in that average
constexpr int kPointsColumn = 44;       // points allocated (full marks of an aggregate)
constexpr int kCriteriaPeriods = 4;     // semesters 0..2, whole year 3
constexpr int kCriteriaColumns = 18;    // subject * 3 + viewpoint
constexpr int kSubjectNameChoices = 10; // entries 0..9 used
constexpr int kViewpointNameChoices = 20;
constexpr int kCommentPeriods = 4;        // report-card comments: semesters 0..2, the year 3
constexpr int kMaxCommentLength = 1000;   // characters of one comment
constexpr int kDefaultCommentLimit = 200; // the class's length limit unless the teacher sets one

constexpr float kNoData = -1.0f;
constexpr float kAbsent = -2.0f;
constexpr float kAbsentMarker = 10000.0f; // added to an aggregate that includes an absence

struct GradeBook {
    // Homeroom record and roster.
    QString HomeRoomYear, HomeRoomGrade, HomeRoomClass, TeacherName;
    int16_t RosterSize = 0;                 // highest attendance number carrying a name
    std::array<QString, 41> StudentNames{}; // (n - 1) is attendance number n; entry 40 unused

    // Names of subjects, viewpoints and semesters.
    std::array<std::array<QString, 5>, 7> SubjectTitles{}; // (s, 0) subject, (s, 1..3) viewpoints
    std::array<QString, 7> SubjectKeys{};
    std::array<QString, 4> SemesterNames{};
    std::array<QString, 4> SemesterKeys{};
    std::array<QString, 11> SubjectNameChoices{};
    std::array<QString, 21> ViewpointNameChoices{};

    // Rating criteria in percent, (period, subject * 3 + viewpoint); -1 = not set.
    std::array<std::array<int16_t, 19>, 5> RankAPercent{};
    std::array<std::array<int16_t, 19>, 5> RankCPercent{};

    // Scores(slot, column) and TestInfo(slot, 0 = date text, 1 = test name).
    std::array<std::array<float, 46>, 817> Scores{};
    std::array<std::array<QString, 3>, 817> TestInfo{};

    // Report-card comments (所見): (n - 1, period) for attendance number n, periods 0..2 the
    // semesters and 3 the year; and the class's length limit of each period (1..1000). The file
    // keeps them after its fixed lines.
    std::array<std::array<QString, kCommentPeriods>, kMaxPupils> Comments{};
    std::array<int16_t, kCommentPeriods> CommentLimits{kDefaultCommentLimit, kDefaultCommentLimit,
                                                       kDefaultCommentLimit, kDefaultCommentLimit};
};

// First index of Scores and TestInfo for a viewpoint (0..3) of a test (0..10) of a subject in a
// semester.
constexpr int TestSlot(int semester, int subject, int test, int viewpoint) {
    return viewpoint + 4 * test + 44 * subject + 264 * semester;
}
constexpr int SemesterAggregateSlot(int semester, int subject, int viewpoint) {
    return TestSlot(semester, subject, 10, viewpoint);
}
constexpr int YearAggregateSlot(int subject, int viewpoint) {
    return kYearSlotBase + 4 * subject + viewpoint;
}
constexpr int CriteriaIndex(int subject, int viewpoint) {
    return subject * 3 + viewpoint;
}

// Puts every value to the program's defaults (empty class, default subjects and viewpoints,
// default test names, unset criteria). Entries outside the reset's ranges keep their values.
void ResetGradeBook(GradeBook& book);

// Pupils with a name among attendance numbers 1..RosterSize: the class size and the divisor of
// class averages.
int CountEnrolled(const GradeBook& book);

// Once the class has pupils, every rating criterion never set gets the default bands (A 20 %,
// C 40 %); shares already set stay. Without the defaults every pupil would be rated B. Called
// wherever names arrive: the homeroom registration and the roster import.
void FillDefaultCriteria(GradeBook& book);

// True when attendance number n (1..40) has a name.
inline bool HasName(const GradeBook& book, int n) {
    return n >= 1 && n <= kMaxPupils && !book.StudentNames[n - 1].isEmpty();
}

// Homeroom heading shown above the grid: year, grade and class, teacher and the class size.
QString HomeRoomHeading(const GradeBook& book);

// A pupil's aggregate without the absence marker.
inline float WithoutAbsentMarker(float v) {
    return v >= kAbsentMarker ? v - kAbsentMarker : v;
}

} // namespace kirune
