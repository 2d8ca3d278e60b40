#pragma once

#include <QString>

#include <optional>
#include <span>

namespace zelvano
{

// Boolean columns are written in literal form (True/False), all others as
// quoted text.
enum class SettingKind { Text, Boolean };

// The one table of the settings row, in the order of its columns: name,
// kind, what the windows' reset item writes (nullptr: no reset value), and
// the first value of a new database. The first values of columns without a
// reset value are what a new class or hall most likely needs: numbers 1 to
// 48, a hall of 6 rows by 8 seats. Both the typed keys and the columns come
// from it.
#define ZELVANO_SETTING_COLUMNS(X)                                                                 \
    X(Afm, Text, nullptr, "0")                                                                     \
    X(BbjYs, Text, "0", "0")                                                                       \
    X(BzhFs, Text, "2", "2")                                                                       \
    X(Bsx, Text, "0", "0")                                                                         \
    X(BsjDw, Text, "0", "0")                                                                       \
    X(BJsFs, Text, "0", "0")                                                                       \
    X(Bsj, Text, "5", "5")                                                                         \
    X(BCf, Boolean, "False", "False")                                                              \
    X(BGd, Boolean, "True", "True")                                                                \
    X(BTs, Boolean, "True", "True")                                                                \
    X(BBj, Text, "0", "0")                                                                         \
    X(Bpf, Text, "5", "5")                                                                         \
    X(BpfWz, Text, "0", "0")                                                                       \
    X(Czs, Text, nullptr, "1")                                                                     \
    X(CTs, Boolean, nullptr, "True")                                                               \
    X(CMin, Text, nullptr, "1")                                                                    \
    X(CMax, Text, nullptr, "48")                                                                   \
    X(CzhFs, Text, nullptr, "0")                                                                   \
    X(Dhs, Text, nullptr, "6")                                                                     \
    X(Dls, Text, nullptr, "8")                                                                     \
    X(DzhFs, Text, nullptr, "0")                                                                   \
    X(DbjYs, Text, "0", "0")                                                                       \
    X(DmdYn, Text, "0", "0")                                                                       \
    X(DTs, Boolean, "True", "True")

// A column of the settings row, as code names it.
enum class Setting {
#define ZELVANO_SETTING_KEY(name, kind, reset, delivered) name,
    ZELVANO_SETTING_COLUMNS(ZELVANO_SETTING_KEY)
#undef ZELVANO_SETTING_KEY
};

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

// The column of a key.
const SettingColumn& settingColumn(Setting key);

// The column of that exact name (case-sensitive), or nothing.
const SettingColumn* findSettingColumn(const QString& name);

// The value a reset writes into that column; asserts the column has one.
QString resetValue(const char* column);

// Form argument of writeSetting.
enum SettingForm : int { TextForm = 0, LiteralForm = 1 };

} // namespace zelvano
