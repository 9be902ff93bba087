#include "notenames.h"

#include <QStringList>
#include <cmath>

namespace nk {

namespace {

const QStringList &names()
{
    static const QStringList list = {
        QStringLiteral("ДО"),  QStringLiteral("ДО#"),  QStringLiteral("РЕ"),
        QStringLiteral("РЕ#"), QStringLiteral("МИ"),   QStringLiteral("ФА"),
        QStringLiteral("ФА#"), QStringLiteral("СОЛЬ"), QStringLiteral("СОЛЬ#"),
        QStringLiteral("ЛЯ"),  QStringLiteral("ЛЯ#"),  QStringLiteral("СИ")};
    return list;
}

const QStringList &fileStems()
{
    static const QStringList list = {
        QStringLiteral("00do"),      QStringLiteral("01do-diez"), QStringLiteral("02re"),
        QStringLiteral("03re-diez"), QStringLiteral("04mi"),      QStringLiteral("05fa"),
        QStringLiteral("06fa-diez"), QStringLiteral("07sol"),     QStringLiteral("08sol-diez"),
        QStringLiteral("09la"),      QStringLiteral("10la-diez"), QStringLiteral("11si")};
    return list;
}

QString fileStem(int pitch)
{
    return fileStems().value(pitch);
}

} // namespace

QString NoteNames::pitchName(int pitch)
{
    return names().value(pitch);
}

int NoteNames::pitchOf(const QString &name)
{
    return int(names().indexOf(name));
}

bool NoteNames::isBlack(int pitch)
{
    return pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10;
}

QString NoteNames::soundFileName(int pitch)
{
    return fileStem(pitch) + QStringLiteral(".wav");
}

QString NoteNames::octaveFolder(int octave)
{
    switch (octave) {
    case 3:
        return QStringLiteral("great");
    case 4:
        return QStringLiteral("little");
    case 5:
        return QStringLiteral("first");
    case 7:
        return QStringLiteral("third");
    default:
        return QStringLiteral("second");
    }
}

QString NoteNames::octaveTitle(int octave)
{
    switch (octave) {
    case 4:
        return QStringLiteral("малая октава");
    case 5:
        return QStringLiteral("первая октава");
    default:
        return QStringLiteral("вторая октава");
    }
}

int NoteNames::midiKey(const NoteRef &note)
{
    return 60 + (note.octave - 5) * 12 + note.pitch;
}

double NoteNames::frequency(const NoteRef &note)
{
    return 440.0 * std::pow(2.0, (midiKey(note) - 69) / 12.0);
}

QString NoteNames::timbrePath(const QString &timbre)
{
    return QStringLiteral("sound/") + timbre + QLatin1Char('/');
}

QString NoteNames::soundPath(const QString &timbre, const NoteRef &note)
{
    return timbrePath(timbre) + octaveFolder(note.octave) + QLatin1Char('/') +
           soundFileName(note.pitch);
}

QString NoteNames::pictPath(const NoteRef &note)
{
    return QStringLiteral("pictures/notes/") + octaveFolder(note.octave) + QLatin1Char('/') +
           fileStem(note.pitch) + QStringLiteral(".gif");
}

QString NoteNames::pict2Prefix(const NoteRef &note)
{
    return QStringLiteral("pictures/notes/") + octaveFolder(note.octave) + QLatin1Char('/') +
           fileStem(note.pitch) + QLatin1Char('_');
}

QString NoteNames::toDataPath(QString path)
{
    return path.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString NoteNames::chordFile(const QString &colour, int number)
{
    return QStringLiteral("chords/") + colour + QString::number(number) + QStringLiteral(".wav");
}

} // namespace nk
