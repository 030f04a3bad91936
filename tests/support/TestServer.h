// Servers for the download tests, on 127.0.0.1 only: nginx with a configuration of the tests' own, and a
// small server of ours that misbehaves on purpose.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mj::test {

// Deterministic contents for a test file of n bytes.
std::string Pattern(std::size_t n, unsigned seed = 7);

int FreePort();
bool WaitForPort(int port, int timeoutMs);

// A server program run in a child process from a temporary folder of its own, on a free loopback port;
// stopped with `stopSignal` and its folder removed at the end.
class ServerProcess {
public:
    ServerProcess(const char* folderPrefix, std::string scheme, int stopSignal);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    std::string Url(const std::string& path) const;
    bool Running() const { return pid_ > 0; }

protected:
    // Starts argv and waits for its port; on a time-out the child is stopped and Running() is false.
    void Start(const std::vector<std::string>& argv, int timeoutMs);
    std::string dir_;
    int port_ = 0;

private:
    std::string scheme_;
    int stopSignal_;
    int pid_ = -1;
};

class Nginx : public ServerProcess {
public:
    // Serves `files` (name → bytes) under /files/, and the same under /slow/ at 200 KB/s per connection.
    explicit Nginx(const std::map<std::string, std::string>& files);
};

// An anonymous, read-only FTP server (Debian's pyftpdlib) serving `files` from a folder of its own.
class FtpServer : public ServerProcess {
public:
    explicit FtpServer(const std::map<std::string, std::string>& files);
};

// Paths: /ok/N (N bytes, ranges honoured), /nolength/N, /status/CODE, /ignore-range/N, /drop/N (each piece is cut
// after a third of its bytes the first time it is asked for), /stall/N (the first request stops sending half
// way), /longer/N (206 bodies run past the range), /redirect/CODE/TARGET, /loop.
class FaultServer {
public:
    FaultServer();
    ~FaultServer();
    FaultServer(const FaultServer&) = delete;
    FaultServer& operator=(const FaultServer&) = delete;
    std::string Url(const std::string& path) const;
    int Requests() const { return requests_; }
    int RequestsFor(const std::string& path);
    int stallMs = 3000;

private:
    void Serve(int fd);
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread accept_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::map<std::string, int> seen_;  // how often a path with its range was asked
    std::map<std::string, int> paths_;
};

}  // namespace mj::test
