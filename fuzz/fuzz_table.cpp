// libFuzzer target for the reader of score and roster tables (CSV and .xlsx): any bytes, on any
// sheet, are refused with a message or give a table inside the row and column bounds, and never
// crash, hang or unpack without bound.
#include "output/tablefile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses the sheet, the rest is the file.
    const int sheet = data[0] % 3;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1,
                           static_cast<qsizetype>(size - 1));
    const kirune::TableFile table = kirune::ParseTableFile(bytes, QStringLiteral("f"), sheet);
    if (!table.ok) {
        if (table.message.isEmpty() || !table.rows.empty())
            std::abort(); // a refusal says why and keeps no cells
        return 0;
    }
    if (static_cast<int>(table.rows.size()) > kirune::kMaxTableRows ||
        table.ColumnCount() > kirune::kMaxTableColumns)
        std::abort();
    if (table.workbook && (table.sheet >= table.sheetNames.size()))
        std::abort();
    return 0;
}
