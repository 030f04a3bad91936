// Shell services on a Linux desktop: xdg-open, the XDG folders, POSIX files.
#pragma once

#include <string>
#include <vector>

#include "platform/Shell.h"

namespace mj::platform::shell {

class XdgShell : public Shell {
public:
    bool Open(const std::string& target) override;
    bool OpenWithFallback(const std::string& target) override;
    std::optional<std::string> SpecialFolder(Folder folder) override;
    bool Exists(const std::string& path) override;
    bool IsRegularFile(const std::string& path) override;
    bool Remove(const std::string& path) override;
    bool WriteWhole(const std::string& path, std::span<const unsigned char> bytes) override;
    std::optional<std::int64_t> FileSize(const std::string& path) override;
    std::int64_t UptimeMs() override;
};

// The command that opens HTML documents: the desktop entry's Exec line cut at its first field code and split
// by the desktop-entry quoting rules. Empty when it cannot be read.
std::vector<std::string> HtmlOpenCommand();
std::vector<std::string> SplitExecLine(const std::string& exec);

}  // namespace mj::platform::shell
