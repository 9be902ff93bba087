#include "drillrig.h"

#include "../support/pagedriver.h"
#include "app/coursepages.h"
#include "app/wiring.h"
#include "audio/notenames.h"
#include "course/cp1251.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "drills/blackwhitedrills.h"
#include "drills/drillpages.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"

#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>

namespace nk::test {

namespace {

void recordMessage(const QString &text)
{
    DrillRig::messages().append(text);
}

// Only the files directly in `from` when `topOnly`, else the whole tree.
void copyTree(const QString &from, const QString &to, bool topOnly)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = QDir(from).relativeFilePath(file);
        if (topOnly && relative.contains(QLatin1Char('/')))
            continue;
        QDir().mkpath(QFileInfo(to + u'/' + relative).absolutePath());
        QFile::copy(file, to + u'/' + relative);
    }
}

} // namespace

QStringList &DrillRig::messages()
{
    static QStringList list;
    return list;
}

DrillRig::DrillRig()
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    ProgramClock::setScale(0.001);
    messages().clear();
    MessageBox::setHook(&recordMessage);
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    // Pages only read the pictures: the course's own folder serves.
    QFile::link(program + QStringLiteral("/pictures"), m_dir.filePath(QStringLiteral("pictures")));
    copyTree(program + QStringLiteral("/levels"), m_dir.filePath(QStringLiteral("levels")), true);
    copyTree(program + QStringLiteral("/levels/04"), m_dir.filePath(QStringLiteral("levels/04")),
             false);
    writeText(QStringLiteral("levels/settings.dat"), QStringLiteral("[main]\r\nfirstrun=0\r\n"));
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
    m_form->show();
    m_form->state().Settings.Level = 4;
}

DrillRig::~DrillRig()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
    ProgramClock::setScale(1.0);
}

BlackWhiteDrills &DrillRig::drills() const
{
    return *m_form->findChild<BlackWhiteDrills *>();
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

void DrillRig::writeText(const QString &relative, const QString &text) const
{
    QByteArray bytes;
    Cp1251::encode(text, bytes);
    QDir().mkpath(QFileInfo(m_dir.filePath(relative)).absolutePath());
    QFile f(m_dir.filePath(relative));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void DrillRig::openDrill(int which)
{
    m_form->course().ShowLevelPage(4);
    m_form->course().OpenStep(4, which + 1);
}

TYesButton *DrillRig::button(int tag) const
{
    return PageDriver::withTag<TYesButton>(m_form->page(), tag);
}

TArrowLabel *DrillRig::link(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(m_form->page(), tag);
}

QString DrillRig::labelText(int top) const
{
    return PageDriver::labelText(m_form->page(), top);
}

bool DrillRig::clickButton(int tag)
{
    return PageDriver::clickButton(m_form->page(), tag);
}

bool DrillRig::clickLink(int tag)
{
    return PageDriver::clickLink(m_form->page(), tag);
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

QStringList DrillRig::logLines() const
{
    QFile f(m_dir.filePath(QStringLiteral("levels/log.dat")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QString &line : Cp1251::decode(f.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

QString DrillRig::levelFileText(const QString &name) const
{
    QFile f(m_dir.filePath(QStringLiteral("levels/04/") + name));
    return f.open(QIODevice::ReadOnly) ? Cp1251::decode(f.readAll()) : QString();
}

} // namespace nk::test
