// The download engine. One thread per task, which also runs the first connection and delivers every callback;
// one thread per further connection, each driving its own curl multi handle so that a stop or a pacing
// deadline wakes it at once instead of waiting for libcurl's own progress ticks.
#include "platform/download/Download.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace mj::dl {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::int64_t kMaxRead = 20480;
constexpr std::int64_t kOnePieceBelow = 20480;

std::mutex g_settingsMutex;
LibrarySettings g_settings;
std::atomic<std::int64_t> g_totalSpeed{0};

LibrarySettings Settings() {
    std::lock_guard lock(g_settingsMutex);
    return g_settings;
}

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

std::string Text(const char* s) {
    return s ? s : "";
}

// Parsed form of a task address.
struct Address {
    std::string scheme;
    std::string host;
    int port = 0;
    std::string path;  // from the first "/" after the host
};

std::optional<Address> ParseAddress(const std::string& url) {
    const std::size_t colon = url.find("://");
    if (colon == std::string::npos) return std::nullopt;
    Address a;
    a.scheme = url.substr(0, colon);
    std::transform(a.scheme.begin(), a.scheme.end(), a.scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    static const std::map<std::string, int> kPorts = {{"http", 80}, {"ftp", 21}, {"mms", 1755}, {"rtsp", 554}};
    auto it = kPorts.find(a.scheme);
    if (it == kPorts.end()) return std::nullopt;
    const std::size_t hostStart = colon + 3;
    const std::size_t slash = url.find('/', hostStart);
    if (slash == std::string::npos) return std::nullopt;
    std::string hostPort = url.substr(hostStart, slash - hostStart);
    if (const std::size_t at = hostPort.rfind('@'); at != std::string::npos) hostPort = hostPort.substr(at + 1);
    a.port = it->second;
    if (const std::size_t pc = hostPort.rfind(':');
        pc != std::string::npos && hostPort.find(']') == std::string::npos) {
        const std::string p = hostPort.substr(pc + 1);
        if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        a.port = std::stoi(p);
        if (a.port <= 0 || a.port > 65535) return std::nullopt;
        hostPort.resize(pc);
    }
    if (hostPort.empty()) return std::nullopt;
    a.host = hostPort;
    a.path = url.substr(slash);
    return a;
}

std::string FileNameOf(const Address& a) {
    std::string path = a.path.substr(0, a.path.find_first_of("?#"));
    const std::size_t slash = path.rfind('/');
    std::string name = path.substr(slash + 1);
    return name.empty() ? "index.html" : name;
}

std::string NowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

struct Piece {
    std::int64_t start = 0, end = 0;  // [start, end)
    std::atomic<std::int64_t> pos{0};
    bool Done() const { return pos.load() >= end; }
};

struct LogLine {
    int connection;
    std::string message;
    int level;
};

struct Task;

// One connection's state while it drives a transfer.
struct Connection {
    Task& task;
    int number;
    std::vector<std::size_t> pieces;  // the pieces it serves, in order; a walker takes every unfinished one
    bool walker = false;
    CURLM* multi = nullptr;
};

struct Task : std::enable_shared_from_this<Task> {
    TaskParam p{};
    std::string url, localPath, userName, password, proxy, referer, binaryExtensions;
    Address address;
    std::intptr_t handle = 0;
    Download* owner = nullptr;  // guarded by g_tasksMutex; cleared by a stop so the object may go away

    std::atomic<bool> stopping{false};
    std::atomic<bool> singleMode{false};  // the server ignores Range: one connection walks the whole file
    std::atomic<std::int64_t> done{0};
    std::atomic<std::int64_t> speed{0};
    std::atomic<int> running{0};

    std::int64_t total = -1;
    int fd = -1;
    std::string fileName;
    std::deque<Piece> pieces;

    std::mutex mutex;  // guards logs, wakers and the connection count's condition
    std::condition_variable changed;
    std::deque<LogLine> logs;
    std::vector<CURLM*> wakers;
    std::vector<std::thread> threads;
    std::string endReason;

    void Log(int connection, std::string message, int level) {
        std::lock_guard lock(mutex);
        logs.push_back({connection, std::move(message), level});
        changed.notify_all();
    }
    void SetEndReason(const std::string& why) {
        std::lock_guard lock(mutex);
        if (endReason.empty()) endReason = why;
    }
    // Delivers queued log lines; task thread only.
    void DrainLogs() {
        std::deque<LogLine> out;
        {
            std::lock_guard lock(mutex);
            out.swap(logs);
        }
        if (!p.LogCallback) return;
        for (const auto& l : out) {
            const std::string when = NowText();
            p.LogCallback(l.connection, reinterpret_cast<std::intptr_t>(when.c_str()),
                          reinterpret_cast<std::intptr_t>(l.message.c_str()), l.level, handle);
        }
    }
    std::intptr_t Event(std::intptr_t e, std::intptr_t a2, std::intptr_t a3, std::intptr_t a4) {
        DrainLogs();
        return p.EventCallback ? p.EventCallback(e, a2, a3, a4, handle) : 0;
    }
    void WakeAll() {
        std::lock_guard lock(mutex);
        for (CURLM* m : wakers) curl_multi_wakeup(m);
        changed.notify_all();
    }
    std::int64_t Written() const {
        std::int64_t sum = 0;
        for (const auto& pc : pieces) sum += pc.pos.load() - pc.start;
        return sum;
    }
    int Share() const {
        const int n = std::max(1, running.load());
        return p.SpeedLimit > 0 ? std::max(1, p.SpeedLimit / n) : 0;
    }
};

// The registry from handle words to tasks; queries copy the pointer and never wait for a connection.
// Never destroyed: a task thread may still be leaving the registry while the process exits.
std::mutex& g_tasksMutex = *new std::mutex;
std::map<std::intptr_t, std::shared_ptr<Task>>& g_tasks = *new std::map<std::intptr_t, std::shared_ptr<Task>>;
std::atomic<std::intptr_t> g_nextHandle{1};

std::shared_ptr<Task> Lookup(Download* d) {
    if (!d) return nullptr;
    const std::intptr_t h = d->handle.load();
    if (!h) return nullptr;
    std::lock_guard lock(g_tasksMutex);
    auto it = g_tasks.find(h);
    return it == g_tasks.end() ? nullptr : it->second;
}

// The outcome of one attempt of a connection.
enum class Attempt { Finished, Retry, GiveUp, Redirect };

struct Transfer {
    explicit Transfer(Connection& c) : conn(c) {}
    Connection& conn;
    CURL* easy = nullptr;
    bool first = false;          // the task's first request: learns the length, unranged
    std::size_t piece = 0;       // the piece being written
    std::int64_t streamPos = 0;  // file offset of the next body byte
    std::int64_t skip = 0;       // body bytes to drop before streamPos reaches the piece (a 200 to a range)
    bool headersDone = false;
    bool anyHeader = false;
    bool abort = false;
    long status = 0;
    Attempt outcome = Attempt::Retry;
    bool intentionalStop = false;
    std::string url;       // the address this request went to, for resolving a relative Location
    std::string location;  // the Location header of the current response
    std::string redirect;
    std::string why;
    Clock::time_point lastData;
    // pacing
    std::int64_t windowBytes = 0;
    Clock::time_point windowStart;
    bool paused = false;
};

bool IsFtp(const Task& t) {
    return t.address.scheme == "ftp";
}

// A Location, absolute or relative, resolved against the address it came from; empty when unusable.
std::string Resolve(const std::string& base, const std::string& location) {
    if (location.empty()) return {};
    CURLU* u = curl_url();
    std::string out;
    char* full = nullptr;
    if (curl_url_set(u, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_URL, &full, 0) == CURLUE_OK) {
        out = full;
        curl_free(full);
    }
    curl_url_cleanup(u);
    return out;
}

// The connection's failures in the program's own words.
std::string Describe(CURLcode c) {
    switch (c) {
        case CURLE_COULDNT_CONNECT: return "无法连接服务器";
        case CURLE_COULDNT_RESOLVE_HOST: return "无法解析服务器地址";
        case CURLE_COULDNT_RESOLVE_PROXY: return "无法解析代理服务器地址";
        case CURLE_OPERATION_TIMEDOUT: return "连接超时";
        case CURLE_PARTIAL_FILE: return "连接提前关闭";
        case CURLE_RECV_ERROR: return "接收数据失败";
        case CURLE_SEND_ERROR: return "发送请求失败";
        case CURLE_GOT_NOTHING: return "服务器没有回应";
        default: return curl_easy_strerror(c);
    }
}

bool CreateLocalFile(Task& t, int connection) {
    const int fd = ::open(t.fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        t.Log(connection, "无法创建本地文件 " + t.fileName + ": " + std::strerror(errno), kLogError);
        t.SetEndReason("无法创建本地文件");
        return false;
    }
    if (t.total > 0) {
        // Reserve the space now so that a full disk shows at once, not as a hole in the middle of the file.
        int rc = posix_fallocate(fd, 0, t.total);
        if (rc == EOPNOTSUPP || rc == EINVAL) rc = ftruncate(fd, t.total) == 0 ? 0 : errno;
        if (rc != 0) {
            t.Log(connection, std::string("无法分配文件空间: ") + std::strerror(rc), kLogError);
            t.SetEndReason("磁盘空间不足");
            ::close(fd);
            ::unlink(t.fileName.c_str());
            return false;
        }
    }
    t.fd = fd;
    return true;
}

// Picks the local name, asking the caller about an existing file; false abandons the task.
bool ChooseFileName(Task& t) {
    struct stat st;
    if (stat(t.fileName.c_str(), &st) != 0) return true;
    const std::intptr_t answer =
        t.Event(kEventFileExists, static_cast<std::intptr_t>(st.st_size), static_cast<std::intptr_t>(t.total), 0);
    if (answer == 1) {
        t.SetEndReason("本地文件已存在, 任务放弃");
        return false;
    }
    if (answer == 2) return true;  // the caller dealt with the name; the file is overwritten
    const std::size_t slash = t.fileName.rfind('/');
    const std::size_t dot = t.fileName.rfind('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExt ? t.fileName.substr(0, dot) : t.fileName;
    const std::string ext = hasExt ? t.fileName.substr(dot) : std::string();
    for (int i = 1; i <= 99; ++i) {
        const std::string candidate = stem + "(" + std::to_string(i) + ")" + ext;
        if (stat(candidate.c_str(), &st) != 0) {
            t.fileName = candidate;
            return true;
        }
    }
    t.Log(0, "没有可用的本地文件名", kLogError);
    t.SetEndReason("没有可用的本地文件名");
    return false;
}

void StartFurtherConnections(Task& t);

// Header end of an accepted response of the first request: the length, the file, the pieces, event 3.
bool LearnLength(Transfer& x) {
    Task& t = x.conn.task;
    curl_off_t len = -1;
    curl_easy_getinfo(x.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &len);
    if (len < 0) {
        t.Log(x.conn.number, "无法获得文件大小", kLogError);
        t.SetEndReason("无法获得文件大小");
        return false;
    }
    t.total = len;
    if (!ChooseFileName(t) || !CreateLocalFile(t, x.conn.number)) return false;
    std::int64_t n = std::max<std::int64_t>(1, t.p.Connections);
    if (t.total < kOnePieceBelow) n = 1;
    n = std::min<std::int64_t>(n, std::max<std::int64_t>(1, t.total));
    const std::int64_t size = t.total / n;
    std::deque<Piece> pieces;
    for (std::int64_t i = 0; i < n; ++i) {
        Piece& pc = pieces.emplace_back();
        pc.start = i * size;
        pc.end = i + 1 == n ? t.total : (i + 1) * size;
        pc.pos = pc.start;
    }
    {
        std::lock_guard lock(t.mutex);  // a stop may be reading them for its resume data
        t.pieces.swap(pieces);
    }
    t.Event(kEventTotalLength, t.handle, static_cast<std::intptr_t>(t.total),
            reinterpret_cast<std::intptr_t>(t.fileName.c_str()));
    StartFurtherConnections(t);
    return true;
}

// Decides, at the end of a response's headers, whether its body is taken.
bool AcceptResponse(Transfer& x) {
    Task& t = x.conn.task;
    if (IsFtp(t)) {
        if (x.first) return LearnLength(x);
        x.streamPos = t.pieces[x.piece].pos.load();  // REST put the data's start there
        return true;
    }
    curl_easy_getinfo(x.easy, CURLINFO_RESPONSE_CODE, &x.status);
    if (x.status == 301 || x.status == 302) {
        x.redirect = Resolve(x.url, x.location);
        if (x.redirect.empty()) {
            x.why = "重定向缺少目标地址";
            x.outcome = Attempt::GiveUp;
            return false;
        }
        x.outcome = Attempt::Redirect;
        return false;
    }
    if (x.status != 200 && x.status != 206) {
        x.why = "服务器返回状态 " + std::to_string(x.status);
        x.outcome = Attempt::GiveUp;
        return false;
    }
    if (x.first) {
        if (!LearnLength(x)) {
            x.outcome = Attempt::GiveUp;
            return false;
        }
        x.streamPos = 0;
        return true;
    }
    const Piece& pc = t.pieces[x.piece];
    const std::int64_t want = pc.pos.load();
    if (x.status == 200) {
        // A 200 to a ranged request carries the file from its first byte.
        if (!t.singleMode && x.conn.number != 0) {
            t.Log(x.conn.number, "服务器不支持分段下载, 改为单连接", kLogInfo);
            t.singleMode = true;
            t.WakeAll();
            x.outcome = Attempt::Finished;
            x.intentionalStop = true;
            return false;
        }
        x.streamPos = 0;
        x.skip = want;
        return true;
    }
    x.streamPos = want;  // the header callback has checked that Content-Range starts there
    return true;
}

// Ends the transfer from a callback. libcurl may ignore a refusal made while it replays data held by a
// pause, so the driving loop also watches the flag and removes the handle itself.
std::size_t Abort(Transfer& x) {
    x.abort = true;
    return 0;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t n, void* user) {
    auto& x = *static_cast<Transfer*>(user);
    const std::size_t len = size * n;
    x.anyHeader = true;
    x.lastData = Clock::now();  // a reply line is traffic too (FTP's control connection)
    std::string line(data, len);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.rfind("HTTP/", 0) == 0) {
        x.headersDone = false;
        x.location.clear();
        return len;
    }
    if (line.size() > 9 && strncasecmp(line.c_str(), "location:", 9) == 0) {
        std::size_t b = 9;
        while (b < line.size() && (line[b] == ' ' || line[b] == '\t')) ++b;
        x.location = line.substr(b);
    }
    if (!IsFtp(x.conn.task) && line.size() > 14 && strncasecmp(line.c_str(), "content-range:", 14) == 0 && !x.first) {
        // "bytes a-b/total": the body must start where the piece stands.
        const std::size_t b = line.find("bytes");
        long long start = -1;
        if (b != std::string::npos) std::sscanf(line.c_str() + b + 5, " %lld", &start);
        const Piece& pc = x.conn.task.pieces[x.piece];
        if (start != pc.pos.load()) {
            x.why = "服务器返回的范围不符";
            x.outcome = Attempt::Retry;
            return Abort(x);
        }
    }
    if (line.empty()) {
        long code = 0;
        curl_easy_getinfo(x.easy, CURLINFO_RESPONSE_CODE, &code);
        if (code >= 100 && code < 200) return len;  // an interim reply; the real one follows
        x.headersDone = true;
        if (!AcceptResponse(x)) return Abort(x);
    }
    return len;
}

// The next piece a walker continues into without reconnecting, or SIZE_MAX.
std::size_t NextContiguous(Transfer& x) {
    Task& t = x.conn.task;
    if (!x.conn.walker && !(t.singleMode && x.conn.number == 0)) return SIZE_MAX;
    for (std::size_t i = x.piece + 1; i < t.pieces.size(); ++i) {
        const Piece& pc = t.pieces[i];
        if (pc.Done()) continue;
        return pc.pos.load() == x.streamPos ? i : SIZE_MAX;
    }
    return SIZE_MAX;
}

std::size_t OnBody(char* data, std::size_t size, std::size_t n, void* user) {
    auto& x = *static_cast<Transfer*>(user);
    Task& t = x.conn.task;
    std::size_t len = size * n;
    if (x.abort) return 0;
    if (t.stopping || (t.singleMode && x.conn.number != 0 && !x.conn.walker)) {
        x.intentionalStop = true;
        return Abort(x);
    }
    if (!x.headersDone && IsFtp(t)) {
        x.headersDone = true;
        if (!AcceptResponse(x)) return Abort(x);
    }
    const std::int64_t budget =
        t.p.SpeedLimit > 0 ? std::min<std::int64_t>({t.Share(), kMaxRead}) : std::numeric_limits<std::int64_t>::max();
    if (t.p.SpeedLimit > 0 && x.windowBytes > 0 && x.windowBytes + static_cast<std::int64_t>(len) > budget) {
        x.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (x.windowBytes == 0) x.windowStart = Clock::now();
    x.windowBytes += static_cast<std::int64_t>(len);
    x.lastData = Clock::now();

    std::size_t off = 0;
    while (off < len) {
        if (x.skip > 0) {
            const std::size_t s =
                static_cast<std::size_t>(std::min<std::int64_t>(x.skip, static_cast<std::int64_t>(len - off)));
            x.skip -= static_cast<std::int64_t>(s);
            x.streamPos += static_cast<std::int64_t>(s);
            off += s;
            continue;
        }
        Piece& pc = t.pieces[x.piece];
        const std::int64_t room = pc.end - x.streamPos;
        if (room <= 0) {
            const std::size_t next = NextContiguous(x);
            if (next == SIZE_MAX) {
                // The piece is full: anything beyond it belongs to another piece or to nobody.
                x.outcome = Attempt::Finished;
                x.intentionalStop = true;
                return Abort(x);
            }
            x.piece = next;
            continue;
        }
        const std::size_t chunk =
            static_cast<std::size_t>(std::min<std::int64_t>(room, static_cast<std::int64_t>(len - off)));
        std::size_t written = 0;
        while (written < chunk) {
            const ssize_t w =
                ::pwrite(t.fd, data + off + written, chunk - written, x.streamPos + static_cast<std::int64_t>(written));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                t.Log(x.conn.number, std::string("写入文件失败: ") + std::strerror(w < 0 ? errno : ENOSPC), kLogError);
                t.SetEndReason("写入文件失败");
                x.outcome = Attempt::GiveUp;
                x.why = "写入文件失败";
                return Abort(x);
            }
            written += static_cast<std::size_t>(w);
        }
        x.streamPos += static_cast<std::int64_t>(chunk);
        pc.pos.store(x.streamPos);
        t.done += static_cast<std::int64_t>(chunk);
        t.speed += static_cast<std::int64_t>(chunk);
        g_totalSpeed += static_cast<std::int64_t>(chunk);
        off += chunk;
        if (pc.pos.load() >= pc.end && NextContiguous(x) == SIZE_MAX && off == len) {
            // Exactly filled: end this transfer rather than read into the next piece.
            bool more = false;
            if (x.conn.walker)
                for (const auto& q : t.pieces) more |= !q.Done();
            if (!more || !x.conn.walker) {
                x.outcome = Attempt::Finished;
                x.intentionalStop = true;
                return Abort(x);
            }
        }
    }
    return len;
}

void Setup(Transfer& x, const std::string& url, std::int64_t from, std::int64_t to) {
    Task& t = x.conn.task;
    CURL* e = x.easy;
    x.url = url;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);  // only 301 and 302 are followed, by our own loop
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &x);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &x);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(1, t.p.ConnectTimeout)));
    const long buffer = t.p.SpeedLimit > 0 ? std::clamp<long>(std::min<long>(t.Share(), kMaxRead), 1024, kMaxRead)
                                           : std::clamp<long>(t.p.BlockSize, 1024, kMaxRead);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, buffer);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,ftp,rtsp");
    if (!t.proxy.empty()) curl_easy_setopt(e, CURLOPT_PROXY, t.proxy.c_str());
    if (IsFtp(t)) {
        curl_easy_setopt(e, CURLOPT_USERNAME, t.userName.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, t.password.c_str());
        bool text = t.p.FtpTransferType == 2;
        if (t.p.FtpTransferType == 3) {
            const std::string name = FileNameOf(t.address);
            const std::size_t dot = name.rfind('.');
            const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
            text = true;
            std::size_t at = 0;
            while (at <= t.binaryExtensions.size()) {
                const std::size_t bar = t.binaryExtensions.find('|', at);
                const std::string item =
                    t.binaryExtensions.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
                if (!ext.empty() && strcasecmp(item.c_str(), ext.c_str()) == 0) text = false;
                if (bar == std::string::npos) break;
                at = bar + 1;
            }
        }
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
    } else {
        curl_easy_setopt(e, CURLOPT_REFERER, t.referer.c_str());
        curl_easy_setopt(e, CURLOPT_USERAGENT, "mijutong/1.6");
    }
    if (from > 0 || to >= 0) {
        const std::string range = std::to_string(from) + "-" + (to >= 0 ? std::to_string(to) : std::string());
        curl_easy_setopt(e, CURLOPT_RANGE, range.c_str());
    }
}

