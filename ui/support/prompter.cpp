#include "ui/support/prompter.h"

namespace corvel {

void Prompter::notify(std::string_view text) {
    show({std::string(text), std::string(kApplicationTitle), MessageIcon::None, MessageButtons::Ok});
}

void Prompter::inform(std::string_view text) {
    show({std::string(text), std::string(kApplicationTitle), MessageIcon::Information, MessageButtons::Ok});
}

void Prompter::error(std::string_view text) {
    show({std::string(text), std::string(kErrorCaption), MessageIcon::Error, MessageButtons::Ok});
}

bool Prompter::confirm(std::string_view text, std::optional<MessageAnswer> defaultButton) {
    return show({std::string(text), std::string(kApplicationTitle), MessageIcon::Warning, MessageButtons::YesNo,
                 defaultButton}) == MessageAnswer::Yes;
}

}  // namespace corvel
