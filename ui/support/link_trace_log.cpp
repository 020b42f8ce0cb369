#include "ui/support/link_trace_log.h"

Q_LOGGING_CATEGORY(lcLinkTrace, "corvel.link", QtWarningMsg)

namespace corvel {

TraceSink LinkTraceToLog() {
    const auto start = std::chrono::steady_clock::now();
    return [start](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point at) {
        if (!lcLinkTrace().isDebugEnabled()) return;
        qCDebug(lcLinkTrace).noquote() << QString::fromStdString(FormatTraceLine(direction, bytes, at - start));
    };
}

}  // namespace corvel
