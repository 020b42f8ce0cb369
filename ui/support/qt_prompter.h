#pragma once
// The Prompter of the running program: modal message boxes over the active
// window. While a box is open the normal arrow cursor shows, even in the middle
// of a search that shows the wait cursor.

#include "ui/support/prompter.h"

namespace corvel {

class QtPrompter final : public Prompter {
public:
    MessageAnswer show(const Message& message) override;
};

}  // namespace corvel
