#include "platform/shell/XdgShell.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

extern char** environ;

namespace mj::platform::shell {
namespace {

// Starts argv[0] from PATH without a shell, in a session of its own so it outlives us; -1 when it could not
// be started.
pid_t Spawn(const std::vector<std::string>& args) {
    if (args.empty()) return -1;
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    return rc == 0 ? pid : -1;
}

bool RunFallback(const std::string& target) {
    std::vector<std::string> cmd = HtmlOpenCommand();
    if (cmd.empty()) return false;
    cmd.push_back(target);
    const pid_t pid = Spawn(cmd);
    if (pid < 0) return false;
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

std::string WithSlash(std::string p) {
    if (p.empty() || p.back() != '/') p.push_back('/');
    return p;
}

}  // namespace

std::vector<std::string> SplitExecLine(const std::string& exec) {
    // Cut at the first field code (%u %U %f %F), the counterpart of "%1".
    std::string line = exec;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '%') continue;
        const char c = line[i + 1];
        if (c == 'u' || c == 'U' || c == 'f' || c == 'F') {
            std::size_t cut = i;
            if (cut > 0 && line[cut - 1] == '"') --cut;
            line.resize(cut);
            break;
        }
        ++i;  // "%%" and other codes are stepped over
    }
    std::vector<std::string> args;
    std::string cur;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && std::string("\"`$\\").find(line[i + 1]) != std::string::npos)
                cur.push_back(line[++i]);
            else if (c == '"')
                quoted = false;
            else
                cur.push_back(c);
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ' ' || c == '\t') {
            if (any || !cur.empty()) args.push_back(cur);
            cur.clear();
            any = false;
        } else if (c == '%' && i + 1 < line.size() && line[i + 1] == '%') {
            cur.push_back('%');
            ++i;
        } else {
            cur.push_back(c);
        }
    }
    if (any || !cur.empty()) args.push_back(cur);
    return args;
}

std::vector<std::string> HtmlOpenCommand() {
    std::FILE* p = popen("xdg-mime query default text/html 2>/dev/null", "r");
    if (!p) return {};
    char buf[512];
    std::string desktop;
    while (std::fgets(buf, sizeof buf, p)) desktop += buf;
    pclose(p);
    while (!desktop.empty() && (desktop.back() == '\n' || desktop.back() == ' ')) desktop.pop_back();
    if (desktop.empty()) return {};
    const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromStdString(desktop));
    QFile f(file);
    if (file.isEmpty() || !f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&f);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('['))
            inEntry = line == "[Desktop Entry]";
        else if (inEntry && line.startsWith("Exec="))
            return SplitExecLine(line.mid(5).toStdString());
    }
    return {};
}

bool XdgShell::Open(const std::string& target) {
    const pid_t pid = Spawn({"xdg-open", target});
    if (pid < 0) return false;
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();  // reap it; nobody waits on the result
    return true;
}

bool XdgShell::OpenWithFallback(const std::string& target) {
    const pid_t pid = Spawn({"xdg-open", target});
    if (pid < 0) return RunFallback(target);
    // xdg-open reports failure only by its exit status; the GUI never waits for it.
    std::thread([pid, target] {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) RunFallback(target);
    }).detach();
    return true;
}

std::optional<std::string> XdgShell::SpecialFolder(Folder folder) {
    switch (folder) {
        case Folder::Desktop: {
            const QString d = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
            if (d.isEmpty()) return std::nullopt;
            return WithSlash(d.toStdString());
        }
        case Folder::Temporary: {
            const QString t = QDir::tempPath();
            if (t.isEmpty()) return std::nullopt;
            return WithSlash(t.toStdString());
        }
        case Folder::System: {
            const QString home = QDir::homePath();
            if (home.isEmpty()) return std::nullopt;
            const QString dir = home + "/.local/lib/mijutong";
            QDir().mkpath(dir);
            return WithSlash(dir.toStdString());
        }
    }
    return std::nullopt;
}

bool XdgShell::Exists(const std::string& path) {
    struct stat st;
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool XdgShell::IsRegularFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool XdgShell::Remove(const std::string& path) {
    return !path.empty() && unlink(path.c_str()) == 0;
}

bool XdgShell::WriteWhole(const std::string& path, std::span<const unsigned char> bytes) {
    if (path.empty()) return false;
    // A write that fails part-way must never leave a file of the final name behind.
    const std::string tmp = path + ".part-" + std::to_string(getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) return true;
    ::unlink(tmp.c_str());
    return false;
}

std::optional<std::int64_t> XdgShell::FileSize(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::int64_t XdgShell::UptimeMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace mj::platform::shell
