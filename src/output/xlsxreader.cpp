#include "xlsxreader.h"

#include "tablefile.h"

#include <QHash>
#include <QXmlStreamReader>
#include <memory>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QString Damaged() {
    return u"Excel ブック（.xlsx）として読めません（ファイルが壊れています）。"_s;
}

// One workbook held in memory, its parts unpacked on demand within one budget for the whole
// workbook, so that a small zip cannot unpack into gigabytes.
class ZipParts {
public:
    explicit ZipParts(const QByteArray& bytes) {
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
    ~ZipParts() {
        if (archive_)
            zip_discard(archive_);
    }
    ZipParts(const ZipParts&) = delete;
    ZipParts& operator=(const ZipParts&) = delete;

    bool Opened() const { return archive_ != nullptr; }

    // Whether any part is encrypted (a zip with a password).
    bool AnyEncrypted() const {
        const zip_int64_t count = zip_get_num_entries(archive_, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t info;
            if (zip_stat_index(archive_, static_cast<zip_uint64_t>(i), 0, &info) == 0 &&
                (info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE)
                return true;
        }
        return false;
    }

    bool Has(const QString& name) const {
        return zip_name_locate(archive_, name.toUtf8().constData(), 0) >= 0;
    }

    // The unpacked part `name`; false with *message when it is missing, damaged or beyond the
    // budget.
    bool Read(const QString& name, QByteArray* out, QString* message) {
        const zip_int64_t index = zip_name_locate(archive_, name.toUtf8().constData(), 0);
        if (index < 0) {
            *message = Damaged();
            return false;
        }
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
            zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0), zip_fclose);
        if (!file) {
            *message = Damaged();
            return false;
        }
        out->clear();
        char buffer[64 * 1024];
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
            if (got < 0) {
                *message = Damaged();
                return false;
            }
            if (got == 0)
                break;
            unpacked_ += got;
            if (unpacked_ > kMaxTableExpandedBytes) {
                *message = u"展開すると %1 MB を超えます。Excel ブックとしては大きすぎます。"_s.arg(
                    kMaxTableExpandedBytes / (1024 * 1024));
                return false;
            }
            out->append(buffer, static_cast<qsizetype>(got));
        }
        return true;
    }

private:
    zip_t* archive_ = nullptr;
    qint64 unpacked_ = 0;
};

bool IsElement(const QXmlStreamReader& xml, QStringView name) {
    return xml.isStartElement() && xml.name() == name;
}

// The text of a string item (<si>, <is>): its <t> runs, without the phonetic guides (<rPh>)
// that Japanese Excel keeps beside the text.
QString ReadStringItem(QXmlStreamReader& xml) {
    QString text;
    const QString end = xml.name().toString();
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == end)
            break;
        if (IsElement(xml, u"rPh") || IsElement(xml, u"phoneticPr"))
            xml.skipCurrentElement();
        else if (IsElement(xml, u"t"))
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return text;
}

QString RelationshipId(const QXmlStreamReader& xml) {
    for (const QXmlStreamAttribute& attribute : xml.attributes())
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return QString();
}

// A part named by a relationship of the workbook: relative to xl/, or absolute from the root.
QString PartPath(const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

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

} // namespace

bool LooksLikeZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

