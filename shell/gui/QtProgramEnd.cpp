#include "shell/gui/QtProgramEnd.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace zelvano
{

void QtProgramEnd::endProgram()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

} // namespace zelvano
