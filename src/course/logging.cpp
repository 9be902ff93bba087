#include "course/logging.h"

namespace nk {
Q_LOGGING_CATEGORY(lcCourse, "notoklyuv.course")
}
