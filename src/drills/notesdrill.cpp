#include "drills/notesdrill.h"

#include "course/inifile.h"
#include "course/randomsource.h"
#include "steps/stepcontext.h"
#include "widgets/page.h"

namespace nk {

namespace {

const QString NotesFile = QStringLiteral("notes.dat");

} // namespace

NotesDrill::NotesDrill(StepContext &context, TDNSet &set)
    : KeysDrill(context, DrillDescription::notes(),
                {set.Streak, set.BlackItem, set.WhiteItem, set.FirstColour}),
      m_set(set)
{
}

int NotesDrill::countItems(int colour) const
{
    const IniFile file(context().page.base().resolve(levelFile(NotesFile)));
    return itemKeyCount(file, sectionOf(colour), u'n');
}

void NotesDrill::PickPair()
{
    m_set.BlackCount = countItems(Black);
    m_set.WhiteCount = countItems(White);
    m_set.FirstColour = RandomSource::draw(Black, White);
    m_set.BlackItem = RandomSource::draw(1, m_set.BlackCount);
    m_set.WhiteItem = RandomSource::draw(1, m_set.WhiteCount);
}

QList<HistoryNote> NotesDrill::itemNotes(int colour, int item) const
{
    return sequenceNotes(NotesFile, u'n', colour, item);
}

bool NotesDrill::PlayDrillItem(int colour, int item)
{
    return playSequenceItem(NotesFile, u'n', colour, item);
}

} // namespace nk