// One request on this connection's multi handle; returns when it ends, fails, is stopped or times out.
void Perform(Transfer& x) {
    Task& t = x.conn.task;
    CURLM* m = x.conn.multi;
    curl_multi_add_handle(m, x.easy);
    const auto started = Clock::now();
    x.lastData = started;
    bool connected = false;
    for (;;) {
        int runningHandles = 0;
        curl_multi_perform(m, &runningHandles);
        if (x.abort) {
            if (x.intentionalStop && x.outcome == Attempt::Retry) x.outcome = Attempt::Finished;
            break;
        }
        int queued = 0;
        CURLcode result = CURLE_OK;
        bool ended = false;
        while (CURLMsg* msg = curl_multi_info_read(m, &queued))
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                ended = true;
            }
        if (ended || runningHandles == 0) {
            if (x.intentionalStop || x.outcome == Attempt::Redirect || x.outcome == Attempt::GiveUp) break;
            if (result == CURLE_OK) {
                // The server closed: complete only when the piece (or the walk) reached its end.
                if (!t.pieces.empty() && t.pieces[x.piece].Done()) {
                    x.outcome = Attempt::Finished;
                } else if (t.pieces.empty()) {
                    x.outcome = Attempt::GiveUp;
                    if (x.why.empty()) x.why = "无法获得文件大小";
                } else {
                    x.outcome = Attempt::Retry;
                    x.why = "连接提前关闭";
                }
            } else {
                x.why = Describe(result);
                switch (result) {
                    case CURLE_UNSUPPORTED_PROTOCOL:
                    case CURLE_URL_MALFORMAT:
                    case CURLE_LOGIN_DENIED:
                    case CURLE_REMOTE_FILE_NOT_FOUND:
                    case CURLE_REMOTE_ACCESS_DENIED: x.outcome = Attempt::GiveUp; break;
                    default: x.outcome = Attempt::Retry; break;
                }
            }
            break;
        }
        if (t.stopping) {
            x.intentionalStop = true;
            x.outcome = Attempt::Finished;
            break;
        }
        const auto now = Clock::now();
        if (!connected) {
            curl_off_t pre = 0;
            curl_easy_getinfo(x.easy, CURLINFO_PRETRANSFER_TIME_T, &pre);
            connected = pre > 0 || x.anyHeader;
            if (connected)
                x.lastData = now;
            else if (now - started > milliseconds(std::max(1, t.p.ConnectTimeout) + std::max(1, t.p.SendTimeout))) {
                x.outcome = Attempt::Retry;
                x.why = "发送请求超时";
                break;
            }
        }
        if (connected && !x.paused && now - x.lastData > milliseconds(std::max(1, t.p.ReceiveTimeout))) {
            x.outcome = Attempt::Retry;
            x.why = "接收数据超时";
            break;
        }
        int waitMs = 100;
        if (x.paused) {
            const auto resume = x.windowStart + std::chrono::seconds(1);
            if (now >= resume) {
                x.paused = false;
                x.windowBytes = 0;
                x.lastData = now;
                curl_easy_pause(x.easy, CURLPAUSE_CONT);
                continue;
            }
            waitMs = static_cast<int>(std::chrono::duration_cast<milliseconds>(resume - now).count()) + 1;
        } else if (t.p.SpeedLimit > 0 && x.windowBytes > 0 && now - x.windowStart >= std::chrono::seconds(1)) {
            x.windowBytes = 0;
        }
        curl_multi_poll(m, nullptr, 0, std::min(waitMs, 100), nullptr);
    }
    curl_multi_remove_handle(m, x.easy);
}

