#pragma once
// Tests that need a process of their own: a child process that reports back, and mounts that
// nobody else sees (a small file system, a read-only folder).

#include <QFile>
#include <QString>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kirune::test {

// Runs `body` in a child process and returns what it reports ("" when all held). Used where a
// test needs a process of its own: a mount seen by nobody else.
inline std::string InChild(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string report = body();
        (void)!write(channel[1], report.data(), report.size());
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? report : "the child process failed";
}

// Gives this process a mount namespace of its own (in a user namespace of its own when it has
// no privileges), in which nothing mounted reaches the rest of the system; false when the
// machine does not allow it.
inline bool OwnMountNamespace() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNS) != 0) {
        // Without privileges: a user namespace of its own, with this user as its root.
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        auto put = [](const char* file, const std::string& text) {
            const int fd = open(file, O_WRONLY);
            const bool ok = fd >= 0 && write(fd, text.data(), text.size()) == ssize_t(text.size());
            if (fd >= 0)
                close(fd);
            return ok;
        };
        if (!put("/proc/self/setgroups", "deny") ||
            !put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Mounts a small file system of its own at `folder`, seen by this process only.
inline bool MountSmallFileSystem(const QString& folder, int kilobytes) {
    const std::string size = "size=" + std::to_string(kilobytes) + "k";
    return OwnMountNamespace() &&
           mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, size.c_str()) == 0;
}

// Makes `folder` read-only for this process: nothing can be created or changed in it, not even
// by root.
inline bool MakeFolderReadOnly(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    return OwnMountNamespace() &&
           mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0 &&
           mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
               0;
}

} // namespace kirune::test
