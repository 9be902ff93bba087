// The program's window writing a learner's progress, for the crash test: it
// runs a fixed learner session and can be killed at any moment of it.
//
//   robust_progressdriver <program folder> <journal> <actions> [record <states> | close]
//
// After start-up and after every completed action it appends "done N" to the
// journal with one write(): a killed process keeps what write() accepted, so
// the journal tells the checker which actions were certainly complete. With
// "record" (the reference run) it records every state the INI files pass
// through, before each replacement and after each action, and exits; with
// "close" it closes the window as the learner does and exits; otherwise it
// waits to be killed once the session is over.

#include "app/application.h"
#include "app/tmainform.h"
#include "app/wiring.h"
#include "course/inifile.h"
#include "course/programclock.h"
#include "datafiles.h"
#include "learnersession.h"
#include "widgets/messagebox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace nk;
using namespace nk::test;

namespace {

int g_journal = -1;
QElapsedTimer g_clock;

// "done N T": N actions complete, T milliseconds after main() began.
void journal(const QByteArray &line)
{
    const QByteArray text = line + ' ' + QByteArray::number(g_clock.elapsed()) + '\n';
    if (::write(g_journal, text.constData(), size_t(text.size())) != text.size())
        std::_Exit(4);
}

// No message is expected: the folder is writable. Showing one would block.
void messageShown(const QString &text)
{
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    std::_Exit(3);
}

// Warnings of the offscreen platform and of the simulated clicks would drown
// what matters, at every one of hundreds of runs.
void onlySerious(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

class StateRecorder
{
public:
    StateRecorder(const QString &folder, int &done) : m_folder(folder), m_done(done) {}
    void snapshot(const char *phase)
    {
        const int records = int(DataFiles::readLog(m_folder).messages.size());
        m_lines << QStringLiteral("%1 %2 %3 %4")
                       .arg(QLatin1String(phase))
                       .arg(m_done)
                       .arg(records)
                       .arg(DataFiles::digest(m_folder));
    }
    bool save(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.write(m_lines.join(u'\n').toUtf8() + '\n') > 0;
    }

private:
    QString m_folder;
    int &m_done;
    QStringList m_lines;
};

} // namespace

int main(int argc, char *argv[])
{
    g_clock.start();
    qInstallMessageHandler(&onlySerious);
    Application app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString folder = args[1];
    const int actions = args[3].toInt();
    g_journal = ::open(args[2].toLocal8Bit().constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (g_journal < 0)
        return 2;
    QLoggingCategory::setFilterRules(QStringLiteral("notoklyuv.audio.warning=false"));
    MessageBox::setHook(&messageShown);
    ProgramClock::setScale(0.001);

    int done = 0;
    StateRecorder recorder(folder, done);
    const QString mode = args.value(4);
    const bool record = mode == QLatin1String("record") && args.size() > 5;
    if (record)
        IniFile::setBeforeCommitHook([&recorder] { recorder.snapshot("hook"); });

    TMainForm form{BasePath(folder)};
    Wiring::connect(form);
    form.show();
    QCoreApplication::processEvents();
    LearnerSession session(form);
    journal("done 0");
    if (record)
        recorder.snapshot("end");
    for (int n = 1; n <= actions; ++n) {
        if (!session.act(n)) {
            std::fprintf(stderr, "the session is stuck at action %d\n", n);
            return 5;
        }
        QCoreApplication::processEvents();
        done = n;
        journal("done " + QByteArray::number(n));
        if (record)
            recorder.snapshot("end");
    }
    if (record)
        return recorder.save(args[5]) ? 0 : 6;
    if (mode == QLatin1String("close"))
        return form.close() ? 0 : 7;
    for (;;)
        ::pause(); // the kill ends it
}
