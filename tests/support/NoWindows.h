#pragma once

#include "ModeWindowStub.h"
#include "shell/gui/ModeNavigator.h"

#include <vector>

namespace zelvano::testing
{

// Opens no mode window: the tests look at the window they made themselves.
class NoWindows final : public WindowFactory
{
public:
    QWidget* createModeWindow(Mode) override { return nullptr; }
};

// Opens a stub for each mode with its own return item, and remembers which
// modes were entered.
class StubModeWindows final : public WindowFactory
{
public:
    QWidget* createModeWindow(Mode mode) override
    {
        entered.push_back(modeIndex(mode));
        return new ModeWindowStub(QStringLiteral("mode %1").arg(modeIndex(mode)),
                                  QStringLiteral("设置"), QStringLiteral("返回(&F)"), *navigator);
    }
    std::vector<int> entered;
    ModeNavigator* navigator = nullptr;
};

} // namespace zelvano::testing
