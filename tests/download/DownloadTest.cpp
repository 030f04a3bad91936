// The download library against real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/download/Download.h"
#include "support/TestServer.h"

namespace mj::test {
namespace {

using Clock = std::chrono::steady_clock;

struct Ev {
    std::intptr_t event, a2, a3;
    std::string name;
};

// What the callbacks saw. The callbacks are plain routines, so the recorder is one process-wide value.
struct Recorder {
    std::mutex m;
    std::condition_variable cv;
    std::vector<Ev> events;
    std::vector<std::string> logs;
    std::intptr_t answer18 = 0;
    bool ended = false;

    void Reset() {
        std::lock_guard l(m);
        events.clear();
        logs.clear();
        answer18 = 0;
        ended = false;
    }
    bool WaitEnd(int ms) {
        std::unique_lock l(m);
        return cv.wait_for(l, std::chrono::milliseconds(ms), [&] { return ended; });
    }
    int Count(std::intptr_t e) {
        std::lock_guard l(m);
        int n = 0;
        for (const auto& x : events) n += x.event == e;
        return n;
    }
    bool Logged(const std::string& what) {
        std::lock_guard l(m);
        for (const auto& s : logs)
            if (s.find(what) != std::string::npos) return true;
        return false;
    }
} g_rec;

std::intptr_t OnEvent(std::intptr_t e, std::intptr_t a2, std::intptr_t a3, std::intptr_t a4, std::intptr_t) {
    std::lock_guard l(g_rec.m);
    EXPECT_FALSE(g_rec.ended) << "an event after event 4";
    g_rec.events.push_back({e, a2, a3, e == dl::kEventTotalLength ? reinterpret_cast<const char*>(a4) : ""});
    if (e == dl::kEventTaskEnded) {
        g_rec.ended = true;
        g_rec.cv.notify_all();
    }
    return e == dl::kEventFileExists ? g_rec.answer18 : 0;
}

std::intptr_t OnLog(std::intptr_t, std::intptr_t when, std::intptr_t msg, std::intptr_t level, std::intptr_t) {
    std::lock_guard l(g_rec.m);
    EXPECT_GE(level, 0);
    EXPECT_LE(level, 3);
    EXPECT_NE(reinterpret_cast<const char*>(when), nullptr);
    g_rec.logs.push_back(reinterpret_cast<const char*>(msg));
    return 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        g_rec.Reset();
        char tmpl[] = "/tmp/mj-dl-XXXXXX";
        dir = mkdtemp(tmpl);
        dl::SetLibrarySettings({200, 3, 16});
        p = {};
        p.Flags = dl::kFlagDownload;
        p.Connections = 1;
        p.ConnectTimeout = 2000;
        p.SendTimeout = 2000;
        p.ReceiveTimeout = 2000;
        p.StopWait = 1000;
        p.BlockSize = 20480;
        p.EventCallback = OnEvent;
        p.LogCallback = OnLog;
        p.UserName = "";
        p.Password = "";
    }
    void TearDown() override {
        dl::ReleaseDownload(&d);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    // Runs a task to its end; returns event 4's arg3.
    std::intptr_t Run(const std::string& url, const std::string& local, int timeoutMs = 30000) {
        p.Url = url.c_str();
        p.LocalPath = local.c_str();
        EXPECT_TRUE(dl::AddTask(&d, &p));
        EXPECT_TRUE(g_rec.WaitEnd(timeoutMs)) << url;
        for (int i = 0; i < 100 && d.handle.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(d.handle.load(), 0) << "the handle is cleared after event 4";
        std::lock_guard l(g_rec.m);
        return g_rec.events.empty() ? -1 : g_rec.events.back().a3;
    }
    std::string dir;
    dl::TaskParam p{};
    dl::Download d;
};

// Sizes around the one-piece boundary and a larger file, with 1, 6 and 200 connections.
TEST_F(Download, FilesArriveByteIdenticalWithEveryConnectionCount) {
    const std::size_t sizes[] = {0, 1, 20479, 20480, 20481, 3 * 1048576 + 7};
    std::map<std::string, std::string> files;
    for (std::size_t s : sizes) files["f" + std::to_string(s)] = Pattern(s, static_cast<unsigned>(s));
    Nginx nginx(files);
    ASSERT_TRUE(nginx.Running());
    for (int conns : {1, 6, 200}) {
        for (std::size_t s : sizes) {
            g_rec.Reset();
            p.Connections = conns;
            const std::string name = "f" + std::to_string(s);
            const std::string local = dir + "/" + name + "-" + std::to_string(conns);
            EXPECT_EQ(Run(nginx.Url("/files/" + name), local), static_cast<std::intptr_t>(s)) << name << " " << conns;
            EXPECT_EQ(g_rec.Count(dl::kEventTotalLength), 1) << name << " " << conns;
            EXPECT_EQ(g_rec.events.back().event, dl::kEventTaskEnded);
            EXPECT_EQ(g_rec.events.front().name, local);
            EXPECT_TRUE(ReadFile(local) == files[name]) << name << " with " << conns << " connections";
        }
    }
}

TEST_F(Download, ServerFaultsEndTheTaskOrAreOvercome) {
    FaultServer server;
    server.stallMs = 3000;
    p.ReceiveTimeout = 500;
    const std::string body = Pattern(300000);
    struct Case {
        std::string path;
        int connections;
        bool completes;
        const char* logged;
    } cases[] = {
        {"/nolength/5000", 1, false, "无法获得文件大小"},
        {"/status/404", 6, false, "404"},
        {"/status/500", 6, false, "500"},
        {"/redirect/301/ok/300000", 6, true, nullptr},
        {"/redirect/302" + server.Url("/ok/300000"), 6, true, nullptr},
        {"/redirect/307/ok/300000", 6, false, "307"},
        {"/loop", 1, false, "重定向次数过多"},
        {"/ignore-range/300000", 6, true, "单连接"},
        {"/drop/300000", 6, true, "提前关闭"},
        {"/stall/300000", 2, true, "超时"},
        {"/longer/300000", 6, true, nullptr},
    };
    for (const auto& c : cases) {
        g_rec.Reset();
        p.Connections = c.connections;
        const std::string local = dir + "/out" + std::to_string(&c - cases);
        const auto started = Clock::now();
        const std::intptr_t got = Run(server.Url(c.path), local);
        if (c.completes) {
            EXPECT_EQ(got, 300000) << c.path;
            EXPECT_TRUE(ReadFile(local) == body) << c.path;
        } else {
            EXPECT_EQ(got, 0) << c.path;
            EXPECT_EQ(g_rec.Count(dl::kEventTotalLength), 0) << c.path;
            // A status that ends a connection is not retried.
            EXPECT_LT(Clock::now() - started, std::chrono::seconds(2)) << c.path;
        }
        if (c.logged) {
            EXPECT_TRUE(g_rec.Logged(c.logged)) << c.path << " should log " << c.logged;
        }
        if (!c.completes) {
            EXPECT_TRUE(g_rec.Logged("任务提前结束")) << c.path;
        }
    }
}

TEST_F(Download, ARefusedPortIsRetriedThenGivenUp) {
    const int port = FreePort();
    const auto started = Clock::now();
    EXPECT_EQ(Run("http://127.0.0.1:" + std::to_string(port) + "/x.bin", dir + "/x.bin"), 0);
    EXPECT_EQ(g_rec.Count(dl::kEventTotalLength), 0);
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(3 * 200));  // three waits between four tries
    EXPECT_TRUE(g_rec.Logged("重试次数用完"));
}

TEST_F(Download, StopEndsWithinStopWaitAndReturnsResumeData) {
    FaultServer server;
    p.SpeedLimit = 999999999;  // paced: 20480 bytes a second per connection
    p.Connections = 4;
    const std::string url = server.Url("/ok/2000000"), local = dir + "/stopped";
    p.Url = url.c_str();
    p.LocalPath = local.c_str();
    ASSERT_TRUE(dl::AddTask(&d, &p));
    EXPECT_FALSE(dl::AddTask(&d, &p)) << "one task per object";
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::int64_t done = dl::DoneLength(&d);
    EXPECT_GT(done, 0);
    std::vector<unsigned char> resume(3, 0xEE);
    const auto started = Clock::now();
    EXPECT_TRUE(dl::StopTask(&d, resume, 2));
    EXPECT_EQ(d.handle.load(), 0);
    ASSERT_TRUE(g_rec.WaitEnd(p.StopWait + 1000));
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(p.StopWait + 1000));
    ASSERT_GE(resume.size(), 4u);
    EXPECT_EQ(std::memcmp(resume.data(), "MJRS", 4), 0);
    const std::intptr_t written = g_rec.events.back().a3;
    EXPECT_GE(written, done);
    EXPECT_LT(written, 2000000);
    EXPECT_FALSE(dl::StopTask(&d, resume, 2)) << "no task left to stop";
    EXPECT_EQ(dl::DoneLength(&d), 0);
    EXPECT_EQ(dl::TaskSpeed(&d), 0);
}

TEST_F(Download, PacingAllowsOneReadASecondPerConnection) {
    FaultServer server;
    p.SpeedLimit = 999999999;
    p.Connections = 1;
    const auto started = Clock::now();
    EXPECT_EQ(Run(server.Url("/ok/61440"), dir + "/paced"), 61440);
    // Three reads of 20480 bytes need at least two pauses of a second between them.
    EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(1900));
}

