#pragma once

#include "rollbook/ops/PendingChanges.h"
#include "rollbook/ops/RollBookFile.h"

#include <QString>

#include <vector>

namespace zelvano
{

// What the teacher is told after the file was read again: how many changes
// were written again, and which were kept, counted by reason. `fileName`
// names the roll book as the teacher knows it.
QString reloadReport(int rewritten, const std::vector<KeptChange>& kept,
                     const QString& fileName = QString::fromUtf16(kRollBookName));
// What the teacher is told when the window closes with changes that never
// found their place: each cell and value, to be written by hand.
QString unplacedReport(const std::vector<KeptChange>& kept,
                       const QString& fileName = QString::fromUtf16(kRollBookName));

} // namespace zelvano
