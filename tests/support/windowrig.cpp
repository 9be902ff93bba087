#include "windowrig.h"

#include "app/wiring.h"
#include "audio/notenames.h"
#include "course/cp1251.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "privatepulse.h"
#include "widgets/messagebox.h"
#include "widgets/tlevel.h"
#include "widgets/tmycaption.h"
#include "widgets/tstep.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFile>
#include <QLoggingCategory>

namespace nk::test {

namespace {

QtMessageHandler g_previousHandler = nullptr;
bool g_quiet = false;

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
    WindowRig::messages().append(text);
}

const char *const urlSchemes[] = {"http", "https", "mailto", "file"};

// Entries stand at 24 * position + 8 on both kinds of list.
bool isEntry(const PageLabel *label)
{
    return qobject_cast<const TLevel *>(label) || qobject_cast<const TStep *>(label);
}

} // namespace

UrlRecorder::UrlRecorder()
{
    for (const char *scheme : urlSchemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const char *scheme : urlSchemes)
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

QStringList &WindowRig::messages()
{
    static QStringList list;
    return list;
}

QDateTime WindowRig::moment()
{
    return QDateTime(QDate(2026, 12, 8), QTime(7, 29, 26));
}

WindowRig::WindowRig(const QStringList &levelFolders)
    : WindowRig(RigSetup(RigSetup::Levels, levelFolders))
{
}

WindowRig::WindowRig(const RigSetup &setup)
    : m_root(setup.folder.isEmpty() ? m_dir.path() : setup.folder), m_fixedClock(setup.fixedClock)
{
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    ProgramClock::setScale(setup.timeScale);
    if (m_fixedClock)
        ProgramClock::setNowSource(&WindowRig::moment);
    messages().clear();
    MessageBox::setHook(&recordMessage);
    m_ready = RigFolder::make(setup, m_root);
    if (!m_ready)
        qWarning("the program folder %s could not be made", qPrintable(m_root));
    if (m_ready && setup.privateSink) {
        // Before the window: its sound output finds the server as it starts.
        m_pulse = std::make_unique<testkit::PrivatePulse>();
        QString error;
        m_ready = m_pulse->start(&error);
        if (!m_ready)
            qWarning("the sound server did not start: %s", qPrintable(error));
    }
    if (m_ready && setup.start)
        start();
}

WindowRig::~WindowRig()
{
    m_form.reset();
    m_pulse.reset(); // after the window's sound output has let go of it
    MessageBox::setHook(nullptr);
    if (g_quiet)
        qInstallMessageHandler(g_previousHandler);
    g_quiet = false;
    if (m_fixedClock)
        ProgramClock::setNowSource({});
    ProgramClock::setScale(1.0);
}

void WindowRig::start()
{
    // After the test framework's own handler, which it installs as it starts.
    if (!g_quiet) {
        g_previousHandler = qInstallMessageHandler(&quietHandler);
        g_quiet = true;
    }
    m_form = std::make_unique<TMainForm>(BasePath(m_root));
    Wiring::connect(*m_form);
    m_form->show();
}

bool WindowRig::quit()
{
    if (!m_form || !clickMenu("btExit") || m_form->isVisible())
        return false;
    m_form.reset();
    return true;
}

// Never through a link: pictures and sounds are the built course's own files.
bool WindowRig::writeText(const QString &relative, const QString &text) const
{
    const QFileInfo target(path(relative));
    QDir().mkpath(target.absolutePath());
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    if (target.isSymLink() || !folder.startsWith(QFileInfo(m_root).canonicalFilePath())) {
        qWarning("%s lies outside the rig's program folder", qPrintable(relative));
        return false;
    }
    QByteArray bytes;
    QFile f(target.filePath());
    return Cp1251::encode(text, bytes) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}

TYesButton *WindowRig::button(int tag) const
{
    return PageDriver::withTag<TYesButton>(page(), tag);
}

TArrowLabel *WindowRig::link(int tag) const
{
    return PageDriver::withTag<TArrowLabel>(page(), tag);
}

QString WindowRig::labelText(int top) const
{
    return PageDriver::labelText(page(), top);
}

QString WindowRig::caption() const
{
    const QList<TMyCaption *> captions = widgets<TMyCaption>();
    return captions.size() == 1 ? captions.first()->text() : QString();
}

bool WindowRig::clickButton(int tag)
{
    return PageDriver::clickButton(page(), tag);
}

bool WindowRig::clickLink(int tag)
{
    return PageDriver::clickLink(page(), tag);
}

bool WindowRig::clickMenu(const char *name)
{
    auto *w = m_form->findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!w || !w->isEnabled())
        return false;
    QTest::mouseClick(w, Qt::LeftButton);
    return true;
}

bool WindowRig::clickEntry(int position)
{
    for (PageLabel *label : widgets<PageLabel>()) {
        if (isEntry(label) && label->y() == 24 * position + 8) {
            QTest::mouseClick(label, Qt::LeftButton);
            return true;
        }
    }
    return false;
}