TEST_F(Download, CountersAddUpAndRestartWithoutLosingBytes) {
    Nginx nginx({{"big", Pattern(4 * 1048576)}});
    ASSERT_TRUE(nginx.Running());
    dl::TotalSpeed();
    p.Connections = 6;
    const std::string url = nginx.Url("/slow/big"), local = dir + "/big";
    p.Url = url.c_str();
    p.LocalPath = local.c_str();
    ASSERT_TRUE(dl::AddTask(&d, &p));
    std::int64_t speedSum = 0, totalSum = 0, lastDone = 0;
    while (!g_rec.WaitEnd(100)) {
        speedSum += dl::TaskSpeed(&d);
        totalSum += dl::TotalSpeed();
        const std::int64_t done = dl::DoneLength(&d);
        if (done) {
            EXPECT_GE(done, lastDone);
            lastDone = done;
        }
    }
    totalSum += dl::TotalSpeed();
    EXPECT_EQ(totalSum, 4 * 1048576) << "every byte counted once, none lost by a restart";
    EXPECT_LE(speedSum, totalSum);
}

TEST_F(Download, AnExistingFileIsAskedAboutAndRenamedOrAbandoned) {
    FaultServer server;
    const std::string local = dir + "/setup.exe";
    std::ofstream(local) << "old";
    EXPECT_EQ(Run(server.Url("/ok/1000"), local), 1000);
    EXPECT_EQ(g_rec.Count(dl::kEventFileExists), 1);
    EXPECT_EQ(g_rec.events.front().a2, 3) << "arg2 is the existing file's size";
    EXPECT_EQ(ReadFile(local), "old");
    EXPECT_EQ(ReadFile(dir + "/setup(1).exe"), Pattern(1000));
    for (const auto& e : g_rec.events) {
        if (e.event == dl::kEventTotalLength) {
            EXPECT_EQ(e.name, dir + "/setup(1).exe");
        }
    }

    g_rec.Reset();
    g_rec.answer18 = 1;
    EXPECT_EQ(Run(server.Url("/ok/1000"), local), 0);
    EXPECT_EQ(ReadFile(local), "old");
    struct stat st;
    EXPECT_NE(stat((dir + "/setup(2).exe").c_str(), &st), 0);
}

