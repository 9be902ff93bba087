#pragma once

namespace nk {

// Questionnaire state of learning a note.
struct TQSettings
{
};

} // namespace nk
