#include "ui/support/qt_stored_settings.h"

namespace corvel {
namespace {

QString QtText(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString KeyPath(std::string_view section, std::string_view key) { return QtText(section) + '/' + QtText(key); }

}  // namespace

QtStoredSettings::QtStoredSettings(const QString& application)
    : settings_(QSettings::IniFormat, QSettings::UserScope, QtText(kCompanyKey), application) {}

std::string QtStoredSettings::read(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    return settings_.value(KeyPath(section, key), QtText(defaultValue)).toString().toStdString();
}

bool QtStoredSettings::write(std::string_view section, std::string_view key, std::string_view value) {
    settings_.setValue(KeyPath(section, key), QtText(value));
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

}  // namespace corvel
