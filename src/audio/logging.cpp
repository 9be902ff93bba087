#include "audio/logging.h"

namespace nk {
Q_LOGGING_CATEGORY(lcAudio, "notoklyuv.audio")
}
