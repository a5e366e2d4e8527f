#pragma once
// Workbooks (.xlsx) made in the test from compact text: a zip written with libzip, its parts as a
// spreadsheet program writes them, the cells as "A1=番号|B1=名前|A2=#1|C2=#46154@1"
// ("#" a number cell, "@N" its cell style, anything else an inline string).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>
#include <zip.h>

namespace kirune::test {

// A zip of `parts` (name, content), each deflated, as libzip writes it into memory.
inline QByteArray Zip(const std::vector<std::pair<QString, QByteArray>>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer); // it outlives the archive, to be read back
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto& [name, content] : parts)
        zip_file_add(archive, name.toUtf8().constData(),
                     zip_source_buffer(archive, content.constData(),
                                       static_cast<zip_uint64_t>(content.size()), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(archive);
    QByteArray zip;
    zip_stat_t stat;
    if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        zip.resize(static_cast<qsizetype>(stat.size));
        zip.resize(static_cast<qsizetype>(
            std::max<zip_int64_t>(zip_source_read(buffer, zip.data(), stat.size), 0)));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    zip_error_fini(&error);
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
