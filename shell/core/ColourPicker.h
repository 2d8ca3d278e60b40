#pragma once

#include <optional>

namespace zelvano
{

// The colour dialog. Colours are Windows colour integers,
// red + 256 x green + 65536 x blue, as stored in the settings.
class ColourPicker
{
public:
    virtual ~ColourPicker() = default;
    // The chosen colour, or nothing when the person cancels.
    virtual std::optional<int> pickColour(int initialColour) = 0;
};

} // namespace zelvano
