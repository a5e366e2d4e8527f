#include "gradebook.h"

#include "numbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

void ResetGradeBook(GradeBook& book) {
    book.HomeRoomYear.clear();
    book.HomeRoomGrade.clear();
    book.HomeRoomClass.clear();
    book.TeacherName.clear();

    book.RosterSize = 0;
    for (int n = 0; n < kMaxPupils; ++n) {
        book.StudentNames[n].clear();
        for (QString& comment : book.Comments[n])
            comment.clear();
    }
    book.CommentLimits.fill(kDefaultCommentLimit);

    for (int slot = 0; slot < kUsedSlots; ++slot)
        for (int col = 0; col < kScoreColumns; ++col)
            book.Scores[slot][col] = kNoData;

    for (int i = 0; i < kSubjectNameChoices; ++i)
        book.SubjectNameChoices[i].clear();
    for (int i = 0; i < kViewpointNameChoices; ++i)
        book.ViewpointNameChoices[i].clear();
    const char16_t* subjects[] = {u"国語", u"算数", u"理科", u"社会", u"家庭", u"体育"};
    for (int i = 0; i < 6; ++i)
        book.SubjectNameChoices[i] = QString::fromUtf16(subjects[i]);
    const char16_t* viewpoints[] = {u"表現",   u"理解",   u"知識",   u"思考", u"観察", u"資料",
                                    u"観・資", u"観・実", u"知・理", u"工夫", u"言語", u"表・処"};
    for (int i = 0; i < 12; ++i)
        book.ViewpointNameChoices[i] = QString::fromUtf16(viewpoints[i]);

    const char16_t* semesterNames[] = {u"一学期", u"二学期", u"三学期"};
    const char* semesterKeys[] = {"SPRING", "AUTUMN", "WINTER"};
    for (int j = 0; j < kSemesters; ++j) {
        book.SemesterNames[j] = QString::fromUtf16(semesterNames[j]);
        book.SemesterKeys[j] = QString::fromLatin1(semesterKeys[j]);
    }

    const char16_t* titles[6][4] = {
        {u"国語", u"表現", u"理解", u"言語"},     {u"算数", u"思考", u"表・処", u"知・理"},
        {u"理科", u"思考", u"観・実", u"知・理"}, {u"社会", u"思考", u"観・資", u"知・理"},
        {u"家庭", u"観点1", u"観点2", u"観点3"},  {u"体育", u"知識", u"工夫", u"観点3"},
    };
    const char* keys[] = {"LANGUAGE", "ARITHMETIC", "SCIENCE", "SOCIETY", "HOMEMAKE", "PHYSICAL"};
    for (int s = 0; s < kSubjects; ++s) {
        for (int k = 0; k < 4; ++k)
            book.SubjectTitles[s][k] = QString::fromUtf16(titles[s][k]);
        book.SubjectKeys[s] = QString::fromLatin1(keys[s]);
    }

    // Test texts: the semester's name stands in for a date until one is chosen.
    for (int s = 0; s < kSubjects; ++s)
        for (int j = 0; j < kSemesters; ++j)
            for (int t = 0; t < kTestsPerSemester; ++t)
                for (int v = 0; v < kViewpoints; ++v) {
                    const int slot = TestSlot(j, s, t, v);
                    book.TestInfo[slot][0] = book.SemesterNames[j];
                    book.TestInfo[slot][1] = NumberText(t + 1) + u"回目試験"_s;
                }

    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book.RankAPercent[p][c] = -1;
            book.RankCPercent[p][c] = -1;
        }
}

int CountEnrolled(const GradeBook& book) {
    int count = 0;
    const int last = std::min<int>(book.RosterSize, kMaxPupils);
    for (int n = 1; n <= last; ++n)
        if (!book.StudentNames[n - 1].isEmpty())
            ++count;
    return count;
}

void FillDefaultCriteria(GradeBook& book) {
    if (CountEnrolled(book) == 0)
        return;
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            if (book.RankAPercent[p][c] == -1)
                book.RankAPercent[p][c] = 20;
            if (book.RankCPercent[p][c] == -1)
                book.RankCPercent[p][c] = 40;
        }
}

QString HomeRoomHeading(const GradeBook& book) {
    return book.HomeRoomYear + u' ' + book.HomeRoomGrade + book.HomeRoomClass + u' ' +
           book.TeacherName + u" 生徒数（"_s + NumberText(CountEnrolled(book)) + u"名）"_s;
}

} // namespace kirune
