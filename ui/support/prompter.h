#pragma once
// The operator's side of every message box and question. The windows never
// open a message box themselves: they ask the Prompter they were given, which
// the program implements with real message boxes and the tests with a script.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace corvel {

inline constexpr std::string_view kApplicationTitle = "Corvel Setup Utility";
inline constexpr std::string_view kErrorCaption = "Error";

enum class MessageIcon { None, Information, Warning, Error };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct Message {
    Message(std::string text, std::string caption, MessageIcon icon = MessageIcon::None,
            MessageButtons buttons = MessageButtons::Ok, std::optional<MessageAnswer> defaultButton = std::nullopt)
        : text(std::move(text)),
          caption(std::move(caption)),
          icon(icon),
          buttons(buttons),
          defaultButton(defaultButton) {}

    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // The button that Enter presses; nothing leaves the choice to the platform.
    std::optional<MessageAnswer> defaultButton;

    bool operator==(const Message&) const = default;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer show(const Message& message) = 0;

    // A plain OK box with the application's title.
    void notify(std::string_view text);
    // An OK box reporting a completed action.
    void inform(std::string_view text);
    // An OK box reporting a failure, captioned "Error".
    void error(std::string_view text);
    // A Yes/No confirmation with the warning icon; true for Yes.
    bool confirm(std::string_view text, std::optional<MessageAnswer> defaultButton = std::nullopt);
};

}  // namespace corvel
