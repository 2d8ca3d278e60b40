#include "rollbook/Workbook.h"

#include "rollbook/SheetName.h"
#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffFormat.h"
#include "rollbook/cfb/ContentHash.h"
#include "rollbook/cfb/SafeSave.h"

#include <algorithm>
#include <cstring>

namespace zelvano::xls
{

namespace
{

bool startsWith(const Bytes& image, const char* signature, std::size_t size)
{
    return image.size() >= size && std::memcmp(image.data(), signature, size) == 0;
}

// A local file header, or the end record of an empty archive.
bool isZip(const Bytes& image)
{
    return startsWith(image, "PK\x03\x04", 4) || startsWith(image, "PK\x05\x06", 4);
}

bool isCompoundFile(const Bytes& image)
{
    return startsWith(image, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// Excel keeps a password-protected .xlsx in a compound file: the package
// encrypted in one stream, beside the keys. Without the password it holds no
// cells, so it must not read as a workbook with no sheets.
bool holdsEncryptedPackage(const CompoundFile& cfb)
{
    return cfb.readRootStream("EncryptedPackage").has_value();
}

} // namespace

std::unique_ptr<WorkbookFormat> openWorkbookFormat(Bytes image)
{
    if (isZip(image))
        return openXlsxFormat(std::move(image));
    if (isCompoundFile(image)) {
        CompoundFile cfb = CompoundFile::parse(image);
        image = Bytes();
        if (holdsEncryptedPackage(cfb))
            throw XlsError("This workbook is encrypted with a password; remove the password in "
                           "Excel and save it again.",
                           XlsError::Kind::Password);
        return openBiffFormat(std::move(cfb));
    }
    throw XlsError("This file is not an Excel workbook (neither .xls nor .xlsx).");
}

Workbook::Workbook(std::filesystem::path path, std::unique_ptr<WorkbookFormat> format,
                   FileStamp stamp)
    : m_path(std::move(path)), m_format(std::move(format)), m_stamp(stamp)
{
    const auto& all = m_format->sheets();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].kind == SheetKind::Worksheet)
            m_worksheets.push_back(i);
}

Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;
Workbook::~Workbook() = default;

Workbook Workbook::open(const std::filesystem::path& path)
{
    // The size and time are taken before reading, so a change made while we
    // read shows as a change; the hash is of the bytes read, not of a
    // second reading.
    FileStamp stamp = statOf(path);
    Bytes image = readWholeFile(path);
    stamp.contentHash = contentHash(image.data(), image.size());
    return Workbook(path, openWorkbookFormat(std::move(image)), stamp);
}

std::vector<std::string> Workbook::worksheetNames() const
{
    std::vector<std::string> names;
    for (std::size_t i : m_worksheets)
        names.push_back(m_format->sheets()[i].name);
    return names;
}

std::size_t Workbook::sheetIndex(std::size_t worksheet) const
{
    if (worksheet >= m_worksheets.size())
        throw XlsError("The workbook has no worksheet number " + std::to_string(worksheet + 1) +
                       ".");
    return m_worksheets[worksheet];
}

int Workbook::checkedRow(int row) const
{
    if (row < 1 || row > m_format->maxRow())
        throw XlsError("Row " + std::to_string(row) + " is outside the sheet (1 to " +
                       std::to_string(m_format->maxRow()) + ").");
    return row;
}

int Workbook::checkedCol(int col) const
{
    if (col < 1 || col > m_format->maxColumn())
        throw XlsError("Column " + std::to_string(col) + " is outside the sheet (1 to " +
                       std::to_string(m_format->maxColumn()) + ").");
    return col;
}

CellValue Workbook::cell(std::size_t worksheet, int row, int col) const
{
    return m_format->cell(sheetIndex(worksheet), checkedRow(row), checkedCol(col));
}

std::string Workbook::cellText(std::size_t worksheet, int row, int col) const
{
    return trimmedText(cell(worksheet, row, col));
}

void Workbook::forEachCell(std::size_t worksheet,
                           const std::function<void(int, int, const CellValue&)>& f) const
{
    m_format->forEachCell(sheetIndex(worksheet), f);
}

void Workbook::loadCells(std::size_t worksheet) const
{
    m_format->lastRow(sheetIndex(worksheet));
}

int Workbook::lastRow(std::size_t worksheet) const
{
    return m_format->lastRow(sheetIndex(worksheet));
}

void Workbook::checkCanChange(std::size_t worksheet, int row, int col)
{
    m_format->checkCanChange(sheetIndex(worksheet), checkedRow(row), checkedCol(col));
}

void Workbook::setNumber(std::size_t worksheet, int row, int col, double value)
{
    m_format->setNumber(sheetIndex(worksheet), checkedRow(row), checkedCol(col), value);
}

void Workbook::setText(std::size_t worksheet, int row, int col, std::string_view text)
{
    m_format->setText(sheetIndex(worksheet), checkedRow(row), checkedCol(col), text);
}

void Workbook::setEmpty(std::size_t worksheet, int row, int col)
{
    m_format->setEmpty(sheetIndex(worksheet), checkedRow(row), checkedCol(col));
}

std::size_t Workbook::addWorksheet(std::string_view utf8Name)
{
    std::vector<std::string> names;
    for (const SheetInfo& sheet : m_format->sheets())
        names.push_back(sheet.name);
    switch (checkSheetName(utf8Name, names)) {
    case SheetNameProblem::None:
        break;
    case SheetNameProblem::Taken:
        throw XlsError("The workbook has a sheet of that name already.");
    default:
        throw XlsError("That text cannot name a sheet.");
    }
    m_worksheets.push_back(m_format->addWorksheet(utf8Name));
    return m_worksheets.size() - 1;
}

std::filesystem::path Workbook::backupPath() const
{
    std::filesystem::path backup = m_path;
    backup.replace_filename(m_path.stem().native() + std::filesystem::path(".bak").native() +
                            m_path.extension().native());
    return backup;
}

void Workbook::save()
{
    if (!m_format->isDirty())
        return;
    std::uint64_t written = 0;
    m_format->save([&](const Bytes& image) {
        saveFileAtomically(m_path, image, backupPath());
        written = contentHash(image.data(), image.size());
    });
    // The file is what we just wrote: its bytes need not be read back. A
    // program that writes it between the rename and this look gives it
    // another time and other bytes, which the next check sees.
    m_stamp = statOf(m_path);
    m_stamp.contentHash = written;
}

bool Workbook::changedOnDisk() const
{
    try {
        // Another size or time needs no reading; the same ones may still
        // hide a save within the time's resolution, which the hash finds.
        const FileStamp now = statOf(m_path);
        if (now.size != m_stamp.size || now.modifiedNs != m_stamp.modifiedNs)
            return true;
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