// Sleeps up to ms, ending early on a stop.
void WaitRetry(Task& t, int ms) {
    std::unique_lock lock(t.mutex);
    t.changed.wait_for(lock, milliseconds(ms), [&] { return t.stopping.load(); });
}

// The next piece this connection should write, or SIZE_MAX when it has nothing left.
std::size_t NextPiece(Connection& c) {
    Task& t = c.task;
    for (std::size_t i : c.pieces)
        if (!t.pieces[i].Done()) return i;
    if (c.walker || (t.singleMode && c.number == 0))
        for (std::size_t i = 0; i < t.pieces.size(); ++i)
            if (!t.pieces[i].Done()) return i;
    return SIZE_MAX;
}

// Runs one connection to its end: retries, redirects, its pieces.
void RunConnection(Connection& c, bool first) {
    Task& t = c.task;
    const LibrarySettings s = Settings();
    c.multi = curl_multi_init();
    {
        std::lock_guard lock(t.mutex);
        t.wakers.push_back(c.multi);
    }
    int failures = 0;
    bool learnLength = first;
    while (!t.stopping) {
        if (!learnLength && c.number != 0 && t.singleMode) break;  // the walker takes over
        const std::size_t piece = learnLength ? 0 : NextPiece(c);
        if (!learnLength && piece == SIZE_MAX) break;
        std::string url = t.url;
        int redirects = 0;
        Attempt outcome = Attempt::Retry;
        std::string why;
        for (;;) {
            Transfer x(c);
            x.easy = curl_easy_init();
            x.first = learnLength;
            x.piece = learnLength ? 0 : piece;
            const std::int64_t from = learnLength ? 0 : t.pieces[piece].pos.load();
            const std::int64_t to = learnLength ? -1 : (c.walker || t.singleMode) ? -1 : t.pieces[piece].end - 1;
            Setup(x, url, learnLength ? 0 : from, learnLength ? -1 : to);
            Perform(x);
            curl_easy_cleanup(x.easy);
            if (!t.pieces.empty()) learnLength = false;
            outcome = x.outcome;
            why = x.why;
            if (outcome != Attempt::Redirect) break;
            if (++redirects > s.maxRedirects) {
                outcome = Attempt::GiveUp;
                why = "重定向次数过多";
                break;
            }
            t.Log(c.number, "重定向到 " + x.redirect, kLogInfo);
            url = x.redirect;
        }
        if (outcome == Attempt::Finished) {
            failures = 0;
            if (learnLength) break;
            continue;
        }
        if (outcome == Attempt::GiveUp) {
            t.Log(c.number, "连接结束: " + why, kLogError);
            t.SetEndReason(why);
            break;
        }
        if (t.stopping) break;
        if (++failures > s.maxRetries) {
            t.Log(c.number, "重试次数用完: " + why, kLogError);
            t.SetEndReason("重试次数用完: " + why);
            break;
        }
        t.Log(c.number,
              why + ", " + std::to_string(s.retryWaitMs) + " 毫秒后重试 (第 " + std::to_string(failures) + " 次)",
              kLogError);
        WaitRetry(t, s.retryWaitMs);
    }
    {
        std::lock_guard lock(t.mutex);
        t.wakers.erase(std::find(t.wakers.begin(), t.wakers.end(), c.multi));
        --t.running;
        t.changed.notify_all();
    }
    curl_multi_cleanup(c.multi);
    c.multi = nullptr;
}

