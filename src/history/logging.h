#pragma once

#include <QLoggingCategory>

namespace nk {
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
}
