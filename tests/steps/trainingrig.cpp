#include "trainingrig.h"

#include "../support/pagedriver.h"
#include "app/coursepages.h"
#include "app/wiring.h"
#include "course/cp1251.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "keyboard/keyboardlayout.h"
#include "steps/trainingpages.h"
#include "widgets/messagebox.h"
#include "widgets/page.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tyesbutton.h"

#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QTest>

namespace nk::test {

namespace {

void recordMessage(const QString &text)
{
    TrainingRig::messages().append(text);
}

void copyTree(const QString &from, const QString &to, const QString &filter = {})
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = QDir(from).relativeFilePath(file);
        if (!filter.isEmpty() && relative.contains(QLatin1Char('/')))
            continue;
        QDir().mkpath(QFileInfo(to + u'/' + relative).absolutePath());
        QFile::copy(file, to + u'/' + relative);
    }
}

} // namespace

QStringList &TrainingRig::messages()
{
    static QStringList list;
    return list;
}

TrainingRig::TrainingRig(const QStringList &levelFolders)
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    ProgramClock::setScale(0.001);
    messages().clear();
    MessageBox::setHook(&recordMessage);
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    // Pages only read the pictures: the course's own folder serves.
    QFile::link(program + QStringLiteral("/pictures"), path(QStringLiteral("pictures")));
    copyTree(program + QStringLiteral("/levels"), path(QStringLiteral("levels")),
             QStringLiteral("top"));
    for (const QString &folder : levelFolders)
        copyTree(program + QStringLiteral("/levels/") + folder,
                 path(QStringLiteral("levels/") + folder));
    writeText(QStringLiteral("levels/settings.dat"), QStringLiteral("[main]\r\nfirstrun=0\r\n"));
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
    m_form->show();
}

TrainingRig::~TrainingRig()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
    ProgramClock::setScale(1.0);
}

void TrainingRig::writeText(const QString &relative, const QString &text) const
{
    QByteArray bytes;
    Cp1251::encode(text, bytes);
    QDir().mkpath(QFileInfo(m_dir.filePath(relative)).absolutePath());
    QFile f(m_dir.filePath(relative));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void TrainingRig::openTraining(int level)
{
    m_form->course().ShowLevelPage(level);
    m_form->course().OpenStep(level, Levels::trainingStep(level));
}

TYesButton *TrainingRig::button(int tag) const
{
    return PageDriver::withTag<TYesButton>(m_form->page(), tag);
}

TArrowLabel *TrainingRig::link(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(m_form->page(), tag);
}

QString TrainingRig::labelText(int top) const
{
    return PageDriver::labelText(m_form->page(), top);
}

bool TrainingRig::clickButton(int tag)
{
    return PageDriver::clickButton(m_form->page(), tag);
}

bool TrainingRig::clickLink(int tag)
{
    return PageDriver::clickLink(m_form->page(), tag);
}

void TrainingRig::pressKey(int octave, int pitch)
{
    QTest::mousePress(m_form->keyboardPicture(), Qt::LeftButton, {},
                      KeyboardLayout::seed(octave, pitch));
}

bool TrainingRig::comparisonShown() const
{
    return m_form->page().findByName(TrainingPages::cardPictureName()) != nullptr;
}

QStringList TrainingRig::logLines() const
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

} // namespace nk::test
