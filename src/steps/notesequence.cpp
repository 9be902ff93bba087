#include "steps/notesequence.h"

#include "audio/notenames.h"

#include <QStringList>

namespace nk {

namespace {

bool parseToken(QStringView token, TNote &note)
{
    if (token.size() < 3 || !token[0].isDigit() || !token[1].isDigit())
        return false;
    bool ok = false;
    const int pitch = token.mid(2).toInt(&ok);
    if (!ok)
        return false;
    note.Duration = token[0].digitValue();
    note.Octave = token[1].digitValue();
    note.Pitch = NormalizePitch(pitch);
    return true;
}

} // namespace

NoteSequence::Parsed NoteSequence::parse(const QString &text)
{
    Parsed result;
    for (const QString &token : text.split(QLatin1Char(' '))) {
        TNote note;
        if (!parseToken(token, note)) {
            result.notes.clear();
            result.badToken = token;
            return result;
        }
        result.notes.append(note);
    }
    result.ok = true;
    return result;
}

QString NoteSequence::token(const TNote &note)
{
    return QString::number(note.Duration) + QString::number(note.Octave) +
           QString::number(note.Pitch);
}

QString NoteSequence::format() const
{
    QStringList tokens;
    for (const TNote &note : notes)
        tokens.append(token(note));
    return tokens.join(QLatin1Char(' '));
}

} // namespace nk
