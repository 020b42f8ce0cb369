#include "ui/tools/transmitter_info/transmitter_info_model.h"

#include <optional>

#include "config/transmitter_configuration.h"
#include "link/device_addresses.h"
#include "link/windows1252.h"

namespace corvel {

TransmitterInfoModel::TransmitterInfoModel(const ToolContext& context)
    : context_(context),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared}) {}

void TransmitterInfoModel::open() {
    connection_ = ReadStoredConnection(context_.store, context_.comm);
    route_ = PressureModuleRoute(connection_);
    const std::uint8_t module = connection_.commModule;
    session_.ReadIdentity(route_, module);
    session_.ReadFirmwareVersion(route_);
    const std::string version =
        session_.memory.firmwareVersionText.empty() ? session_.versionText : session_.memory.firmwareVersionText;
    session_.ReadDescription(route_, module);
    session_.ReadTagAndAsset(route_, module);
    session_.ReadManufacturingRecord(route_, module);
    route_[5] = kPressureModule;
    session_.ReadDeviceStringsXmtr(route_, module, connection_.networkAddress);
    session_.ReadSensorInfoP1(route_);
    state_.serialNumber = Windows1252ToUtf8(session_.serialNumberText);
    state_.model = Windows1252ToUtf8(session_.memory.modelNameText);
    state_.version = Windows1252ToUtf8(version);
    state_.tag = Windows1252ToUtf8(session_.tagText);
    state_.asset = Windows1252ToUtf8(session_.assetText);
    state_.description = Windows1252ToUtf8(session_.descriptionText);
    state_.editable = !IsEarlyFirmware(version);
    state_.p1Line = rangeLine(session_.p1Sensor);
    if (context_.comm.p2Present) {
        session_.ReadSensorInfoP2(route_);
        state_.p2Line = rangeLine(session_.p2Sensor);
    } else {
        state_.p2Line = "  P2:  N/A";
    }
}

std::string TransmitterInfoModel::rangeLine(const SensorInfo& sensor) const {
    return Windows1252ToUtf8(sensor.label + "   " + sensor.lowerLimitText + "-" + sensor.upperLimitText + "(" +
                             sensor.unitName + ")");
}

bool TransmitterInfoModel::save(const std::string& tag, const std::string& asset, const std::string& description) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"Tag No.", &tag}, {"Asset No.", &asset}, {"Description", &description}};
    std::string bytes[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<std::string> encoded = Utf8ToWindows1252(*fields[i].second);
        if (!encoded) {
            context_.prompter.error(std::string("The text of \"") + fields[i].first +
                                    "\" holds a character that the transmitter cannot store. Nothing was saved.");
            return false;
        }
        bytes[i] = *encoded;
    }
    const std::uint8_t module = connection_.commModule;
    session_.WriteDescription(route_, module, bytes[2]);
    session_.WriteTagAndAsset(route_, module, bytes[0], bytes[1]);
    state_.tag = tag;
    state_.asset = asset;
    state_.description = description;
    return true;
}

}  // namespace corvel
