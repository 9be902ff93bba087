#pragma once

#include "audio/tnote.h"

#include <QList>
#include <QString>

namespace nk {

// A run of notes in its text form: blank-separated tokens of a duration digit,
// an octave digit and a pitch number ("150" is one ДО of the first octave,
// "4511" a СИ lasting four time units).
struct NoteSequence
{
    QList<TNote> notes;

    struct Parsed
    {
        bool ok = false;
        QList<TNote> notes;
        QString badToken; // the first token that is not a note, when not ok
    };

    // The whole text is read before anything is played, so a bad token
    // further on stops the sequence before its first note.
    static Parsed parse(const QString &text);
    static QString token(const TNote &note);
    QString format() const;
};

} // namespace nk
