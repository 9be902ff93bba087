#pragma once

#include <QString>

namespace nk::bench {

// Widgets are measured on the offscreen platform unless the caller chose one.
void preferOffscreen();

// Reports why a measurement could not be made, under the program's name, and
// gives the exit code for it.
int fail(const QString &why);

} // namespace nk::bench
