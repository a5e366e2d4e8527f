#include "tree.h"

#include "model/numbers.h"

#include <QStringList>
#include <algorithm>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace kirune {

QString PlaceholderNodeText() {
    return u"ファイルを開いてください"_s;
}

namespace {
// A node key: its level digit, then each number as NumberText writes it (" 3", "-1"). Built in
// place, as a tree has some 750 keys to make on every opening.
QString NodeKey(char16_t level, std::initializer_list<int> numbers) {
    QString key;
    key.reserve(1 + 3 * static_cast<qsizetype>(numbers.size()));
    key += QChar(level);
    for (const int n : numbers) {
        if (n >= 0 && n < 10) {
            key += u' ';
            key += QChar(u'0' + n);
        } else {
            key += NumberText(n);
        }
    }
    return key;
}
} // namespace

QString SubjectKey(int subject) {
    return NodeKey(u'0', {subject});
}
QString SemesterKey(int subject, int semester) {
    return NodeKey(u'1', {subject, semester});
}
QString TestKey(int subject, int semester, int test) {
    return NodeKey(u'2', {subject, semester, test});
}
QString ViewpointKey(int subject, int semester, int test, int viewpoint) {
    return NodeKey(u'3', {subject, semester, test, viewpoint});
}

QString PupilsKey() {
    return QStringLiteral("4");
}
namespace {
// An attendance number in two places: " 7", "12".
QString TwoPlaces(int number) {
    return QString::number(number).rightJustified(2, u' ');
}
} // namespace
QString PupilKey(int number) {
    return PupilsKey() + TwoPlaces(number);
}
int PupilNumberOfKey(const QString& key) {
    if (key.size() < 2 || key.front() != u'4')
        return 0;
    return RoundHalfEvenInt16(LeadingNumber(QStringView(key).mid(1)));
}

QString TestImageKey(const GradeBook& book, int subject, int semester, int test) {
    const int t = TestSlot(semester, subject, test, 0);
    const bool none = book.Scores[t][kAverageColumn] < 0 &&
                      book.Scores[t + 1][kAverageColumn] < 0 &&
                      book.Scores[t + 2][kAverageColumn] < 0;
    return none ? QStringLiteral("lightoff") : QStringLiteral("lighton");
}

QString HomeRoomNodeText(const GradeBook& book) {
    QStringList parts{book.HomeRoomYear, book.HomeRoomGrade + book.HomeRoomClass, book.TeacherName};
    parts.removeAll(QString());
    return parts.join(u' ');
}

QString TestNodeText(const GradeBook& book, int subject, int semester, int test) {
    const int t = TestSlot(semester, subject, test, 0);
    return book.TestInfo[t][0] + u' ' + book.TestInfo[t][1];
}

std::vector<TreeNode> BuildTreeNodes(const GradeBook& book) {
    std::vector<TreeNode> nodes;
    nodes.reserve(745 + 1 + kMaxPupils);
    nodes.push_back({kHomeRoomKey, HomeRoomNodeText(book), QStringLiteral("root"), -1, -1});
    for (int i = 0; i < kSubjects; ++i) {
        const int subjectIndex = static_cast<int>(nodes.size());
        nodes.push_back({SubjectKey(i), book.SubjectTitles[i][0], book.SubjectKeys[i], 0, 0});
        for (int j = 0; j < kSemesters; ++j) {
            const int semesterIndex = static_cast<int>(nodes.size());
            nodes.push_back({SemesterKey(i, j),
                             book.SemesterNames[j] + u'(' + book.SubjectTitles[i][0] + u')',
                             book.SemesterKeys[j], 1, subjectIndex});
            for (int k = 0; k < kTestsPerSemester; ++k) {
                const int testIndex = static_cast<int>(nodes.size());
                const QString testText = TestNodeText(book, i, j, k);
                nodes.push_back(
                    {TestKey(i, j, k), testText, TestImageKey(book, i, j, k), 2, semesterIndex});
                for (int m = 0; m < kViewpoints; ++m)
                    nodes.push_back({ViewpointKey(i, j, k, m),
                                     testText + book.SubjectTitles[i][m + 1],
                                     QStringLiteral("test"), 3, testIndex});
            }
        }
    }
    // Each pupil's record, after every node above, which keep their places.
    const int pupilsIndex = static_cast<int>(nodes.size());
    const QString pupilsImage = QStringLiteral("pupils");
    nodes.push_back({PupilsKey(), u"児童別"_s, pupilsImage, 4, 0});
    const int roster = std::clamp<int>(book.RosterSize, 0, kMaxPupils);
    for (int n = 1; n <= roster; ++n)
        if (!book.StudentNames[n - 1].isEmpty())
            nodes.push_back({PupilKey(n), TwoPlaces(n) + u' ' + book.StudentNames[n - 1],
                             pupilsImage, 4, pupilsIndex});
    return nodes;
}

int KeyLevel(const QString& key) {
    if (key.isEmpty())
        return 0;
    return RoundHalfEvenInt16(LeadingNumber(QStringView(key).left(1)));
}

int KeyIndex(const QString& key, int position) {
    if (position < 1 || position > key.size())
        return 0;
    return RoundHalfEvenInt16(LeadingNumber(QStringView(key).mid(position - 1, 1)));
}

} // namespace kirune
