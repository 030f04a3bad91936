// Everything the program reaches of its platform, handed to the program's entry.
#pragma once

#include "platform/Libraries.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/Toolkit.h"

namespace mj::platform {

struct Platform {
    Toolkit& ui;
    Shell& shell;
    Process& process;
    Libraries& libs;
};

using ProgramEntryFn = int (*)(Platform&);

// Starts the platform layer, runs the entry, then the end sequence with the entry's code.
int RunPlatform(int argc, char** argv, ProgramEntryFn entry);

}  // namespace mj::platform
