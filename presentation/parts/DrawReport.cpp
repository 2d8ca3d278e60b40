#include "presentation/parts/DrawReport.h"

#include "drawrecord/DrawRecordWindow.h"
#include "shell/core/AppServices.h"
#include "shell/core/Preferences.h"
#include "shell/core/Voice.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>

namespace zelvano
{

DrawReport::DrawReport(AppServices& services, QString windowName, QWidget* window)
    : QObject(window), m_services(services), m_windowName(std::move(windowName)), m_window(window)
{
    m_voiceOn = readPreference(m_services.dataDir, QLatin1String(kVoiceKey), false).toBool();
}

QAction* DrawReport::addRecordItem(QMenu* menu)
{
    QAction* item = menu->addAction(QStringLiteral("抽取记录"));
    item->setObjectName(QStringLiteral("MnRecord"));
    connect(item, &QAction::triggered, this, [this] {
        if (m_services.drawLog)
            DrawRecordWindow::showFor(m_services, m_window);
    });
    return item;
}

QAction* DrawReport::addVoiceItem(QMenu* menu)
{
    m_voiceItem = menu->addAction(QStringLiteral("语音播报"));
    m_voiceItem->setObjectName(QStringLiteral("MnVoice"));
    m_voiceItem->setCheckable(true);
    menu->setToolTipsVisible(true);
    // The engine starts in the background only when it may be wanted: the
    // announcement is on, or the teacher looks at the item.
    if (m_voiceOn && m_services.voice)
        m_services.voice->prepare();
    showVoiceItem();
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (m_services.voice)
            m_services.voice->prepare();
        showVoiceItem();
    });
    connect(m_voiceItem, &QAction::triggered, this, &DrawReport::toggleVoice);
    return m_voiceItem;
}

// Greyed, with the reason, once it is known that nothing can speak.
void DrawReport::showVoiceItem()
{
    const bool available = m_services.voice && m_services.voice->available();
    m_voiceItem->setChecked(available && m_voiceOn);
    m_voiceItem->setEnabled(available);
    m_voiceItem->setToolTip(available          ? QString()
                            : m_services.voice ? m_services.voice->unavailableReason()
                                               : QStringLiteral("没有可用的语音引擎"));
}

void DrawReport::toggleVoice()
{
    m_voiceOn = !m_voiceOn;
    m_voiceItem->setChecked(m_voiceOn);
    if (!m_voiceOn && m_services.voice)
        m_services.voice->stop();
    writePreference(m_services.dataDir, QLatin1String(kVoiceKey), m_voiceOn);
}

void DrawReport::cutOff()
{
    if (m_voiceOn && m_services.voice)
        m_services.voice->stop();
}

void DrawReport::drawStarts(int poolSize)
{
    cutOff();
    m_poolBefore = poolSize;
}

void DrawReport::record(DrawEventKind kind, const QString& subject, const QString& result,
                        int poolBefore)
{
    if (m_services.drawLog)
        m_services.drawLog->append({kind, m_windowName, subject, poolBefore, result});
}

void DrawReport::drawFinished(const QString& subject, const QString& shownResult,
                              const QString& spoken)
{
    record(DrawEventKind::Draw, subject, shownResult, m_poolBefore);
    m_poolBefore = -1;
    // A line break of the display is a pause in speech.
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    const QString text = spoken.trimmed().replace(breaks, QStringLiteral("，"));
    if (m_voiceOn && m_services.voice && m_services.voice->available() && !text.isEmpty())
        m_services.voice->say(text);
}

} // namespace zelvano
