#include "shell/core/OncePerInputMessages.h"

#include "Fakes.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace zelvano;
using namespace zelvano::testing;

TEST(OncePerInputMessages, SameTextTwiceInOneInput_IsToldOnce_AndAgainAtTheNextInput)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    ScriptedMessages shown;
    OncePerInputMessages messages(shown);

    messages.show("组数不对", "Zelvano", MessageIcon::None);
    messages.show("组数不对", "Zelvano", MessageIcon::None); // the same entry checked again
    messages.show("人数不对", "Zelvano", MessageIcon::None);
    EXPECT_EQ(shown.texts(), QStringList({"组数不对", "人数不对"}));

    QCoreApplication::processEvents(); // the next input
    messages.show("人数不对", "Zelvano", MessageIcon::None);
    EXPECT_EQ(shown.texts().size(), 3);
}
