#pragma once
// A Prompter for tests: records every box (text, caption, icon, buttons) and
// answers from a script. When the script runs dry, an OK box answers OK and a
// question answers No and is counted as unscripted. A test that keeps asking
// past a few unscripted questions is stuck: the prompter reports it once to
// whoever watches and from then on answers Yes, so that a loop that No keeps
// going comes to an end.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/support/prompter.h"

namespace corvel {

class ScriptedPrompter final : public Prompter {
public:
    static constexpr int kUnscriptedLimit = 3;

    MessageAnswer show(const Message& message) override;

    // Answers for the coming questions, in order.
    void answer(std::initializer_list<MessageAnswer> answers);
    // Runs while a box is "open" (after it is recorded, before it answers).
    void onShow(std::function<void(const Message&)> hook) { hook_ = std::move(hook); }
    // Told once, with the question, when the unscripted questions pass the limit.
    void onStuck(std::function<void(const Message&)> report) { stuck_ = std::move(report); }

    const std::vector<Message>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    int unscriptedQuestions() const { return unscripted_; }
    void clear();

private:
    MessageAnswer unscriptedAnswer(const Message& message);

    std::vector<Message> shown_;
    std::deque<MessageAnswer> script_;
    std::function<void(const Message&)> hook_;
    std::function<void(const Message&)> stuck_;
    int unscripted_ = 0;
};

}  // namespace corvel
