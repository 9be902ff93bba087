#include "learnerrig.h"

#include "../support/pagedriver.h"
#include "app/wiring.h"
#include "course/cp1251.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "keyboard/keyboardlayout.h"
#include "widgets/messagebox.h"
#include "widgets/pageitem.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tlevel.h"
#include "widgets/tmycaption.h"
#include "widgets/tstep.h"
#include "widgets/tyesbutton.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDirIterator>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTest>

namespace nk::test {

namespace {

QStringList g_messages;
QtMessageHandler g_previousHandler = nullptr;

// Without a sound server or a window manager Qt says so at every sound and
// every window raise; the rest goes through.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    static const char *const expected[] = {"No audio device detected", "does not support raise()",
                                           "pa_context_connect"};
    for (const char *known : expected) {
        if (text.contains(QLatin1String(known)))
            return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

void recordMessage(const QString &text)
{
    g_messages.append(text);
}

// The learner's own files: a new learner has none of them yet.
bool learnerOnly(const QString &relative)
{
    return relative == u"levels/settings.dat" || relative == u"levels/log.dat" ||
           relative.startsWith(u"levels/DEMO_");
}

bool copyProgramFolder(const QString &from, const QString &to)
{
    for (const char *folder : {"levels", "pictures", "sound"}) {
        const QString root = from + u'/' + QLatin1String(folder);
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = QDir(from).relativeFilePath(file);
            if (learnerOnly(relative))
                continue;
            const QString target = to + u'/' + relative;
            if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target))
                return false;
        }
    }
    return true;
}

QString levelProblem(const QString &levelsDir, int level)
{
    const QString folder = levelsDir + u'/' + Levels::LevelFolder(level);
    const IniFile steps(folder + QStringLiteral("/level.dat"));
    const QStringList sections = steps.sections();
    for (qsizetype k = 1; k < sections.size(); ++k) {
        if (steps.readBool(sections[k], u"used", false) ||
            steps.readBool(sections[k], u"active", false) != (k == 1))
            return folder + QStringLiteral("/level.dat holds progress");
    }
    const IniFile notes(folder + QStringLiteral("/notes.dat"));
    for (const QString &section : notes.sections()) {
        for (const QString &key : notes.keys(section)) {
            if (QRegularExpression(QStringLiteral("^[av]\\d+$")).match(key).hasMatch())
                return folder + QStringLiteral("/notes.dat holds answers");
        }
    }
    return {};
}

} // namespace

QDateTime LearnerRig::moment()
{
    return QDateTime(QDate(2026, 12, 8), QTime(7, 29, 26));
}

LearnerRig::LearnerRig()
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    ProgramClock::setScale(0.0001);
    ProgramClock::setNowSource(&LearnerRig::moment);
    g_messages.clear();
    MessageBox::setHook(&recordMessage);
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    if (!copyProgramFolder(program, m_dir.path()))
        qWarning("the program folder %s could not be copied", qPrintable(program));
}

LearnerRig::~LearnerRig()
{
    m_form.reset();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    MessageBox::setHook(nullptr);
    if (m_quiet)
        qInstallMessageHandler(g_previousHandler);
    ProgramClock::setNowSource({});
    ProgramClock::setScale(1.0);
}

