#pragma once

#include "shell/core/DrawLog.h"

#include <QByteArray>
#include <QString>

namespace zelvano
{

class Clock;
class MessageService;

// The draw record "抽取记录.csv" in the data folder, beside the roll book.
// Each event is appended as one line under a lock of the operating system
// and flushed to the disk; the file is never rewritten, so two windows or
// two running programs can share it. A line that cannot be written now
// (another program holds the lock longer than about a second, or the disk
// is full) is kept and written with the next one, or when the program
// ends; each of the two is told once in the run, and the draw goes on.
class DrawRecordFile final : public DrawLog
{
public:
    static constexpr const char* kFileName = "抽取记录.csv";
    // How long an append waits for another program's lock, and how often
    // it looks again meanwhile.
    static constexpr int kLockWaitMs = 1000;
    static constexpr int kLockRetryMs = 50;

    DrawRecordFile(const QString& dataDir, MessageService& messages, Clock& clock);
    ~DrawRecordFile() override;

    void append(const DrawEvent& event) override;
    QString filePath() const override { return m_path; }

private:
    void writePending();
    void tellOnce(bool& told, const QString& text);

    QString m_path;
    MessageService& m_messages;
    Clock& m_clock;
    QByteArray m_pending; // lines not in the file yet, oldest first
    bool m_writing = false;
    bool m_toldFailure = false;
    bool m_toldBusy = false;
};

} // namespace zelvano
