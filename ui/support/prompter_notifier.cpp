#include "ui/support/prompter_notifier.h"

namespace corvel {

void PrompterNotifier::showMessage(const std::string& text) { prompter_.notify(text); }

}  // namespace corvel
