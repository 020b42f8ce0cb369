#pragma once
// The Transmitter Information window without its widgets: reads the
// transmitter's identity, version, P1 and P2 ranges and its three
// identification texts (tag number, asset number, description), and stores
// the texts the operator edits. Texts travel to and from the transmitter as
// Windows-1252 bytes; the model shows and takes them as UTF-8.

#include <string>

#include "link/device_session.h"
#include "ui/support/prompter_notifier.h"
#include "link/stored_connection.h"
#include "ui/tools/tool_context.h"

namespace corvel {

inline constexpr std::size_t kTagRoom = 32;          // bytes the transmitter keeps
inline constexpr std::size_t kAssetRoom = 32;
inline constexpr std::size_t kDescriptionRoom = 128;

struct TransmitterInfoState {
    std::string serialNumber;
    std::string model;
    std::string version;
    std::string p1Line;
    std::string p2Line;
    std::string tag;
    std::string asset;
    std::string description;
    bool editable = true;  // the three texts; not on early firmware
};

class TransmitterInfoModel {
public:
    explicit TransmitterInfoModel(const ToolContext& context);

    const TransmitterInfoState& state() const { return state_; }
    void open();
    // Stores the three texts; false, after a message naming the field, when
    // one holds a character the transmitter cannot store (nothing is sent then).
    bool save(const std::string& tag, const std::string& asset, const std::string& description);

private:
    std::string rangeLine(const SensorInfo& sensor) const;

    ToolContext context_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    StoredConnection connection_;
    RouteBlock route_{};
    TransmitterInfoState state_;
};

}  // namespace corvel
