#pragma once

#include "rollbook/ops/CellAnchor.h"

#include <QString>

#include <variant>

namespace zelvano
{

// A number, or a text (an empty text empties the cell).
using CellContent = std::variant<double, QString>;

// One cell a window writes into the current worksheet, with what it stands for.
struct CellWrite {
    int row = 0;
    int column = 0;
    CellContent value;
    CellAnchor anchor;
};

} // namespace zelvano
