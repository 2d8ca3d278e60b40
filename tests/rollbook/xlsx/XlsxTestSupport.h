#pragma once

#include "../XlsTestSupport.h"

#include "rollbook/cfb/CompoundFile.h"

#include <map>

// Paths and helpers of the .xlsx engine's tests: the samples of other
// programs (used in place) and the Python oracles beside this file.
namespace xlsxtest
{

using namespace xlstest;

inline fs::path xlsxSamplesDir()
{
    return fs::path(ZELVANO_SHARED_DIR) / "xlsx-samples";
}

inline RunResult oracle(const std::string& script, const std::vector<Arg>& args,
                        bool withErr = false)
{
    return python("xlsx/" + script, args, withErr);
}

inline zelvano::xls::Bytes readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const fs::path& file, const zelvano::xls::Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Entry name -> same|differs|removed|added, from Python's reading of the
// raw compressed bytes of both archives.
inline std::map<std::string, std::string> rawComparison(const fs::path& before,
                                                        const fs::path& after)
{
    std::map<std::string, std::string> out;
    for (const auto& line : lines(oracle("zip_check.py", {"raw", before, after}, true).out)) {
        const auto fields = split(line);
        out[fields[0]] = fields.size() > 1 ? fields[1] : "?";
    }
    return out;
}

} // namespace xlsxtest
