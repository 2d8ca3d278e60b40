#include "CfbTestSupport.h"
#include "rollbook/XlsError.h"
#include "rollbook/cfb/CompoundFile.h"

#include <gtest/gtest.h>

namespace zelvano::xls
{
namespace
{

using namespace test;

TEST(CompoundFileDamage, Parse_RejectsZeroLengthFile)
{
    EXPECT_THROW(CompoundFile::parse({}), XlsError);
}

} // namespace
} // namespace zelvano::xls
