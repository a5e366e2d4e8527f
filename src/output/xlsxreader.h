#pragma once
// A small reader of Excel workbooks (.xlsx): the zip through libzip, its XML parts through
// QXmlStreamReader, each part streamed from the zip and read once. It reads every sheet's cell
// values as text: numbers as written, shared and inline strings (without their phonetic
// guides), booleans as TRUE/FALSE, the value a formula last had (never the formula), and numbers
// formatted as dates or times as the sheet shows them. It also reads which sheets are hidden and
// which one the workbook opens on. Everything else (fonts, colours, comments) is ignored.

#include "tablefile.h"

#include <QByteArray>

namespace kirune {

// Reads every sheet of the workbook held in `bytes`, within the bounds of tablefile.h; messages
// do not name the file. Refused as a whole: no zip, a damaged or encrypted zip, no workbook
// inside, parts that unpack beyond kMaxTableExpandedBytes, more cells, shared strings, text or
// XML elements than the workbook bounds allow. A sheet with a value beyond kMaxTableRows rows or
// kMaxTableColumns columns is refused alone, saying which bound and where its farthest value is.
TableBook ReadXlsx(const QByteArray& bytes);

// Whether `bytes` start as a zip archive does.
bool LooksLikeZip(const QByteArray& bytes);

// The text a date or time serial shows under the number format `format` ("m/d", "yyyy/m/d",
// "h:mm"), in a workbook counting from 1900 or (date1904) from 1904.
QString FormatSerialDate(double serial, const QString& format, bool date1904);

} // namespace kirune