void StartFurtherConnections(Task& t) {
    for (std::size_t i = 1; i < t.pieces.size(); ++i) {
        ++t.running;  // counted before it starts, so nobody sees the task idle in between
        auto conn = std::make_shared<Connection>(Connection{t, static_cast<int>(i), {i}});
        std::shared_ptr<Task> keep = t.shared_from_this();
        std::lock_guard lock(t.mutex);
        t.threads.emplace_back([conn, keep] { RunConnection(*conn, false); });
    }
}

void RunTask(std::shared_ptr<Task> t) {
    Connection first{*t, 0, {0}};
    ++t->running;
    RunConnection(first, true);
    // Wait for the other connections, delivering their log lines on this thread meanwhile.
    for (;;) {
        t->DrainLogs();
        std::unique_lock lock(t->mutex);
        if (t->running == 0 && t->logs.empty()) break;
        t->changed.wait_for(lock, milliseconds(50));
    }
    {
        std::vector<std::thread> threads;
        {
            std::lock_guard lock(t->mutex);
            threads.swap(t->threads);
        }
        for (auto& th : threads) th.join();
    }
    // Pieces the connections left because the server ignores Range: one connection walks the rest.
    bool unfinished = false;
    for (const auto& pc : t->pieces) unfinished |= !pc.Done();
    if (unfinished && t->singleMode && !t->stopping) {
        Connection walker{*t, 0, {}, true};
        ++t->running;
        RunConnection(walker, false);
    }
    if (t->fd >= 0) ::close(t->fd);
    const std::int64_t written = t->Written();
    if (t->total < 0 || written != t->total) {
        std::string why = t->stopping ? std::string("任务被停止") : t->endReason;
        if (why.empty()) why = "任务未完成";
        t->Log(0, "任务提前结束: " + why, kLogError);
    } else {
        t->Log(0, "下载完成", kLogSuccess);
    }
    t->DrainLogs();
    t->Event(kEventTaskEnded, t->handle, static_cast<std::intptr_t>(written), 0);
    std::lock_guard lock(g_tasksMutex);
    if (t->owner) {
        std::intptr_t expected = t->handle;
        t->owner->handle.compare_exchange_strong(expected, 0);
        t->owner = nullptr;
    }
    g_tasks.erase(t->handle);
}

