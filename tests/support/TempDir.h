#pragma once

#include <QTemporaryDir>

namespace zelvano::testing
{

// A scratch folder removed when the test ends.
struct TempDir {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
};

} // namespace zelvano::testing
