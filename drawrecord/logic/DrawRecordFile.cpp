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

void DrawRecordFile::append(const DrawEvent& event)
{
    const QByteArray line = recordLine(event, clockTime(m_clock));
    const QByteArray header = recordHeader();
    std::string error;
    if (recordfile::appendLocked(nativePath(m_path), header.toStdString(), line.toStdString(),
                                 error))
        return;
    if (m_warned)
        return;
    m_warned = true;
    m_messages.show(
        QStringLiteral("抽取记录无法写入：\r\n%1\r\n%2\r\n抽取照常进行，本次运行不再提示。")
            .arg(QDir::toNativeSeparators(m_path), QString::fromLocal8Bit(error)),
        QStringLiteral("提醒"), MessageIcon::Exclamation);
}

} // namespace zelvano
