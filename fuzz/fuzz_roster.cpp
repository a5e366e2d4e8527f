// libFuzzer target for the pupils' roster reader (plain lists, CSV tables and workbooks): any
// bytes are refused or give at most 40 non-empty names without line breaks or ";", and never
// crash.
#include "output/rosterimport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const kirune::RosterImport result = kirune::ParseRosterFile(bytes, QStringLiteral("f"));
    if (!result.ok) {
        if (result.message.isEmpty() || !result.names.isEmpty())
            std::abort(); // a refusal says why and keeps no names
        return 0;
    }
    if (result.names.size() > 40)
        std::abort();
    for (const QString& name : result.names)
        if (name.isEmpty() || name.contains(u'\r') || name.contains(u'\n') || name.contains(u';'))
            std::abort();
    return 0;
}
