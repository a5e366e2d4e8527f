#include "xlsxreader.h"

#include <QDate>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

constexpr int kMaxSheets = 255;

QString Damaged() {
    return u"Excel ブック（.xlsx）として読めません（ファイルが壊れています）。"_s;
}

// One part of the zip, unpacked as the XML reader asks for it, within the workbook's budget: a
// small zip never unpacks into gigabytes, and a part is never held whole.
class ZipPartDevice : public QIODevice {
public:
    ZipPartDevice(zip_file_t* file, qint64* unpacked) : file_(file), unpacked_(unpacked) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~ZipPartDevice() override { zip_fclose(file_); }
    ZipPartDevice(const ZipPartDevice&) = delete;
    ZipPartDevice& operator=(const ZipPartDevice&) = delete;
    bool isSequential() const override { return true; }

    bool damaged = false;
    bool overBudget = false;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const zip_int64_t got = zip_fread(file_, data, static_cast<zip_uint64_t>(maxSize));
        if (got < 0) {
            damaged = true;
            return -1;
        }
        *unpacked_ += got;
        if (*unpacked_ > kMaxTableExpandedBytes) {
            overBudget = true;
            return -1;
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file_;
    qint64* unpacked_;
};

// Row and column (from 0) of a reference such as "B12"; false when it is not one.
bool ParseReference(QStringView ref, int* row, int* column) {
    qsizetype i = 0;
    long long c = 0, r = 0;
    for (; i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128; ++i) {
        c = c * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (c > 100000)
            return false;
    }
    const qsizetype digitsFrom = i;
    for (; i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9'; ++i) {
        r = r * 10 + (ref[i].unicode() - u'0');
        if (r > 100000000)
            return false;
    }
    if (c == 0 || r == 0 || digitsFrom == i || i != ref.size())
        return false;
    *row = static_cast<int>(r - 1);
    *column = static_cast<int>(c - 1);
    return true;
}

// A part named by a relationship of the workbook: relative to xl/, or absolute from the root.
QString PartPath(const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

// The format code of a built-in number format that shows a date or a time (Japanese Excel's
// codes); empty for the others.
QString BuiltInDateFormat(int id) {
    switch (id) {
    case 14:
    case 15:
    case 16:
    case 17:
    case 27:
    case 30:
    case 36:
    case 50:
    case 54:
        return QStringLiteral("yyyy/m/d");
    case 18:
    case 20:
        return QStringLiteral("h:mm");
    case 19:
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("yyyy/m/d h:mm");
    case 28:
    case 29:
    case 31:
    case 34:
    case 35:
    case 51:
    case 52:
    case 53:
        return u"yyyy\"年\"m\"月\"d\"日\""_s;
    case 32:
        return u"h\"時\"mm\"分\""_s;
    case 33:
        return u"h\"時\"mm\"分\"ss\"秒\""_s;
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mm:ss.0");
    case 55:
    case 57:
        return u"yyyy\"年\"m\"月\""_s;
    case 56:
    case 58:
        return u"m\"月\"d\"日\""_s;
    default:
        return QString();
    }
}

// Whether a format code shows a date or a time: a y, m, d, h or s outside quotes, escapes and
// brackets of its first section ("General" and "0.0E+00" do not).
bool IsDateFormat(const QString& code) {
    if (code.compare(u"General", Qt::CaseInsensitive) == 0)
        return false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i).toLower();
        if (c == u'"') {
            i = code.indexOf(u'"', i + 1);
            if (i < 0)
                return false;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, end - i - 1).toLower();
            if (!inside.isEmpty() && inside.count(inside.front()) == inside.size() &&
                QStringLiteral("hms").contains(inside.front()))
                return true; // elapsed time: [h], [mm]
            if (end < 0)
                return false;
            i = end;
        } else if (c == u';') {
            return false;
        } else if (c == u'y' || c == u'm' || c == u'd' || c == u'h' || c == u's') {
            return true;
        }
    }
    return false;
}

