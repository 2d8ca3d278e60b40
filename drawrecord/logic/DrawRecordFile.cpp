#include "drawrecord/logic/DrawRecordFile.h"

#include "drawrecord/logic/RecordFile.h"
#include "drawrecord/logic/RecordLines.h"
#include "shell/core/Clock.h"
#include "shell/core/MessageService.h"

#include <QDir>
#include <QTime>

#include <cmath>
#include <filesystem>

namespace zelvano
{

namespace
{

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

QDateTime clockTime(const Clock& clock)
{
    const auto ms = static_cast<int>(std::floor(clock.secondsSinceMidnight() * 1000.0));
    return QDateTime(clock.today(), QTime::fromMSecsSinceStartOfDay(ms));
}

} // namespace

DrawRecordFile::DrawRecordFile(const QString& dataDir, MessageService& messages, Clock& clock)
    : m_path(QDir(dataDir).filePath(QString::fromUtf8(kFileName))), m_messages(messages),
      m_clock(clock)
{
}

DrawRecordFile::~DrawRecordFile()
{
    // The lines still kept get one more try as the program ends, without a
    // message that speaks of a next draw.
    m_toldBusy = m_toldFailure = true;
    if (!m_pending.isEmpty())
        writePending();
}

void DrawRecordFile::append(const DrawEvent& event)
{
    m_pending += recordLine(event, clockTime(m_clock));
    // A draw that ends while an earlier append waits for the lock (the
    // windows keep running meanwhile) only adds its line to the kept ones.
    if (!m_writing)
        writePending();
}

void DrawRecordFile::writePending()
{
    m_writing = true;
    const std::int64_t giveUpAt = m_clock.monotonicMs() + kLockWaitMs;
    const auto mayWait = [&] {
        if (m_clock.monotonicMs() >= giveUpAt)
            return false;
        m_clock.wait(kLockRetryMs);
        return true;
    };
    const QByteArray lines = m_pending;
    std::string error;
    const recordfile::Appended result = recordfile::appendLocked(
        nativePath(m_path), recordHeader().toStdString(), lines.toStdString(), mayWait, error);
    m_writing = false;
    const QString where = QDir::toNativeSeparators(m_path);
    switch (result) {
    case recordfile::Appended::Written:
        m_pending.remove(0, lines.size());
        return;
    case recordfile::Appended::Busy:
        tellOnce(m_toldBusy,
                 QStringLiteral("抽取记录正被另一个程序占用：\r\n%1\r\n"
                                "这次的记录先保留，下次抽取时一并写入；本次运行不再提示。")
                     .arg(where));
        return;
    case recordfile::Appended::Failed:
        tellOnce(
            m_toldFailure,
            QStringLiteral("抽取记录无法写入：\r\n%1\r\n%2\r\n"
                           "这次的记录先保留，下次抽取时再试；抽取照常进行，本次运行不再提示。")
                .arg(where, QString::fromLocal8Bit(error)));
        return;
    }
}

void DrawRecordFile::tellOnce(bool& told, const QString& text)
{
    if (told)
        return;
    told = true;
    m_messages.show(text, QStringLiteral("提醒"), MessageIcon::Exclamation);
}

} // namespace zelvano
