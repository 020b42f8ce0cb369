#include "config/configuration_compare.h"

#include <map>

#include "common/number_format.h"
#include "config/configuration_settings.h"

namespace corvel {
namespace {

using SettingTexts = std::map<std::string, std::string>;

SettingTexts TextsOf(const TransmitterConfiguration& configuration, int decimals) {
    SettingTexts texts;
    for (SettingText& setting : SettingTextsOf(configuration, decimals))
        texts.emplace(std::move(setting.setting), std::move(setting.text));
    return texts;
}

std::string TextOr(const SettingTexts& texts, const std::string& setting) {
    const auto found = texts.find(setting);
    return found == texts.end() ? kNotPresentText : found->second;
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
        ComparisonRow row{setting, TextOr(left, setting), TextOr(right, setting), false};
        row.differs = row.transmitterText != row.fileText;
        rows.push_back(std::move(row));
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
