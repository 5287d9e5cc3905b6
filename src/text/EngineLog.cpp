#include "text/EngineLog.h"

namespace pictrove {

Q_LOGGING_CATEGORY(lcEngine, "pictrove.engine", QtWarningMsg)

}  // namespace pictrove
