// Shell services: special folders, whole files, the default-program hand-off and the clock.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mj::platform {

enum class Folder { Desktop, System, Temporary };

class Shell {
public:
    virtual ~Shell() = default;

    // Opens an address or a file with the user's default program; false when that could not be started.
    virtual bool Open(const std::string& target) = 0;
    // Open, and when that fails the command registered for HTML documents.
    virtual bool OpenWithFallback(const std::string& target) = 0;

    // The folder's path ending in "/"; nullopt when it cannot be determined.
    virtual std::optional<std::string> SpecialFolder(Folder folder) = 0;

    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsRegularFile(const std::string& path) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Writes the file whole; the final name appears only once every byte is on disk.
    virtual bool WriteWhole(const std::string& path, std::span<const unsigned char> bytes) = 0;
    virtual std::optional<std::int64_t> FileSize(const std::string& path) = 0;

    // Milliseconds of a steady 64-bit clock.
    virtual std::int64_t UptimeMs() = 0;
};

}  // namespace mj::platform
