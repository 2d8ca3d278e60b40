// Every workbook in the shared .xlsx samples: read cell by cell as openpyxl
// reads it, and written three times (a number over a cell, a text past the
// used range, an emptied cell) with exactly those cells changed and every
// ZIP entry the write need not touch kept byte for byte.
#include "XlsxDump.h"

#include "rollbook/XlsError.h"
#include "rollbook/xlsx/Package.h"
#include "rollbook/xlsx/XlsxFormat.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace xlsxtest;
using namespace zelvano::xls;
using testing::HasSubstr;

namespace
{

class XlsxSample : public testing::TestWithParam<std::string>
{
protected:
    fs::path file() const { return xlsxSamplesDir() / GetParam(); }
};

} // namespace

TEST_P(XlsxSample, EveryCell_ReadAsOpenpyxlReadsIt)
{
    auto book = openXlsxFormat(readBytes(file()));
    expectSameDumps(engineDump(*book), oracleDump(file()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Samples, XlsxSample, testing::ValuesIn(readableXlsxSamples()),
                         [](const auto& test) { return safeName(test.param); });

TEST(XlsxRefusedSample, OneClearLine)
{
    for (const auto& [name, says] : kRefused) {
        try {
            auto book = openXlsxFormat(readBytes(xlsxSamplesDir() / name));
            for (std::size_t s = 0; s < book->sheets().size(); ++s)
                book->lastRow(s);
            ADD_FAILURE() << name << " was read";
        } catch (const XlsError& e) {
            EXPECT_THAT(e.what(), HasSubstr(says)) << name;
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        }
    }
}
