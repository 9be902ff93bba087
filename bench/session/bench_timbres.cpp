// Timbres that are mixed at random: how long a key press in a timbre not
// played before takes to reach a private null sink (its notes are decoded at
// their first play, never all at start-up), and the resident memory of the
// real window after a session of 100 training questions in mixed timbres.
// The course's piano recordings stand in for all eight timbres, each folder
// of its own, so decoding costs what a real timbre costs.
//
//   bench_timbres    (QT_QPA_PLATFORM=offscreen unless set)

#include "app/coursepages.h"
#include "app/globalstate.h"
#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "benchmain.h"
#include "benchwindow.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "course/randomsource.h"
#include "course/timbre.h"
#include "figures.h"
#include "programcopy.h"
#include "recordedsink.h"
#include "steps/trainingpages.h"
#include "widgets/tstep.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <cstdio>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int kLevel = 1;
constexpr int kQuestions = 100;
constexpr int kFreshPlayers = 4;

long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Every timbre of the table a folder of its own with the piano's recordings.
bool makeTimbres(const ProgramCopy &copy)
{
    const QString piano = copy.filePath(QStringLiteral("sound/piano"));
    for (const QString &folder : Timbre::folders()) {
        const QString to = copy.filePath(QStringLiteral("sound/") + folder);
        if (folder != QLatin1String("piano") && !QFileInfo::exists(to) && !QFile::link(piano, to))
            return false;
    }
    return true;
}

// ЛЯ of the first octave pressed in each timbre the player has not used yet.
bool keyPressLatency(RecordedSink &sink, const ProgramCopy &copy)
{
    std::vector<double> toSink;
    std::vector<double> inCall;
    std::vector<double> known;
    for (int round = 0; round < kFreshPlayers; ++round) {
        NotePlayer player{BasePath(copy.path())};
        player.makeReady();
        WaitMs(300);
        for (const QString &folder : Timbre::folders()) {
            if (folder == QLatin1String("piano"))
                continue;
            QElapsedTimer call;
            const std::optional<double> ms = sink.timeToSound([&] {
                call.start();
                player.useTimbre(folder);
                player.PlayNote(5, 9);
                inCall.push_back(double(call.nsecsElapsed()) / 1e6);
            });
            if (!ms)
                return false;
            toSink.push_back(*ms);
            WaitMs(150);
            player.useTimbre({});
            const std::optional<double> again = sink.timeToSound([&] { player.PlayNote(5, 9); });
            if (!again)
                return false;
            known.push_back(*again);
            WaitMs(150);
        }
    }
    Figures::printSpread("Key press in a timbre not used before: to the first sample at the sink",
                         "presses", toSink);
    Figures::printSpread("  of which in PlayNote (decoding the note)", "presses", inCall, 2);
    Figures::printSpread("Key press in the chosen timbre, decoded at start", "presses", known);
    return true;
}

bool levelPageShown(BenchWindow &w)
{
    return w.first<TStep>() != nullptr;
}

// Training questions of level 1 in mixed timbres, answered right; the
// training is opened again whenever it ends.
bool mixedSession(BenchWindow &w, QSet<QString> &timbres)
{
    GlobalState &s = w.form().state();
    s.Settings.TembrMix = true;
    RandomSource::seed(5);
    int answered = 0;
    for (int round = 0; answered < kQuestions && round < 20 * kQuestions; ++round) {
        if (levelPageShown(w) || round == 0) {
            w.form().course().OpenStep(kLevel, Levels::trainingStep(kLevel));
            w.clickLink(TrainingPages::ContinueLinkTag);
        } else if (w.button(TrainingPages::ListenTag)) {
            if (!w.clickButton(TrainingPages::ListenTag) ||
                !w.clickButton(TrainingPages::AnswerTag))
                return false;
            timbres.insert(s.player.timbre());
            for (int i = 0; i < s.Allowed.AnswerLen; ++i)
                w.pressKey(s.NotesB[std::size_t(i)].Octave, s.NotesB[std::size_t(i)].Pitch);
            if (!BenchWindow::waitFor([&w] { return w.link(TrainingPages::NextLinkTag); }, 5000))
                return false;
            ++answered;
        } else if (w.link(TrainingPages::NextLinkTag)) {
            w.clickLink(TrainingPages::NextLinkTag);
        } else if (!BenchWindow::waitFor([&s] { return !s.Resting; }, 20000)) {
            return false;
        }
    }
    return answered == kQuestions;
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    RecordedSink sink;
    QString error;
    if (!sink.start(&error))
        return fail(error);
    ProgramCopy copy;
    if (!copy.make(&error))
        return fail(error);
    if (!makeTimbres(copy))
        return fail(QStringLiteral("cannot make the timbre folders"));
    if (!keyPressLatency(sink, copy))
        return fail(QStringLiteral("a key press never reached the sink"));

    ProgramClock::setScale(0.001);
    QSet<QString> timbres;
    {
        BenchWindow window(copy.path());
        std::printf("Before the session: VmRSS %.1f MB\n", statusKb("VmRSS:") / 1024.0);
        if (!mixedSession(window, timbres))
            return fail(QStringLiteral("the session of %1 questions did not run").arg(kQuestions));
        std::printf("After %d training questions in %lld timbres: VmRSS %.1f MB, VmHWM %.1f MB "
                    "(target: under 64 MiB)\n",
                    kQuestions, qsizetype(timbres.size()), statusKb("VmRSS:") / 1024.0,
                    statusKb("VmHWM:") / 1024.0);
    }
    return 0;
}
