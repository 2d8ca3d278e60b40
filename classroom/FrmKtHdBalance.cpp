// 均衡点名 (calls weighted by the record of the last lessons) and the window
// 点名统计 over the same record.
#include "classroom/CallStatsWindow.h"
#include "classroom/FrmKtHd.h"
#include "shell/core/AppServices.h"
#include "shell/core/DrawLog.h"
#include "shell/core/ModeCatalog.h"
#include "shell/core/Preferences.h"

#include <QAction>
#include <QFile>

namespace zelvano
{

namespace
{

QString balanceKey(const QString& className)
{
    return QStringLiteral("balance/class_") + className;
}

const QString kLessonsKey = QStringLiteral("balance/lessons");

} // namespace

void FrmKtHd::restoreBalance()
{
    const bool on =
        readPreference(m_services.dataDir, balanceKey(m_session.className()), false).toBool();
    const int lessons = readPreference(m_services.dataDir, kLessonsKey, kBalanceLessons).toInt();
    m_session.setBalance(on, lessons);
    m_mnJh->setChecked(on);
    readDrawRecord();
}

void FrmKtHd::readDrawRecord()
{
    QByteArray bytes;
    if (m_services.drawLog && !m_services.drawLog->filePath().isEmpty()) {
        QFile file(m_services.drawLog->filePath());
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    }
    m_session.takeRecord(bytes, modeCaption(Mode::Classroom));
}

void FrmKtHd::MnJh_Click()
{
    // The item flips its own mark; a class not read yet keeps it off.
    const bool on = m_mnJh->isChecked() && m_session.classKnown();
    m_mnJh->setChecked(on);
    m_session.setBalance(on, m_session.balanceLessons());
    if (m_session.classKnown())
        writePreference(m_services.dataDir, balanceKey(m_session.className()), on);
    readDrawRecord();
    refreshCallStats();
}

CallStats FrmKtHd::callStats()
{
    readDrawRecord();
    CallStats stats;
    stats.className = m_session.className();
    stats.persons = m_session.roster();
    stats.lessons = m_session.lessons();
    stats.balanced = m_session.balanced();
    stats.balanceLessons = m_session.balanceLessons();
    if (stats.balanced) {
        for (int position = 1; position <= static_cast<int>(stats.persons.size()); ++position)
            stats.chances.push_back(m_session.chanceOf(position));
    }
    return stats;
}

void FrmKtHd::MnTj_Click()
{
    CallStatsWindow::showFor(
        m_services, this, [this] { return callStats(); },
        [this](int lessons) {
            writePreference(m_services.dataDir, kLessonsKey, lessons);
            m_session.setBalance(m_session.balanced(), lessons);
        });
}

void FrmKtHd::refreshCallStats()
{
    if (auto* stats = findChild<CallStatsWindow*>(QString(), Qt::FindDirectChildrenOnly))
        stats->fill();
}

} // namespace zelvano