std::vector<unsigned char> ResumeData(const Task& t) {
    std::vector<unsigned char> out;
    auto put = [&](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        out.insert(out.end(), b, b + n);
    };
    auto putU64 = [&](std::uint64_t v) {
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto putText = [&](const std::string& s) {
        putU64(s.size());
        put(s.data(), s.size());
    };
    put("MJRS", 4);
    putU64(1);  // format version
    putText(t.url);
    putText(t.fileName);
    putU64(static_cast<std::uint64_t>(t.total));
    putU64(t.pieces.size());
    for (const auto& pc : t.pieces) {
        putU64(static_cast<std::uint64_t>(pc.start));
        putU64(static_cast<std::uint64_t>(pc.end));
        putU64(static_cast<std::uint64_t>(pc.pos.load()));
    }
    return out;
}

bool Stop(Download* d, std::vector<unsigned char>* resume) {
    std::shared_ptr<Task> t = Lookup(d);
    if (!t) return false;
    t->stopping = true;
    t->WakeAll();
    const auto deadline = Clock::now() + milliseconds(std::max(0, t->p.StopWait));
    while (t->running > 0 && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(20));
    if (resume) {
        std::lock_guard lock(t->mutex);
        *resume = ResumeData(*t);
    }
    std::lock_guard lock(g_tasksMutex);
    t->owner = nullptr;
    std::intptr_t expected = t->handle;
    d->handle.compare_exchange_strong(expected, 0);
    return true;
}

}  // namespace

