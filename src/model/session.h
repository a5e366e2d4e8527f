#pragma once
// What the program knows besides the saved grade book: the file, the unsaved flag, the tree
// selection, the editors' shared state and the tables' scratch arrays.

#include <QString>
#include <array>
#include <cstdint>

namespace kirune {

struct Session {
    QString FileName;       // full path of the grade book file; "" when none
    bool NeedsSave = false; // True while the open book differs from its file (a new book: always)

    QString SelectedNodeKey;       // "HomeRoom", "ROOTnode" or a level key
    int16_t SelectedNodeIndex = 0; // 1 = first node (the homeroom)
    int16_t CurrentSubject = 0;
    int16_t CurrentSemester = 0;
    int16_t CurrentTest = 0;
    int16_t CurrentViewpoint = 0;
    int16_t CommentPeriod =
        0; // the comments' period last chosen (0..2, 3 the year): records show it

    int16_t CurrentStudentNo = 0; // pupil under the cursor of the homeroom and test editors
    bool CautionAnswer = false;   // a test has just been registered (read by the main window)
    int16_t ScoreEntryError = 0;  // test editor: -1 after a failed score check
    int16_t AverageCount = 0;     // test editor: pupils in the last class average computed
    int16_t ShownColumnCount = 0; // grid columns of the table on screen

    std::array<QString, 41> WorkValues{}; // text ranking candidates
    std::array<QString, 41> WorkTexts{};

    // Every change of the grade book goes through here, so Close and Exit ask to save.
    void MarkChanged() { NeedsSave = true; }
};

} // namespace kirune
