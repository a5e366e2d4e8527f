#include "gradebookfile.h"

#include "cp932.h"
#include "numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QSaveFile>
#include <QVarLengthArray>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

namespace kirune {

namespace {

// Line numbers of the file (from 1).
constexpr int kLineRosterSize = 5;
constexpr int kLineTestInfo = 840;

constexpr int kMaxFields = kScoreColumns; // the longest record line

QString Ja(const char16_t* text) {
    return QString::fromUtf16(text);
}

void SetError(QString* error, const QString& message) {
    if (error)
        *error = message;
}

QString ShownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// ---------------------------------------------------------------------------------------------
// Writer

// Score texts of a book repeat a lot (-1.0 everywhere, the same marks again and again), so each
// distinct value is formatted once per file by ScoreText and its bytes reused.
class ScoreTextCache {
  public:
    void Append(QByteArray& out, float value) {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Entry& entry = entries_[(bits * 2654435761u) >> (32 - kBits)];
        if (!entry.used || entry.bits != bits) {
            const QString text = ScoreText(value);
            if (text.size() > static_cast<qsizetype>(sizeof entry.text)) {
                out.append(text.toLatin1());
                return;
            }
            entry.used = true;
            entry.bits = bits;
            entry.length = static_cast<quint8>(text.size());
            for (qsizetype i = 0; i < text.size(); ++i)
                entry.text[i] = static_cast<char>(text[i].unicode());
        }
        out.append(entry.text, entry.length);
    }

  private:
    static constexpr int kBits = 10;
    struct Entry {
        quint32 bits = 0;
        quint8 length = 0;
        bool used = false;
        char text[26] = {};
    };
    std::array<Entry, 1 << kBits> entries_{};
};

void AppendLineEnd(QByteArray& out) {
    out.append("\r\n", 2);
}

void AppendField(QByteArray& out, const QString& text) {
    AppendCp932(out, text);
    out.append(';');
}

void AppendNumberField(QByteArray& out, int value) {
    out.append(NumberText(value).toLatin1());
    out.append(';');
}

// ---------------------------------------------------------------------------------------------
// Reader

QString Shown(const QString& text) {
    constexpr qsizetype kMaxShown = 20;
    if (text.size() <= kMaxShown)
        return text;
    return text.left(kMaxShown) + Ja(u"…");
}

class Parser {
  public:
    explicit Parser(const QByteArray& bytes)
        : next_(bytes.constData()), end_(bytes.constData() + bytes.size()) {}

    int LineNumber() const { return lineNumber_; }

