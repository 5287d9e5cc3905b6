#include "text/EngineLog.h"

Q_LOGGING_CATEGORY(lcEngine, "pictrove.engine", QtWarningMsg)
