#pragma once

#include <QString>

namespace nk {

// Training state: the stage (notes per question), its half, the run of right
// answers and the question being asked.
struct TStep3Set
{
    qint32 NoteCount = 1;      // notes per question, 1..4; kept in settings.dat as notecount
    qint32 RightInRow = 1;     // right answers in a row already confirmed in this half
    qint32 Half = 1;           // 1 or 2
    qint32 LevelNoteCount = 1; // notes of the level
    QString QuestionText = QStringLiteral("150");
    QString QuestionTimbre; // the question's sounds are played in it; empty: the chosen one
};

} // namespace nk
