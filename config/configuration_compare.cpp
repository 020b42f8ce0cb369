#include "config/configuration_compare.h"

#include <map>

#include "config/configuration_settings.h"

namespace corvel {
namespace {

using SettingTexts = std::map<std::string, SettingText>;

SettingTexts TextsOf(const TransmitterConfiguration& configuration, int decimals) {
    SettingTexts texts;
    for (SettingText& setting : SettingTextsOf(configuration, decimals)) texts.emplace(setting.setting, std::move(setting));
    return texts;
}

// What is shown and what is compared; a setting that one side lacks is shown and compared as absent.
std::pair<std::string, std::string> TextOr(const SettingTexts& texts, const std::string& setting) {
    const auto found = texts.find(setting);
    if (found == texts.end()) return {kNotPresentText, kNotPresentText};
    return {found->second.text, found->second.compared};
}

}  // namespace

std::vector<ComparisonRow> CompareConfigurations(const TransmitterConfiguration& transmitter,
                                                 const TransmitterConfiguration& file) {
    // Both sides with the transmitter's digits, so that one value gives one text.
    const int decimals = transmitter.p1.decimals;
    const SettingTexts left = TextsOf(transmitter, decimals);
    const SettingTexts right = TextsOf(file, decimals);
    std::vector<ComparisonRow> rows;
    for (const std::string& setting : AllSettingNames()) {
        if (!left.contains(setting) && !right.contains(setting)) continue;
        const auto [transmitterText, transmitterValue] = TextOr(left, setting);
        const auto [fileText, fileValue] = TextOr(right, setting);
        rows.push_back(ComparisonRow{setting, transmitterText, fileText, transmitterValue != fileValue});
    }
    return rows;
}

std::vector<ComparisonRow> Differences(const std::vector<ComparisonRow>& rows) {
    std::vector<ComparisonRow> differing;
    for (const ComparisonRow& row : rows)
        if (row.differs) differing.push_back(row);
    return differing;
}

}  // namespace corvel
