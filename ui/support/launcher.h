#pragma once
// Starts another program by file name, the way the desktop would open it, and
// does not wait for it. It reports whether the file was found.

#include <string>

namespace corvel {

class Launcher {
public:
    virtual ~Launcher() = default;
    // False when the file was found nowhere; nothing is started then.
    virtual bool open(const std::string& fileName) = 0;
    // The folder a bare file name is looked for in before PATH: the utility's own.
    virtual std::string programFolder() const = 0;
};

}  // namespace corvel
