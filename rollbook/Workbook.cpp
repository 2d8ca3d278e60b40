#include "rollbook/Workbook.h"

#include "rollbook/XlsError.h"
#include "rollbook/cfb/SafeSave.h"

namespace zelvano::xls
{

namespace
{

constexpr const char* kStreamName = "Workbook";

std::uint16_t toRow(int row)
{
    if (row < 1 || row > 65536)
        throw XlsError("Row " + std::to_string(row) + " is outside the sheet (1 to 65536).");
    return static_cast<std::uint16_t>(row - 1);
}

std::uint16_t toCol(int col)
{
    if (col < 1 || col > 256)
        throw XlsError("Column " + std::to_string(col) + " is outside the sheet (1 to 256).");
    return static_cast<std::uint16_t>(col - 1);
}

} // namespace

BiffWorkbook readWorkbookStream(const CompoundFile& cfb)
{
    if (auto stream = cfb.readRootStream(kStreamName))
        return BiffWorkbook::parse(std::move(*stream));
    if (cfb.readRootStream("Book"))
        throw XlsError("This workbook was saved in the Excel 5.0/95 format; save it as an Excel "
                       "97-2003 workbook.");
    throw XlsError("This file holds no Excel workbook.");
}

Workbook::Workbook(std::filesystem::path path, CompoundFile cfb, BiffWorkbook biff, FileStamp stamp)
    : m_path(std::move(path)), m_cfb(std::move(cfb)), m_biff(std::move(biff)), m_stamp(stamp)
{
    rebuildWorksheetList();
}

Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;
Workbook::~Workbook() = default;

Workbook Workbook::open(const std::filesystem::path& path)
{
    // Stamped before reading: a change made while we read shows as a change.
    const FileStamp stamp = stampOf(path);
    CompoundFile cfb = CompoundFile::parse(readWholeFile(path));
    BiffWorkbook biff = readWorkbookStream(cfb);
    // The engine keeps the stream; the container gets it back when saving.
    cfb.replaceRootStream(kStreamName, {});
    return Workbook(path, std::move(cfb), std::move(biff), stamp);
}

void Workbook::rebuildWorksheetList()
{
    m_worksheets.clear();
    const auto& all = m_biff.sheets();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == SheetKind::Worksheet)
            m_worksheets.push_back(i);
}

std::vector<std::string> Workbook::worksheetNames() const
{
    std::vector<std::string> names;
    for (std::size_t i : m_worksheets)
        names.push_back(m_biff.sheets()[i].name);
    return names;
}

std::size_t Workbook::sheetIndex(std::size_t worksheet) const
{
    if (m_unreadable)
        throw XlsError("The roll book must be opened again.");
    if (worksheet >= m_worksheets.size())
        throw XlsError("The workbook has no worksheet number " + std::to_string(worksheet + 1) +
                       ".");
    return m_worksheets[worksheet];
}

CellValue Workbook::cell(std::size_t worksheet, int row, int col) const
{
    return m_biff.cell(sheetIndex(worksheet), toRow(row), toCol(col));
}

std::string Workbook::cellText(std::size_t worksheet, int row, int col) const
{
    return trimmedText(cell(worksheet, row, col));
}

void Workbook::forEachCell(std::size_t worksheet,
                           const std::function<void(int, int, const CellValue&)>& f) const
{
    m_biff.forEachCell(sheetIndex(worksheet), [&](std::uint16_t row, std::uint16_t col,
                                                  const CellValue& v) { f(row + 1, col + 1, v); });
}

void Workbook::loadCells(std::size_t worksheet) const
{
    m_biff.lastRow(sheetIndex(worksheet));
}

int Workbook::lastRow(std::size_t worksheet) const
{
    return m_biff.lastRow(sheetIndex(worksheet)) + 1;
}

void Workbook::checkCanChange(std::size_t worksheet, int row, int col)
{
    m_biff.checkCanChange(sheetIndex(worksheet), toRow(row), toCol(col));
}

void Workbook::setNumber(std::size_t worksheet, int row, int col, double value)
{
    m_biff.setNumber(sheetIndex(worksheet), toRow(row), toCol(col), value);
}

void Workbook::setText(std::size_t worksheet, int row, int col, std::string_view text)
{
    m_biff.setText(sheetIndex(worksheet), toRow(row), toCol(col), text);
}

void Workbook::setEmpty(std::size_t worksheet, int row, int col)
{
    m_biff.setEmpty(sheetIndex(worksheet), toRow(row), toCol(col));
}

std::filesystem::path Workbook::backupPath() const
{
    std::filesystem::path backup = m_path;
    backup.replace_filename(m_path.stem().native() + std::filesystem::path(".bak").native() +
                            m_path.extension().native());
    return backup;
}

namespace
{
constexpr std::size_t kMiniStreamCutoff = 4096;
}

void Workbook::save()
{
    if (m_unreadable)
        throw XlsError("The roll book must be opened again.");
    if (!m_savePending && !m_biff.changed())
        return;
    if (!m_savePending) {
        // Parsed back before anything reaches the disk: a stream we cannot
        // read is never saved. From here the new stream holds the changes,
        // so a failed save below keeps them for the next attempt.
        BiffWorkbook saved = BiffWorkbook::parse(m_biff.serialize());
        m_biff = std::move(saved);
        m_savePending = true;
    }
    // A big roll book is never held three times at once (engine, container,
    // file image): the engine lends its stream to the container, and once
    // the image is made the workbook is read back from the image itself.
    Bytes stream = std::move(m_biff).releaseStream();
    // Excel writes the workbook stream in regular sectors, at least 4096
    // bytes, and not every reader looks for it in the mini stream: a short
    // stream is padded with zeros after its last record, as xlwt does.
    if (stream.size() < kMiniStreamCutoff)
        stream.resize(kMiniStreamCutoff, 0);
    m_cfb.replaceRootStream(kStreamName, std::move(stream));
    Bytes image;
    try {
        image = m_cfb.serialize();
    } catch (...) {
        auto stream = m_cfb.readRootStream(kStreamName);
        m_cfb.replaceRootStream(kStreamName, {});
        m_biff = BiffWorkbook::parse(std::move(*stream));
        throw;
    }
    m_cfb.replaceRootStream(kStreamName, {});
    auto readBack = [&] {
        m_unreadable = true;
        CompoundFile written = CompoundFile::parse(image);
        image = Bytes();
        auto stream = written.readRootStream(kStreamName);
        written.replaceRootStream(kStreamName, {});
        m_biff = BiffWorkbook::parse(std::move(*stream));
        m_cfb = std::move(written);
        m_unreadable = false;
    };
    try {
        saveFileAtomically(m_path, image, backupPath());
    } catch (...) {
        readBack();
        throw;
    }
    readBack();
    m_savePending = false;
    m_stamp = stampOf(m_path);
}

bool Workbook::changedOnDisk() const
{
    try {
        return !(stampOf(m_path) == m_stamp);
    } catch (const std::exception&) {
        return true; // gone or unreadable: not the file we read
    }
}

WriteAccess Workbook::writeAccess() const
{
    return checkWriteAccess(m_path);
}

} // namespace zelvano::xls
