#include "windowrig.h"

#include "app/wiring.h"
#include "course/cp1251.h"
#include "course/programclock.h"
#include "pagedriver.h"
#include "widgets/messagebox.h"

#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>

namespace nk::test {

namespace {

void recordMessage(const QString &text)
{
    WindowRig::messages().append(text);
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

QStringList &WindowRig::messages()
{
    static QStringList list;
    return list;
}

WindowRig::WindowRig(const QStringList &levelFolders)
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    ProgramClock::setScale(0.001);
    messages().clear();
    MessageBox::setHook(&recordMessage);
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    // Pages only read the pictures: the course's own folder serves.
    QFile::link(program + QStringLiteral("/pictures"), path(QStringLiteral("pictures")));
    copyTree(program + QStringLiteral("/levels"), path(QStringLiteral("levels")), true);
    for (const QString &folder : levelFolders)
        copyTree(program + QStringLiteral("/levels/") + folder,
                 path(QStringLiteral("levels/") + folder), false);
    writeText(QStringLiteral("levels/settings.dat"), QStringLiteral("[main]\r\nfirstrun=0\r\n"));
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
    m_form->show();
}

WindowRig::~WindowRig()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
    ProgramClock::setScale(1.0);
}

void WindowRig::writeText(const QString &relative, const QString &text) const
{
    QByteArray bytes;
    Cp1251::encode(text, bytes);
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile f(path(relative));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

TYesButton *WindowRig::button(int tag) const
{
    return PageDriver::withTag<TYesButton>(m_form->page(), tag);
}

TArrowLabel *WindowRig::link(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(m_form->page(), tag);
}

QString WindowRig::labelText(int top) const
{
    return PageDriver::labelText(m_form->page(), top);
}

bool WindowRig::clickButton(int tag)
{
    return PageDriver::clickButton(m_form->page(), tag);
}

bool WindowRig::clickLink(int tag)
{
    return PageDriver::clickLink(m_form->page(), tag);
}

QStringList WindowRig::logLines() const
{
    QFile f(path(QStringLiteral("levels/log.dat")));
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
