#include "support/TestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace mj::test {

std::string Pattern(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s[i] = static_cast<char>(x);
    }
    return s;
}

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

}  // namespace

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool WaitForPort(int port, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = Loopback(port);
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(s);
        if (ok) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

ServerProcess::ServerProcess(const char* folderPrefix, std::string scheme, int stopSignal)
    : scheme_(std::move(scheme)), stopSignal_(stopSignal) {
    std::string tmpl = std::string("/tmp/") + folderPrefix + "-XXXXXX";
    dir_ = mkdtemp(tmpl.data());
    chmod(dir_.c_str(), 0755);
    port_ = FreePort();
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill(pid_, stopSignal_);
        waitpid(pid_, nullptr, 0);
    }
    std::system(("rm -rf '" + dir_ + "'").c_str());
}

std::string ServerProcess::Url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

void ServerProcess::Start(const std::vector<std::string>& argv, int timeoutMs) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        execvp(args[0], args.data());
        _exit(127);
    }
    if (!WaitForPort(port_, timeoutMs)) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

Nginx::Nginx(const std::map<std::string, std::string>& files) : ServerProcess("mj-nginx", "http", SIGQUIT) {
    for (const char* sub : {"/html", "/html/files", "/tmp", "/logs"}) mkdir((dir_ + sub).c_str(), 0755);
    symlink((dir_ + "/html/files").c_str(), (dir_ + "/html/slow").c_str());
    for (const auto& [name, bytes] : files) std::ofstream(dir_ + "/html/files/" + name, std::ios::binary) << bytes;
    std::ofstream conf(dir_ + "/nginx.conf");
    if (geteuid() == 0) conf << "user root root;\n";
    conf << "worker_processes 1;\nerror_log " << dir_ << "/logs/error.log error;\npid " << dir_
         << "/nginx.pid;\nevents { worker_connections 4096; }\nhttp {\n  access_log off;\n"
         << "  client_body_temp_path " << dir_ << "/tmp; proxy_temp_path " << dir_ << "/tmp;\n"
         << "  fastcgi_temp_path " << dir_ << "/tmp; uwsgi_temp_path " << dir_ << "/tmp; scgi_temp_path " << dir_
         << "/tmp;\n  default_type application/octet-stream;\n  server {\n    listen 127.0.0.1:" << port_
         << ";\n    root " << dir_ << "/html;\n    location /slow/ { limit_rate 200k; }\n  }\n}\n";
    conf.close();
    Start({"nginx", "-p", dir_, "-c", dir_ + "/nginx.conf", "-g", "daemon off;"}, 5000);
}

FtpServer::FtpServer(const std::map<std::string, std::string>& files) : ServerProcess("mj-ftp", "ftp", SIGTERM) {
    for (const auto& [name, bytes] : files) std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    Start({"/usr/bin/python3", "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", std::to_string(port_), "-d", dir_}, 10000);
}

FaultServer::FaultServer() {
    signal(SIGPIPE, SIG_IGN);
    listen_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = Loopback(0);
    bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(listen_, 512);
    accept_ = std::thread([this] {
        while (!stop_) {
            const int fd = accept(listen_, nullptr, nullptr);
            if (fd < 0) continue;
            if (stop_) {
                close(fd);
                break;
            }
            std::lock_guard lock(mutex_);
            workers_.emplace_back([this, fd] { Serve(fd); });
        }
    });
}

FaultServer::~FaultServer() {
    stop_ = true;
    shutdown(listen_, SHUT_RDWR);
    close(listen_);
    accept_.join();
    std::lock_guard lock(mutex_);
    for (auto& w : workers_) w.join();
}

int FaultServer::RequestsFor(const std::string& path) {
    std::lock_guard lock(mutex_);
    return paths_[path];
}

std::string FaultServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