// The workbook's parts read one after the other, each streamed once, within the workbook's
// bounds; the first bound passed refuses the whole workbook.
class WorkbookReader {
public:
    explicit WorkbookReader(const QByteArray& bytes) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(
            bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
        if (source) {
            archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!archive_)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~WorkbookReader() {
        if (archive_)
            zip_discard(archive_);
    }
    WorkbookReader(const WorkbookReader&) = delete;
    WorkbookReader& operator=(const WorkbookReader&) = delete;

    TableBook Read();

private:
    // The XML reader of part `name`; null with refusal_ set when it cannot be opened.
    struct Part {
        std::unique_ptr<ZipPartDevice> device;
        QXmlStreamReader xml;
    };
    std::unique_ptr<Part> OpenPart(const QString& name);
    bool Has(const QString& name) const {
        return zip_name_locate(archive_, name.toUtf8().constData(), 0) >= 0;
    }
    bool AnyEncrypted() const;
    // The next token of `part`; false at its end, at an error, or once a bound is passed.
    bool Next(Part& part);
    // Ends reading `part`; false (with refusal_) when it was damaged or over a bound.
    bool Finish(Part& part);
    // The text inside the element just started (its children's too), counted against the
    // budget of text.
    QString ReadText(Part& part);
    // The text of a string item (<si>, <is>): its <t> runs, without the phonetic guides (<rPh>)
    // that Japanese Excel keeps beside the text.
    QString ReadStringItem(Part& part);
    void Skip(Part& part);
    void Refuse(Part& part, const QString& why) {
        if (refusal_.isEmpty())
            refusal_ = why;
        part.xml.raiseError(why);
    }

    bool ReadRelationships(QHash<QString, QString>* targets);
    bool ReadWorkbook(const QHash<QString, QString>& targets, QStringList* parts);
    bool ReadStyles(const QString& path);
    bool ReadSharedStrings(const QString& path);
    bool ReadSheet(const QString& path, TableFile* table);

    zip_t* archive_ = nullptr;
    QString refusal_;
    qint64 unpacked_ = 0;
    qint64 elements_ = 0;
    qint64 textChars_ = 0;
    int cells_ = 0;
    TableBook book_;
    QString sharedStringsPath_, stylesPath_;
    QStringList shared_;
    // Per cell style (the s attribute): the format code when it shows a date or a time.
    std::vector<QString> dateFormats_;
    bool date1904_ = false;
};

bool WorkbookReader::AnyEncrypted() const {
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t info;
        if (zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &info) == 0 &&
            (info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE)
            return true;
    }
    return false;
}

std::unique_ptr<WorkbookReader::Part> WorkbookReader::OpenPart(const QString& name) {
    const zip_int64_t index = zip_name_locate(archive_, name.toUtf8().constData(), 0);
    zip_file_t* file =
        index < 0 ? nullptr : zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        refusal_ = Damaged();
        return nullptr;
    }
    auto part = std::make_unique<Part>();
    part->device = std::make_unique<ZipPartDevice>(file, &unpacked_);
    part->xml.setDevice(part->device.get());
    return part;
}

bool WorkbookReader::Next(Part& part) {
    if (part.xml.atEnd())
        return false;
    part.xml.readNext();
    if (part.xml.isStartElement() && ++elements_ > kMaxWorkbookElements)
        Refuse(part, u"要素が %1 を超えています。Excel ブックとしては大きすぎます。"_s.arg(
                         kMaxWorkbookElements));
    return !part.xml.atEnd();
}

bool WorkbookReader::Finish(Part& part) {
    if (!refusal_.isEmpty())
        return false;
    if (part.device->overBudget)
        refusal_ = u"展開すると %1 MB を超えます。Excel ブックとしては大きすぎます。"_s.arg(
            kMaxTableExpandedBytes / (1024 * 1024));
    else if (part.device->damaged || part.xml.hasError())
        refusal_ = Damaged();
    return refusal_.isEmpty();
}

