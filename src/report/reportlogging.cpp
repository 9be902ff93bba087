#include "report/reportlogging.h"

namespace nk {
Q_LOGGING_CATEGORY(lcReport, "notoklyuv.report")
}
