#pragma once

#include <QString>

namespace nk {

// Course files mark a line break with "&"; a caption wants a carriage return
// (code 13, no line feed) in its place.
QString ExpandLineBreaks(const QString &text);

} // namespace nk