QString WorkbookReader::ReadText(Part& part) {
    QString text;
    int depth = 1;
    while (depth > 0 && Next(part)) {
        if (part.xml.isStartElement()) {
            ++depth;
        } else if (part.xml.isEndElement()) {
            --depth;
        } else if (part.xml.isCharacters()) {
            textChars_ += part.xml.text().size();
            if (textChars_ > kMaxWorkbookTextChars)
                Refuse(part,
                       u"文字が %1 字を超えています。Excel ブックとしては大きすぎます。"_s.arg(
                           kMaxWorkbookTextChars));
            else
                text += part.xml.text();
        }
    }
    return text;
}

void WorkbookReader::Skip(Part& part) {
    int depth = 1;
    while (depth > 0 && Next(part)) {
        if (part.xml.isStartElement())
            ++depth;
        else if (part.xml.isEndElement())
            --depth;
    }
}

QString WorkbookReader::ReadStringItem(Part& part) {
    QString text;
    int depth = 1;
    while (depth > 0 && Next(part)) {
        if (part.xml.isEndElement()) {
            --depth;
        } else if (part.xml.isStartElement()) {
            if (part.xml.name() == u"t")
                text += ReadText(part);
            else if (part.xml.name() == u"rPh" || part.xml.name() == u"phoneticPr")
                Skip(part);
            else
                ++depth;
        }
    }
    return text;
}

bool WorkbookReader::ReadRelationships(QHash<QString, QString>* targets) {
    const auto part = OpenPart(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (!part)
        return false;
    while (Next(*part)) {
        if (!part->xml.isStartElement() || part->xml.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes a = part->xml.attributes();
        const QString target = PartPath(a.value(QLatin1StringView("Target")).toString());
        targets->insert(a.value(QLatin1StringView("Id")).toString(), target);
        const QStringView type = a.value(QLatin1StringView("Type"));
        if (type.endsWith(u"/sharedStrings"))
            sharedStringsPath_ = target;
        else if (type.endsWith(u"/styles"))
            stylesPath_ = target;
    }
    return Finish(*part);
}

bool WorkbookReader::ReadWorkbook(const QHash<QString, QString>& targets, QStringList* parts) {
    const auto part = OpenPart(QStringLiteral("xl/workbook.xml"));
    if (!part)
        return false;
    QXmlStreamReader& xml = part->xml;
    int active = 0;
    while (Next(*part)) {
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const QStringView value = a.value(QLatin1StringView("date1904"));
            date1904_ = value == u"1" || value == u"true";
        } else if (xml.name() == u"workbookView") {
            active = a.value(QLatin1StringView("activeTab")).toInt();
        } else if (xml.name() == u"sheet") {
            if (parts->size() >= kMaxSheets) {
                Refuse(*part, u"シートが %1 枚を超えています。"_s.arg(kMaxSheets));
                break;
            }
            TableFile sheet;
            sheet.workbook = true;
            sheet.sheet = static_cast<int>(book_.sheets.size());
            book_.sheets.push_back(sheet);
            const QString name = a.value(QLatin1StringView("name")).toString();
            const QStringView state = a.value(QLatin1StringView("state"));
            book_.sheets.front().sheetNames.push_back(name);
            book_.sheets.front().hiddenSheet.push_back(state == u"hidden" ||
                                                       state == u"veryHidden");
            QString id;
            for (const QXmlStreamAttribute& attribute : a)
                if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                    id = attribute.value().toString();
            parts->push_back(targets.value(id));
        }
    }
    if (!Finish(*part))
        return false;
    if (parts->isEmpty()) {
        refusal_ = u"ブックにシートがありません。"_s;
        return false;
    }
    // The sheet the workbook opens on, unless it is hidden (which Excel never saves, but a
    // workbook made by another program might): then the first visible one.
    const std::vector<bool>& hidden = book_.sheets.front().hiddenSheet;
    if (active < 0 || active >= parts->size() || hidden[static_cast<size_t>(active)]) {
        const auto visible = std::find(hidden.begin(), hidden.end(), false);
        active = visible == hidden.end() ? 0 : static_cast<int>(visible - hidden.begin());
    }
    book_.activeSheet = active;
    return true;
}

bool WorkbookReader::ReadStyles(const QString& path) {
    if (path.isEmpty() || !Has(path))
        return true;
    const auto part = OpenPart(path);
    if (!part)
        return false;
    QXmlStreamReader& xml = part->xml;
    QHash<int, QString> custom; // numFmtId -> format code
    bool inCellXfs = false;
    while (Next(*part)) {
        if (xml.isEndElement() && xml.name() == u"cellXfs")
            inCellXfs = false;
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"numFmt") {
            custom.insert(a.value(QLatin1StringView("numFmtId")).toInt(),
                          a.value(QLatin1StringView("formatCode")).toString());
        } else if (xml.name() == u"cellXfs") {
            inCellXfs = true;
        } else if (inCellXfs && xml.name() == u"xf") {
            const int id = a.value(QLatin1StringView("numFmtId")).toInt();
            const auto code = custom.constFind(id);
            QString format = code == custom.constEnd() ? BuiltInDateFormat(id)
                             : IsDateFormat(*code)     ? *code
                                                       : QString();
            dateFormats_.push_back(std::move(format));
        }
    }
    return Finish(*part);
}

