#include "ui/support/link_trace_log.h"

#include <memory>

Q_LOGGING_CATEGORY(lcLinkTrace, "corvel.link", QtWarningMsg)

namespace corvel {

TraceSink LinkTraceToLog() {
    const auto start = std::chrono::steady_clock::now();
    auto lines = std::make_shared<TraceLineFormatter>();
    return [start, lines](TraceDirection direction, ByteSpan bytes, std::chrono::steady_clock::time_point at) {
        if (!lcLinkTrace().isDebugEnabled()) return;
        qCDebug(lcLinkTrace).noquote() << QString::fromStdString(lines->line(direction, bytes, at - start));
    };
}

}  // namespace corvel
