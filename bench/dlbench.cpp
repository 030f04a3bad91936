// Downloads one address with the project's download library: mj_dlbench URL FILE CONNECTIONS SPEEDLIMIT
// Prints the wall time in seconds and the bytes written.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/download/Download.h"

namespace {
std::mutex g_m;
std::condition_variable g_cv;
bool g_done = false;
long long g_written = 0;

std::intptr_t OnEvent(std::intptr_t e, std::intptr_t, std::intptr_t a3, std::intptr_t, std::intptr_t) {
    if (e == mj::dl::kEventTaskEnded) {
        std::lock_guard l(g_m);
        g_done = true;
        g_written = a3;
        g_cv.notify_all();
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) return 2;
    mj::dl::TaskParam p{};
    p.Flags = mj::dl::kFlagDownload;
    p.Url = argv[1];
    p.LocalPath = argv[2];
    p.Connections = std::atoi(argv[3]);
    p.SpeedLimit = std::atoi(argv[4]);
    p.ConnectTimeout = 5000;
    p.SendTimeout = 5001;
    p.ReceiveTimeout = 10000;
    p.StopWait = 1000;
    p.BlockSize = 20480;
    p.EventCallback = OnEvent;
    mj::dl::Download d;
    const auto start = std::chrono::steady_clock::now();
    if (!mj::dl::AddTask(&d, &p)) return 1;
    std::unique_lock l(g_m);
    g_cv.wait(l, [] { return g_done; });
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %lld\n", s, g_written);
    return 0;
}
