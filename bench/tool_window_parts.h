#pragma once
// What a tool window needs in a benchmark: settings that point at a simulated
// transmitter on one COM number with a second pressure input, in-memory
// storage, a scripted operator and no other tool windows.

#include <string>

#include "ui/support/scripted_file_chooser.h"
#include "ui/support/scripted_prompter.h"
#include "ui/tools/tool_context.h"

namespace corvel::bench {

class NoTools final : public ToolWindowOpener {
public:
    void open(ToolWindow, QWidget*) override {}
};

struct ToolWindowParts {
    ToolWindowParts(int com, std::uint32_t baudRate) {
        comm.setBaudText(std::to_string(baudRate));
        comm.p2Present = true;
        store.write(key::kPort, "COM" + std::to_string(com));
    }
    ToolContext context(SerialPortFactory& ports, ExchangeObserver* exchanges) {
        return ToolContext{comm, store, ports, shared, prompter, files, tools, exchanges};
    }

    CommSettings comm;
    MemoryStoredSettings store;
    SharedDeviceValues shared;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    NoTools tools;
};

}  // namespace corvel::bench
