#pragma once
// The class book the benchmarks read and write: a year of teaching, every test registered.

#include "model/gradebook.h"

#include <QString>
#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace kirune::bench {

// A class as a year of teaching leaves it: every test of every subject in every semester
// registered, with marks, a few absences, class averages and the aggregates.
inline std::unique_ptr<GradeBook> FullBook(unsigned seed = 20240401) {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomYear = u"令和6年度"_s;
    book->HomeRoomGrade = u"5年"_s;
    book->HomeRoomClass = u"2組"_s;
    book->TeacherName = u"髙橋 一郎"_s;
    book->RosterSize = kMaxPupils;
    const char16_t* family[] = {u"青木", u"井上", u"宇野", u"遠藤", u"小川",
                                u"加藤", u"木村", u"工藤", u"小林", u"佐藤"};
    const char16_t* given[] = {u"太郎", u"花子", u"一郎", u"ﾐｷ"};
    for (int n = 0; n < kMaxPupils; ++n)
        book->StudentNames[n] =
            QString::fromUtf16(family[n % 10]) + u' ' + QString::fromUtf16(given[n / 10]);
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book->RankAPercent[p][c] = 20;
            book->RankCPercent[p][c] = 40;
        }

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> mark(0, 100);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int j = 0; j < kSemesters; ++j)
        for (int s = 0; s < kSubjects; ++s) {
            for (int t = 0; t < kTestsPerSemester; ++t) {
                for (int v = 0; v < 4; ++v) {
                    const int slot = TestSlot(j, s, t, v);
                    const float points = v == 3 ? 90.0f : 30.0f;
                    float sum = 0;
                    int counted = 0;
                    for (int n = 0; n < kMaxPupils; ++n) {
                        float score = static_cast<float>(mark(random) * points / 100);
                        if (percent(random) < 3)
                            score = kAbsent;
                        book->Scores[slot][n] = score;
                        if (score >= 0) {
                            sum += score;
                            ++counted;
                        }
                    }
                    book->Scores[slot][kAverageColumn] = sum / static_cast<float>(counted);
                    book->Scores[slot][kCountColumn] = static_cast<float>(counted);
                    book->Scores[slot][kPointsColumn] = points;
                }
                book->TestInfo[TestSlot(j, s, t, 0)][0] =
                    QStringLiteral("2024/%1/%2").arg(4 + j * 4 + t / 4).arg(10 + t);
                book->TestInfo[TestSlot(j, s, t, 0)][1] = u"単元テスト"_s + QString::number(t + 1);
            }
            for (int v = 0; v < 4; ++v) {
                const int slot = SemesterAggregateSlot(j, s, v);
                for (int n = 0; n < kMaxPupils; ++n) {
                    float sum = 0;
                    bool absent = false;
                    for (int t = 0; t < kTestsPerSemester; ++t) {
                        const float score = book->Scores[TestSlot(j, s, t, v)][n];
                        absent = absent || score == kAbsent;
                        sum += score > 0 ? score : 0;
                    }
                    book->Scores[slot][n] = sum + (absent ? kAbsentMarker : 0);
                }
                book->Scores[slot][40] = 0;
                book->Scores[slot][41] = 0;
                book->Scores[slot][kAverageColumn] = 187.35f;
                book->Scores[slot][kCountColumn] = 400;
                book->Scores[slot][kPointsColumn] = v == 3 ? 900 : 300;
            }
        }
    for (int s = 0; s < kSubjects; ++s)
        for (int v = 0; v < 4; ++v) {
            const int slot = YearAggregateSlot(s, v);
            for (int n = 0; n < kMaxPupils; ++n) {
                float sum = 0;
                for (int j = 0; j < kSemesters; ++j)
                    sum += WithoutAbsentMarker(book->Scores[SemesterAggregateSlot(j, s, v)][n]);
                book->Scores[slot][n] = sum;
            }
            book->Scores[slot][kAverageColumn] = 562.05f;
            book->Scores[slot][kCountColumn] = 1200;
            book->Scores[slot][kPointsColumn] = v == 3 ? 2700 : 900;
        }
    return book;
}

} // namespace kirune::bench
