#include "ui/support/scripted_prompter.h"

namespace corvel {

MessageAnswer ScriptedPrompter::show(const Message& message) {
    shown_.push_back(message);
    if (hook_) hook_(message);
    if (message.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (script_.empty()) return unscriptedAnswer(message);
    const MessageAnswer next = script_.front();
    script_.pop_front();
    return next;
}

MessageAnswer ScriptedPrompter::unscriptedAnswer(const Message& message) {
    ++unscripted_;
    if (unscripted_ <= kUnscriptedLimit) return MessageAnswer::No;
    if (unscripted_ == kUnscriptedLimit + 1 && stuck_) stuck_(message);
    return MessageAnswer::Yes;
}

void ScriptedPrompter::answer(std::initializer_list<MessageAnswer> answers) {
    script_.insert(script_.end(), answers.begin(), answers.end());
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> result;
    for (const Message& message : shown_) result.push_back(message.text);
    return result;
}

void ScriptedPrompter::clear() {
    shown_.clear();
    script_.clear();
    unscripted_ = 0;
}

}  // namespace corvel
