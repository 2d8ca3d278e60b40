#pragma once

#include <QString>

namespace zelvano
{

// What the data-folder rule asks of the system: where the program runs
// from, where the teacher's documents are, the environment, and whether a
// folder takes new files. Tests answer with folders of their own.
class FolderPlatform
{
public:
    virtual ~FolderPlatform() = default;
    virtual QString executableDir() const = 0;
    // The teacher's documents folder, localized (~/Documents, ~/文档 …).
    virtual QString documentsDir() const = 0;
    virtual QString environment(const char* name) const = 0;
    virtual bool isWritable(const QString& dir) const = 0;
};

// The real answers: Qt's view of the executable, the standard locations,
// the process environment and the file system.
class SystemFolderPlatform final : public FolderPlatform
{
public:
    QString executableDir() const override;
    QString documentsDir() const override;
    QString environment(const char* name) const override;
    bool isWritable(const QString& dir) const override;
};

} // namespace zelvano
