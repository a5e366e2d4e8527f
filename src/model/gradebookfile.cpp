#include "gradebookfile.h"

#include "comments.h"
#include "cp932.h"
#include "fastfields.h"
#include "numbers.h"
#include "safefile.h"
#include "storabletext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Line numbers of the file (from 1).
constexpr int kLineRosterSize = 5;

constexpr int kMaxFields = kScoreColumns; // the longest record line

void SetError(QString* error, const QString& message) {
    if (error)
        *error = message;
}

// Texts copied from one another share their characters, which is quickly seen.
bool SameText(const QString& a, const QString& b) {
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

// ---------------------------------------------------------------------------------------------
// Reader

QString Shown(const QString& text) {
    constexpr qsizetype kMaxShown = 20;
    if (text.size() <= kMaxShown)
        return text;
    return text.left(kMaxShown) + u"…"_s;
}

class Parser {
public:
    // The text from `begin` to `end`, in code page 932 or (with `utf8`) in UTF-8.
    Parser(const char* begin, const char* end, bool utf8) : next_(begin), end_(end), utf8_(utf8) {}

    // The next line without its CR LF (or lone LF); the last line may end without either.
    bool NextLine(QByteArrayView* line, QString* error) {
        ++lineNumber_;
        if (next_ >= end_) {
            SetError(error, u"%1 行目がありません。ファイルが途中で終わっています"
                            u"（成績ファイルは %2 行です）。"_s.arg(lineNumber_)
                                .arg(kGradeBookFileLines));
            return false;
        }
        const char* start = next_;
        const auto* lf =
            static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(end_ - start)));
        const char* stop = end_;
        if (lf) {
            stop = lf;
            next_ = lf + 1;
            if (stop > start && stop[-1] == '\r')
                --stop;
        } else {
            next_ = end_;
        }
        *line = QByteArrayView(start, stop - start);
        return true;
    }

    // What follows the last line read.
    QByteArrayView Rest() const { return QByteArrayView(next_, end_ - next_); }
    bool Utf8() const { return utf8_; }

    // How many of the lines after `line` (the line NextLine gave last), up to `limit`, are the
    // very same bytes, line end included; those lines are passed over.
    int SkipRepeats(QByteArrayView line, int limit) {
        const qsizetype period = next_ - line.data();
        if (period <= line.size())
            return 0; // the last line, without a line end
        const auto room = static_cast<int>(std::min<qsizetype>(limit, (end_ - next_) / period));
        const int equal = CopiesFollowing(line.data(), period, room);
        next_ += period * equal;
        lineNumber_ += equal;
        return equal;
    }

    void TooFewFields(int needed, int found, QString* error) const {
        SetError(error, u"%1 行目: 項目が足りません（「;」で区切られた項目が %2 個"
                        u"必要ですが、%3 個しかありません）。"_s.arg(lineNumber_)
                            .arg(needed)
                            .arg(found));
    }

    // The first `count` fields of a record line: each is the text before the next ";". What is
    // left after them is ignored.
    bool Fields(QByteArrayView line, int count, QByteArrayView* fields, QString* error) const {
        const char* p = line.data();
        const char* const end = p + line.size();
        for (int i = 0; i < count; ++i) {
            const char* q = p;
            while (q < end && *q != ';') // fields are short: a plain loop beats memchr
                ++q;
            if (q == end) {
                TooFewFields(count, i, error);
                return false;
            }
            fields[i] = QByteArrayView(p, q - p);
            p = q + 1;
        }
        return true;
    }

    // A text as it stands. Texts repeat (test names, subject names): each is decoded once, and
    // kept in a small table by a hash of its bytes (one that finds another in its place is
    // decoded again).
    QString Text(QByteArrayView bytes) {
        bool ascii = true;
        for (const char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii)
            return QString::fromLatin1(bytes.data(), bytes.size());
        Decoded& entry = decoded_[qHash(bytes) % decoded_.size()];
        if (entry.bytes != bytes) {
            entry.bytes = bytes;
            bool invalid = false;
            entry.text = utf8_ ? QString::fromUtf8(bytes)
                               : DecodeCp932(bytes.data(), bytes.size(), &invalid);
            if (invalid && undecodedLine_ == 0)
                undecodedLine_ = lineNumber_;
        }
        return entry.text;
    }

    // The first line with bytes that are no code page 932 text (0 when none).
    int UndecodedLine() const { return undecodedLine_; }

    // The leading number of a field. Only its ASCII start can hold the number: any byte from 0x80
    // on (a lead byte, half-width katakana or a bad byte) decodes to a character that ends it.
    static double Number(QByteArrayView bytes) {
        QVarLengthArray<char16_t, 64> units;
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) >= 0x80)
                break;
            units.append(static_cast<char16_t>(c));
        }
        return LeadingNumber(QStringView(units.constData(), units.size()));
    }

    // The 45 scores of a score line.
    bool ScoreLine(QByteArrayView line, float* scores, QString* error) {
        const char* p = line.data();
        const char* const end = p + line.size();
        for (int col = 0; col < kScoreColumns; ++col) {
            if (const char* semicolon = ScanScoreField(p, end, &scores[col])) {
                p = semicolon + 1;
                continue;
            }
            QByteArrayView field;
            if (!Fields({p, end}, 1, &field, nullptr)) {
                TooFewFields(kScoreColumns, col, error);
                return false;
            }
            const auto value = static_cast<float>(Number(field)); // the nearest; inf if too big
            if (!std::isfinite(value)) {
                SetError(error, u"%1 行目: %2 番目の項目「%3」は得点として大きすぎます。"_s
                                    .arg(lineNumber_)
                                    .arg(col + 1)
                                    .arg(Shown(Text(field))));
                return false;
            }
            scores[col] = value;
            p = field.data() + field.size() + 1;
        }
        return true;
    }

    bool Criterion(QByteArrayView field, int fieldNumber, int16_t* out, QString* error) {
        int whole = 0;
        if (ScanWholeField(field, &whole) && whole >= -32768 && whole <= 32767) {
            *out = static_cast<int16_t>(whole);
            return true;
        }
        if (!TryRoundToInt16(Number(field), out)) {
            SetError(error, u"%1 行目: %2 番目の項目「%3」は評価基準の値として大きすぎます"
                            u"（-32768 から 32767 までです）。"_s.arg(lineNumber_)
                                .arg(fieldNumber)
                                .arg(Shown(Text(field))));
            return false;
        }
        return true;
    }

