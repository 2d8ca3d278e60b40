#pragma once

#include "shell/core/DrawLog.h"

#include <QString>

namespace zelvano
{

class Clock;
class MessageService;

// The draw record "抽取记录.csv" in the data folder, beside the roll book.
// Each event is appended as one line under a lock of the operating system
// and flushed to the disk; the file is never rewritten, so two windows or
// two running programs can share it. A record that cannot be written is
// reported once in the run (the first failure) and the draw goes on.
class DrawRecordFile final : public DrawLog
{
public:
    static constexpr const char* kFileName = "抽取记录.csv";

    DrawRecordFile(const QString& dataDir, MessageService& messages, Clock& clock);

    void append(const DrawEvent& event) override;
    QString filePath() const override { return m_path; }

private:
    QString m_path;
    MessageService& m_messages;
    Clock& m_clock;
    bool m_warned = false;
};

} // namespace zelvano
