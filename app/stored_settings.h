#pragma once
// The persisted per-user store of the utility: text values under the company
// key "Corvel", section "Settings". Every value is text; a read names the
// default that is returned when the key is absent. Writes may fail silently.

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace corvel {

inline constexpr std::string_view kCompanyKey = "Corvel";
inline constexpr std::string_view kSettingsSection = "Settings";

namespace key {
inline constexpr std::string_view kPort = "Port";
inline constexpr std::string_view kBaudRate = "BaudRate";
inline constexpr std::string_view kSourceNetwork = "SourceNetwork";
inline constexpr std::string_view kEPIAddress = "EPIAddress";
inline constexpr std::string_view kEVIAddress = "EVIAddress";
inline constexpr std::string_view kCommBoardAddress = "CommBoardAddress";
inline constexpr std::string_view kCommModule = "CommModule";
inline constexpr std::string_view kFromCSU = "FromCSU";
inline constexpr std::string_view kAcceptDamagedReplies = "AcceptDamagedReplies";
}  // namespace key

class StoredSettings {
public:
    virtual ~StoredSettings() = default;
    virtual std::string read(std::string_view section, std::string_view key, std::string_view defaultValue) const = 0;
    // Returns whether the value was stored; every caller in the utility ignores it.
    virtual bool write(std::string_view section, std::string_view key, std::string_view value) = 0;

    // The same, in section "Settings", where every key of the utility lives.
    std::string read(std::string_view key, std::string_view defaultValue) const {
        return read(kSettingsSection, key, defaultValue);
    }
    bool write(std::string_view key, std::string_view value) { return write(kSettingsSection, key, value); }
};

// A store kept in memory, for tests and for the command-line tool.
class MemoryStoredSettings final : public StoredSettings {
public:
    using StoredSettings::read;
    using StoredSettings::write;

    std::string read(std::string_view section, std::string_view key, std::string_view defaultValue) const override {
        const auto found = values_.find({std::string(section), std::string(key)});
        return found == values_.end() ? std::string(defaultValue) : found->second;
    }
    bool write(std::string_view section, std::string_view key, std::string_view value) override {
        values_[{std::string(section), std::string(key)}] = std::string(value);
        return true;
    }
    bool contains(std::string_view key) const { return values_.count({std::string(kSettingsSection), std::string(key)}) > 0; }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace corvel
