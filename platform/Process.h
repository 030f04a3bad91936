// The process's life cycle: the one clean-up slot, the end sequence and the fatal stop.
#pragma once

#include <functional>
#include <string>

namespace mj::platform {

class Process {
public:
    virtual ~Process() = default;

    // A single slot: a second registration replaces the first.
    virtual void RegisterCleanup(std::function<void()> cleanup) = 0;
    // Ends the program with the code; from any thread, carried out on the GUI thread; never returns.
    [[noreturn]] virtual void EndProgram(int code) = 0;
    // Shows the message in an error box and ends with status 255 without the clean-up.
    [[noreturn]] virtual void FatalError(const std::string& message) = 0;
};

}  // namespace mj::platform
