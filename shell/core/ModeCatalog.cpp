#include "shell/core/ModeCatalog.h"

#include "shell/core/Numbers.h"

#include <QStringList>

namespace zelvano
{

namespace
{

const char* const kCaptions[kModeCount] = {"课堂互动", "摇号码", "摇座位", "定名抽奖", "定奖摇号"};

QStringList descriptionLines(Mode mode)
{
    switch (mode) {
    case Mode::Classroom:
        return {QStringLiteral("用途： 分组， 点名， 计时， 打分。"),
                QStringLiteral("  应用：新班分小组，找搭档，课堂点名，随机互动，"),
                QStringLiteral("        排队面试，评委打分，演讲计时等。"),
                QStringLiteral("  要求：有Excel点名册配合使用，内有号码和姓名。")};
    case Mode::NumberDraw:
        return {QStringLiteral("用途： 分组， 摇号， 计时。"),
                QStringLiteral("应用： 临时分组，找搭档，摇号分房，分车库"),
                QStringLiteral("         排队面试，演讲计时等。"),
                QStringLiteral("要求： 预先发放号码给每个人，无需点名册。")};
    case Mode::SeatDraw:
        return {QStringLiteral("用途： 分组， 摇号， 计时。"),
                QStringLiteral("  应用  新班分组，会场互动，演讲计时等。"),
                QStringLiteral("  要求： 已知座位行列号,无需号码。")};
    case Mode::FixedPerson:
        return {QStringLiteral("用途： 抽奖、抽实物"),
                QStringLiteral("  应用： 摸奖、摇车牌、摇车库等。"),
                QStringLiteral("  要求：  Excel中已登记奖项，奖品，图片、号码、姓名。"),
                QStringLiteral("确定人选，再随机抽得奖项和奖品。")};
    case Mode::FixedPrize:
        return {QStringLiteral("用途： 摇号、抽奖"),
                QStringLiteral("  应用： 会场抽奖， 婚宴抽奖 ，摇号买房，摇号拍卖。"),
                QStringLiteral("  要求： Excel中已登记号码、姓名，奖项，奖品，图片。"),
                QStringLiteral("先选择奖项和奖品，再摇号码或姓名。")};
    }
    return {};
}

} // namespace

QString modeCaption(Mode mode)
{
    const int index = modeIndex(mode);
    return index >= 0 && index < kModeCount ? QString::fromUtf8(kCaptions[index]) : QString();
}

QString modeDescription(Mode mode)
{
    return descriptionLines(mode).join(QStringLiteral("\r\n\r\n\r\n"));
}

Mode modeFromSetting(const QString& storedValue)
{
    const std::int16_t index = toInt16(Val(storedValue));
    return index >= 0 && index < kModeCount ? modeAt(index) : Mode::Classroom;
}

Mode neighbourMode(Mode mode, int step)
{
    return modeAt(((modeIndex(mode) + step) % kModeCount + kModeCount) % kModeCount);
}

} // namespace zelvano
