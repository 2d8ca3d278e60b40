#include "shell/core/SettingsColumns.h"

#include <QtGlobal>

namespace zelvano
{

namespace
{

// The first values of columns without a reset value are what a new class
// or hall most likely needs: numbers 1 to 48, a hall of 6 rows by 8 seats.
constexpr SettingColumn kColumns[] = {
    {"Afm", SettingKind::Text, nullptr, "0"},       {"BbjYs", SettingKind::Text, "0", "0"},
    {"BzhFs", SettingKind::Text, "2", "2"},         {"Bsx", SettingKind::Text, "0", "0"},
    {"BsjDw", SettingKind::Text, "0", "0"},         {"BJsFs", SettingKind::Text, "0", "0"},
    {"Bsj", SettingKind::Text, "5", "5"},           {"BCf", SettingKind::Boolean, "False", "False"},
    {"BGd", SettingKind::Boolean, "True", "True"},  {"BTs", SettingKind::Boolean, "True", "True"},
    {"BBj", SettingKind::Text, "0", "0"},           {"Bpf", SettingKind::Text, "5", "5"},
    {"BpfWz", SettingKind::Text, "0", "0"},         {"Czs", SettingKind::Text, nullptr, "1"},
    {"CTs", SettingKind::Boolean, nullptr, "True"}, {"CMin", SettingKind::Text, nullptr, "1"},
    {"CMax", SettingKind::Text, nullptr, "48"},     {"CzhFs", SettingKind::Text, nullptr, "0"},
    {"Dhs", SettingKind::Text, nullptr, "6"},       {"Dls", SettingKind::Text, nullptr, "8"},
    {"DzhFs", SettingKind::Text, nullptr, "0"},     {"DbjYs", SettingKind::Text, "0", "0"},
    {"DmdYn", SettingKind::Text, "0", "0"},         {"DTs", SettingKind::Boolean, "True", "True"},
};

} // namespace

std::span<const SettingColumn> settingColumns()
{
    return kColumns;
}

const SettingColumn* findSettingColumn(const QString& name)
{
    for (const auto& column : kColumns) {
        if (name == QLatin1String(column.name))
            return &column;
    }
    return nullptr;
}

QString resetValue(const char* column)
{
    const SettingColumn* found = findSettingColumn(QLatin1String(column));
    Q_ASSERT(found && found->resetValue);
    return found && found->resetValue ? QString::fromLatin1(found->resetValue) : QString();
}

} // namespace zelvano
