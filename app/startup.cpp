#include "app/startup.h"

namespace corvel {

void RestoreCommSettings(CommSettings& comm, const StoredSettings& store) {
    comm.portName = store.read(key::kPort, "COM1");
    comm.setBaudText(store.read(key::kBaudRate, "115200"));
    comm.acceptDamagedReplies = store.read(key::kAcceptDamagedReplies, "0") == "1";
}

}  // namespace corvel
