#include "expectedlog.h"

namespace nk::test {

namespace {
const QString kAnswering = QStringLiteral("Начинаем угадывать мелодию");
} // namespace

QStringList ExpectedLog::started(bool firstRun)
{
    return {QStringLiteral("Программа запущена"),
            firstRun ? QStringLiteral("Открыта инструкция") : levelLoaded(1)};
}

QString ExpectedLog::levelLoaded(int level)
{
    return QStringLiteral("Загружен уровень ") + QString::number(level);
}

QString ExpectedLog::stepActivated(int step, int level)
{
    return QStringLiteral("Активирован шаг %1 уровня %2").arg(step).arg(level);
}

QStringList ExpectedLog::stepDone(int step, int level)
{
    return {stepActivated(step, level), levelLoaded(level)};
}

QString ExpectedLog::answerSaved(int question, const QString &answer, const QString &noteName)
{
    return QStringLiteral("Сохранён ответ a") + QString::number(question) + u'=' + answer +
           QStringLiteral(" для ноты ") + noteName;
}

QStringList ExpectedLog::memorised(int repetitions, bool lastOfLevel)
{
    QStringList lines;
    for (int k = 1; k <= repetitions; ++k) {
        lines << QStringLiteral("Нажата кнопка Старт") << QStringLiteral("Запоминаем ноты )");
        if (k < repetitions || !lastOfLevel)
            lines << QStringLiteral("relax 2");
    }
    return lines;
}

QStringList ExpectedLog::trainingRight()
{
    return {kAnswering, QStringLiteral("Ноты угаданы правильно")};
}

QStringList ExpectedLog::trainingWrong(int pairs)
{
    QStringList lines{kAnswering, QStringLiteral("Ноты угаданы неправильно")};
    for (int k = 0; k < pairs; ++k)
        lines << QStringLiteral("Долбим ноты");
    return lines;
}

QStringList ExpectedLog::trainingHalves(int halves)
{
    QStringList lines;
    for (int half = 0; half < halves; ++half) {
        for (int k = 0; k < 7; ++k)
            lines << trainingRight();
        lines << QStringLiteral("relax 1");
    }
    return lines;
}

QStringList ExpectedLog::melodyRight(bool retry)
{
    QStringList lines{QStringLiteral("Мелодия угадана правильно")};
    if (!retry)
        lines.prepend(kAnswering);
    return lines;
}

QStringList ExpectedLog::melodyWrong()
{
    return {kAnswering, QStringLiteral("Мелодия угадана неправильно")};
}

QStringList ExpectedLog::reportSent(const QStringList &answers, const QString &stamp)
{
    return QStringList{QStringLiteral("Начало ответов")} + answers +
           QStringList{QStringLiteral("Конец ответов"), QStringLiteral("Отправляем отчёт..."),
                       QStringLiteral("Отчёт DEMO_") + stamp + QStringLiteral("_log.dat отправлен"),
                       QStringLiteral("Открыто описание полной версии")};
}

} // namespace nk::test