XlsxContent ReadXlsx(const QByteArray& bytes, int sheet) {
    XlsxContent content;
    auto refuse = [&](const QString& message) {
        content.rows.clear();
        content.message = message;
        return content;
    };
    ZipParts zip(bytes);
    if (!zip.Opened())
        return refuse(Damaged());
    if (zip.AnyEncrypted())
        return refuse(u"暗号化された zip です。パスワードを外して保存し直してください。"_s);
    const QString workbookPath = QStringLiteral("xl/workbook.xml");
    if (!zip.Has(workbookPath))
        return refuse(u"zip ファイルですが Excel ブック（.xlsx）ではありません。"_s);

    QString message;
    QByteArray part;
    // The workbook's relationships: id -> part, and where the shared strings are.
    QHash<QString, QString> targets;
    QString sharedStringsPath;
    if (!zip.Read(QStringLiteral("xl/_rels/workbook.xml.rels"), &part, &message))
        return refuse(message);
    {
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!IsElement(xml, u"Relationship"))
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const QString target = PartPath(a.value(QLatin1StringView("Target")).toString());
            targets.insert(a.value(QLatin1StringView("Id")).toString(), target);
            if (a.value(QLatin1StringView("Type")).endsWith(u"/sharedStrings"))
                sharedStringsPath = target;
        }
        if (xml.hasError())
            return refuse(Damaged());
    }

    // The sheets in order, with the part each lives in.
    QStringList sheetParts;
    if (!zip.Read(workbookPath, &part, &message))
        return refuse(message);
    {
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            xml.readNext();
            if (!IsElement(xml, u"sheet"))
                continue;
            content.sheetNames.push_back(
                xml.attributes().value(QLatin1StringView("name")).toString());
            sheetParts.push_back(targets.value(RelationshipId(xml)));
        }
        if (xml.hasError())
            return refuse(Damaged());
    }
    if (sheetParts.isEmpty())
        return refuse(u"ブックにシートがありません。"_s);
    if (sheet < 0 || sheet >= sheetParts.size() || sheetParts.at(sheet).isEmpty() ||
        !zip.Has(sheetParts.at(sheet)))
        return refuse(sheet >= 0 && sheet < sheetParts.size()
                          ? Damaged()
                          : u"%1 番目のシートはありません。"_s.arg(sheet + 1));

    QStringList shared;
    if (!sharedStringsPath.isEmpty() && zip.Has(sharedStringsPath)) {
        if (!zip.Read(sharedStringsPath, &part, &message))
            return refuse(message);
        QXmlStreamReader xml(part);
        while (!xml.atEnd()) {
            xml.readNext();
            if (IsElement(xml, u"si"))
                shared.push_back(ReadStringItem(xml));
        }
        if (xml.hasError())
            return refuse(Damaged());
    }

    if (!zip.Read(sheetParts.at(sheet), &part, &message))
        return refuse(message);
    QXmlStreamReader xml(part);
    int row = -1, column = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (IsElement(xml, u"row")) {
            bool numbered = false;
            const int r = xml.attributes().value(QLatin1StringView("r")).toInt(&numbered);
            row = numbered && r > 0 ? r - 1 : row + 1;
            column = -1;
            continue;
        }
        if (!IsElement(xml, u"c"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView type = a.value(QLatin1StringView("t"));
        if (a.hasAttribute(QStringLiteral("r"))) {
            if (!ParseReference(a.value(QLatin1StringView("r")), &row, &column))
                return refuse(Damaged());
        } else {
            row = std::max(row, 0);
            ++column;
        }
        QString value;
        bool hasValue = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c")
                break;
            if (IsElement(xml, u"v")) {
                value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                hasValue = true;
            } else if (IsElement(xml, u"is")) {
                value = ReadStringItem(xml);
                hasValue = true;
            } else if (xml.isStartElement()) {
                xml.skipCurrentElement(); // the formula and anything else but the value
            }
        }
        if (!hasValue)
            continue;
        if (type == u"s") {
            bool isIndex = false;
            const int index = value.toInt(&isIndex);
            if (!isIndex || index < 0 || index >= shared.size())
                return refuse(Damaged());
            value = shared.at(index);
        } else if (type == u"b") {
            value = value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        }
        if (value.isEmpty())
            continue;
        if (row >= kMaxTableRows || column >= kMaxTableColumns)
            return refuse(u"シート「%1」の行が %2 行か列が %3 列を超えています。"_s
                              .arg(content.sheetNames.at(sheet))
                              .arg(kMaxTableRows)
                              .arg(kMaxTableColumns));
        if (static_cast<int>(content.rows.size()) <= row)
            content.rows.resize(static_cast<size_t>(row) + 1);
        QStringList& cells = content.rows[static_cast<size_t>(row)];
        while (cells.size() <= column)
            cells.push_back(QString());
        cells[column] = value;
    }
    if (xml.hasError())
        return refuse(Damaged());
    content.ok = true;
    return content;
}

} // namespace kirune
