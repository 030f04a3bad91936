#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/Libraries.h"
#include "platform/Shell.h"

namespace mj::platform::shell {

class DlLibraries : public Libraries {
public:
    DlLibraries(Shell& shell, std::string executableFolder);
    ~DlLibraries() override = default;  // unloading is the end sequence's step, not the destructor's
    void* Resolve(const std::string& library, const std::string& function) override;
    void UnloadAll();
    // The file a resolved address was loaded from (tests).
    static std::string FileOf(void* address);

private:
    Shell& shell_;
    std::string exeFolder_;
    std::map<std::string, void*> handles_;
    std::map<std::pair<std::string, std::string>, void*> functions_;
};

}  // namespace mj::platform::shell
