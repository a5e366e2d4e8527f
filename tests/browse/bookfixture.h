#pragma once
// Small grade books for the rules and table tests.

#include "model/gradebook.h"

#include <QString>
#include <initializer_list>
#include <memory>

using namespace Qt::StringLiterals;

namespace kirune::testing {

// A reset grade book whose roster holds the given names (attendance numbers 1, 2, ...); an
// empty name is a pupil who transferred out. RosterSize is the number of names given.
inline std::unique_ptr<GradeBook> BookWithPupils(std::initializer_list<const char16_t*> names) {
    auto book = std::make_unique<GradeBook>();
    ResetGradeBook(*book);
    book->HomeRoomYear = u"令和6年度"_s;
    book->HomeRoomGrade = u"5年"_s;
    book->HomeRoomClass = u"2組"_s;
    book->TeacherName = u"山田花子"_s;
    int n = 0;
    for (const char16_t* name : names)
        book->StudentNames[n++] = QString::fromUtf16(name);
    book->RosterSize = static_cast<int16_t>(n);
    return book;
}

// Sets the given pupils' values (column = attendance number - 1) of one slot.
inline void SetPupilValues(GradeBook& book, int slot, std::initializer_list<float> values) {
    int col = 0;
    for (float v : values)
        book.Scores[slot][col++] = v;
}

} // namespace kirune::testing
