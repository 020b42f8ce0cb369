#pragma once
// Starts another program by file name, the way the desktop would open it, and
// does not wait for it. Whether it could be started is not reported.

#include <string>

namespace corvel {

class Launcher {
public:
    virtual ~Launcher() = default;
    virtual void open(const std::string& fileName) = 0;
};

}  // namespace corvel