private:
    const char* next_;
    const char* end_;
    bool utf8_;
    int lineNumber_ = 0;
    int undecodedLine_ = 0;
    struct Decoded {
        QByteArrayView bytes; // in the file's bytes
        QString text;
    };
    std::array<Decoded, 32> decoded_;
};

QString TooBigMessage(qint64 size) {
    return u"ファイルが大きすぎます（%1 バイト）。成績ファイルとして読めるのは %2 MB "
           u"までです。"_s.arg(size)
               .arg(kMaxGradeBookFileBytes / (1024 * 1024));
}

// Equal test lines in a row: the slots from `first` to `last` have this date and name.
struct TestLines {
    int first, last;
    QString date, name;
};

// Reads the file into `book`, but its test lines into `tests`.
bool ParseInto(Parser& in, GradeBook& book, std::vector<TestLines>& tests, QString* error) {
    QByteArrayView line;
    std::array<QByteArrayView, kMaxFields> fields;

    for (QString* text :
         {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass, &book.TeacherName}) {
        if (!in.NextLine(&line, error))
            return false;
        *text = in.Text(line);
    }

    if (!in.NextLine(&line, error))
        return false;
    int16_t rosterSize = 0;
    if (!TryRoundToInt16(LeadingNumber(in.Text(line)), &rosterSize) || rosterSize < 0 ||
        rosterSize > kMaxPupils) {
        SetError(error,
                 u"%1 行目: 生徒数「%2」が 0 から %3 の範囲にありません。"_s.arg(kLineRosterSize)
                     .arg(Shown(in.Text(line)))
                     .arg(kMaxPupils));
        return false;
    }
    book.RosterSize = rosterSize;

    if (!in.NextLine(&line, error) || !in.Fields(line, kMaxPupils, fields.data(), error))
        return false;
    for (int n = 0; n < kMaxPupils; ++n)
        book.StudentNames[n] = in.Text(fields[n]);

    for (auto* criteria : {&book.RankAPercent, &book.RankCPercent})
        for (int p = 0; p < kCriteriaPeriods; ++p) {
            if (!in.NextLine(&line, error) ||
                !in.Fields(line, kCriteriaColumns, fields.data(), error))
                return false;
            for (int c = 0; c < kCriteriaColumns; ++c)
                if (!in.Criterion(fields[c], c + 1, &(*criteria)[p][c], error))
                    return false;
        }

    if (!in.NextLine(&line, error) || !in.Fields(line, kSemesters, fields.data(), error))
        return false;
    for (int j = 0; j < kSemesters; ++j)
        book.SemesterNames[j] = in.Text(fields[j]);

    for (int s = 0; s < kSubjects; ++s) {
        if (!in.NextLine(&line, error) || !in.Fields(line, 4, fields.data(), error))
            return false;
        for (int k = 0; k < 4; ++k)
            book.SubjectTitles[s][k] = in.Text(fields[k]);
    }

    if (!in.NextLine(&line, error) || !in.Fields(line, kSubjectNameChoices, fields.data(), error))
        return false;
    for (int i = 0; i < kSubjectNameChoices; ++i)
        book.SubjectNameChoices[i] = in.Text(fields[i]);

    if (!in.NextLine(&line, error) || !in.Fields(line, kViewpointNameChoices, fields.data(), error))
        return false;
    for (int i = 0; i < kViewpointNameChoices; ++i)
        book.ViewpointNameChoices[i] = in.Text(fields[i]);

    // Most slots of a class hold no test yet, so their lines are alike: the lines after one that
    // are equal to it give the same scores, or the same date and name.
    // A line read a run or two before often comes back too (the empty slots between two tests).
    // Whole rows are copied, the last column that the file does not hold with them.
    struct ReadLine {
        QByteArrayView text;
        int slot = -1;
    };
    std::array<ReadLine, 2> recent;
    for (int slot = 0; slot < kUsedSlots;) {
        if (!in.NextLine(&line, error))
            return false;
        const auto seen = std::find_if(recent.begin(), recent.end(), [&](const ReadLine& r) {
            return r.slot >= 0 && r.text == line;
        });
        if (seen != recent.end())
            book.Scores[slot] = book.Scores[seen->slot];
        else if (!in.ScoreLine(line, book.Scores[slot].data(), error))
            return false;
        recent = {ReadLine{line, slot}, recent[0]};
        const int last = slot + in.SkipRepeats(line, kUsedSlots - slot - 1);
        auto* const rows = book.Scores.data() + slot;
        for (int done = 1; done <= last - slot;) { // the copies double in length
            const int n = std::min(done, last - slot - done + 1);
            std::memcpy(rows + done, rows, n * sizeof *rows);
            done += n;
        }
        slot = last + 1;
    }

    for (int slot = 0; slot < kUsedSlots;) {
        if (!in.NextLine(&line, error) || !in.Fields(line, 2, fields.data(), error))
            return false;
        const int last = slot + in.SkipRepeats(line, kUsedSlots - slot - 1);
        tests.push_back({slot, last, in.Text(fields[0]), in.Text(fields[1])});
        slot = last + 1;
    }
    // Whatever follows line 1655 is not part of the grade book.
    return true;
}

