#include "shell/core/SettingsColumns.h"

#include <QtGlobal>

namespace zelvano
{

namespace
{

constexpr SettingColumn kColumns[] = {
#define ZELVANO_SETTING_ROW(name, kind, reset, delivered)                                          \
    {#name, SettingKind::kind, reset, delivered},
    ZELVANO_SETTING_COLUMNS(ZELVANO_SETTING_ROW)
#undef ZELVANO_SETTING_ROW
};

} // namespace

std::span<const SettingColumn> settingColumns()
{
    return kColumns;
}

const SettingColumn& settingColumn(Setting key)
{
    return kColumns[static_cast<std::size_t>(key)];
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
