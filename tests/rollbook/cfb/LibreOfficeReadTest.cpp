#include "CfbTestSupport.h"
#include "rollbook/cfb/CompoundFile.h"

#include <gtest/gtest.h>

namespace zelvano::xls
{
namespace
{

using namespace test;
namespace fs = std::filesystem;

// LibreOffice has a compound file reader of its own; what it makes of our
// files must match what it makes of the originals. (It reads 512-byte
// sectors only, so 4096-byte containers cannot be checked this way.)
TEST(CompoundFileLibreOffice, ReadsRewrittenFilesLikeTheOriginals)
{
    std::string where;
    if (runCommand("command -v soffice", &where) != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempDir dir;
    fs::create_directories(dir / "ours");
    fs::create_directories(dir / "theirs");
    fs::create_directories(dir / "out-ours");
    fs::create_directories(dir / "out-theirs");

    struct Case {
        std::string name;      // of our file
        std::string sample;    // whose cells LibreOffice must find in it
        std::string container; // sample whose other streams surround it
    };
    // The Workbook of date.xls (1,895 bytes) lives in the mini stream, that
    // of Formate.xls (6,253 bytes) in regular sectors: swapping them moves
    // each across the cutoff.
    const std::vector<Case> cases = {
        {"any_sheets.xls", "any_sheets.xls", "any_sheets.xls"},
        {"gh548_incorrect_sst_unique_count.xls", "gh548_incorrect_sst_unique_count.xls",
         "gh548_incorrect_sst_unique_count.xls"},
        {"date_into_regular_file.xls", "date.xls", "Formate.xls"},
        {"formate_into_mini_file.xls", "Formate.xls", "date.xls"},
    };
    std::string ours, theirs;
    for (const Case& c : cases) {
        CompoundFile file = CompoundFile::parse(readFile(samplesDir() / c.container));
        const CompoundFile source = CompoundFile::parse(readFile(samplesDir() / c.sample));
        file.replaceRootStream("Workbook", *source.readRootStream("Workbook"));
        writeFile(dir / "ours" / c.name, file.serialize());
        fs::copy_file(samplesDir() / c.sample, dir / "theirs" / c.name);
        ours += " " + quoted(dir / "ours" / c.name);
        theirs += " " + quoted(dir / "theirs" / c.name);
    }
    const std::string soffice = "timeout 120 soffice --headless --norestore "
                                "-env:UserInstallation=file://" +
                                (dir / "profile").string() + " --convert-to csv --outdir ";
    std::string out;
    ASSERT_EQ(runCommand(soffice + quoted(dir / "out-theirs") + theirs, &out), 0) << out;
    ASSERT_EQ(runCommand(soffice + quoted(dir / "out-ours") + ours, &out), 0) << out;
    for (const Case& c : cases) {
        const std::string csv = fs::path(c.name).stem().string() + ".csv";
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fs::exists(dir / "out-theirs" / csv));
        ASSERT_TRUE(fs::exists(dir / "out-ours" / csv)) << "LibreOffice could not read ours";
        EXPECT_FALSE(readFile(dir / "out-theirs" / csv).empty());
        EXPECT_EQ(readFile(dir / "out-ours" / csv), readFile(dir / "out-theirs" / csv));
    }
}

} // namespace
} // namespace zelvano::xls
