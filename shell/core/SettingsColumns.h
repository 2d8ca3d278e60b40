#pragma once

#include <QString>

#include <optional>
#include <span>

namespace zelvano
{

// Boolean columns are written in literal form (True/False), all others as
// quoted text.
enum class SettingKind { Text, Boolean };

// One column of the single settings row: its name, how it is stored, what
// the windows' reset item writes into it, and what the delivered database
// holds in it.
struct SettingColumn {
    const char* name;
    SettingKind kind;
    const char* resetValue;     // nullptr: no reset value
    const char* deliveredValue; // the first value in a new database
};

// Every column, in the order of the table.
std::span<const SettingColumn> settingColumns();

// The column of that exact name (case-sensitive), or nothing.
const SettingColumn* findSettingColumn(const QString& name);

// The value a reset writes into that column; asserts the column has one.
QString resetValue(const char* column);

// Form argument of writeSetting.
enum SettingForm : int { TextForm = 0, LiteralForm = 1 };

} // namespace zelvano
