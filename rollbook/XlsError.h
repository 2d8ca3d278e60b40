#pragma once

#include <stdexcept>
#include <string>

namespace zelvano::xls
{

// Every failure of the workbook engine: a damaged or unsupported file, a
// failed save. The message is one line a person can act on.
class XlsError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace zelvano::xls
