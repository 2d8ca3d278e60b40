#include "presentation/DisplayRules.h"

#include "shell/core/Numbers.h"

#include <algorithm>
#include <cmath>

namespace zelvano
{

const std::array<ColourPreset, kPresetCount>& colourPresets()
{
    static constexpr auto rgb = [](int r, int g, int b) { return r + 256 * g + 65536 * b; };
    static const std::array<ColourPreset, kPresetCount> presets{{
        {rgb(128, 0, 0), rgb(255, 255, 128)},   // 红
        {rgb(255, 255, 128), rgb(128, 0, 0)},   // 黄
        {rgb(0, 0, 128), rgb(255, 255, 255)},   // 蓝
        {rgb(255, 255, 255), rgb(0, 0, 0)},     // 白
        {rgb(255, 0, 255), rgb(255, 255, 255)}, // 紫
        {rgb(224, 224, 224), rgb(0, 0, 0)},     // 灰
    }};
    return presets;
}

ColourSetting parseColourSetting(QStringView text)
{
    ColourSetting setting;
    if (text.isEmpty())
        return setting;
    const std::int16_t index = toInt16(Val(text.first(1)));
    if (index < 0 || index >= kColourItemCount)
        return setting;
    // A free colour without its number falls back to the first preset
    // rather than painting the display black.
    if ((index == kBackgroundItem || index == kTextColourItem) && !isNumeric(text.sliced(1)))
        return setting;
    setting.index = index;
    if (index == kBackgroundItem || index == kTextColourItem) {
        const double colour = std::clamp(Val(text.sliced(1)), 0.0, double(0xFFFFFF));
        setting.colour = static_cast<int>(std::nearbyint(colour));
    }
    return setting;
}

QString colourSettingText(int index, int background, int text)
{
    QString out = QString::number(index);
    if (index == kBackgroundItem)
        out += QString::number(background);
    else if (index == kTextColourItem)
        out += QString::number(text);
    return out;
}

namespace
{

// Relative luminance of a Windows colour, as the contrast rules define it.
double luminance(int colour)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel((colour >> 8) & 0xFF) +
           0.0722 * channel((colour >> 16) & 0xFF);
}

double contrast(int a, int b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

int readableTextColour(int background, int text)
{
    constexpr int kWhite = 0xFFFFFF;
    constexpr int kBlack = 0;
    if (contrast(background, text) >= 3)
        return text;
    return contrast(background, kWhite) >= contrast(background, kBlack) ? kWhite : kBlack;
}

// Sizes are whole points, so the steps are done in exact integer arithmetic:
// size x 1.2 = 6 x size / 5 and size / 1.2 = 5 x size / 6. Doubles would put
// 1.2 a hair below its value and could turn an exact 18 into 17.

int enlargedLabelSize(int points)
{
    if (points <= 0)
        return points;
    return std::max(points, std::min(kLargestFontPoints, points * 6 / 5));
}

int enlargedTimeDisplaySize(int points)
{
    if (points <= 0)
        return points;
    const int whole = points * 6 / 5;
    const int remainder = points * 6 % 5; // fifths; a half never occurs
    const int rounded = remainder * 2 > 5 ? whole + 1 : whole;
    return std::max(points, std::min(kLargestFontPoints, rounded));
}

int shrunkSize(int points)
{
    const int shrunk = points * 5 / 6;
    return shrunk >= kSmallestShrunkPoints ? shrunk : points;
}

} // namespace zelvano
