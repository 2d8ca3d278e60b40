#pragma once

#include "draw/DrawSession.h"

#include <QString>

namespace zelvano
{

// How a drawn value is composed on the big label: 0 the value alone,
// 1 the group and the value, 2 the group, the member number and the value.
// In seat mode the value is already "3行4列"; alone it breaks after "行".
QString composeResult(int compositionMode, int group, int member, const QString& value,
                      bool seatMode);

// The line under the group lists: "第 2 组 3 号 ，15".
QString memberLine(int group, int member, const QString& value);

// How the number and seat window shows its members: the value (a seat
// "3-4" as "3行4列") composed as above.
DrawTexts numberDrawTexts(bool seatMode);

} // namespace zelvano
