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

    // Moving a stream across the mini-stream cutoff must keep the rest.
    if (names.empty())
        return 0;
    const Bytes replacement(cf->readRootStream(names[0])->size() < 4096 ? 5000 : 100, 0x5A);
    cf->replaceRootStream(names[0], replacement);
    const CompoundFile replaced = CompoundFile::parse(cf->serialize());
    if (replaced.readRootStream(names[0]) != replacement)
        std::abort();
    for (std::size_t i = 1; i < names.size(); ++i)
        if (replaced.readRootStream(names[i]) != cf->readRootStream(names[i]))
            std::abort();
    return 0;
}
