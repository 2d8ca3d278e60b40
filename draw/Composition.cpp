#include "draw/Composition.h"

namespace zelvano
{

QString composeResult(int compositionMode, int group, int member, const QString& value,
                      bool seatMode)
{
    switch (compositionMode) {
    case 1:
        return QStringLiteral("%1组 \r\n%2").arg(group).arg(value);
    case 2:
        return QStringLiteral("%1组%2号\r\n%3").arg(group).arg(member).arg(value);
    default: {
        if (!seatMode)
            return value;
        QString broken = value;
        broken.replace(QStringLiteral("行"), QStringLiteral("行\r\n"));
        return broken;
    }
    }
}

QString memberLine(int group, int member, const QString& value)
{
    return QStringLiteral("第 %1 组 %2 号 ，%3").arg(group).arg(member).arg(value);
}

} // namespace zelvano
