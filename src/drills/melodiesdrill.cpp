#include "drills/melodiesdrill.h"

#include "course/inifile.h"
#include "course/randomsource.h"
#include "steps/stepcontext.h"
#include "widgets/page.h"

#include <algorithm>

namespace nk {

namespace {

const QString MelodyFile = QStringLiteral("melody.dat");

} // namespace

MelodiesDrill::MelodiesDrill(StepContext &context, TDMSet &set)
    : KeysDrill(context, DrillDescription::melodies(),
                {set.Streak, set.BlackItem, set.WhiteItem, set.FirstColour}),
      m_set(set)
{
}

int MelodiesDrill::countItems() const
{
    const IniFile file(context().page.base().resolve(levelFile(MelodyFile)));
    return std::min(itemKeyCount(file, sectionOf(Black), u'm'),
                    itemKeyCount(file, sectionOf(White), u'm'));
}

void MelodiesDrill::PickPair()
{
    m_set.ItemCount = countItems();
    m_set.FirstColour = RandomSource::draw(Black, White);
    m_set.BlackItem = RandomSource::draw(1, m_set.ItemCount);
    m_set.WhiteItem = m_set.BlackItem;
}

QList<HistoryNote> MelodiesDrill::itemNotes(int colour, int item) const
{
    return sequenceNotes(MelodyFile, u'm', colour, item);
}

bool MelodiesDrill::PlayDrillItem(int colour, int item)
{
    return playSequenceItem(MelodyFile, u'm', colour, item);
}

} // namespace nk
