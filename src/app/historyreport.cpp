#include "app/historyreport.h"

#include "app/commandline.h"
#include "course/basepath.h"
#include "course/levels.h"
#include "course/notecatalogue.h"
#include "drills/pitchtestscore.h"
#include "history/historystore.h"
#include "stats/notelabels.h"
#include "steps/levelnotes.h"
#include "steps/stepcontext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace nk {

namespace {

QString percent(int right, int total)
{
    // Rounded down, as on the statistics page.
    return total > 0 ? QString::number(100LL * right / total) + QLatin1Char('%')
                     : QStringLiteral("—");
}

void print(const QString &text, std::FILE *stream)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// The output checked to its end: a full disk or a closed pipe is a failure
// the caller has to see, not a quiet success.
int finishOutput(QFile &out, bool written, const QString &problem)
{
    written = out.flush() && written && out.error() == QFileDevice::NoError;
    if (written)
        return 0;
    const QString why = out.error() != QFileDevice::NoError ? out.errorString() : problem;
    print(QStringLiteral("Не удалось вывести историю ответов") +
              (why.isEmpty() ? QString() : QStringLiteral(": ") + why) + QLatin1Char('\n'),
          stderr);
    return 1;
}

} // namespace

QString HistoryReport::text(const HistorySummary &course, const Mastery &mastery)
{
    QString text;
    if (!course.problem.isEmpty())
        text += course.problem + QLatin1Char('\n');
    if (course.isEmpty()) // after a problem an empty summary says nothing of the answers
        return course.problem.isEmpty() ? QStringLiteral("Ответов пока нет: история пуста.\n")
                                        : text;
    text += QStringLiteral("Всего ответов: ") + QString::number(course.answers) +
            QStringLiteral(", верно ") + QString::number(course.rightAnswers) +
            QStringLiteral(" (") + percent(course.rightAnswers, course.answers) +
            QStringLiteral(")\n");
    for (const HistorySummary::LevelAccuracy &level : course.levels) {
        text += QStringLiteral("Уровень ") + QString::number(level.level) +
                QStringLiteral(": верно ") + QString::number(level.right) + QStringLiteral(" из ") +
                QString::number(level.total) + QStringLiteral(" (") +
                percent(level.right, level.total) + QStringLiteral(")\n");
        if (mastery.contains(level.level))
            text += NoteMastery::sentence(mastery[level.level].first, mastery[level.level].second) +
                    QLatin1Char('\n');
    }
    // Worded as the statistics page words them.
    const NoteLabels labels(course);
    for (qsizetype i = 0; i < course.mostConfused.size(); ++i)
        text += labels.pairSentence(course.mostConfused[i], i == 0) + QLatin1Char('\n');
    return text;
}

HistoryReport::Mastery HistoryReport::mastery(const HistoryStore &store, const BasePath &base,
                                              const HistorySummary &course)
{
    const NoteCatalogue catalogue(base, stepPitchNaming());
    Mastery mastery;
    for (const HistorySummary::LevelAccuracy &level : course.levels) {
        if (level.level < 1 || level.level > Levels::Count)
            continue;
        const QList<HistoryNote> notes = LevelNotes::of(catalogue, level.level);
        if (notes.isEmpty())
            continue;
        const QList<NoteRecord> records =
            store.noteRecords(level.level, NoteMastery::Window, notes);
        mastery.insert(level.level, {NoteMastery::count(notes, records), int(notes.size())});
    }
    return mastery;
}

QString HistoryReport::testLines(const QList<PitchTestRecord> &tests)
{
    QString text;
    for (const PitchTestRecord &test : tests) {
        PitchTestScore score;
        score.trials = test.trials;
        score.right = test.right;
        score.meanErrorTenths = test.meanErrorTenths;
        text += score.summaryLine(test.at.date()) + QLatin1Char('\n');
    }
    return text;
}

// A core application only: no window system is opened, so no display is needed.
// The learner's file is only read, from a copy: a look never changes it.
int HistoryReport::run(int &argc, char **argv, const CommandLine &line)
{
    QCoreApplication app(argc, argv);
    const BasePath base(line.folder().isEmpty() ? QCoreApplication::applicationDirPath()
                                                : line.folder());
    HistoryStore store(base);
    store.setReadOnly();
    const bool exists = QFileInfo::exists(store.path());
    if (line.csv()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly))
            return 1;
        const bool written = exists ? store.writeCsv(out) : HistoryStore::writeCsvHeader(out);
        return finishOutput(out, written, store.problem());
    }
    const HistorySummary course = exists ? store.summary(0) : HistorySummary();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    const QString report = text(course, exists ? mastery(store, base, course) : Mastery()) +
                           (exists ? testLines(store.pitchTests()) : QString());
    const bool written = out.write(report.toUtf8()) >= 0;
    const int code = finishOutput(out, written, QString());
    return code != 0 || (!course.problem.isEmpty() && course.isEmpty()) ? 1 : 0;
}

} // namespace nk
