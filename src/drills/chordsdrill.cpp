#include "drills/chordsdrill.h"

#include "audio/notenames.h"
#include "audio/noteplayer.h"
#include "course/inifile.h"
#include "course/randomsource.h"
#include "keyboard/keyboard.h"
#include "steps/stepcontext.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"

#include <QCoreApplication>
#include <algorithm>

namespace nk {

namespace {

const QString ChordsFile = QStringLiteral("chords.dat");
// The sound folder a chord's path begins with; the timbre folder goes after it.
constexpr int SoundFolderLength = 6;

} // namespace

ChordsDrill::ChordsDrill(StepContext &context, TChordSet &set)
    : KeysDrill(context, DrillDescription::chords(),
                {set.Streak, set.BlackItem, set.WhiteItem, set.FirstColour}),
      m_set(set)
{
}

int ChordsDrill::countItems() const
{
    const IniFile file(context().page.base().resolve(levelFile(ChordsFile)));
    return std::min(itemKeyCount(file, sectionOf(Black), u'p'),
                    itemKeyCount(file, sectionOf(White), u'p'));
}

void ChordsDrill::PickPair()
{
    m_set.ItemCount = countItems();
    m_set.FirstColour = RandomSource::draw(Black, White);
    m_set.BlackItem = RandomSource::draw(1, m_set.ItemCount);
    m_set.WhiteItem = RandomSource::draw(1, m_set.ItemCount);
}

// The keys lit for the chord, read as lightChord reads them.
QList<HistoryNote> ChordsDrill::itemNotes(int colour, int item) const
{
    const IniFile data(context().page.base().resolve(levelFile(ChordsFile)));
    const QString key = QLatin1Char('n') + QString::number(item);
    const QString keys = data.readString(sectionOf(colour), key, QStringLiteral("50"));
    QList<HistoryNote> notes;
    for (const QString &token : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool octaveRead = false;
        bool pitchRead = false;
        const int octave = token.left(1).toInt(&octaveRead);
        const int pitch = token.mid(1).toInt(&pitchRead);
        if (octaveRead && pitchRead)
            notes.append({octave, NormalizePitch(pitch)});
    }
    return notes;
}

bool ChordsDrill::PlayDrillItem(int colour, int item)
{
    const QString file = levelFile(ChordsFile);
    const std::optional<QString> sound = readItem(file, colour, u'p', item);
    if (!sound)
        return false;
    StepContext &c = context();
    c.player.playFile(sound->left(SoundFolderLength) + c.player.timbre() + QLatin1Char('\\') +
                      sound->mid(SoundFolderLength));
    const IniFile data(c.page.base().resolve(file));
    const QString keys = QLatin1Char('n') + QString::number(item);
    lightChord(data.readString(sectionOf(colour), keys, QStringLiteral("50")));
    c.timers.createHighlightReset(HighlightMs, c.Settings.HighlightPending);
    return true;
}

// A token is an octave digit and a pitch number; one that is not is skipped.
void ChordsDrill::lightChord(const QString &keys)
{
    for (const QString &token : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QCoreApplication::processEvents();
        bool octaveRead = false;
        bool pitchRead = false;
        const int octave = token.left(1).toInt(&octaveRead);
        const int pitch = token.mid(1).toInt(&pitchRead);
        if (octaveRead && pitchRead)
            context().keyboard.PaintKey(NormalizePitch(pitch), octave, 1);
    }
}

} // namespace nk