// ---------------------------------------------------------------------------------------------
// Texts the file cannot hold

QString TestDescription(const GradeBook& book, int slot) {
    if (slot >= kYearSlotBase) {
        const int s = (slot - kYearSlotBase) / 4;
        return u"%1 の年間集計"_s.arg(book.SubjectTitles[s][0]);
    }
    const int semester = slot / 264;
    const int subject = slot % 264 / 44;
    const int test = slot % 44 / 4;
    const int viewpoint = slot % 4;
    QString text = book.SemesterNames[semester] + u' ' + book.SubjectTitles[subject][0] + u' ';
    text += test < kTestsPerSemester ? u"第%1回"_s.arg(test + 1) : u"学期集計"_s;
    if (viewpoint > 0)
        text += u"（観点 %1）"_s.arg(viewpoint + 1);
    return text;
}

// The texts of the file before its score lines, wherever they stand in a book.
std::array<QString*, 101> HeadTexts(GradeBook& book) {
    std::array<QString*, 101> texts;
    QString** t = texts.data();
    for (QString* text :
         {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass, &book.TeacherName})
        *t++ = text;
    for (int n = 0; n < kMaxPupils; ++n)
        *t++ = &book.StudentNames[n];
    for (int j = 0; j < kSemesters; ++j)
        *t++ = &book.SemesterNames[j];
    for (int s = 0; s < kSubjects; ++s)
        for (int k = 0; k < 4; ++k)
            *t++ = &book.SubjectTitles[s][k];
    for (int i = 0; i < kSubjectNameChoices; ++i)
        *t++ = &book.SubjectNameChoices[i];
    for (int i = 0; i < kViewpointNameChoices; ++i)
        *t++ = &book.ViewpointNameChoices[i];
    Q_ASSERT(t == texts.data() + texts.size());
    return texts;
}