bool WorkbookReader::ReadSharedStrings(const QString& path) {
    if (path.isEmpty() || !Has(path))
        return true;
    const auto part = OpenPart(path);
    if (!part)
        return false;
    while (Next(*part)) {
        if (!part->xml.isStartElement() || part->xml.name() != u"si")
            continue;
        if (shared_.size() >= kMaxWorkbookCells) {
            Refuse(*part,
                   u"共有文字列が %1 個を超えています。Excel ブックとしては大きすぎます。"_s.arg(
                       kMaxWorkbookCells));
            break;
        }
        shared_.push_back(ReadStringItem(*part));
    }
    return Finish(*part);
}

bool WorkbookReader::ReadSheet(const QString& path, TableFile* table) {
    if (path.isEmpty() || !Has(path)) {
        refusal_ = Damaged();
        return false;
    }
    const auto part = OpenPart(path);
    if (!part)
        return false;
    QXmlStreamReader& xml = part->xml;
    Farthest farthest;
    int row = -1, column = -1;
    while (Next(*part)) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            bool numbered = false;
            const int r = xml.attributes().value(QLatin1StringView("r")).toInt(&numbered);
            row = numbered && r > 0 ? r - 1 : row + 1;
            column = -1;
            continue;
        }
        if (xml.name() != u"c")
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QString type = a.value(QLatin1StringView("t")).toString();
        const int style = a.value(QLatin1StringView("s")).toInt();
        if (a.hasAttribute(QLatin1StringView("r"))) {
            if (!ParseReference(a.value(QLatin1StringView("r")), &row, &column)) {
                Refuse(*part, Damaged());
                break;
            }
        } else {
            row = std::max(row, 0);
            ++column;
        }
        QString value;
        bool hasValue = false;
        int depth = 1;
        while (depth > 0 && Next(*part)) {
            if (xml.isEndElement()) {
                --depth;
            } else if (xml.isStartElement() && depth == 1 && xml.name() == u"v") {
                value = ReadText(*part);
                hasValue = true;
            } else if (xml.isStartElement() && depth == 1 && xml.name() == u"is") {
                value = ReadStringItem(*part);
                hasValue = true;
            } else if (xml.isStartElement()) {
                Skip(*part); // the formula and anything else but the value
            }
        }
        if (!hasValue || !refusal_.isEmpty())
            continue;
        CellKind kind = CellKind::Text;
        if (type == u"s") {
            bool isIndex = false;
            const int index = value.toInt(&isIndex);
            if (!isIndex || index < 0 || index >= shared_.size()) {
                Refuse(*part, Damaged());
                break;
            }
            value = shared_.at(index);
        } else if (type == u"b") {
            value = value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        } else if (type == u"d") {
            kind = CellKind::Date;
        } else if (type.isEmpty() || type == u"n") {
            kind = CellKind::Number;
            bool number = false;
            const double serial = value.toDouble(&number);
            if (number && style >= 0 && style < static_cast<int>(dateFormats_.size()) &&
                !dateFormats_[static_cast<size_t>(style)].isEmpty()) {
                kind = CellKind::Date;
                value =
                    FormatSerialDate(serial, dateFormats_[static_cast<size_t>(style)], date1904_);
            }
        }
        if (value.isEmpty())
            continue;
        if (++cells_ > kMaxWorkbookCells) {
            Refuse(*part,
                   u"値のあるセルが %1 個を超えています。Excel ブックとしては大きすぎます。"_s.arg(
                       kMaxWorkbookCells));
            break;
        }
        farthest.Note(row, column);
        if (row >= kMaxTableRows || column >= kMaxTableColumns)
            continue; // only counted: the sheet is refused below
        if (static_cast<int>(table->rows.size()) <= row)
            table->rows.resize(static_cast<size_t>(row) + 1);
        QStringList& cells = table->rows[static_cast<size_t>(row)];
        while (cells.size() <= column)
            cells.push_back(QString());
        cells[column] = value;
        if (kind != CellKind::Text)
            table->kinds.insert(row * kMaxTableColumns + column, kind);
    }
    if (!Finish(*part))
        return false;
    if (farthest.Beyond()) {
        table->rows.clear();
        table->kinds.clear();
        table->message =
            u"シート「%1」の"_s.arg(QuotedCell(table->sheetNames.value(table->sheet))) +
            farthest.Message();
    } else {
        table->ok = true;
    }
    return true;
}