bool AddTask(Download* d, const TaskParam* p) {
    if (!d || !p || d->handle.load() != 0) return false;
    if (p->Flags & kFlagUpload) return false;  // the program never uploads
    const std::string url = Text(p->Url);
    const std::optional<Address> address = ParseAddress(url);
    if (!address) return false;
    GlobalInit();
    auto t = std::make_shared<Task>();
    t->p = *p;
    t->p.Flags |= kFlagDownload;
    t->url = url;
    t->address = *address;
    t->localPath = Text(p->LocalPath);
    t->userName = p->UserName ? p->UserName : "anonymous";
    t->password = Text(p->Password);
    t->proxy = Text(p->ProxyServer);
    t->binaryExtensions = Text(p->BinaryExtensions);
    t->referer = p->Referer ? std::string(p->Referer) : url.substr(0, url.rfind('/'));
    t->fileName = t->localPath;
    if (t->fileName.empty() || t->fileName.back() == '/') t->fileName += FileNameOf(*address);
    t->p.Url = t->p.LocalPath = t->p.UserName = t->p.Password = nullptr;
    t->p.UploadOption = t->p.BinaryExtensions = t->p.ProxyServer = t->p.Referer = nullptr;
    t->handle = g_nextHandle++;
    t->owner = d;
    {
        std::lock_guard lock(g_tasksMutex);
        g_tasks[t->handle] = t;
    }
    d->handle = t->handle;
    try {
        std::thread(RunTask, t).detach();
    } catch (...) {
        std::lock_guard lock(g_tasksMutex);
        g_tasks.erase(t->handle);
        d->handle = 0;
        return false;
    }
    return true;
}

std::int64_t DoneLength(Download* d) {
    auto t = Lookup(d);
    return t ? t->done.load() : 0;
}

std::int64_t TaskSpeed(Download* d) {
    auto t = Lookup(d);
    return t ? t->speed.exchange(0) : 0;
}

std::int64_t TotalSpeed() {
    return g_totalSpeed.exchange(0);
}

bool StopTask(Download* d, std::vector<unsigned char>& resume, int /*mode*/) {
    resume.clear();
    return Stop(d, &resume);
}

void ReleaseDownload(Download* d) {
    Stop(d, nullptr);
}

void SetLibrarySettings(const LibrarySettings& s) {
    std::lock_guard lock(g_settingsMutex);
    g_settings = s;
}

LibrarySettings GetLibrarySettings() {
    return Settings();
}

}  // namespace mj::dl
