// Fuzz target for the compound file reader and writer: whatever parses must
// serialize, and what we write must parse back to the same streams.
#include "rollbook/XlsError.h"
#include "rollbook/cfb/CompoundFile.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

using zelvano::xls::Bytes;
using zelvano::xls::CompoundFile;
using zelvano::xls::XlsError;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes image(data, data + size);
    std::optional<CompoundFile> cf;
    try {
        cf.emplace(CompoundFile::parse(image));
    } catch (const XlsError&) {
        return 0;
    }
    const auto names = cf->rootStreamNames();
    const Bytes written = cf->serialize();
    // Anything other than XlsError escapes and is reported as a crash.
    const CompoundFile again = CompoundFile::parse(written);
    if (again.rootStreamNames().size() != names.size())
        std::abort();
    for (const auto& name : names)
        if (again.readRootStream(name) != cf->readRootStream(name))
            std::abort();
    if (again.serialize() != written)
        std::abort();
    return 0;
}
