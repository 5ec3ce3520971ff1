#pragma once
#include <QString>

namespace nbk::data::backup {

// A new file beside a target name, mode 0600, removed when the object goes unless it was
// published under the target name.
class PendingFile {
public:
    explicit PendingFile(const QString &target);
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    bool ok() const { return !path_.isEmpty(); }
    const QString &path() const { return path_; }
    const QString &error() const { return error_; }
    // Flushes the file to disk and gives it the target name (replace: an existing target
    // may go; otherwise a file that appeared there meanwhile stays and this fails).
    bool publish(bool replace);

private:
    QString target_;
    QString path_;
    QString error_;
    bool published_ = false;
};

// What an errno means for someone who has to act on it.
QString fileProblem(const QString &path, int err);

// A file descriptor opened 0600 for a new file; -1 with errno.
int createPrivate(const QString &path);

}  // namespace nbk::data::backup
