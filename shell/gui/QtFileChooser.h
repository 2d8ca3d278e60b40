#pragma once

#include "shell/core/FileChooser.h"

namespace zelvano
{

class QtFileChooser final : public FileChooser
{
public:
    QString chooseSavePath(const QString& title, const QString& suggested,
                           const QString& filter) override;
};

} // namespace zelvano
