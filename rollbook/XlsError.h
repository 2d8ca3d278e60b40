#pragma once

#include <stdexcept>
#include <string>

namespace zelvano::xls
{

// Every failure of the workbook engine: a damaged or unsupported file, a
// failed save, a cell that cannot be changed. The message is one line a
// person can act on; the kind lets a window say it in its own words.
class XlsError : public std::runtime_error
{
public:
    enum class Kind {
        Other,
        Damaged,          // the file's records do not hold together
        PartOfArray,      // a cell of an array formula or data table
        SharedFormulaCut, // the first cell of a shared formula that cannot be split
        Password,         // the workbook is encrypted with an opening password
    };

    explicit XlsError(const std::string& what, Kind kind = Kind::Other)
        : std::runtime_error(what), m_kind(kind)
    {
    }
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

} // namespace zelvano::xls
