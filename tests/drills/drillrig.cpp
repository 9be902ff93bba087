#include "drillrig.h"

#include "app/coursepages.h"
#include "app/exercises.h"
#include "audio/notenames.h"
#include "course/cp1251.h"
#include "course/levels.h"
#include "drills/blackwhitedrills.h"
#include "drills/drillpages.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "pagedriver.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"

#include <QFile>
#include <QTest>

namespace nk::test {

DrillRig::DrillRig() : WindowRig({QStringLiteral("04")})
{
    m_form->state().Settings.Level = 4;
}

BlackWhiteDrills &DrillRig::drills() const
{
    return m_form->exercises().drills();
}

KeysDrill &DrillRig::drill(int which) const
{
    return *drills().all().at(which);
}

const DrillDescription &DrillRig::description(int which) const
{
    return drill(which).description();
}

int &DrillRig::streak(int which)
{
    GlobalState &s = state();
    return which == Chords ? s.ChordSet.Streak
                           : (which == Melodies ? s.DMSet.Streak : s.DNSet.Streak);
}

int &DrillRig::firstColour(int which)
{
    GlobalState &s = state();
    return which == Chords ? s.ChordSet.FirstColour
                           : (which == Melodies ? s.DMSet.FirstColour : s.DNSet.FirstColour);
}

int &DrillRig::blackItem(int which)
{
    GlobalState &s = state();
    return which == Chords ? s.ChordSet.BlackItem
                           : (which == Melodies ? s.DMSet.BlackItem : s.DNSet.BlackItem);
}

int &DrillRig::whiteItem(int which)
{
    GlobalState &s = state();
    return which == Chords ? s.ChordSet.WhiteItem
                           : (which == Melodies ? s.DMSet.WhiteItem : s.DNSet.WhiteItem);
}

void DrillRig::openDrill(int which)
{
    m_form->course().ShowLevelPage(4);
    m_form->course().OpenStep(4, which + 1);
}

int DrillRig::progressNumber(int which) const
{
    auto *shown = PageDriver::withTag<PagePicture>(m_form->page(), 8);
    if (!shown || shown->geometry() != QRect(460, 0, 187, 29))
        return 0;
    const QImage image = shown->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    int found = 0;
    for (int k = 1; k <= 5; ++k) {
        const QString file = m_dir.filePath(
            QString(description(which).progressFolder + QString::number(k) + QStringLiteral(".gif"))
                .replace(u'\\', u'/'));
        if (QImage(file).convertToFormat(QImage::Format_ARGB32) == image)
            found = found ? -1 : k; // two equal pictures could not tell the number
    }
    return found;
}

bool DrillRig::keyLit(int octave, int pitch) const
{
    return m_form->keyboard().picture().pixel(KeyboardLayout::seed(octave, pitch)) ==
           KeyboardLayout::Green;
}

bool DrillRig::keyAtRest(int octave, int pitch) const
{
    const QRgb rest = isBlackKey(pitch) ? KeyboardLayout::Black : KeyboardLayout::White;
    return m_form->keyboard().picture().pixel(KeyboardLayout::seed(octave, pitch)) == rest;
}

bool DrillRig::menuEnabled() const
{
    return m_form->findChild<QWidget *>(QStringLiteral("btPart1"))->isEnabled();
}

bool DrillRig::levelPageShown() const
{
    for (QWidget *w : m_form->page().pageWidgets()) {
        if (qobject_cast<TStep *>(w))
            return true;
    }
    return false;
}

bool DrillRig::questionShown(int which) const
{
    return button(description(which).tags.listenPair) != nullptr;
}

bool DrillRig::listenPageShown() const
{
    return m_form->page().findByName(DrillPages::repetitionPictureName()) != nullptr;
}

QString DrillRig::levelFileText(const QString &name) const
{
    QFile f(m_dir.filePath(QStringLiteral("levels/04/") + name));
    return f.open(QIODevice::ReadOnly) ? Cp1251::decode(f.readAll()) : QString();
}

} // namespace nk::test
