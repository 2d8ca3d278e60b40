#pragma once

#include "shell/gui/ModeNavigator.h"

namespace zelvano::testing
{

// Opens no mode window: the tests look at the window they made themselves.
class NoWindows final : public WindowFactory
{
public:
    QWidget* createModeWindow(std::int16_t) override { return nullptr; }
};

} // namespace zelvano::testing
