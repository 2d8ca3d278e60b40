#include "rollbook/biff/BiffFormat.h"

#include "rollbook/XlsError.h"
#include "rollbook/biff/BiffWorkbook.h"

#include <utility>

namespace zelvano::xls
{

namespace
{

constexpr const char* kStreamName = "Workbook";
// Excel writes the workbook stream in regular sectors, at least 4096 bytes,
// and not every reader looks for it in the mini stream: a short stream is
// padded with zeros after its last record, as xlwt does.
constexpr std::size_t kMiniStreamCutoff = 4096;

std::uint16_t row0(int row)
{
    return static_cast<std::uint16_t>(row - 1);
}

std::uint16_t col0(int col)
{
    return static_cast<std::uint16_t>(col - 1);
}

// The compound file and the BIFF8 stream inside it. The container holds an
// empty stream in place of the workbook while the engine owns the bytes, so
// a big roll book is never held twice.
class BiffFormat final : public WorkbookFormat
{
public:
    BiffFormat(CompoundFile cfb, BiffWorkbook biff) : m_cfb(std::move(cfb)), m_biff(std::move(biff))
    {
    }

    int maxRow() const override { return 65536; }
    int maxColumn() const override { return 256; }
    const std::vector<SheetInfo>& sheets() const override { return m_biff.sheets(); }

    CellValue cell(std::size_t sheet, int row, int col) const override
    {
        return readable().cell(sheet, row0(row), col0(col));
    }

    void forEachCell(std::size_t sheet,
                     const std::function<void(int, int, const CellValue&)>& f) const override
    {
        readable().forEachCell(sheet, f, 1);
    }

    int lastRow(std::size_t sheet) const override { return readable().lastRow(sheet) + 1; }

    void checkCanChange(std::size_t sheet, int row, int col) override
    {
        readable().checkCanChange(sheet, row0(row), col0(col));
    }
    void setNumber(std::size_t sheet, int row, int col, double value) override
    {
        readable().setNumber(sheet, row0(row), col0(col), value);
    }
    void setText(std::size_t sheet, int row, int col, std::string_view utf8) override
    {
        readable().setText(sheet, row0(row), col0(col), utf8);
    }
    void setEmpty(std::size_t sheet, int row, int col) override
    {
        readable().setEmpty(sheet, row0(row), col0(col));
    }

    std::size_t addWorksheet(std::string_view utf8Name) override
    {
        // Read back at once: the engine goes on from the stream that holds
        // the new sheet, as after a save, and the save is still to come.
        BiffWorkbook grown = BiffWorkbook::parse(m_biff.serializeWithWorksheet(utf8Name));
        m_biff = std::move(grown);
        m_savePending = true;
        return m_biff.sheets().size() - 1;
    }

    bool isDirty() const override { return m_savePending || m_biff.changed(); }

    void save(const std::function<void(const Bytes& image)>& writeFile) override;

private:
    const BiffWorkbook& readable() const { return m_biff; }
    BiffWorkbook& readable() { return m_biff; }
    Bytes buildImage();
    void takeStreamBack();

    CompoundFile m_cfb;
    BiffWorkbook m_biff;
    bool m_savePending = false; // changes held in m_biff's stream, not yet on disk
};

// The file image with the changes; the engine's stream is lent to the
// container for the time it takes, so the engine, the container and the
// image never hold the file three times over.
Bytes BiffFormat::buildImage()
{
    Bytes stream = m_biff.lendStream();
    if (stream.size() < kMiniStreamCutoff)
        stream.resize(kMiniStreamCutoff, 0);
    m_cfb.replaceRootStream(kStreamName, std::move(stream));
    Bytes image;
    try {
        image = m_cfb.serialize();
    } catch (...) {
        takeStreamBack();
        throw;
    }
    takeStreamBack();
    return image;
}

void BiffFormat::takeStreamBack()
{
    m_biff.returnStream(std::move(*m_cfb.takeRootStream(kStreamName)));
}

void BiffFormat::save(const std::function<void(const Bytes& image)>& writeFile)
{
    if (!isDirty())
        return;
    if (m_biff.changed()) {
        // Parsed back before anything reaches the disk: a stream we cannot
        // read is never saved. From here the new stream holds the changes,
        // so a failed write below keeps them for the next attempt. Changes
        // made after a failed write join those already in the stream.
        BiffWorkbook saved = BiffWorkbook::parse(m_biff.serialize());
        m_biff = std::move(saved);
        m_savePending = true;
    }
    // The engine reads on from the stream it wrote, which the image holds
    // as it is: nothing is parsed again.
    writeFile(buildImage());
    m_savePending = false;
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

std::unique_ptr<WorkbookFormat> openBiffFormat(CompoundFile cfb)
{
    // The engine takes the stream over, without a copy; the container gets
    // it back when saving.
    std::optional<Bytes> stream = cfb.takeRootStream(kStreamName);
    if (!stream)
        readWorkbookStream(cfb); // says why there is none
    BiffWorkbook biff = BiffWorkbook::parse(std::move(*stream));
    return std::make_unique<BiffFormat>(std::move(cfb), std::move(biff));
}

std::unique_ptr<WorkbookFormat> openBiffFormat(Bytes image)
{
    return openBiffFormat(CompoundFile::parse(image));
}

} // namespace zelvano::xls
