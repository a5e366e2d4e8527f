#include "pdfname.h"

#include "browse/tree.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// A piece of a file name: characters that no file system takes become "_", blanks at the ends
// go.
QString NamePiece(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    return text.trimmed();
}

QString Join(const QStringList& pieces, const QString& extension = QStringLiteral("pdf")) {
    QStringList kept;
    for (const QString& piece : pieces) {
        const QString cleaned = NamePiece(piece);
        if (!cleaned.isEmpty() && cleaned != QStringLiteral("."))
            kept << cleaned;
    }
    if (kept.isEmpty())
        kept << u"成績表"_s;
    return kept.join(u'_') + u'.' + extension;
}

QString ClassName(const GradeBook& book) {
    return book.HomeRoomGrade.trimmed() + book.HomeRoomClass.trimmed();
}

QString SemesterName(const GradeBook& book, int semester) {
    if (semester >= 0 && semester < kSemesters)
        return book.SemesterNames[semester];
    return u"通年"_s;
}

} // namespace

QString TablePdfName(const GradeBook& book, const QString& nodeKey) {
    return TableFileName(book, nodeKey, QStringLiteral("pdf"));
}

QString BookWorkbookName(const GradeBook& book) {
    return Join({ClassName(book), u"成績簿"_s}, QStringLiteral("xlsx"));
}

QString ClassBookName(const GradeBook& book) {
    const QString cls = NamePiece(ClassName(book));
    return cls.isEmpty() ? QString() : cls + QStringLiteral(".txt");
}

QString TableFileName(const GradeBook& book, const QString& nodeKey, const QString& extension) {
    const QString cls = ClassName(book);
    if (nodeKey == kHomeRoomKey || nodeKey == kRootNodeKey || nodeKey.isEmpty())
        return Join({cls, u"学級"_s}, extension);
    const int level = KeyLevel(nodeKey);
    if (level == 4) { // the ratings overview, or a pupil's record
        const int pupil = PupilNumberOfKey(nodeKey);
        if (pupil < 1 || pupil > kMaxPupils)
            return Join({cls, u"評定一覧"_s}, extension);
        return Join({cls, u"個人票"_s, QString::number(pupil), book.StudentNames[pupil - 1]},
                    extension);
    }
    const int subject = KeyIndex(nodeKey, 3);
    if (level < 0 || level > 3 || subject < 0 || subject >= kSubjects)
        return Join({cls}, extension);
    QStringList pieces{cls, book.SubjectTitles[subject][0]};
    if (level == 0) {
        pieces << u"通年"_s;
        return Join(pieces, extension);
    }
    const int semester = KeyIndex(nodeKey, 5);
    pieces << SemesterName(book, semester);
    if (level >= 2 && semester >= 0 && semester < kSemesters) {
        const int test = KeyIndex(nodeKey, 7);
        if (test >= 0 && test < 10)
            pieces << book.TestInfo[TestSlot(semester, subject, test, 0)][1];
        const int viewpoint = KeyIndex(nodeKey, 9);
        if (level == 3 && viewpoint >= 0 && viewpoint < 3)
            pieces << book.SubjectTitles[subject][viewpoint + 1];
    }
    return Join(pieces, extension);
}

QString PupilRecordsPdfName(const GradeBook& book) {
    return Join({ClassName(book), u"個人票"_s});
}

QString GraphPdfName(const GradeBook& book, int subject, int semester) {
    const QString subjectName =
        subject >= 0 && subject < kSubjects ? book.SubjectTitles[subject][0] : QString();
    return Join({ClassName(book), subjectName, SemesterName(book, semester), u"グラフ"_s});
}

} // namespace kirune
