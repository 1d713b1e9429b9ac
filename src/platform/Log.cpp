#include "platform/Log.h"

Q_LOGGING_CATEGORY(lcQuillora, "quillora", QtWarningMsg)
