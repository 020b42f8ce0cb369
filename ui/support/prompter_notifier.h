#pragma once
// The device link's message boxes ("Valid Network Address range is 1 - 254",
// "error %d") shown through the window's Prompter as plain OK boxes.

#include "link/notifier.h"
#include "ui/support/prompter.h"

namespace corvel {

class PrompterNotifier final : public Notifier {
public:
    explicit PrompterNotifier(Prompter& prompter) : prompter_(prompter) {}
    void showMessage(const std::string& text) override;

private:
    Prompter& prompter_;
};

}  // namespace corvel
