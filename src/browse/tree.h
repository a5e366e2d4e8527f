#pragma once
// The grade book tree as data: every node's key, text and image key in creation order, and the
// decoding of node keys.

#include "model/gradebook.h"

#include <QString>
#include <vector>

namespace kirune {

struct TreeNode {
    QString key;
    QString text;
    QString image; // image key; "" for none
    // -1 homeroom or placeholder, 0 subject, 1 semester, 2 test, 3 viewpoint, 4 the pupils'
    // branch and each pupil under it
    int level = -1;
    int parent = -1; // index in the node list; -1 for a root
};

inline const QString kHomeRoomKey = QStringLiteral("HomeRoom");
inline const QString kRootNodeKey = QStringLiteral("ROOTnode");
QString PlaceholderNodeText(); // "ファイルを開いてください"

QString SubjectKey(int subject);
QString SemesterKey(int subject, int semester);
QString TestKey(int subject, int semester, int test);
QString ViewpointKey(int subject, int semester, int test, int viewpoint);
// The branch "児童別" after the subjects ("4"), and pupil n under it ("4" and the number in two
// places: "4 7", "412").
QString PupilsKey();
QString PupilKey(int number);
// The attendance number a pupil key names (from its second character on); 0 for the branch
// itself and for any other key.
int PupilNumberOfKey(const QString& key);

// The nodes of a grade book, in creation order (index 0 is node 1, the homeroom): the 745 of the
// homeroom, subjects, semesters, tests and viewpoints, then the branch "児童別" with one node per
// pupil who has a name.
std::vector<TreeNode> BuildTreeNodes(const GradeBook& book);
// "lighton" when any viewpoint of the test has a registered class average, else "lightoff".
QString TestImageKey(const GradeBook& book, int subject, int semester, int test);
// Text of the homeroom node, one for every time the tree shows it: "令和8年度 5年2組 山田　恵子",
// with blanks after the year and the class.
QString HomeRoomNodeText(const GradeBook& book);
QString TestNodeText(const GradeBook& book, int subject, int semester, int test);

// Level of a key: the numeric value of its first character (0 for "HomeRoom", whose first
// character is not a digit, and for an empty key), as the program has always read it.
int KeyLevel(const QString& key);
// Index at character position 3, 5, 7 or 9 (1-based) of a level key; 0 when missing.
int KeyIndex(const QString& key, int position);

} // namespace kirune
