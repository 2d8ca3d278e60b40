#pragma once

#include "shell/core/ColourPicker.h"

namespace zelvano
{

class QtColourPicker final : public ColourPicker
{
public:
    std::optional<int> pickColour(int initialColour) override;
};

} // namespace zelvano
