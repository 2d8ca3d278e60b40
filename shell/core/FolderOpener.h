#pragma once

#include <QString>

namespace zelvano
{

// Shows a folder in the desktop's file manager without waiting for it.
class FolderOpener
{
public:
    virtual ~FolderOpener() = default;
    virtual void openFolder(const QString& path) = 0;
};

} // namespace zelvano
