#pragma once
// A Prompter for tests: records every box (text, caption, icon, buttons) and
// answers from a script. When the script runs dry, an OK box answers OK and a
// question answers No, and the question is counted as unscripted.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "prompter.h"

namespace corvel {

class ScriptedPrompter final : public Prompter {
public:
    MessageAnswer show(const Message& message) override;

    // Answers for the coming questions, in order.
    void answer(std::initializer_list<MessageAnswer> answers);
    // Runs while a box is "open" (after it is recorded, before it answers).
    void onShow(std::function<void(const Message&)> hook) { hook_ = std::move(hook); }

    const std::vector<Message>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    int unscriptedQuestions() const { return unscripted_; }
    void clear();

private:
    std::vector<Message> shown_;
    std::deque<MessageAnswer> script_;
    std::function<void(const Message&)> hook_;
    int unscripted_ = 0;
};

}  // namespace corvel