TEST_F(Download, AFolderPathTakesTheAddressFileName) {
    FaultServer server;
    EXPECT_EQ(Run(server.Url("/ok/777"), dir + "/"), 777);
    EXPECT_EQ(ReadFile(dir + "/777"), Pattern(777));
}

TEST_F(Download, AddTaskRefusesWhatItCannotDo) {
    const std::string local = dir + "/x";
    p.LocalPath = local.c_str();
    for (const char* url : {"https://127.0.0.1/x", "gopher://127.0.0.1/x", "http://127.0.0.1", "http://:80/x",
                            "http://127.0.0.1:99999/x", "", "no scheme/x"}) {
        p.Url = url;
        EXPECT_FALSE(dl::AddTask(&d, &p)) << url;
        EXPECT_EQ(d.handle.load(), 0);
    }
    p.Url = "http://127.0.0.1/x";
    p.Flags = dl::kFlagUpload;
    EXPECT_FALSE(dl::AddTask(&d, &p)) << "uploads are refused";
    EXPECT_FALSE(dl::AddTask(nullptr, &p));
}

TEST_F(Download, FtpDownloadsInPiecesWithRestAndLogsInAnonymously) {
    const std::string body = Pattern(300000, 3);
    FtpServer ftp({{"setup.bin", body}});
    ASSERT_TRUE(ftp.Running()) << "python3-pyftpdlib is needed";
    struct Case {
        int connections, transferType;
        const char* binaryExtensions;
    } cases[] = {{1, 1, nullptr}, {6, 1, nullptr}, {6, 3, ".exe|.bin"}};
    for (const auto& c : cases) {
        g_rec.Reset();
        p.Connections = c.connections;
        p.FtpTransferType = c.transferType;
        p.BinaryExtensions = c.binaryExtensions;
        p.UserName = nullptr;  // absent: "anonymous"
        const std::string local = dir + "/ftp" + std::to_string(&c - cases);
        EXPECT_EQ(Run(ftp.Url("/setup.bin"), local), 300000) << c.connections;
        EXPECT_TRUE(ReadFile(local) == body) << c.connections << " connections, type " << c.transferType;
    }
    // A name the server does not know is refused at login, and a refused login is not retried.
    g_rec.Reset();
    p.UserName = "nobody";
    p.Password = "wrong";
    p.ConnectTimeout = p.ReceiveTimeout = 6000;  // this server answers a refused login after 3 s of silence
    EXPECT_EQ(Run(ftp.Url("/setup.bin"), dir + "/denied"), 0);
    EXPECT_FALSE(g_rec.Logged("重试")) << "a refused login is asked once";
}

TEST_F(Download, APathThatCannotBeWrittenEndsTheTask) {
    FaultServer server;
    EXPECT_EQ(Run(server.Url("/ok/5000"), "/proc/no-such-dir/file"), 0);
    EXPECT_TRUE(g_rec.Logged("无法创建本地文件"));
}

}  // namespace
}  // namespace mj::test