int WindowRig::currentEntry() const
{
    int current = 0;
    for (PageLabel *label : widgets<PageLabel>()) {
        if (isEntry(label) && label->textColor() == QColor(0xFF, 0x00, 0x00))
            current = current ? -1 : (label->y() - 8) / 24;
    }
    return current;
}

bool WindowRig::levelPageShown() const
{
    return !widgets<TStep>().isEmpty();
}

bool WindowRig::menuEnabled() const
{
    return m_form->findChild<QWidget *>(QStringLiteral("btPart1"))->isEnabled();
}

QString WindowRig::describePage() const
{
    QStringList parts;
    for (QWidget *w : page().pageWidgets()) {
        const auto *label = qobject_cast<QLabel *>(w);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        parts << QStringLiteral("%1#%2 %3")
                     .arg(QString::fromLatin1(w->metaObject()->className()))
                     .arg(PageItem::of(w)->tag())
                     .arg(label ? label->text() : (button ? button->text() : QString()));
    }
    return parts.join(QStringLiteral(" | "));
}

void WindowRig::pressKey(int octave, int pitch)
{
    QTest::mousePress(m_form->keyboardPicture(), Qt::LeftButton, {},
                      KeyboardLayout::seed(octave, pitch));
}

bool WindowRig::pressPlayed(bool right)
{
    const int length = state().Allowed.AnswerLen;
    if (length < 1)
        return false;
    for (int i = 0; i < length; ++i) {
        const TNote &note = state().NotesB[std::size_t(i)];
        int pitch = note.Pitch;
        if (i == 0 && !right)
            pitch = pitch < 11 ? pitch + 1 : pitch - 1;
        if (note.Octave < 4 || note.Octave > 6 || pitch < 0 || pitch > 11)
            return false;
        pressKey(note.Octave, pitch);
    }
    return true;
}

bool WindowRig::keyLit(int octave, int pitch) const
{
    return m_form->keyboard().picture().pixel(KeyboardLayout::seed(octave, pitch)) ==
           KeyboardLayout::Green;
}

bool WindowRig::keyAtRest(int octave, int pitch) const
{
    const QRgb rest = isBlackKey(pitch) ? KeyboardLayout::Black : KeyboardLayout::White;
    return m_form->keyboard().picture().pixel(KeyboardLayout::seed(octave, pitch)) == rest;
}

QString WindowRig::levelFile(int level, const QString &name) const
{
    return path(QStringLiteral("levels/") + Levels::LevelFolder(level) + u'/' + name);
}

bool WindowRig::stepFlag(int level, int step, QAnyStringView key) const
{
    return IniFile(levelFile(level, QStringLiteral("level.dat")))
        .readBool(QString(QStringLiteral("step") + QString::number(step)), key.toString(), false);
}

QString WindowRig::noteValue(int level, int note, QAnyStringView key) const
{
    return IniFile(levelFile(level, QStringLiteral("notes.dat")))
        .readString(QString(QStringLiteral("note") + QString::number(note)), key.toString(),
                    QStringLiteral("<none>"));
}

QString WindowRig::setting(QAnyStringView key) const
{
    return IniFile(path(QStringLiteral("levels/settings.dat")))
        .readString(u"main", key.toString(), QStringLiteral("<none>"));
}

void WindowRig::writeSetting(QAnyStringView key, const QString &value) const
{
    IniFile(path(QStringLiteral("levels/settings.dat")))
        .writeString(QStringLiteral("main"), key.toString(), value);
}

QStringList WindowRig::logLines() const
{
    QStringList lines;
    for (const QString &line : Cp1251::decode(logBytes()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    }
    return lines;
}

QByteArray WindowRig::logBytes() const
{
    QFile f(path(QStringLiteral("levels/log.dat")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList WindowRig::logMessages() const
{
    static const QRegularExpression date(
        QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}( \\d{1,2}:\\d\\d:\\d\\d)? - "));
    const QByteArray bytes = logBytes();
    QStringList messages;
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype end = bytes.indexOf("\x0A\x0D", from);
        const QString record =
            Cp1251::decode(bytes.mid(from, end < 0 ? bytes.size() - from : end - from));
        const QRegularExpressionMatch head = date.match(record);
        const bool dated = m_fixedClock ? record.startsWith(momentText() + QStringLiteral(" - "))
                                        : head.hasMatch();
        if (end < 0 || !dated) {
            messages.append(QStringLiteral("<bad record: ") + record + u'>');
            break;
        }
        messages.append(record.mid(head.capturedLength()));
        from = end + 2;
    }
    return messages;
}

QStringList WindowRig::newLog()
{
    const QStringList all = logMessages();
    const QStringList fresh = all.mid(m_logSeen);
    m_logSeen = all.size();
    return fresh;
}

QStringList WindowRig::takeMessages()
{
    return std::exchange(messages(), {});
}

} // namespace nk::test
