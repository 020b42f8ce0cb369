#pragma once
// The protocol trace of the utility: every exchange's bytes out and in, with
// times, as debug messages of the logging category "corvel.link". Off unless
// switched on, for example with QT_LOGGING_RULES="corvel.link.debug=true".

#include <QLoggingCategory>

#include "link/serial_trace.h"

Q_DECLARE_LOGGING_CATEGORY(lcLinkTrace)

namespace corvel {

// A trace sink that writes one line per write and per read to lcLinkTrace.
TraceSink LinkTraceToLog();

}  // namespace corvel
