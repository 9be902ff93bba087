#include "notepictures.h"

#include "canvas.h"

#include <QSet>

namespace nk {

namespace {

constexpr int kRepetitions = 5;

// Each pitch class keeps one soft colour in every picture of it.
QColor softColour(int pitch)
{
    return QColor::fromHsv(pitch * 30, 55, 250);
}
QColor deepColour(int pitch)
{
    return QColor::fromHsv(pitch * 30, 150, 150);
}

QString timesLeft(int n)
{
    if (n == 1)
        return QStringLiteral("последний раз");
    return QStringLiteral("ещё ") + QString::number(n) +
           (n < 5 ? QStringLiteral(" раза") : QStringLiteral(" раз"));
}

} // namespace

void NotePictures::writeAll(const Course &course, const OutputFolder &out)
{
    for (int octave = 4; octave <= 6; ++octave) {
        for (int pitch = 0; pitch < 12; ++pitch) {
            strip({octave, pitch}, out);
            for (int left = 1; left <= kRepetitions; ++left)
                repetition({octave, pitch}, left, out);
        }
    }
    for (const LevelSource &level : course.levels) {
        QSet<int> done;
        for (const NoteRef &note : Course::allNotes(level)) {
            if (done.contains(note.pitch))
                continue;
            done.insert(note.pitch);
            card(note.pitch,
                 QStringLiteral("levels/") + Course::levelFolder(level.number) + QLatin1Char('/') +
                     NoteNames::pitchName(note.pitch) + QStringLiteral(".bmp"),
                 out);
        }
    }
}

void NotePictures::strip(const NoteRef &note, const OutputFolder &out)
{
    Canvas c(161, 26);
    c.card(QRectF(1, 1, 159, 24), softColour(note.pitch), deepColour(note.pitch), 6);
    c.text(QRectF(4, 1, 153, 24),
           NoteNames::pitchName(note.pitch) + QStringLiteral(" - ") +
               NoteNames::octaveTitle(note.octave),
           13, true, Canvas::blue);
    c.saveGif(out, NoteNames::pictPath(note));
}

// Picture number `left` shows how many repetitions of the note remain.
void NotePictures::repetition(const NoteRef &note, int left, const OutputFolder &out)
{
    Canvas c(151, 55);
    c.card(QRectF(1, 1, 149, 53), softColour(note.pitch), deepColour(note.pitch), 8);
    c.text(QRectF(4, 2, 143, 17),
           NoteNames::pitchName(note.pitch) + QStringLiteral(", ") +
               NoteNames::octaveTitle(note.octave),
           12, true, Canvas::blue);
    for (int i = 0; i < kRepetitions; ++i)
        c.dot(QPointF(43 + i * 16, 27), 5.5, i < left ? Canvas::green : Canvas::paper,
              Canvas::blue);
    c.text(QRectF(4, 35, 143, 17), timesLeft(left), 12, false, Canvas::blue);
    c.saveGif(out, NoteNames::pict2Prefix(note) + QString::number(left) + QStringLiteral(".gif"));
}

void NotePictures::card(int pitch, const QString &relative, const OutputFolder &out)
{
    const QString name = NoteNames::pitchName(pitch);
    Canvas c(401, 249, softColour(pitch));
    c.card(QRectF(12, 12, 377, 225), Canvas::paper, deepColour(pitch), 22);
    c.noteSign(QPointF(60, 112), 22, deepColour(pitch));
    c.text(QRectF(100, 28, 270, 90), name, 72, true, Canvas::blue);
    c.text(QRectF(30, 132, 341, 50),
           QStringLiteral("Здесь будет ваша картинка к ноте ") + name +
               QStringLiteral(".\nНарисуйте её или подберите свою любимую."),
           15, false, Canvas::ink);
    c.text(QRectF(30, 186, 341, 40),
           QStringLiteral("Сохраните её в папке уровня под именем ") + name +
               QStringLiteral(".bmp,\nразмер 401 на 249 точек."),
           12, false, deepColour(pitch).darker(130));
    c.saveBmp(out, relative);
}

} // namespace nk