// Puts what was read into `read` (and `tests`) into the book; `read` is left without texts.
void TakeFileValues(GradeBook& read, const std::vector<TestLines>& tests, GradeBook& book) {
    const auto from = HeadTexts(read);
    const auto to = HeadTexts(book);
    for (size_t i = 0; i < from.size(); ++i) {
        to[i]->swap(*from[i]);
        *from[i] = QString();
    }
    book.RosterSize = read.RosterSize;
    for (int p = 0; p < kCriteriaPeriods; ++p)
        for (int c = 0; c < kCriteriaColumns; ++c) {
            book.RankAPercent[p][c] = read.RankAPercent[p][c];
            book.RankCPercent[p][c] = read.RankCPercent[p][c];
        }
    // The file holds neither the last column nor the last slot: the book keeps its own.
    static_assert(std::tuple_size_v<decltype(book.Scores)> == kUsedSlots + 1 &&
                  std::tuple_size_v<decltype(book.Scores)::value_type> == kScoreColumns + 1);
    for (int slot = 0; slot < kUsedSlots; ++slot)
        read.Scores[slot][kScoreColumns] = book.Scores[slot][kScoreColumns];
    read.Scores[kUsedSlots] = book.Scores[kUsedSlots];
    book.Scores = read.Scores;
    for (const TestLines& run : tests)
        for (int slot = run.first; slot <= run.last; ++slot) {
            book.TestInfo[slot][0] = run.date;
            book.TestInfo[slot][1] = run.name;
        }
}

} // namespace

// ---------------------------------------------------------------------------------------------

QByteArray GradeBookFileBytes(const GradeBook& book) {
    QByteArray bytes;
    GradeBookFileBytes(book, bytes);
    return bytes;
}

