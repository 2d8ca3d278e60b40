#include "shell/gui/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace zelvano
{

QString QtFileChooser::chooseSavePath(const QString& title, const QString& suggested,
                                      const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested, filter);
}

} // namespace zelvano