QString LearnerRig::freshnessProblem() const
{
    if (!QFile::exists(path(QStringLiteral("levels/part1.dat"))))
        return QStringLiteral("no course in ") + qEnvironmentVariable("NK_PROGRAM_DIR");
    for (const char *file : {"levels/settings.dat", "levels/log.dat"}) {
        if (QFile::exists(path(QLatin1String(file))))
            return QLatin1String(file) + QStringLiteral(" exists");
    }
    for (int level = 1; level <= Levels::Count; ++level) {
        const QString problem = levelProblem(path(QStringLiteral("levels")), level);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

void LearnerRig::start()
{
    // After the test framework's own handler, which it installs as it starts.
    if (!m_quiet) {
        g_previousHandler = qInstallMessageHandler(&quietHandler);
        m_quiet = true;
    }
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
    m_form->show();
}

bool LearnerRig::quit()
{
    if (!m_form || !clickMenu("btExit") || m_form->isVisible())
        return false;
    m_form.reset();
    return true;
}

void LearnerRig::kill()
{
    m_form.reset();
}

TYesButton *LearnerRig::button(int tag) const
{
    return PageDriver::withTag<TYesButton>(m_form->page(), tag);
}

TArrowLabel *LearnerRig::link(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(m_form->page(), tag);
}

QString LearnerRig::labelText(int top) const
{
    return PageDriver::labelText(m_form->page(), top);
}

QString LearnerRig::caption() const
{
    const QList<TMyCaption *> captions = widgets<TMyCaption>();
    return captions.size() == 1 ? captions.first()->text() : QString();
}

bool LearnerRig::clickButton(int tag)
{
    return PageDriver::clickButton(m_form->page(), tag);
}

bool LearnerRig::clickLink(int tag)
{
    return PageDriver::clickLink(m_form->page(), tag);
}

bool LearnerRig::clickMenu(const char *name)
{
    auto *w = m_form->findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!w || !w->isEnabled())
        return false;
    QTest::mouseClick(w, Qt::LeftButton);
    return true;
}

// Entries stand at 24 * position + 8 on both kinds of list.
bool LearnerRig::clickEntry(int position)
{
    for (PageLabel *label : widgets<PageLabel>()) {
        const bool entry = qobject_cast<TLevel *>(label) || qobject_cast<TStep *>(label);
        if (entry && label->y() == 24 * position + 8) {
            QTest::mouseClick(label, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

bool LearnerRig::levelPageShown() const
{
    return !widgets<TStep>().isEmpty();
}

QString LearnerRig::describePage() const
{
    QStringList parts;
    for (QWidget *w : m_form->page().pageWidgets()) {
        const auto *label = qobject_cast<QLabel *>(w);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        parts << QStringLiteral("%1#%2 %3")
                     .arg(QString::fromLatin1(w->metaObject()->className()))
                     .arg(PageItem::of(w)->tag())
                     .arg(label ? label->text() : (button ? button->text() : QString()));
    }
    return parts.join(QStringLiteral(" | "));
}

int LearnerRig::currentEntry() const
{
    int current = 0;
    for (PageLabel *label : widgets<PageLabel>()) {
        const bool entry = qobject_cast<TLevel *>(label) || qobject_cast<TStep *>(label);
        if (entry && label->textColor() == QColor(0xFF, 0x00, 0x00))
            current = current ? -1 : (label->y() - 8) / 24;
    }
    return current;
}

void LearnerRig::pressKey(int octave, int pitch)
{
    QTest::mousePress(m_form->keyboardPicture(), Qt::LeftButton, {},
                      KeyboardLayout::seed(octave, pitch));
}

QString LearnerRig::levelFile(int level, const QString &name) const
{
    return path(QStringLiteral("levels/") + Levels::LevelFolder(level) + u'/' + name);
}

bool LearnerRig::stepFlag(int level, int step, const char *key) const
{
    return IniFile(levelFile(level, QStringLiteral("level.dat")))
        .readBool(QString(QStringLiteral("step") + QString::number(step)), QString::fromLatin1(key),
                  false);
}

QString LearnerRig::noteValue(int level, int note, const QString &key) const
{
    return IniFile(levelFile(level, QStringLiteral("notes.dat")))
        .readString(QString(QStringLiteral("note") + QString::number(note)), key,
                    QStringLiteral("<none>"));
}

QString LearnerRig::setting(const char *key) const
{
    return IniFile(path(QStringLiteral("levels/settings.dat")))
        .readString(u"main", QString::fromLatin1(key), QStringLiteral("<none>"));
}

void LearnerRig::writeSetting(const char *key, const QString &value) const
{
    IniFile(path(QStringLiteral("levels/settings.dat")))
        .writeString(QStringLiteral("main"), QLatin1String(key), value);
}

QByteArray LearnerRig::logBytes() const
{
    QFile f(path(QStringLiteral("levels/log.dat")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList LearnerRig::logMessages() const
{
    const QByteArray bytes = logBytes();
    const QString head = momentText() + QStringLiteral(" - ");
    QStringList messages;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf("\x0A\x0D", from);
        const QString record =
            Cp1251::decode(bytes.mid(from, end < 0 ? bytes.size() - from : end - from));
        if (end < 0 || !record.startsWith(head)) {
            messages.append(QStringLiteral("<bad record: ") + record + u'>');
            break;
        }
        messages.append(record.mid(head.size()));
        from = end + 2;
    }
    return messages;
}

QStringList LearnerRig::newLog()
{
    const QStringList all = logMessages();
    const QStringList fresh = all.mid(m_logSeen);
    m_logSeen = all.size();
    return fresh;
}

QStringList LearnerRig::takeMessages()
{
    return std::exchange(g_messages, {});
}

} // namespace nk::test
