#include "progresspictures.h"

#include "canvas.h"

namespace nk {

namespace {

constexpr int kStages = 4; // one to four notes per question
constexpr int kMelodiesToPass = 3;
constexpr int kDrillStreak = 5;
const QColor kTodo(0xE6, 0xE6, 0xEE);

QColor stateColour(int index, int current)
{
    if (index < current)
        return Canvas::green;
    return index == current ? Canvas::yellow : kTodo;
}

} // namespace

void ProgressPictures::writeAll(const OutputFolder &out)
{
    training(out);
    melodies(out);
    drills(out);
}

// "k_b": stage k (notes per question), b = 2 in the first half, 1 in the second.
void ProgressPictures::training(const OutputFolder &out)
{
    for (int stage = 1; stage <= kStages; ++stage) {
        for (int halvesLeft = 1; halvesLeft <= 2; ++halvesLeft) {
            Canvas c(151, 55);
            c.card(QRectF(1, 1, 149, 53), Canvas::paper, Canvas::sky, 8);
            c.text(QRectF(4, 3, 143, 20),
                   QStringLiteral("Этап ") + QString::number(stage) + QStringLiteral(" из 4"), 14,
                   true, Canvas::blue);
            const int current = (stage - 1) * 2 + (2 - halvesLeft);
            for (int i = 0; i < kStages * 2; ++i) {
                const double x = 10 + i * 16.6 + (i / 2) * 2;
                c.card(QRectF(x, 28, 14, 16), stateColour(i, current), Canvas::blue, 3);
            }
            c.saveGif(out, QStringLiteral("pictures/step3/") + QString::number(stage) +
                               QLatin1Char('_') + QString::number(halvesLeft) +
                               QStringLiteral(".gif"));
        }
    }
}

// Number n: the melody being answered, n - 1 of the three already right.
void ProgressPictures::melodies(const OutputFolder &out)
{
    for (int n = 1; n <= kMelodiesToPass + 1; ++n) {
        Canvas c(114, 29);
        c.card(QRectF(1, 1, 112, 27), Canvas::paper, Canvas::sky, 6);
        for (int i = 0; i < kMelodiesToPass; ++i)
            c.noteSign(QPointF(22 + i * 34, 21), 6.5,
                       i < n - 1 ? Canvas::green : kTodo.darker(125));
        c.saveGif(out,
                  QStringLiteral("pictures/melody/") + QString::number(n) + QStringLiteral(".gif"));
    }
}

// Number n: the question within the run of five right answers.
void ProgressPictures::drills(const OutputFolder &out)
{
    struct Drill
    {
        const char *folder;
        QString title;
    };
    const Drill drills[] = {{"chords", QStringLiteral("Аккорды")},
                            {"dmels", QStringLiteral("Мелодии")},
                            {"dnotes", QStringLiteral("Ноты")}};
    for (const Drill &d : drills) {
        for (int n = 1; n <= kDrillStreak; ++n) {
            Canvas c(187, 29);
            c.card(QRectF(1, 1, 185, 27), Canvas::paper, Canvas::sky, 6);
            c.text(QRectF(6, 2, 78, 25), d.title, 13, true, Canvas::blue, Qt::AlignVCenter);
            for (int i = 0; i < kDrillStreak; ++i)
                c.dot(QPointF(96 + i * 20, 14.5), 7, stateColour(i, n - 1), Canvas::blue);
            c.saveGif(out, QStringLiteral("pictures/") + QString::fromLatin1(d.folder) +
                               QLatin1Char('/') + QString::number(n) + QStringLiteral(".gif"));
        }
    }
}

} // namespace nk
