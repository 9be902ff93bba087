// Time from PlayNote to the first non-silent sample at a private null sink.

#include "audio/noteplayer.h"
#include "audio/waitms.h"
#include "benchmain.h"
#include "figures.h"
#include "recordedsink.h"

#include <QApplication>
#include <QTemporaryDir>

using namespace nk;
using namespace nk::bench;

namespace {

constexpr int warmUpPlays = 5;
constexpr int measuredPlays = 60;

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    RecordedSink sink;
    QString error;
    if (!sink.start(&error))
        return fail(error);
    QTemporaryDir base;
    if (!RecordedSink::writeToneNotes(base.path()))
        return fail(QStringLiteral("cannot write the note files"));
    NotePlayer player{BasePath(base.path())};
    WaitMs(1000); // let the 36 notes decode: a key press comes long after start-up

    std::vector<double> latencies;
    for (int i = 0; i < warmUpPlays + measuredPlays; ++i) {
        const int note = i * 7;
        const std::optional<double> ms =
            sink.timeToSound([&] { player.PlayNote(4 + note / 12 % 3, quint8(note % 12)); });
        if (!ms)
            return fail(QStringLiteral("play %1 never reached the sink").arg(i));
        if (i >= warmUpPlays)
            latencies.push_back(*ms);
    }
    Figures::printSpread("PlayNote to first sample at the sink (after 5 warm-up plays)", "plays",
                         latencies);
    return 0;
}
