#pragma once

#include <QString>

namespace zelvano
{

// The dialog that asks where to save a file the program makes (a chart's
// picture). The program shows the system's dialog; tests script the path.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The path chosen, starting from `suggested`; empty when cancelled.
    virtual QString chooseSavePath(const QString& title, const QString& suggested,
                                   const QString& filter) = 0;
};

} // namespace zelvano
