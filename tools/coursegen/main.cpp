// Builds the default course into the program folder:
//   nk_coursegen <content folder> <program folder> <soundfont>
#include "course.h"
#include "datawriter.h"
#include "generationerror.h"
#include "notepictures.h"
#include "outputfolder.h"
#include "pagepictures.h"
#include "progresspictures.h"
#include "soundwriter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

namespace {

void report(const char *what, const QElapsedTimer &clock)
{
    std::printf("coursegen: %s done at %.1f s\n", what, double(clock.elapsed()) / 1000.0);
    std::fflush(stdout);
}

void printSounds(const nk::SoundWriter &sounds)
{
    std::printf("coursegen: loudness target %.1f LUFS\n", sounds.targetLufs());
    QStringList kept;
    for (const nk::TimbreReport &r : sounds.reports())
        if (r.upToDate)
            kept << r.folder;
    std::printf("coursegen: up to date, not rendered again: %s\n",
                kept.isEmpty() ? "none" : qPrintable(kept.join(QStringLiteral(", "))));
    for (const nk::TimbreReport &r : sounds.reports())
        if (!r.upToDate)
            std::printf("coursegen: %-10s worst pitch %.2f cents (0.15-0.65 s) %.2f cents (whole), "
                        "peak margin %.1f dB, loudness spread %.2f LU (notes) %.2f LU (chords), "
                        "peak %.1f dBFS\n",
                        qPrintable(r.folder), r.worstCentsEarly, r.worstCentsWhole,
                        r.narrowestMarginDb, r.noteSpreadLu, r.chordSpreadLu, r.loudestPeakDbfs);
    for (const QString &failure : sounds.failures())
        std::printf("coursegen: %s\n", qPrintable(failure));
}

int run(const QStringList &args)
{
    using namespace nk;
    QElapsedTimer clock;
    clock.start();
    const Course course = Course::load(args[1]);
    const OutputFolder out(args[2]);
    DataWriter(course, out).writeAll();
    report("data and texts", clock);
    PagePictures::writeAll(out);
    ProgressPictures::writeAll(out);
    NotePictures::writeAll(course, out);
    report("pictures", clock);
    SoundWriter sounds(course, out, args[3]);
    sounds.writeAll();
    printSounds(sounds);
    report("sounds", clock);
    if (!sounds.failures().isEmpty())
        throw GenerationError(QString::number(sounds.failures().size()) +
                              QStringLiteral(" sounds miss a limit, among them ") +
                              sounds.failures().first());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Text is drawn into the pictures; no display is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: nk_coursegen <content> <program folder> <soundfont>\n");
        return 2;
    }
    try {
        return run(args);
    } catch (const nk::GenerationError &e) {
        std::fprintf(stderr, "coursegen: error: %s\n", e.what());
        return 1;
    }
}
