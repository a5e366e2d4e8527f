#include "comments.h"

#include "cp932.h"
#include "fastfields.h"

#include <QStringList>
#include <QStringTokenizer>
#include <array>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

constexpr QStringView kHeader = u"[所見]";
constexpr QStringView kLimitTag = u"字数";
constexpr int kMaxWarnedLines = 10; // the message names the first bad lines only

// "1".."4" as a period 0..3, or -1.
int PeriodOfField(QStringView field) {
    return field.size() == 1 && field[0] >= u'1' && field[0] <= u'4' ? field[0].unicode() - u'1'
                                                                     : -1;
}

// A whole number without sign or blanks, or -1.
int WholeOfField(QStringView field) {
    if (field.isEmpty() || field.size() > 4)
        return -1;
    int value = 0;
    for (const QChar c : field) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

QString CommentPeriodName(const GradeBook& book, int period) {
    if (period >= 0 && period < kSemesters)
        return book.SemesterNames[period];
    return u"年間"_s;
}

QString EscapeComment(QStringView text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += u"\\\\";
            break;
        case u';':
            out += u"\\s";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool UnescapeComment(QStringView text, QString* out) {
    // Written straight into the text's room: a comment is read once per line of the file.
    out->resize(text.size());
    char16_t* const begin = reinterpret_cast<char16_t*>(out->data());
    char16_t* to = begin;
    const char16_t* from = text.utf16();
    const char16_t* const end = from + text.size();
    while (from < end) {
        if (*from != u'\\') {
            *to++ = *from++;
            continue;
        }
        if (++from == end)
            return false;
        switch (*from++) {
        case u'\\':
            *to++ = u'\\';
            break;
        case u's':
            *to++ = u';';
            break;
        case u'n':
            *to++ = u'\n';
            break;
        case u'r':
            *to++ = u'\r';
            break;
        default:
            return false;
        }
    }
    out->truncate(to - begin);
    return true;
}

void AppendCommentSection(const GradeBook& book, FileBuffer& out) {
    bool header = false;
    const auto startSection = [&] {
        if (header)
            return;
        header = true;
        out.Text(kHeader.toString());
        out.LineEnd();
    };
    for (int p = 0; p < kCommentPeriods; ++p)
        if (book.CommentLimits[p] != kDefaultCommentLimit) {
            startSection();
            out.Field(kLimitTag.toString());
            out.NumberField(p + 1);
            out.NumberField(book.CommentLimits[p]);
            out.LineEnd();
        }
    for (int n = 0; n < kMaxPupils; ++n)
        for (int p = 0; p < kCommentPeriods; ++p) {
            const QString& comment = book.Comments[n][p];
            if (comment.isEmpty())
                continue;
            startSection();
            out.NumberField(n + 1);
            out.NumberField(p + 1);
            out.Field(EscapeComment(comment));
            out.LineEnd();
        }
}

void ReadCommentSection(QByteArrayView rest, bool utf8, int lastLine, CommentSection& section,
                        QString* warning) {
    if (rest.isEmpty())
        return;
    const QString text = utf8 ? QString::fromUtf8(rest) : DecodeCp932(rest.data(), rest.size());
    QStringList bad;
    int badCount = 0;
    const auto refuse = [&](int line, const QString& why) {
        if (++badCount <= kMaxWarnedLines)
            bad << u"%1 行目: %2"_s.arg(line).arg(why);
    };
    int lineNumber = lastLine;
    bool inSection = false;
    std::array<std::array<bool, kCommentPeriods>, kMaxPupils> seen{};
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.trimmed().isEmpty())
            continue;
        if (!inSection) {
            // What follows the fixed lines is the comments' section, or nothing of ours.
            if (line != kHeader) {
                refuse(lineNumber, u"所見の欄の見出し「%1」がありません。これより後は読みません"
                                   u"でした"_s.arg(kHeader));
                break;
            }
            inSection = true;
            continue;
        }
        // Four fields: three followed by ";", and nothing after the last ";".
        std::array<QStringView, 3> fields;
        qsizetype from = 0;
        bool formed = true;
        for (QStringView& field : fields) {
            const qsizetype semicolon = line.indexOf(u';', from);
            formed = formed && semicolon >= 0;
            field = formed ? line.sliced(from, semicolon - from) : QStringView();
            from = semicolon + 1;
        }
        if (!formed || from != line.size()) {
            refuse(lineNumber, u"「番号;学期;所見;」の形ではありません"_s);
            continue;
        }
        const int period = PeriodOfField(fields[1].trimmed());
        if (period < 0) {
            refuse(lineNumber,
                   u"学期「%1」は 1 から 4 のどれでもありません"_s.arg(fields[1].toString()));
            continue;
        }
        if (fields[0] == kLimitTag) {
            const int limit = WholeOfField(fields[2].trimmed());
            if (limit < 1 || limit > kMaxCommentLength)
                refuse(lineNumber,
                       u"字数「%1」は 1 から %2 の範囲にありません"_s.arg(fields[2].toString())
                           .arg(kMaxCommentLength));
            else
                section.limits[period] = static_cast<int16_t>(limit);
            continue;
        }
        const int number = WholeOfField(fields[0].trimmed());
        if (number < 1 || number > kMaxPupils) {
            refuse(lineNumber,
                   u"出席番号「%1」は 1 から %2 の範囲にありません"_s.arg(fields[0].toString())
                       .arg(kMaxPupils));
            continue;
        }
        if (fields[2].contains(QChar::ReplacementCharacter)) {
            refuse(lineNumber, u"文字として読めないバイトがあります"_s);
            continue;
        }
        QString comment;
        if (!UnescapeComment(fields[2], &comment)) {
            refuse(lineNumber, u"「\\」の後に s, n, r, \\ のどれもありません"_s);
            continue;
        }
        if (comment.size() > kMaxCommentLength) {
            refuse(lineNumber, u"所見が %1 字を超えています"_s.arg(kMaxCommentLength));
            continue;
        }
        if (seen[number - 1][period]) {
            refuse(lineNumber, u"出席番号 %1 の同じ学期の所見が二度目です"_s.arg(number));
            continue;
        }
        seen[number - 1][period] = true;
        section.comments[number - 1][period] = std::move(comment);
    }
    if (badCount > 0 && warning) {
        if (badCount > kMaxWarnedLines)
            bad << u"ほか %1 行"_s.arg(badCount - kMaxWarnedLines);
        *warning = u"所見の欄に読めない行がありました。次の行は読まずに開きました"
                   u"（保存すると、これらの行はなくなります）。\n"_s +
                   bad.join(u'\n');
    }
}

