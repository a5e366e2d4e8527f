#pragma once
// Workbooks (.xlsx) made in the test from compact text: a zip written here (stored or deflated),
// its parts as a spreadsheet program writes them, the cells as "A1=番号|B1=名前|A2=#1|C2=#46154@1"
// ("#" a number cell, "@N" its cell style, anything else an inline string).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

namespace kirune::test {

inline quint32 Crc32(const QByteArray& data) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFU;
    for (const char byte : data)
        crc = table[(crc ^ static_cast<quint8>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

// A zip of `parts` (name, content), each deflated (qCompress without zlib's wrapper) or stored.
inline QByteArray Zip(const std::vector<std::pair<QString, QByteArray>>& parts,
                      bool deflate = true) {
    auto le = [](QByteArray& out, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    QByteArray zip, directory;
    for (const auto& [name, content] : parts) {
        const QByteArray packed = deflate ? qCompress(content).mid(6).chopped(4) : content;
        const QByteArray file = name.toUtf8();
        const quint32 offset = static_cast<quint32>(zip.size());
        QByteArray common;
        le(common, 20, 2);              // version needed
        le(common, 0, 2);               // flags
        le(common, deflate ? 8 : 0, 2); // method
        le(common, 0, 2);               // time
        le(common, 0x21, 2);            // date: 1 January 1980
        le(common, Crc32(content), 4);
        le(common, static_cast<quint32>(packed.size()), 4);
        le(common, static_cast<quint32>(content.size()), 4);
        le(common, static_cast<quint32>(file.size()), 2);
        le(common, 0, 2); // extra
        le(zip, 0x04034b50, 4);
        zip += common + file + packed;
        le(directory, 0x02014b50, 4);
        le(directory, 20, 2); // made by
        directory += common;
        le(directory, 0, 2); // comment
        le(directory, 0, 2); // disk
        le(directory, 0, 2); // internal attributes
        le(directory, 0, 4); // external attributes
        le(directory, offset, 4);
        directory += file;
    }
    const quint32 start = static_cast<quint32>(zip.size());
    zip += directory;
    le(zip, 0x06054b50, 4);
    le(zip, 0, 4);
    le(zip, static_cast<quint32>(parts.size()), 2);
    le(zip, static_cast<quint32>(parts.size()), 2);
    le(zip, static_cast<quint32>(directory.size()), 4);
    le(zip, start, 4);
    le(zip, 0, 2);
    return zip;
}

// A sheet's XML from "A1=番号|B1=名前|A2=#1|C2=#46154@1".
inline QByteArray SheetXml(const QString& cells) {
    QByteArray xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                     "main\"><sheetData>";
    for (const QString& cell : cells.split(u'|', Qt::SkipEmptyParts)) {
        const QString ref = cell.section(u'=', 0, 0);
        QString value = cell.section(u'=', 1);
        if (value.startsWith(u'#')) {
            const QString style = value.section(u'@', 1);
            value = value.mid(1).section(u'@', 0, 0);
            xml += "<c r=\"" + ref.toUtf8() + "\"" +
                   (style.isEmpty() ? QByteArray() : " s=\"" + style.toUtf8() + "\"") + "><v>" +
                   value.toUtf8() + "</v></c>";
        } else {
            xml += "<c r=\"" + ref.toUtf8() + "\" t=\"inlineStr\"><is><t>" +
                   value.toHtmlEscaped().toUtf8() + "</t></is></c>";
        }
    }
    return xml + "</sheetData></worksheet>";
}

struct FixtureSheet {
    QString name;
    QByteArray xml;        // the sheet's part (SheetXml)
    QByteArray state = {}; // "hidden", "veryHidden" or empty
};

// A workbook of `sheets`; `activeTab` the sheet it opens on (-1: no view); `formats` the number
// formats of cell styles 1, 2, ... (a built-in format's number, or a format code); extra parts
// (such as xl/sharedStrings.xml) are added as they are.
inline QByteArray Workbook(const std::vector<FixtureSheet>& sheets, int activeTab = 0,
                           const QStringList& formats = {},
                           const std::vector<std::pair<QString, QByteArray>>& extra = {},
                           const QByteArray& workbookPr = {}) {
    QByteArray book = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                      "main\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "relationships\">" +
                      workbookPr;
    if (activeTab >= 0)
        book += "<bookViews><workbookView activeTab=\"" + QByteArray::number(activeTab) +
                "\"/></bookViews>";
    QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                      "relationships\">";
    std::vector<std::pair<QString, QByteArray>> parts;
    book += "<sheets>";
    for (size_t i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(static_cast<int>(i) + 1);
        book += "<sheet name=\"" + sheets[i].name.toHtmlEscaped().toUtf8() + "\" sheetId=\"" + n +
                "\"" +
                (sheets[i].state.isEmpty() ? QByteArray() : " state=\"" + sheets[i].state + "\"") +
                " r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parts.emplace_back(QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1), sheets[i].xml);
    }
    book += "</sheets></workbook>";
    QByteArray styles = "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                        "2006/main\"><numFmts>";
    QByteArray xfs = "<cellXfs><xf numFmtId=\"0\"/>";
    for (int i = 0; i < formats.size(); ++i) {
        bool builtIn = false;
        int id = formats.at(i).toInt(&builtIn);
        if (!builtIn) {
            id = 164 + i;
            styles += "<numFmt numFmtId=\"" + QByteArray::number(id) + "\" formatCode=\"" +
                      formats.at(i).toHtmlEscaped().toUtf8() + "\"/>";
        }
        xfs += "<xf numFmtId=\"" + QByteArray::number(id) + "\"/>";
    }
    styles += "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>" + xfs +
              "</cellXfs></styleSheet>";
    rels += "<Relationship Id=\"rStyles\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
            "<Relationship Id=\"rShared\" Type=\"http://schemas.openxmlformats.org/"
            "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
            "</Relationships>";
    parts.emplace_back(QStringLiteral("xl/workbook.xml"), book);
    parts.emplace_back(QStringLiteral("xl/_rels/workbook.xml.rels"), rels);
    parts.emplace_back(QStringLiteral("xl/styles.xml"), styles);
    for (const auto& part : extra)
        parts.push_back(part);
    return Zip(parts);
}

} // namespace kirune::test
