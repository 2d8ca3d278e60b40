#pragma once

// Scripted stand-ins for the seams: tests decide the answers and read what
// the program would have shown, played or ended.

#include "shell/core/AppServices.h"
#include "shell/core/Clock.h"
#include "shell/core/ColourPicker.h"
#include "shell/core/FileChooser.h"
#include "shell/core/MessageService.h"
#include "shell/core/ProcessControl.h"
#include "shell/core/ProgramEnd.h"
#include "shell/core/RandomSource.h"
#include "shell/core/SoundPlayer.h"

#include <QStringList>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelvano::testing
{

struct ShownMessage {
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
};

class ScriptedMessages final : public MessageService
{
public:
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override
    {
        shown.push_back({text, title, icon, buttons});
        if (onShow)
            onShow();
        if (answers.empty())
            return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                       ? MessageAnswer::No
                       : MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto& m : shown)
            out << m.text;
        return out;
    }

    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers;
    // Runs while a message is "up", as a real box's side effects would.
    std::function<void()> onShow;
};

class ScriptedColours final : public ColourPicker
{
public:
    std::optional<int> pickColour(int initialColour) override
    {
        asked.push_back(initialColour);
        if (answers.empty())
            return std::nullopt;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<int> asked;
    std::deque<std::optional<int>> answers;
};

// Answers the save dialog with `answer` (empty: cancelled), keeping what it was asked.
class ScriptedFiles final : public FileChooser
{
public:
    QString chooseSavePath(const QString& title, const QString& suggested, const QString&) override
    {
        asked << title + QLatin1Char('|') + suggested;
        return answer;
    }
    QStringList asked;
    QString answer;
};

class RecordingProgramEnd final : public ProgramEnd
{
public:
    void endProgram() override { ++calls; }
    int calls = 0;
};

class FakeClock final : public Clock
{
public:
    std::int64_t monotonicMs() const override { return nowMs; }
    double secondsSinceMidnight() const override { return secondsOfDay; }
    QDate today() const override { return date; }
    void wait(int ms) override
    {
        waits.push_back(ms);
        nowMs += ms;
        if (onWait)
            onWait(ms); // lets a real second process move on meanwhile
    }

    std::int64_t nowMs = 1'000'000;
    double secondsOfDay = 36000.0;
    QDate date = QDate(2026, 3, 5);
    std::vector<int> waits;
    std::function<void(int)> onWait;
};

// Answers picks from a script; with the script exhausted, always 1.
class ScriptedRandom final : public RandomSource
{
public:
    int pick(int count) override
    {
        counts.push_back(count);
        if (picks.empty())
            return 1;
        const int value = picks.front();
        picks.pop_front();
        if (value < 1 || value > count)
            throw std::logic_error("scripted pick outside 1..count");
        return value;
    }
    void reseed() override { ++reseeds; }

    std::deque<int> picks;
    std::vector<int> counts;
    int reseeds = 0;
};

class RecordingSound final : public SoundPlayer
{
public:
    void playSound(const QString& relativePath) override { played << relativePath; }
    QStringList played;
};

// Holders as a test scripts them; a holder asked to close ends at once,
// unless it is told to stay.
class RecordingProcesses final : public ProcessControl
{
public:
    std::vector<FileHolder> processesHoldingFile(const std::string&) override { return holders; }
    bool askToClose(std::int64_t pid) override
    {
        askedToClose.push_back(pid);
        if (!staysWhenAsked)
            std::erase_if(holders, [pid](const FileHolder& h) { return h.pid == pid; });
        return true;
    }
    bool isRunning(std::int64_t pid) override
    {
        return std::any_of(holders.begin(), holders.end(),
                           [pid](const FileHolder& h) { return h.pid == pid; });
    }
    std::vector<FileHolder> holders;
    std::vector<std::int64_t> askedToClose;
    bool staysWhenAsked = false;
};

} // namespace zelvano::testing
