#pragma once
// The engine's debug trace. Diagnostics that the user never sees (an unparsable
// address, a failed write, a transfer that failed) go here; enable them with
// QT_LOGGING_RULES="pictrove.engine.debug=true".
#include <QLoggingCategory>

namespace pictrove {

Q_DECLARE_LOGGING_CATEGORY(lcEngine)

}  // namespace pictrove
