#include "history/logging.h"

namespace nk {
Q_LOGGING_CATEGORY(lcHistory, "notoklyuv.history")
}