void GradeBookFileBytes(const GradeBook& book, QByteArray& bytes) {
    FileBuffer out(bytes);

    for (const QString* text :
         {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass, &book.TeacherName}) {
        out.Text(*text);
        out.LineEnd();
    }
    out.Number(book.RosterSize);
    out.LineEnd();

    for (int n = 0; n < kMaxPupils; ++n)
        out.Field(book.StudentNames[n]);
    out.LineEnd();

    // A criteria line equal to the one before it is written as a copy of its line.
    const int16_t* previous = nullptr;
    qsizetype previousStart = 0;
    for (const auto* criteria : {&book.RankAPercent, &book.RankCPercent})
        for (int p = 0; p < kCriteriaPeriods; ++p) {
            const int16_t* const line = (*criteria)[p].data();
            const qsizetype start = out.Size();
            if (previous && std::equal(line, line + kCriteriaColumns, previous)) {
                out.Repeat(previousStart, 1);
            } else {
                for (int c = 0; c < kCriteriaColumns; ++c)
                    out.NumberField(line[c]);
                out.LineEnd();
            }
            previous = line;
            previousStart = start;
        }

    for (int j = 0; j < kSemesters; ++j)
        out.Field(book.SemesterNames[j]);
    out.LineEnd();

    for (int s = 0; s < kSubjects; ++s) {
        for (int k = 0; k < 4; ++k)
            out.Field(book.SubjectTitles[s][k]);
        out.LineEnd();
    }

    for (int i = 0; i < kSubjectNameChoices; ++i)
        out.Field(book.SubjectNameChoices[i]);
    out.LineEnd();
    for (int i = 0; i < kViewpointNameChoices; ++i)
        out.Field(book.ViewpointNameChoices[i]);
    out.LineEnd();

    // Rows of scores equal to the one before them are written as copies of its line, and so are
    // equal test lines. Rows equal in the unsaved last column too are found many at a time.
    for (int slot = 0; slot < kUsedSlots;) {
        const qsizetype start = out.Size();
        const float* const scores = book.Scores[slot].data();
        out.ScoreLine(scores);
        int next = slot + 1;
        while (next < kUsedSlots &&
               std::memcmp(book.Scores[next].data(), scores, kScoreColumns * sizeof(float)) == 0)
            next += 1 + CopiesFollowing(reinterpret_cast<const char*>(book.Scores[next].data()),
                                        sizeof book.Scores[next], kUsedSlots - next - 1);
        out.Repeat(start, next - slot - 1);
        slot = next;
    }

    for (int slot = 0; slot < kUsedSlots;) {
        const qsizetype start = out.Size();
        const auto& info = book.TestInfo[slot];
        out.Field(info[0]);
        out.Field(info[1]);
        out.LineEnd();
        int next = slot + 1;
        while (next < kUsedSlots && SameText(book.TestInfo[next][0], info[0]) &&
               SameText(book.TestInfo[next][1], info[1]))
            ++next;
        out.Repeat(start, next - slot - 1);
        slot = next;
    }
    AppendCommentSection(book, out);
    out.Finish();
}

bool ParseGradeBookFile(const QByteArray& bytes, GradeBook& book, QString* error,
                        QString* warning) {
    if (bytes.size() > kMaxGradeBookFileBytes) {
        SetError(error, TooBigMessage(bytes.size()));
        return false;
    }
    // Saved by a text editor, the file may be in UTF-8; UTF-16 would need every line decoded
    // before it is cut into fields, and a grade book is never written so.
    const TextEncoding encoding = DetectTextEncoding(bytes);
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        SetError(error, u"このファイルは UTF-16 で保存されているため読み込めません。"
                        u"Shift-JIS（または UTF-8）で保存し直してから開いてください。"_s);
        return false;
    }
    if (encoding == TextEncoding::Cp932 && !Cp932Available()) {
        SetError(error, Cp932UnavailableMessage());
        return false;
    }
    const char* const begin = bytes.constData() + ByteOrderMarkSize(bytes, encoding);
    Parser parser(begin, bytes.constData() + bytes.size(), encoding == TextEncoding::Utf8);
    // The open book changes only when the whole file has been read. The values are read into a
    // scratch book, kept for the next reading (a book is large, and a fresh block costs more than
    // reusing one).
    thread_local const auto scratch = std::make_unique<GradeBook>();
    std::vector<TestLines> tests;
    bool parsed = ParseInto(parser, *scratch, tests, error);
    if (parsed && parser.UndecodedLine() > 0) {
        // Nothing is taken with a character replaced: the teacher would save it so.
        SetError(error,
                 u"%1 行目: シフトJIS（コードページ932）として読めない文字があります。"_s.arg(
                     parser.UndecodedLine()));
        parsed = false;
    }
    if (!parsed) {
        for (QString* text : HeadTexts(*scratch))
            *text = QString(); // not kept until the next reading
        return false;
    }
    CommentSection comments;
    ReadCommentSection(parser.Rest(), parser.Utf8(), kGradeBookFileLines, comments, warning);
    TakeFileValues(*scratch, tests, book);
    book.Comments = std::move(comments.comments);
    book.CommentLimits = comments.limits;
    return true;
}

bool ReadGradeBookBytes(const QString& path, QByteArray* bytes, QString* error) {
    bool tooBig = false;
    if (ReadRegularFile(path, kMaxGradeBookFileBytes, bytes, error, &tooBig))
        return true;
    if (tooBig)
        SetError(error, TooBigMessage(QFileInfo(path).size()));
    return false;
}

