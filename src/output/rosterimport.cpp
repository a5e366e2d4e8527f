#include "rosterimport.h"

#include "model/cp932.h"
#include "model/gradebook.h"
#include "model/storabletext.h"

#include "scoreimport.h"

#include <cmath>

#include <QFileInfo>
#include <QStringDecoder>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

// Appends the names of one line to `names`; stops once the roster would overflow. A line that
// holds a ";" is cut at every ";" only (its commas belong to the names); a line without one is cut
// at every ",".
void CutLine(const QString& line, QStringList& names) {
    const QChar separator = line.contains(u';') ? u';' : u',';
    QStringView rest(line);
    while (!rest.isEmpty() && names.size() <= kMaxPupils) {
        const qsizetype end = rest.indexOf(separator);
        const QStringView field = end < 0 ? rest : rest.left(end);
        rest = end < 0 ? QStringView() : rest.mid(end + 1);
        if (!field.isEmpty())
            names.push_back(field.toString());
    }
}

// Calls `f` with each line of `text` without its end: CR LF, LF or CR. A last line without an
// end counts; nothing after the last end does.
template <typename View, typename F> void ForEachLine(View text, F&& f) {
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            ++end;
        f(text.sliced(start, end - start));
        if (end < size && text[end] == '\r' && end + 1 < size && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

} // namespace

RosterImport ParseRoster(const QByteArray& bytes) {
    RosterImport result;
    const TextEncoding encoding = DetectTextEncoding(bytes);
    auto refuse = [&](const QString& message) {
        result.names.clear();
        result.message = message + u"生徒名簿は読み込みませんでした。"_s;
        return result;
    };

    // The lines of the file as texts, and whether each could be decoded.
    std::vector<std::pair<QString, bool>> lines;
    const QByteArrayView body = QByteArrayView(bytes).sliced(ByteOrderMarkSize(bytes, encoding));
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        QStringDecoder decoder(encoding == TextEncoding::Utf16LE ? QStringDecoder::Utf16LE
                                                                 : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        const QString text = decoder(body);
        if (decoder.hasError() || body.size() % 2 != 0)
            return refuse(u"UTF-16 として読めない文字があります。"_s);
        ForEachLine(QStringView(text),
                    [&](QStringView line) { lines.emplace_back(line.toString(), true); });
    } else {
        // CR and LF never occur inside a character of code page 932 or UTF-8, so the bytes can
        // be cut into lines before decoding.
        ForEachLine(body, [&](QByteArrayView line) {
            if (encoding == TextEncoding::Utf8) {
                QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                QString text = decoder(line);
                lines.emplace_back(std::move(text), !decoder.hasError());
            } else {
                bool invalid = false;
                QString text = DecodeCp932(line.data(), line.size(), &invalid);
                lines.emplace_back(std::move(text), !invalid);
            }
        });
    }
    // A DOS end-of-file mark is not a name.
    if (!lines.empty() && lines.back().first.endsWith(QChar(0x1A)))
        lines.back().first.chop(1);

    int lineNo = 0;
    for (const auto& [line, decoded] : lines) {
        ++lineNo;
        if (!decoded)
            return refuse(u"%1 行目に %2 として読めない文字があります。"_s.arg(lineNo).arg(
                encoding == TextEncoding::Utf8 ? QStringLiteral("UTF-8")
                                               : u"Shift-JIS（ｺｰﾄﾞﾍﾟｰｼﾞ932）"_s));
        for (const QChar c : line)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                return refuse(u"%1 行目に制御文字（タブなど）があります。名前に"
                              u"制御文字は使えません。"_s.arg(lineNo));
        const qsizetype before = result.names.size();
        CutLine(line, result.names);
        for (qsizetype i = before; i < result.names.size(); ++i)
            if (const QString what = UnstorableCharacter(result.names[i]); !what.isEmpty())
                return refuse(
                    u"%1 行目の名前に%2があります。名前には使えません。"_s.arg(lineNo).arg(what));
        if (result.names.size() > kMaxPupils)
            return refuse(
                u"生徒名簿ﾌｧｲﾙに 41 名以上の名前があります。登録できる生徒は 40 名までです。"_s);
    }
    result.ok = true;
    return result;
}

RosterImport RosterFromTable(const TableFile& table) {
    RosterImport result;
    auto refuse = [&](const QString& message) {
        result.names.clear();
        result.message = message + u"生徒名簿は読み込みませんでした。"_s;
        return result;
    };
    const ScoreColumns columns = GuessScoreColumns(table, ScoreImportTarget{});
    if (columns.nameColumn < 0)
        return refuse(u"名前の列（見出しが「氏名」「名前」「生徒氏名」の列）が"
                      u"ありません。"_s);
    for (int r = columns.headerRow + 1; r < static_cast<int>(table.rows.size()); ++r) {
        const QString name = table.Cell(r, columns.nameColumn).trimmed();
        if (name.isEmpty())
            continue;
        if (columns.numberColumn >= 0) {
            bool number = false;
            const double n = MatchingKey(table.Cell(r, columns.numberColumn)).toDouble(&number);
            if (!number || n < 1 || n != std::floor(n))
                continue; // no pupil's row: an average, a note
        }
        if (const QString what = UnstorableCharacter(name); !what.isEmpty())
            return refuse(
                u"%1 行目の名前に%2があります。名前には使えません。"_s.arg(r + 1).arg(what));
        result.names.push_back(name);
        if (result.names.size() > kMaxPupils)
            return refuse(
                u"生徒名簿ﾌｧｲﾙに 41 名以上の名前があります。登録できる生徒は 40 名までです。"_s);
    }
    result.ok = true;
    return result;
}

RosterImport ParseRosterFile(const QByteArray& bytes, const QString& shownName) {
    const TableFile table = ParseTableFile(bytes, shownName);
    RosterImport result;
    if (table.workbook && !table.ok) {
        result.message = table.message + u"生徒名簿は読み込みませんでした。"_s;
        return result;
    }
    const bool named = table.ok && GuessScoreColumns(table, ScoreImportTarget{}).nameColumn >= 0;
    result = table.workbook || named ? RosterFromTable(table) : ParseRoster(bytes);
    if (!result.ok)
        result.message = u"ﾌｧｲﾙ「%1」: "_s.arg(shownName) + result.message;
    return result;
}

RosterImport ReadRosterFile(const QString& path) {
    RosterImport result;
    QByteArray bytes;
    if (!ReadTableBytes(path, &bytes, &result.message)) {
        result.message += u"生徒名簿は読み込みませんでした。"_s;
        return result;
    }
    return ParseRosterFile(bytes, QFileInfo(path).fileName());
}

} // namespace kirune
