#include "rollbook/xlsx/XlsxFormat.h"

#include "rollbook/XlsError.h"

namespace zelvano::xls
{

namespace
{

// Excel's limit on a cell's text, counted in UTF-16 code units.
constexpr std::size_t kMaxTextUnits = 32767;

} // namespace

XlsxFormat::XlsxFormat(Bytes image)
{
    load(std::move(image));
}

void XlsxFormat::load(Bytes image)
{
    auto package = std::make_unique<Package>(std::move(image));
    std::vector<SheetInfo> infos;
    for (const auto& sheet : package->sheets())
        infos.push_back(sheet.info);
    m_package = std::move(package);
    m_infos = std::move(infos);
    m_cells.clear();
    m_cells.resize(m_infos.size());
    m_strings.reset();
    m_stringsXml.reset();
    m_dirty = false;
}

const SharedStringTable& XlsxFormat::strings() const
{
    if (!m_strings) {
        const std::string& part = m_package->sharedStringsPart();
        std::optional<std::string> xml;
        if (!part.empty())
            xml = m_package->read(part);
        if (!xml)
            xml = SharedStringTable::emptyPart(m_package->mainNamespace());
        m_strings = SharedStringTable::parse(*xml);
        m_stringsXml = std::move(xml);
    }
    return *m_strings;
}

XlsError XlsxFormat::partMissing(std::size_t sheet) const
{
    return XlsError("The workbook is damaged: the part of the sheet \"" + m_infos[sheet].name +
                        "\" is missing.",
                    XlsError::Kind::Damaged);
}

SheetXml* XlsxFormat::cellsOf(std::size_t sheet, bool forChange) const
{
    if (sheet >= m_infos.size())
        throw XlsError("There is no sheet " + std::to_string(sheet + 1) + " in the workbook.");
    if (m_infos[sheet].kind != SheetKind::Worksheet)
        return nullptr;
    if (m_cells[sheet])
        return m_cells[sheet].get();
    const std::string& part = m_package->sheets()[sheet].part;
    if (forChange) {
        // A sheet about to change keeps its bytes, read once.
        std::optional<std::string> xml;
        if (!part.empty())
            xml = m_package->read(part);
        if (!xml)
            throw partMissing(sheet);
        m_cells[sheet] =
            std::make_unique<SheetXml>(SheetXml::parse(std::move(*xml), m_package->date1904()));
        return m_cells[sheet].get();
    }
    // Read in one pass as it inflates; the bytes come back from the package
    // only for a change.
    const auto entry = part.empty() ? nullptr : m_package->open(part);
    if (!entry)
        throw partMissing(sheet);
    m_cells[sheet] = std::make_unique<SheetXml>(
        SheetXml::read([&](char* into, std::size_t room) { return entry->read(into, room); },
                       m_package->date1904()));
    return m_cells[sheet].get();
}

const SheetXml* XlsxFormat::readableCellsOf(std::size_t sheet) const
{
    SheetXml* cells = cellsOf(sheet);
    if (cells && !cells->stringsBound())
        cells->bindStrings(strings());
    return cells;
}

SheetXml& XlsxFormat::writableCellsOf(std::size_t sheet)
{
    SheetXml* cells = cellsOf(sheet, true);
    if (!cells)
        throw XlsError("The sheet \"" + m_infos[sheet].name +
                       "\" is not a worksheet; it holds no cells to change.");
    if (!cells->holdsXml()) {
        std::optional<std::string> xml = m_package->read(m_package->sheets()[sheet].part);
        if (!xml)
            throw partMissing(sheet);
        cells->restoreXml(std::move(*xml));
    }
    return *cells;
}

CellValue XlsxFormat::cell(std::size_t sheet, int row, int col) const
{
    const SheetXml* cells = readableCellsOf(sheet);
    std::optional<CellValue> value = cells ? cells->find(row, col) : std::nullopt;
    return value ? std::move(*value) : CellValue{};
}

void XlsxFormat::forEachCell(std::size_t sheet,
                             const std::function<void(int row, int col, const CellValue&)>& f) const
{
    if (const SheetXml* cells = readableCellsOf(sheet))
        cells->forEachCell(f);
}

int XlsxFormat::lastRow(std::size_t sheet) const
{
    // Reads the whole sheet, the strings its cells point at included.
    const SheetXml* cells = readableCellsOf(sheet);
    return cells ? cells->lastRow() : 0;
}

void XlsxFormat::checkCanChange(std::size_t sheet, int row, int col)
{
    writableCellsOf(sheet).checkCanChange(row, col);
}

void XlsxFormat::setNumber(std::size_t sheet, int row, int col, double value)
{
    writableCellsOf(sheet).setNumber(row, col, value);
    m_dirty = true;
}

void XlsxFormat::setText(std::size_t sheet, int row, int col, std::string_view utf8)
{
    if (utf8.empty()) {
        setEmpty(sheet, row, col);
        return;
    }
    if (utf16Units(utf8) > kMaxTextUnits)
        throw XlsError("A cell holds at most 32767 characters.");
    SheetXml& cells = writableCellsOf(sheet);
    cells.checkCanChange(row, col);
    // A sheet pointing past the strings is refused before one is added.
    if (!cells.stringsBound())
        cells.bindStrings(strings());
    const std::size_t index = m_strings->indexFor(utf8);
    cells.setSharedString(row, col, index);
    m_dirty = true;
}

void XlsxFormat::setEmpty(std::size_t sheet, int row, int col)
{
    writableCellsOf(sheet).setEmpty(row, col);
    m_dirty = true;
}

Package::Edit XlsxFormat::changes() const
{
    Package::Edit edit;
    for (std::size_t s = 0; s < m_cells.size(); ++s) {
        const SheetXml* cells = m_cells[s].get();
        if (!cells || !cells->changed())
            continue;
        edit.parts[m_package->sheets()[s].part] = cells->serialize();
        // A chain naming a cell that lost its formula makes Excel call the
        // file damaged; without a chain Excel builds a new one.
        edit.dropCalcChain = edit.dropCalcChain || !cells->overwrittenFormulas().empty();
        edit.fullCalcOnLoad = edit.fullCalcOnLoad || cells->holdsFormulas();
    }
    if (m_strings && m_strings->changed())
        edit.sharedStrings = m_strings->serialize(*m_stringsXml);
    return edit;
}

Bytes XlsxFormat::newImage() const
{
    return m_package->write(changes());
}

std::size_t XlsxFormat::addWorksheet(std::string_view utf8Name)
{
    // The package is written with the new sheet and read back, as after a
    // save; the changes so far go with it and the save is still to come.
    Package::Edit edit = changes();
    edit.newWorksheets.emplace_back(utf8Name);
    load(m_package->write(edit));
    m_dirty = true;
    return m_infos.size() - 1;
}

void XlsxFormat::save(const std::function<void(const Bytes& image)>& writeFile)
{
    Bytes image = newImage();
    writeFile(image);
    // The saved image is the base of the next change and save.
    load(std::move(image));
}

std::unique_ptr<WorkbookFormat> openXlsxFormat(Bytes image)
{
    return std::make_unique<XlsxFormat>(std::move(image));
}

} // namespace zelvano::xls
