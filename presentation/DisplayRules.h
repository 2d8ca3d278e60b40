#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace zelvano
{

// The colour schemes and text sizes of the projected display, free of
// widgets. Colours are Windows colour integers (red + 256 x green +
// 65536 x blue), the form the colour setting stores.

inline constexpr int kColourItemCount = 8; // 红 黄 蓝 白 紫 灰 背景 文字
inline constexpr int kPresetCount = 6;
inline constexpr int kBackgroundItem = 6;
inline constexpr int kTextColourItem = 7;

struct ColourPreset {
    int background;
    int text;
};

// The six fixed schemes, indexed like the colour items 0..5.
const std::array<ColourPreset, kPresetCount>& colourPresets();

// The colour setting as read at load: the item index and, for the two free
// colours (6 background, 7 text), the stored colour.
struct ColourSetting {
    std::int16_t index = 0;
    int colour = 0; // only meaningful for indexes 6 and 7
};

// The first character read with Val gives the index; anything outside 0..7
// ("8", "9") and a text without a leading digit (empty, "x") give 0, the
// first preset, since those indexes have no colour item. For 6 and 7 the rest
// of the text is the colour, read with Val and kept inside 0..0xFFFFFF.
ColourSetting parseColourSetting(QStringView text);

// The setting written at close: the index, followed for 6 by the background
// and for 7 by the text colour, in decimal ("2", "6255", "716777215").
QString colourSettingText(int index, int background, int text);

// A text colour that reads on `background`: `text` itself when it stands out
// enough for large type (a contrast ratio of at least 3), otherwise white
// or black, whichever stands out more.
int readableTextColour(int background, int text);

// Text size steps of the big labels.
//
// Sizes stop at kLargestFontPoints: glyphs this large already fill a 4K
// projector, and far beyond it the font engine's glyph cache gives up and
// draws nothing, so unbounded enlarging would only blank the display.
// A label the window already made larger (its layout may) is never made
// smaller by enlarging.
inline constexpr int kLargestFontPoints = 600;
// Shrinking never goes below this size (a step giving 12 or less is skipped).
inline constexpr int kSmallestShrunkPoints = 13;

// The result label: integer part of size x 1.2.
int enlargedLabelSize(int points);
// The time display: size x 1.2 rounded half to even.
int enlargedTimeDisplaySize(int points);
// Both labels: integer part of size / 1.2, taken only when it is 13 or more;
// otherwise the size stays.
int shrunkSize(int points);

} // namespace zelvano
