// Every host the program names, in one table. The maker's own hosts live under the reserved .example
// domain so that they can never reach a stranger's server.
#pragma once

namespace mj::hosts {

inline constexpr const char* kPortal = "www.mijutong.example";
inline constexpr const char* kForum = "bbs.mijutong.example";
inline constexpr const char* kDownload = "down.mijutong.example";
inline constexpr const char* kContactMail = "kf@mijutong.example";

inline constexpr const char* kPlayerVendor = "www.qvod.com";
inline constexpr const char* kNetDiskSearch = "www.qiannao.com";
inline constexpr const char* kXunzai = "www.xunzai.com";
inline constexpr const char* kDisk800 = "www.800disk.com";
inline constexpr const char* kWebSearch = "www.google.com.hk";
inline constexpr const char* kRayfile = "www.rayfile.com";
inline constexpr const char* kDisk115 = "115.com";

}  // namespace mj::hosts
