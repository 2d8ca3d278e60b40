#include "draw/Composition.h"

#include "draw/ValueLists.h"

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

DrawTexts numberDrawTexts(bool seatMode)
{
    auto shown = [seatMode](const QString& key) { return seatMode ? seatCaption(key) : key; };
    DrawTexts texts;
    texts.result = [seatMode, shown](int composition, int group, int member, const QString& key) {
        return composeResult(composition, group, member, shown(key), seatMode);
    };
    texts.line = [shown](int group, int member, const QString& key) {
        return memberLine(group, member, shown(key));
    };
    return texts;
}

} // namespace zelvano
