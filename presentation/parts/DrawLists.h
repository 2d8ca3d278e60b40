#pragma once

#include "draw/DrawSession.h"

class QLabel;
class QListWidget;

namespace zelvano
{

// The group panel's lists as every draw window shows its DrawSession: the
// group numbers, the members of the selected group, the summary line under
// them and the selection. Shared so the windows render one way.
struct DrawLists {
    QListWidget* groups = nullptr;  // List2
    QListWidget* members = nullptr; // List1
    QLabel* summary = nullptr;      // LabXx
};

// Writes what `change` says changed from `view`. Filling and selecting here
// is no input: the lists' handlers are not raised.
void showDrawLists(const DrawLists& lists, const DrawView& view, const DrawChange& change);

} // namespace zelvano
