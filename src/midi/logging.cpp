#include "midi/logging.h"

namespace nk {
// Debug lines (the MIDI libraries' own chatter) only when asked for.
Q_LOGGING_CATEGORY(lcMidi, "notoklyuv.midi", QtInfoMsg)
} // namespace nk