TableBook WorkbookReader::Read() {
    book_.workbook = true;
    auto refuse = [&](const QString& message) {
        TableBook refused;
        refused.workbook = true;
        refused.message = message;
        return refused;
    };
    if (!archive_)
        return refuse(Damaged());
    if (AnyEncrypted())
        return refuse(u"暗号化された zip です。パスワードを外して保存し直してください。"_s);
    if (!Has(QStringLiteral("xl/workbook.xml")))
        return refuse(u"zip ファイルですが Excel ブック（.xlsx）ではありません。"_s);
    QHash<QString, QString> targets;
    QStringList sheetParts;
    if (!ReadRelationships(&targets) || !ReadWorkbook(targets, &sheetParts) ||
        !ReadStyles(stylesPath_) || !ReadSharedStrings(sharedStringsPath_))
        return refuse(refusal_);
    const QStringList names = book_.sheets.front().sheetNames;
    const std::vector<bool> hidden = book_.sheets.front().hiddenSheet;
    for (TableFile& sheet : book_.sheets) {
        sheet.sheetNames = names;
        sheet.hiddenSheet = hidden;
        sheet.activeSheet = book_.activeSheet;
        if (!ReadSheet(sheetParts.at(sheet.sheet), &sheet))
            return refuse(refusal_);
    }
    book_.ok = true;
    return std::move(book_);
}

} // namespace

bool LooksLikeZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

TableBook ReadXlsx(const QByteArray& bytes) {
    WorkbookReader reader(bytes);
    return reader.Read();
}