namespace {

bool SendAll(int fd, const std::string& s) {
    std::size_t off = 0;
    while (off < s.size()) {
        const ssize_t n = send(fd, s.data() + off, s.size() - off, MSG_NOSIGNAL);
        if (n <= 0) return false;
        off += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void FaultServer::Serve(int fd) {
    std::string req;
    char buf[4096];
    while (req.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            close(fd);
            return;
        }
        req.append(buf, static_cast<std::size_t>(n));
    }
    ++requests_;
    std::istringstream in(req);
    std::string method, path;
    in >> method >> path;
    long long from = -1, to = -1;
    if (const auto r = req.find("Range: bytes="); r != std::string::npos) {
        std::sscanf(req.c_str() + r + 13, "%lld-%lld", &from, &to);
    }
    auto arg = [&](const std::string& prefix) { return path.substr(prefix.size()); };
    auto number = [&](const std::string& prefix) { return std::stoll(arg(prefix)); };
    int seen;
    {
        std::lock_guard lock(mutex_);
        // Keyed by the range's end, which a retry of the same piece keeps.
        seen = seen_[path + "@" + std::to_string(to)]++;
        ++paths_[path];
    }
    const std::string head = "HTTP/1.1 ";
    auto ranged = [&](const std::string& body, bool cutFirst, bool stallFirst, bool longer) {
        const long long size = static_cast<long long>(body.size());
        long long a = 0, b = size - 1;
        std::string status = "200 OK";
        std::string extra;
        if (from >= 0 && from < size) {
            a = from;
            b = to >= 0 && to < size ? to : size - 1;
            status = "206 Partial Content";
            extra = "Content-Range: bytes " + std::to_string(a) + "-" + std::to_string(b) + "/" + std::to_string(size) +
                    "\r\n";
        }
        long long count = b - a + 1;
        if (size == 0) count = 0;
        SendAll(fd, head + status + "\r\nContent-Length: " + std::to_string(count) + "\r\n" + extra +
                        "Accept-Ranges: bytes\r\nConnection: close\r\n\r\n");
        std::string part = count > 0 ? body.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(count)) : "";
        if (longer && status[0] == '2' && a + count < size)
            part += body.substr(static_cast<std::size_t>(a + count), 4096);
        if (cutFirst && seen == 0) part.resize(part.size() / 3);
        if (stallFirst && seen == 0) {
            SendAll(fd, part.substr(0, part.size() / 2));
            for (int i = 0; i < stallMs / 20 && !stop_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            close(fd);
            return;
        }
        SendAll(fd, part);
        close(fd);
    };
    if (path.rfind("/ok/", 0) == 0)
        return ranged(Pattern(static_cast<std::size_t>(number("/ok/"))), false, false, false);
    if (path.rfind("/drop/", 0) == 0)
        return ranged(Pattern(static_cast<std::size_t>(number("/drop/"))), true, false, false);
    if (path.rfind("/stall/", 0) == 0)
        return ranged(Pattern(static_cast<std::size_t>(number("/stall/"))), false, true, false);
    if (path.rfind("/longer/", 0) == 0)
        return ranged(Pattern(static_cast<std::size_t>(number("/longer/"))), false, false, true);
    if (path.rfind("/ignore-range/", 0) == 0) {
        from = -1;
        return ranged(Pattern(static_cast<std::size_t>(number("/ignore-range/"))), false, false, false);
    }
    if (path.rfind("/nolength/", 0) == 0) {
        SendAll(fd,
                head + "200 OK\r\nConnection: close\r\n\r\n" + Pattern(static_cast<std::size_t>(number("/nolength/"))));
    } else if (path.rfind("/status/", 0) == 0) {
        const std::string code = arg("/status/");
        SendAll(fd, head + code + " Nope\r\nContent-Length: 5\r\nConnection: close\r\n\r\nnope\n");
    } else if (path.rfind("/redirect/", 0) == 0) {
        const std::string rest = arg("/redirect/");
        const std::string code = rest.substr(0, 3);
        SendAll(fd, head + code + " Moved\r\nLocation: " + rest.substr(3) +
                        "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    } else if (path == "/page") {
        const std::string html =
            "<html><head><title>mijutong test page</title></head><body style='margin:0'>"
            "<div style='height:232px;background:#f00'>top</div><p id=t>visible</p>"
            "<script>alert('no dialog may show this'); document.title += ' ran';</script></body></html>";
        SendAll(fd, head + "200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                        std::to_string(html.size()) + "\r\nConnection: close\r\n\r\n" + html);
    } else if (path == "/loop") {
        SendAll(fd, head + "302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    } else {
        SendAll(fd, head + "404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    close(fd);
}

}  // namespace mj::test
