#include "platform/Log.h"

Q_LOGGING_CATEGORY(lcQuillora, "quillora", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStartup, "quillora.startup", QtWarningMsg)
