#pragma once
// The persisted store of the running program on QSettings: organization
// "Corvel", the program's base name as the application key, one group per
// section (on Linux an INI file under the user's configuration folder).

#include <QSettings>

#include "app/stored_settings.h"

namespace corvel {

class QtStoredSettings final : public StoredSettings {
public:
    using StoredSettings::read;
    using StoredSettings::write;

    // `application`: the program's own key under "Corvel".
    explicit QtStoredSettings(const QString& application);

    std::string read(std::string_view section, std::string_view key, std::string_view defaultValue) const override;
    bool write(std::string_view section, std::string_view key, std::string_view value) override;

    QString fileName() const { return settings_.fileName(); }

private:
    mutable QSettings settings_;
};

}  // namespace corvel
