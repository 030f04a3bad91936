// Declared functions of libraries loaded by file name at their first call.
#pragma once

#include <string>

namespace mj::platform {

class Libraries {
public:
    virtual ~Libraries() = default;
    // The function's address in the library of that file name, looked up in the executable's folder first,
    // then in the system folder; loaded at the first call and kept until the end sequence unloads it.
    // nullptr when neither place gives a loadable library with that function.
    virtual void* Resolve(const std::string& library, const std::string& function) = 0;
};

}  // namespace mj::platform
