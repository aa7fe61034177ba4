// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

/// A fault that makes writes fail.
enum class TWriteFault {
    /// Every file the process writes is limited to a few bytes: a write
    /// beyond fails part-way with "File too large", as on a full disk.
    FullDisk,
    /// A folder that cannot be written to.
    ReadOnlyFolder,
};

/// Makes writes of this process fail while it lives, and undoes that when
/// it goes. FullDisk limits every file the process writes to
/// `fileSizeLimit` bytes. ReadOnlyFolder makes `folder` read-only: for root,
/// who ignores permission bits, by mounting the folder over itself
/// read-only (undone by unmounting); otherwise by its permission bits.
/// When the fault cannot be made here, Active() is false and SkipReason()
/// says why. Keep the scope to the write under test: the test's own log
/// may be a file.
class TWriteFaultScope
{
public:
    TWriteFaultScope(TWriteFault fault, const QString &folder, qint64 fileSizeLimit)
        : FFault(fault)
        , FFolder(QFile::encodeName(folder))
    {
        if (fault == TWriteFault::FullDisk) {
            getrlimit(RLIMIT_FSIZE, &FSavedLimit);
            rlimit limit = FSavedLimit;
            limit.rlim_cur = rlim_t(fileSizeLimit);
            FSavedHandler = std::signal(SIGXFSZ, SIG_IGN); // report EFBIG rather than end the test
            if (setrlimit(RLIMIT_FSIZE, &limit) == 0)
                FActive = true;
            else
                Fail("cannot limit the file size");
        } else if (geteuid() == 0) {
            if (mount(FFolder.constData(), FFolder.constData(), nullptr, MS_BIND, nullptr) != 0) {
                Fail("root ignores permission bits, and no read-only mount can be made here");
            } else if (mount(nullptr, FFolder.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
                Fail("root ignores permission bits, and no read-only mount can be made here");
                umount2(FFolder.constData(), MNT_DETACH);
            } else {
                FActive = true;
            }
        } else if (chmod(FFolder.constData(), 0555) == 0) {
            FActive = true;
        } else {
            Fail("cannot make the folder read-only");
        }
    }

    ~TWriteFaultScope()
    {
        if (FFault == TWriteFault::FullDisk) {
            setrlimit(RLIMIT_FSIZE, &FSavedLimit);
            std::signal(SIGXFSZ, FSavedHandler);
        } else if (FActive && geteuid() == 0) {
            umount2(FFolder.constData(), MNT_DETACH);
        } else if (FActive) {
            chmod(FFolder.constData(), 0700);
        }
    }

    TWriteFaultScope(const TWriteFaultScope &) = delete;
    TWriteFaultScope &operator=(const TWriteFaultScope &) = delete;

    bool Active() const { return FActive; }
    QString SkipReason() const { return FSkipReason; }

private:
    void Fail(const char *what)
    {
        FSkipReason = QString::fromUtf8(what) + QStringLiteral(": ") + QString::fromUtf8(std::strerror(errno));
    }

    TWriteFault FFault;
    QByteArray FFolder;
    bool FActive = false;
    QString FSkipReason;
    rlimit FSavedLimit{};
    void (*FSavedHandler)(int) = SIG_DFL;
};

/// What RunWithWriteFault brings back from its child process.
struct TFaultOutcome {
    /// The fault could not be set up here; SkipReason says why.
    bool Skipped = false;
    QString SkipReason;
    /// What the work returned, or how the child ended when it did not return.
    QByteArray Result;
    bool Returned = false;
};

/// Runs `work` in a child process made by fork(), under `fault`, and hands
/// back what it returned: the fault never reaches the test process. For
/// FullDisk every file the child writes is limited to `fileSizeLimit` bytes.
/// For ReadOnlyFolder `folder` becomes read-only: for root through a
/// read-only bind mount in a mount namespace of the child's own (gone with
/// the child), otherwise by its permission bits, restored when the work is
/// done. The child has only the thread that forked it, so `work` must not
/// need the test process's other threads: no painting (Qt paints with a
/// thread pool) and no network; use TWriteFaultScope for those. `work` must
/// not use the QTest macros.
inline TFaultOutcome RunWithWriteFault(TWriteFault fault, const QString &folder, qint64 fileSizeLimit,
                                       const std::function<QByteArray()> &work)
{
    constexpr int kSkip = 77;
    int fds[2];
    if (pipe(fds) != 0)
        qFatal("no pipe");
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid < 0)
        qFatal("no fork");
    if (pid == 0) {
        ::close(fds[0]);
        const auto finish = [&fds](int code, const QByteArray &bytes) {
            for (qsizetype at = 0; at < bytes.size();) {
                const ssize_t n = ::write(fds[1], bytes.constData() + at, size_t(bytes.size() - at));
                if (n <= 0)
                    break;
                at += n;
            }
            _exit(code);
        };
        const QByteArray path = QFile::encodeName(folder);
        if (fault == TWriteFault::FullDisk) {
            std::signal(SIGXFSZ, SIG_IGN); // report EFBIG rather than end the child
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(fileSizeLimit);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                finish(kSkip, QByteArray("cannot limit the file size: ") + std::strerror(errno));
        } else if (geteuid() == 0) {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0
                || mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
                finish(kSkip, QByteArray("root ignores permission bits, and no read-only mount can be made here: ")
                                  + std::strerror(errno));
        } else if (chmod(path.constData(), 0555) != 0) {
            finish(kSkip, QByteArray("cannot make the folder read-only: ") + std::strerror(errno));
        }
        QByteArray result;
        try {
            result = work();
        } catch (const std::exception &e) {
            result = QByteArray("an exception left the work: ") + e.what();
        }
        if (fault == TWriteFault::ReadOnlyFolder && geteuid() != 0)
            chmod(path.constData(), 0700);
        finish(0, result);
    }

    ::close(fds[1]);
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    TFaultOutcome outcome;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSkip) {
        outcome.Skipped = true;
        outcome.SkipReason = QString::fromUtf8(bytes);
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        outcome.Result = bytes;
        outcome.Returned = true;
    } else {
        outcome.Result = WIFSIGNALED(status) ? "the child was ended by signal " + QByteArray::number(WTERMSIG(status))
                                             : "the child exited with " + QByteArray::number(WEXITSTATUS(status));
    }
    return outcome;
}