QStringList WrapComment(QStringView text, int width) {
    QStringList lines;
    for (QStringView paragraph : QStringTokenizer(text, u'\n')) {
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        QString line;
        int used = 0;
        for (const QChar c : paragraph) {
            const int places = c.unicode() < 0x100 || (c >= u'\uFF61' && c <= u'\uFF9F') ? 1 : 2;
            if (used + places > width && !line.isEmpty()) {
                lines << line;
                line.clear();
                used = 0;
            }
            line += c;
            used += places;
        }
        lines << line;
    }
    return lines;
}

QString CharacterOutsideCp932(QStringView text) {
    qsizetype bad = -1;
    if (Cp932CanHold(text, &bad) || bad < 0)
        return QString();
    const qsizetype width = text[bad].isHighSurrogate() && bad + 1 < text.size() ? 2 : 1;
    return text.mid(bad, width).toString();
}

QString CommentRefusal(QStringView text) {
    if (text.size() > kMaxCommentLength)
        return u"所見は %1 字までです（%2 字あります）。"_s.arg(kMaxCommentLength).arg(text.size());
    if (!Cp932Available())
        return Cp932UnavailableMessage();
    const QString outside = CharacterOutsideCp932(text);
    if (!outside.isEmpty())
        return u"「%1」（U+%2）は成績ファイルに保存できない文字です。別の文字にしてください。"_s
            .arg(outside,
                 QString::number(outside.toUcs4().value(0), 16).rightJustified(4, u'0').toUpper());
    return QString();
}

} // namespace kirune
