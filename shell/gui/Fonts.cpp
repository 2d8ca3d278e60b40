#include "shell/gui/Fonts.h"

#include <QStringList>

namespace zelvano
{

namespace
{

QFont chineseFont(const QStringList& families, qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(families + QStringList{QStringLiteral("Noto Serif CJK SC"),
                                            QStringLiteral("Noto Sans CJK SC"),
                                            QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont songFont(qreal pointSize, bool bold)
{
    return chineseFont({QStringLiteral("宋体"), QStringLiteral("SimSun")}, pointSize, bold);
}

QFont kaiFont(qreal pointSize, bool bold)
{
    return chineseFont(
        {QStringLiteral("楷体"), QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN")},
        pointSize, bold);
}

} // namespace zelvano
