#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vantrel::test {

// Permissions bind root only loosely, and CI runs as root. Work that must meet them as a user
// does runs in a child that gives up root for the user "nobody"; run by a user, it runs as that
// user, in a child all the same.
inline constexpr uid_t kUnprivilegedId = 65534;

inline uid_t unprivilegedUser() {
    return ::geteuid() == 0 ? kUnprivilegedId : ::geteuid();
}

// Hands the tree at `path` to the user the unprivileged work runs as: links themselves, never
// what they lead to.
inline bool giveToUnprivileged(const QString& path) {
    if (::geteuid() != 0) return true;
    return ::nftw(
               QFile::encodeName(path).constData(),
               [](const char* entry, const struct stat*, int, FTW*) {
                   return ::lchown(entry, kUnprivilegedId, kUnprivilegedId);
               },
               32, FTW_PHYS) == 0;
}

// Runs `work` as the unprivileged user and answers what it returned; nothing when the child
// could not give up root or did not finish.
inline std::optional<QByteArray> runUnprivileged(const std::function<QByteArray()>& work) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipe[0]);
        ::close(pipe[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipe[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                                 ::setresgid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0 ||
                                 ::setresuid(kUnprivilegedId, kUnprivilegedId, kUnprivilegedId) != 0))
            ::_exit(2);
        // As a user's own process would be, so that its /proc entries are its own.
        ::prctl(PR_SET_DUMPABLE, 1);
        const QByteArray answer = work();
        qsizetype written = 0;
        while (written < answer.size()) {
            const ssize_t n = ::write(pipe[1], answer.constData() + written, size_t(answer.size() - written));
            if (n <= 0) ::_exit(3);
            written += n;
        }
        ::_exit(0);
    }
    ::close(pipe[1]);
    QByteArray answer;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(pipe[0], buffer, sizeof buffer)) > 0) answer.append(buffer, n);
    ::close(pipe[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

} // namespace vantrel::test