bool ReadGradeBookFile(const QString& path, GradeBook& book, QString* error, QString* warning) {
    QByteArray bytes;
    return ReadGradeBookBytes(path, &bytes, error) &&
           ParseGradeBookFile(bytes, book, error, warning);
}

bool CheckStorableTexts(const GradeBook& book, QString* error) {
    // A line break would move every later line, a ";" inside a field every later field of its
    // line, and a character code page 932 cannot hold would be written as another: the file
    // would no longer read back as the same book. The name of the place is only worked out for
    // a text that is refused.
    if (!Cp932Available()) {
        SetError(error, Cp932UnavailableMessage());
        return false;
    }
    auto refused = [&](const QString& text, bool field, auto&& what) {
        const QString character =
            UnstorableCharacter(text, field ? TextPlace::Field : TextPlace::Line);
        if (character.isEmpty())
            return false;
        SetError(error,
                 u"%1「%2」に%3が含まれているため、保存できません。%3を取り除いてください。"_s.arg(
                     what(), Shown(text), character));
        return true;
    };
    const char16_t* homeroom[] = {u"年度", u"学年", u"学級", u"担任の氏名"};
    const QString* homeroomTexts[] = {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass,
                                      &book.TeacherName};
    for (int i = 0; i < 4; ++i)
        if (refused(*homeroomTexts[i], false, [&] { return QString::fromUtf16(homeroom[i]); }))
            return false;
    for (int n = 0; n < kMaxPupils; ++n)
        if (refused(book.StudentNames[n], true, [&] { return u"出席番号 %1 の氏名"_s.arg(n + 1); }))
            return false;
    for (int j = 0; j < kSemesters; ++j)
        if (refused(book.SemesterNames[j], true, [&] { return u"学期名（%1 番目）"_s.arg(j + 1); }))
            return false;
    for (int s = 0; s < kSubjects; ++s) {
        if (refused(book.SubjectTitles[s][0], true,
                    [&] { return u"教科名（%1 番目）"_s.arg(s + 1); }))
            return false;
        for (int k = 1; k <= 3; ++k)
            if (refused(book.SubjectTitles[s][k], true, [&] {
                    return u"教科「%1」の観点 %2 の名前"_s.arg(book.SubjectTitles[s][0]).arg(k);
                }))
                return false;
    }
    for (int i = 0; i < kSubjectNameChoices; ++i)
        if (refused(book.SubjectNameChoices[i], true,
                    [&] { return u"教科名の候補（%1 番目）"_s.arg(i + 1); }))
            return false;
    for (int i = 0; i < kViewpointNameChoices; ++i)
        if (refused(book.ViewpointNameChoices[i], true,
                    [&] { return u"観点名の候補（%1 番目）"_s.arg(i + 1); }))
            return false;
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        if (refused(book.TestInfo[slot][0], true,
                    [&] { return u"試験の日付（%1）"_s.arg(TestDescription(book, slot)); }))
            return false;
        if (refused(book.TestInfo[slot][1], true,
                    [&] { return u"試験名（%1）"_s.arg(TestDescription(book, slot)); }))
            return false;
    }
    for (int n = 0; n < kMaxPupils; ++n)
        for (int p = 0; p < kCommentPeriods; ++p) {
            const QString why = CommentRefusal(book.Comments[n][p]);
            if (!why.isEmpty()) {
                SetError(error, u"出席番号 %1 の%2の所見を保存できません。"_s.arg(n + 1).arg(
                                    CommentPeriodName(book, p)) +
                                    why);
                return false;
            }
        }
    return true;
}

bool WriteGradeBookFile(const QString& path, const GradeBook& book, QString* error,
                        QByteArray* written) {
    if (!CheckStorableTexts(book, error))
        return false;
    QByteArray bytes = GradeBookFileBytes(book);
    if (!SaveWithBackup(path, bytes, error))
        return false;
    if (written)
        *written = std::move(bytes);
    return true;
}

} // namespace kirune
