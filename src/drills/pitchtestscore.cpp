#include "drills/pitchtestscore.h"

#include <cstdlib>

namespace nk {

int PitchTestScore::distance(int a, int b)
{
    const int d = std::abs(a - b) % 12;
    return std::min(d, 12 - d);
}

QString PitchTestScore::tenths(int value)
{
    return QString::number(value / 10) + QLatin1Char(',') + QString::number(value % 10);
}

PitchTestScore PitchTestScore::of(const QList<PitchTrial> &trials)
{
    PitchTestScore score;
    int errorSum = 0;
    for (const PitchTrial &trial : trials) {
        const int pitch = trial.note.pitch;
        if (pitch < 0 || pitch > 11 || trial.answered < 0)
            continue;
        ++score.trials;
        ++score.askedByPitch[size_t(pitch)];
        const int error = distance(pitch, trial.answered);
        errorSum += error;
        score.oneOff += error == 1 ? 1 : 0;
        if (error == 0) {
            ++score.right;
            ++score.rightByPitch[size_t(pitch)];
            score.fastRight += trial.answerMs >= 0 && trial.answerMs < FastMs ? 1 : 0;
        }
    }
    if (score.trials > 0)
        score.meanErrorTenths = (errorSum * 20 + score.trials) / (2 * score.trials);
    return score;
}

QStringList PitchTestScore::lines() const
{
    const int percent = trials > 0 ? (right * 200 + trials) / (2 * trials) : 0;
    return {QStringLiteral("Верно: %1 из %2 (%3%)").arg(right).arg(trials).arg(percent),
            QStringLiteral("Средняя ошибка: ") + tenths(meanErrorTenths) +
                QStringLiteral(" полутона"),
            QStringLiteral("Ошибок на полутон: %1").arg(oneOff),
            QStringLiteral("Верно быстрее 3 секунд: %1").arg(fastRight),
            QStringLiteral("Наугад — около %1 из %2").arg((trials + 6) / 12).arg(trials)};
}

QString PitchTestScore::summaryLine(const QDate &day) const
{
    return QStringLiteral("Проверка слуха ") + day.toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral(": верно %1 из %2, средняя ошибка ").arg(right).arg(trials) +
           tenths(meanErrorTenths) + QStringLiteral(" полутона");
}

} // namespace nk
