#include "rosterimport.h"

#include "model/cp932.h"
#include "model/gradebook.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace

RosterImport ParseRoster(const QByteArray& bytes) {
    RosterImport result;
    qsizetype size = bytes.size();
    // A DOS end-of-file mark is not a name.
    if (size > 0 && bytes[size - 1] == '\x1a')
        --size;

    // CR and LF never occur inside a two-byte character of code page 932, so the bytes can be
    // cut into lines before decoding.
    qsizetype start = 0;
    int lineNo = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        ++lineNo;
        bool invalid = false;
        const QString line = DecodeCp932(bytes.mid(start, end - start), &invalid);
        if (invalid) {
            result.names.clear();
            result.message = QString::fromUtf16(u"%1 行目に Shift-JIS（ｺｰﾄﾞﾍﾟｰｼﾞ932）として読めない"
                                                u"文字があります。生徒名簿は読み込みませんでした。")
                                 .arg(lineNo);
            return result;
        }
        CutLine(line, result.names);
        if (result.names.size() > kMaxPupils) {
            result.names.clear();
            result.message = QString::fromUtf16(
                u"生徒名簿ﾌｧｲﾙに 41 名以上の名前があります。登録できる生徒は 40 名までです。"
                u"生徒名簿は読み込みませんでした。");
            return result;
        }
        // One line end: CR LF, LF or CR.
        if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    result.ok = true;
    return result;
}

RosterImport ReadRosterFile(const QString& path) {
    RosterImport result;
    const QString shown = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.message = QString::fromUtf16(u"ﾌｧｲﾙ「%1」を開けませんでした。（%2）")
                             .arg(shown, file.errorString());
        return result;
    }
    if (file.size() > kMaxRosterFileBytes) {
        result.message =
            QString::fromUtf16(
                u"ﾌｧｲﾙ「%1」は生徒名簿としては大きすぎます。生徒名簿は読み込みませんでした。")
                .arg(shown);
        return result;
    }
    const QByteArray bytes = file.read(kMaxRosterFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxRosterFileBytes) {
        result.message = QString::fromUtf16(u"ﾌｧｲﾙ「%1」を読み込めませんでした。（%2）")
                             .arg(shown, file.errorString());
        return result;
    }
    result = ParseRoster(bytes);
    if (!result.ok)
        result.message = QString::fromUtf16(u"ﾌｧｲﾙ「%1」: ").arg(shown) + result.message;
    return result;
}

} // namespace kirune