    // The next line without its CR LF (or lone LF); the last line may end without either.
    bool NextLine(QByteArrayView* line, QString* error) {
        ++lineNumber_;
        if (next_ >= end_) {
            SetError(error, Ja(u"%1 行目がありません。ファイルが途中で終わっています"
                               u"（成績ファイルは %2 行です）。")
                                .arg(lineNumber_)
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

    // The first `count` fields of a record line: each is the text before the next ";". What is
    // left after them is ignored.
    bool Fields(QByteArrayView line, int count, QByteArrayView* fields, QString* error) const {
        const char* p = line.data();
        const char* const end = p + line.size();
        for (int i = 0; i < count; ++i) {
            const auto* semicolon =
                static_cast<const char*>(std::memchr(p, ';', static_cast<size_t>(end - p)));
            if (!semicolon) {
                SetError(error, Ja(u"%1 行目: 項目が足りません（「;」で区切られた項目が %2 個"
                                   u"必要ですが、%3 個しかありません）。")
                                    .arg(lineNumber_)
                                    .arg(count)
                                    .arg(i));
                return false;
            }
            fields[i] = QByteArrayView(p, semicolon - p);
            p = semicolon + 1;
        }
        return true;
    }

    // A text as it stands. Texts repeat (test names, dates), so each distinct one is decoded once.
    QString Text(QByteArrayView bytes) {
        bool ascii = true;
        for (const char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii)
            return QString::fromLatin1(bytes.data(), bytes.size());
        const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
        const auto found = decoded_.constFind(key);
        if (found != decoded_.constEnd())
            return found.value();
        QString text = DecodeCp932(bytes.data(), bytes.size());
        decoded_.insert(QByteArray(bytes.data(), bytes.size()), text);
        return text;
    }

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

    bool Score(QByteArrayView field, int fieldNumber, float* out, QString* error) {
        if (!scores_.Find(field, out)) {
            const double value = Number(field);
            const auto single = static_cast<float>(value); // nearest float; inf when too big
            if (!std::isfinite(single)) {
                SetError(error, Ja(u"%1 行目: %2 番目の項目「%3」は得点として大きすぎます。")
                                    .arg(lineNumber_)
                                    .arg(fieldNumber)
                                    .arg(Shown(Text(field))));
                return false;
            }
            scores_.Store(field, single);
            *out = single;
        }
        return true;
    }

    bool Criterion(QByteArrayView field, int fieldNumber, int16_t* out, QString* error) {
        if (!TryRoundToInt16(Number(field), out)) {
            SetError(error, Ja(u"%1 行目: %2 番目の項目「%3」は評価基準の値として大きすぎます"
                               u"（-32768 から 32767 までです）。")
                                .arg(lineNumber_)
                                .arg(fieldNumber)
                                .arg(Shown(Text(field))));
            return false;
        }
        return true;
    }

  private:
    // Score fields repeat even more than texts ("-1.0" fills a new book): the value of each
    // short field is worked out once.
    class ScoreCache {
      public:
        bool Find(QByteArrayView field, float* value) const {
            if (field.size() > kMaxKey)
                return false;
            const Entry& entry = entries_[Slot(field)];
            if (!entry.used || entry.length != field.size() ||
                std::memcmp(entry.text, field.data(), static_cast<size_t>(field.size())) != 0)
                return false;
            *value = entry.value;
            return true;
        }
        void Store(QByteArrayView field, float value) {
            if (field.size() > kMaxKey)
                return;
            Entry& entry = entries_[Slot(field)];
            entry.used = true;
            entry.length = static_cast<quint8>(field.size());
            std::memcpy(entry.text, field.data(), static_cast<size_t>(field.size()));
            entry.value = value;
        }

      private:
        static constexpr int kBits = 10;
        static constexpr qsizetype kMaxKey = 16;
        struct Entry {
            char text[kMaxKey] = {};
            float value = 0;
            quint8 length = 0;
            bool used = false;
        };
        static size_t Slot(QByteArrayView field) {
            quint32 hash = 2166136261u; // FNV-1a
            for (const char c : field)
                hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
            hash ^= hash >> 15;
            return hash & ((1u << kBits) - 1);
        }
        std::array<Entry, 1 << kBits> entries_{};
    };

    const char* next_;
    const char* end_;
    int lineNumber_ = 0;
    QHash<QByteArray, QString> decoded_;
    ScoreCache scores_;
};

QString TooBigMessage(qint64 size) {
    return Ja(u"ファイルが大きすぎます（%1 バイト）。成績ファイルとして読めるのは %2 MB "
              u"までです。")
        .arg(size)
        .arg(kMaxGradeBookFileBytes / (1024 * 1024));
}

bool ParseInto(Parser& in, GradeBook& book, QString* error) {
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
        SetError(error, Ja(u"%1 行目: 生徒数「%2」が 0 から %3 の範囲にありません。")
                            .arg(kLineRosterSize)
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

    for (int slot = 0; slot < kUsedSlots; ++slot) {
        if (!in.NextLine(&line, error) || !in.Fields(line, kScoreColumns, fields.data(), error))
            return false;
        for (int col = 0; col < kScoreColumns; ++col)
            if (!in.Score(fields[col], col + 1, &book.Scores[slot][col], error))
                return false;
    }

    for (int slot = 0; slot < kUsedSlots; ++slot) {
        if (!in.NextLine(&line, error) || !in.Fields(line, 2, fields.data(), error))
            return false;
        book.TestInfo[slot][0] = in.Text(fields[0]);
        book.TestInfo[slot][1] = in.Text(fields[1]);
    }
    // Whatever follows line 1655 is not part of the grade book.
    return true;
}

// ---------------------------------------------------------------------------------------------
// Texts the file cannot hold

QString TestDescription(const GradeBook& book, int slot) {
    if (slot >= kYearSlotBase) {
        const int s = (slot - kYearSlotBase) / 4;
        return Ja(u"%1 の年間集計").arg(book.SubjectTitles[s][0]);
    }
    const int semester = slot / 264;
    const int subject = slot % 264 / 44;
    const int test = slot % 44 / 4;
    const int viewpoint = slot % 4;
    QString text = book.SemesterNames[semester] + u' ' + book.SubjectTitles[subject][0] + u' ';
    text += test < kTestsPerSemester ? Ja(u"第%1回").arg(test + 1) : Ja(u"学期集計");
    if (viewpoint > 0)
        text += Ja(u"（観点 %1）").arg(viewpoint + 1);
    return text;
}

} // namespace

// ---------------------------------------------------------------------------------------------

QByteArray GradeBookFileBytes(const GradeBook& book) {
    QByteArray out;
    out.reserve(200 * 1024); // a new book takes about 190 KB

    for (const QString* text :
         {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass, &book.TeacherName}) {
        AppendCp932(out, *text);
        AppendLineEnd(out);
    }
    out.append(NumberText(book.RosterSize).toLatin1());
    AppendLineEnd(out);

    for (int n = 0; n < kMaxPupils; ++n)
        AppendField(out, book.StudentNames[n]);
    AppendLineEnd(out);

    for (const auto* criteria : {&book.RankAPercent, &book.RankCPercent})
        for (int p = 0; p < kCriteriaPeriods; ++p) {
            for (int c = 0; c < kCriteriaColumns; ++c)
                AppendNumberField(out, (*criteria)[p][c]);
            AppendLineEnd(out);
        }

    for (int j = 0; j < kSemesters; ++j)
        AppendField(out, book.SemesterNames[j]);
    AppendLineEnd(out);

    for (int s = 0; s < kSubjects; ++s) {
        for (int k = 0; k < 4; ++k)
            AppendField(out, book.SubjectTitles[s][k]);
        AppendLineEnd(out);
    }

    for (int i = 0; i < kSubjectNameChoices; ++i)
        AppendField(out, book.SubjectNameChoices[i]);
    AppendLineEnd(out);
    for (int i = 0; i < kViewpointNameChoices; ++i)
        AppendField(out, book.ViewpointNameChoices[i]);
    AppendLineEnd(out);

    auto scoreTexts = std::make_unique<ScoreTextCache>();
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        for (int col = 0; col < kScoreColumns; ++col) {
            scoreTexts->Append(out, book.Scores[slot][col]);
            out.append(';');
        }
        AppendLineEnd(out);
    }

    for (int slot = 0; slot < kUsedSlots; ++slot) {
        AppendField(out, book.TestInfo[slot][0]);
        AppendField(out, book.TestInfo[slot][1]);
        AppendLineEnd(out);
    }
    return out;
}

bool ParseGradeBookFile(const QByteArray& bytes, GradeBook& book, QString* error) {
    if (bytes.size() > kMaxGradeBookFileBytes) {
        SetError(error, TooBigMessage(bytes.size()));
        return false;
    }
    // The open book changes only when the whole file has been read.
    auto scratch = std::make_unique<GradeBook>(book);
    auto parser = std::make_unique<Parser>(bytes);
    if (!ParseInto(*parser, *scratch, error))
        return false;
    book = std::move(*scratch);
    return true;
}

bool ReadGradeBookFile(const QString& path, GradeBook& book, QString* error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        SetError(error, Ja(u"ファイル「%1」が見つかりません。").arg(ShownPath(path)));
        return false;
    }
    if (info.isDir()) {
        SetError(
            error,
            Ja(u"「%1」はフォルダーです。成績ファイルを選んでください。").arg(ShownPath(path)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(
            error,
            Ja(u"ファイル「%1」を開けません（%2）。").arg(ShownPath(path), file.errorString()));
        return false;
    }
    if (file.size() > kMaxGradeBookFileBytes) {
        SetError(error, TooBigMessage(file.size()));
        return false;
    }
    // Read one byte more than allowed, so a device that reports no size is refused as well.
    const QByteArray bytes = file.read(kMaxGradeBookFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        SetError(
            error,
            Ja(u"ファイル「%1」を読み込めません（%2）。").arg(ShownPath(path), file.errorString()));
        return false;
    }
    return ParseGradeBookFile(bytes, book, error);
}

bool CheckStorableTexts(const GradeBook& book, QString* error) {
    // A line break would move every later line; a ";" inside a field would move every later
    // field of its line. Either way the file would no longer read back as the same book.
    auto refuse = [&](const QString& what, const QString& text, bool field) {
        const bool lineBreak = text.contains(u'\n');
        if (!lineBreak && !(field && text.contains(u';')))
            return false;
        SetError(error,
                 Ja(u"%1「%2」に%3が含まれているため、保存できません。%3を取り除いてください。")
                     .arg(what, Shown(text), lineBreak ? Ja(u"改行") : Ja(u"「;」")));
        return true;
    };
    const QString homeroom[] = {Ja(u"年度"), Ja(u"学年"), Ja(u"学級"), Ja(u"担任の氏名")};
    const QString* homeroomTexts[] = {&book.HomeRoomYear, &book.HomeRoomGrade, &book.HomeRoomClass,
                                      &book.TeacherName};
    for (int i = 0; i < 4; ++i)
        if (refuse(homeroom[i], *homeroomTexts[i], false))
            return false;
    for (int n = 0; n < kMaxPupils; ++n)
        if (refuse(Ja(u"出席番号 %1 の氏名").arg(n + 1), book.StudentNames[n], true))
            return false;
    for (int j = 0; j < kSemesters; ++j)
        if (refuse(Ja(u"学期名（%1 番目）").arg(j + 1), book.SemesterNames[j], true))
            return false;
    for (int s = 0; s < kSubjects; ++s) {
        if (refuse(Ja(u"教科名（%1 番目）").arg(s + 1), book.SubjectTitles[s][0], true))
            return false;
        for (int k = 1; k <= 3; ++k)
            if (refuse(Ja(u"教科「%1」の観点 %2 の名前").arg(book.SubjectTitles[s][0]).arg(k),
                       book.SubjectTitles[s][k], true))
                return false;
    }
    for (int i = 0; i < kSubjectNameChoices; ++i)
        if (refuse(Ja(u"教科名の候補（%1 番目）").arg(i + 1), book.SubjectNameChoices[i], true))
            return false;
    for (int i = 0; i < kViewpointNameChoices; ++i)
        if (refuse(Ja(u"観点名の候補（%1 番目）").arg(i + 1), book.ViewpointNameChoices[i], true))
            return false;
    for (int slot = 0; slot < kUsedSlots; ++slot) {
        if (refuse(Ja(u"試験の日付（%1）").arg(TestDescription(book, slot)), book.TestInfo[slot][0],
                   true) ||
            refuse(Ja(u"試験名（%1）").arg(TestDescription(book, slot)), book.TestInfo[slot][1],
                   true))
            return false;
    }
    return true;
}

bool WriteGradeBookFile(const QString& path, const GradeBook& book, QString* error) {
    if (!CheckStorableTexts(book, error))
        return false;
    return SaveWithBackup(path, GradeBookFileBytes(book), error);
}

QString BackupPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > slash)
        return path.left(dot) + QStringLiteral(".bak");
    return path + QStringLiteral(".bak");
}

bool WriteAllTo(QIODevice& device, const QByteArray& bytes, QString* error) {
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            SetError(error, Ja(u"書き込みに失敗しました（%1 バイト中 %2 バイトまで書き込みました: "
                               u"%3）。")
                                .arg(bytes.size())
                                .arg(written)
                                .arg(device.errorString()));
            return false;
        }
        written += n;
    }
    return true;
}

bool SaveWithBackup(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo info(path);
    const bool existed = info.exists();
    const QString kept = existed ? Ja(u"元のファイルは変更されていません。") : QString();
    auto fail = [&](const QString& reason) {
        SetError(error,
                 Ja(u"「%1」に保存できませんでした。%2%3").arg(ShownPath(path), reason, kept));
        return false;
    };
    if (info.isDir())
        return fail(Ja(u"同じ名前のフォルダーがあります。"));
    if (!info.absoluteDir().exists())
        return fail(Ja(u"保存先のフォルダーがありません。"));

    // The new content goes to a temporary file beside the target; the target is replaced only
    // by the final rename, so a failure at any point leaves it as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Ja(u"（%1）").arg(file.errorString()));
    QString writeError;
    if (!WriteAllTo(file, bytes, &writeError)) {
        file.cancelWriting();
        return fail(writeError);
    }

    // The previous version becomes the backup. QFile::copy never replaces a file, so an old
    // backup goes first. Any failure here is passed over: the save itself matters more.
    if (existed) {
        const QString backup = BackupPath(path);
        if (QFileInfo(backup).absoluteFilePath() != info.absoluteFilePath()) {
            QFile::remove(backup);
            QFile::copy(path, backup);
        }
    }

    if (!file.commit())
        return fail(Ja(u"（%1）").arg(file.errorString()));
    return true;
}

} // namespace kirune
