#pragma once

#include "shell/core/DrawLog.h"
#include "shell/core/Preferences.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace zelvano
{

struct AppServices;

// What happens to a draw once it has come to rest, beyond the display: a
// line in the draw record and, when the teacher turned it on, the result
// read aloud. Each draw window holds one and adds its two menu items.
// "语音播报" is kept in the program's own settings file (zelvano.ini in the
// data folder), apart from the settings database.
class DrawReport : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kSettingsFile = kPreferencesFile;
    static constexpr const char* kVoiceKey = "voice/announceResults";

    // `windowName` is how the record names the window and its mode.
    DrawReport(AppServices& services, QString windowName, QWidget* window);

    // "抽取记录": today's lines of the record, newest first.
    QAction* addRecordItem(QMenu* menu);
    // "语音播报" (checkable), greyed with the reason when nothing can speak.
    QAction* addVoiceItem(QMenu* menu);

    // A draw input arrived: whatever is still being read aloud stops.
    void cutOff();
    // A draw starts from a pool of `poolSize` entries.
    void drawStarts(int poolSize);
    // The draw came to rest on `shownResult` (as the display shows it) for
    // `subject` (the class or prize); `spoken` is what is read aloud.
    void drawFinished(const QString& subject, const QString& shownResult, const QString& spoken);
    // A line of the draw record under this window's name: a draw, a voided
    // award or a score taken back.
    void record(DrawEventKind kind, const QString& subject, const QString& result,
                int poolBefore = -1);

    bool voiceOn() const { return m_voiceOn; }

private:
    void toggleVoice();
    void showVoiceItem();

    AppServices& m_services;
    QString m_windowName;
    QWidget* m_window;
    QAction* m_voiceItem = nullptr;
    bool m_voiceOn = false;
    int m_poolBefore = -1;
};

} // namespace zelvano
