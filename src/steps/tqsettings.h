#pragma once

#include <QString>

namespace nk {

// Questionnaire state of learning a note. Training reuses the first two fields.
struct TQSettings
{
    qint32 SectionCount = 1;  // sections of the level's notes.dat (training: its notes)
    qint32 NoteIndex = 1;     // the note being described, section "note" + NoteIndex
    qint32 QuestionLimit = 1; // sections of questions.dat minus two
    qint32 QuestionNo = 1;    // the question shown next
    QString PictPath;         // the note's small picture on the question pages
};

} // namespace nk
