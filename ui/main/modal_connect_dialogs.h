#pragma once
// The connect dialogs of the running program, run modally over the active window.

#include "ui/main/connect_dialogs.h"
#include "ui/support/prompter.h"

namespace corvel {

class ModalConnectDialogs final : public ConnectDialogs {
public:
    explicit ModalConnectDialogs(Prompter& prompter) : prompter_(prompter) {}
    std::optional<Rs232ConnectValues> askRs232(const Rs232ConnectValues& previous) override;
    std::optional<Rs485ConnectValues> askRs485(const Rs485ConnectValues& previous) override;

private:
    Prompter& prompter_;
};

}  // namespace corvel
