#include "core/platform/Messages.h"

namespace platform {

const char* MessageName(unsigned message) {
    switch (message) {
        case UM_MEASUREMENT_ERROR: return "UM_MEASUREMENT_ERROR";
        case UM_INTERVAL_WAITING: return "UM_INTERVAL_WAITING";
        case UM_INTERVAL_MEASURING: return "UM_INTERVAL_MEASURING";
        case UM_INTERVAL_STORED: return "UM_INTERVAL_STORED";
        case UM_INTERVAL_FINISHED: return "UM_INTERVAL_FINISHED";
        case UM_MANUAL_STORED: return "UM_MANUAL_STORED";
        case UM_TRANSFER_FINISHED: return "UM_TRANSFER_FINISHED";
        case UM_TRANSFER_PROGRESS: return "UM_TRANSFER_PROGRESS";
        case UM_EXPOSURE: return "UM_EXPOSURE";
        case UM_TRANSFER_SKIPPED: return "UM_TRANSFER_SKIPPED";
        case UM_MONITOR_MEASURED: return "UM_MONITOR_MEASURED";
        case UM_MONITOR_FINISHED: return "UM_MONITOR_FINISHED";
        default: return "";
    }
}

}  // namespace platform