QString FormatSerialDate(double serial, const QString& format, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465) // beyond 9999-12-31
        return QString::number(serial);
    const auto days = static_cast<qint64>(std::floor(serial));
    const auto seconds = static_cast<qint64>(std::llround((serial - days) * 86400));
    // The 1900 system counts a 29 February 1900 that never was (serial 60).
    const QDate base = date1904     ? QDate(1904, 1, 1)
                       : days >= 61 ? QDate(1899, 12, 30)
                                    : QDate(1899, 12, 31);
    const QDate date = base.addDays(days + seconds / 86400);
    const qint64 time = seconds % 86400;
    const int hour = static_cast<int>(time / 3600), minute = static_cast<int>(time / 60 % 60),
              second = static_cast<int>(time % 60);
    const bool twelveHours = format.contains(u"AM/PM", Qt::CaseInsensitive) ||
                             format.contains(u"A/P", Qt::CaseInsensitive);
    const QLocale c = QLocale::c();
    auto padded = [](qint64 n, qsizetype width) {
        return QString::number(n).rightJustified(width, u'0');
    };

    QString out;
    bool afterHour = false; // an "m" after an hour is minutes
    const qsizetype size = format.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar raw = format.at(i);
        const QChar ch = raw.toLower();
        qsizetype run = 1;
        while (i + run < size && format.at(i + run).toLower() == ch)
            ++run;
        if (ch == u';') {
            break; // the first section only
        } else if (ch == u'"') {
            const qsizetype end = format.indexOf(u'"', i + 1);
            out += format.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? size : end;
            continue;
        } else if (ch == u'\\') {
            if (i + 1 < size)
                out += format.at(++i);
            continue;
        } else if (ch == u'_' || ch == u'*') {
            ++i;
            continue;
        } else if (ch == u'[') {
            const qsizetype end = format.indexOf(u']', i);
            const QString inside = format.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (inside.startsWith(u'h'))
                out += QString::number(days * 24 + hour);
            else if (inside.startsWith(u'm'))
                out += QString::number((days * 24 + hour) * 60 + minute);
            else if (inside.startsWith(u's'))
                out += QString::number(((days * 24 + hour) * 60 + minute) * 60 + second);
            afterHour = inside.startsWith(u'h');
            i = end < 0 ? size : end;
            continue;
        }
        if (format.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            out += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 4;
            continue;
        }
        if (format.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            out += hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
            i += 2;
            continue;
        }
        const QString rest = format.mid(i + run);
        if (ch == u'y' || ch == u'e') {
            out += run <= 2 && ch == u'y' ? padded(date.year() % 100, 2)
                                          : QString::number(date.year());
        } else if (ch == u'm') {
            // Minutes after an hour or before seconds ("h:mm", "mm:ss"), else the month.
            const qsizetype next = rest.indexOf(QRegularExpression(QStringLiteral("[a-zA-Z]")));
            const bool minutes =
                afterHour || (next >= 0 && rest.at(next).toLower() == u's' && run <= 2);
            if (minutes)
                out += padded(minute, run >= 2 ? 2 : 1);
            else if (run <= 2)
                out += padded(date.month(), run);
            else
                out += c.monthName(date.month(),
                                   run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (ch == u'd') {
            if (run <= 2)
                out += padded(date.day(), run);
            else
                out += c.dayName(date.dayOfWeek(),
                                 run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (ch == u'a' && run >= 3) {
            static const char16_t* const kDays[] = {u"月", u"火", u"水", u"木",
                                                    u"金", u"土", u"日"};
            out += QString::fromUtf16(kDays[date.dayOfWeek() - 1]);
            if (run >= 4)
                out += u"曜日"_s;
        } else if (ch == u'h') {
            const int shown = twelveHours ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += padded(shown, run >= 2 ? 2 : 1);
            afterHour = true;
            i += run - 1;
            continue;
        } else if (ch == u's') {
            out += padded(second, run >= 2 ? 2 : 1);
        } else if (ch == u'g') {
            // The era's name: not shown (the year is shown as the Western year).
        } else {
            out += format.mid(i, run);
        }
        if (ch.isLetter())
            afterHour = false;
        i += run - 1;
    }
    return out;
}

} // namespace kirune
