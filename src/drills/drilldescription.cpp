#include "drills/drilldescription.h"

#include "widgets/pagelabel.h"

namespace nk {

namespace {

// The melodies and notes pages share their places.
void placeSequenceDrill(DrillDescription &d)
{
    d.listenTop = 144;
    d.answerTop = 176;
    d.answerPoint = {137, 177};
    d.listenPoint = {137, 145};
    d.clearsKeysOnWrong = true;
}

} // namespace

DrillDescription DrillDescription::chords()
{
    DrillDescription d;
    d.tags = {19, 20, 21, 22, 23, 24, 13, 14, 9};
    d.passStep = 2;
    d.caption = QStringLiteral("ШАГ 1. Аккорды");
    d.progressFolder = QStringLiteral("pictures\\chords\\");
    d.intro = QStringLiteral("Послушайте два аккорда подряд. Попробуйте определить, какой\r"
                             "из них бы сыгран на \"белых\" клавишах фортепьяно, а какой - на\r") +
              QStringLiteral("\"чёрных\".") + kLineBreak +
              QStringLiteral("Для прохождения уровня нужно ответить верно 5 раз подряд.");
    d.listenPairText = QStringLiteral("Послушать аккорды");
    d.listenTop = 114;
    d.answerTop = 144;
    d.answerPoint = {137, 148};
    d.listenPoint = {137, 115};
    d.whiteFirstText = QStringLiteral("Первый на белых, второй на чёрных");
    d.blackFirstText = QStringLiteral("Первый на чёрных, второй на белых");
    d.firstWas = QStringLiteral("Неправильно.\rПервый аккорд был на ");
    d.keysWord = QStringLiteral(" клавишах,");
    d.secondWas = QStringLiteral("второй - на ");
    d.wrongLast = QStringLiteral("Вот первый аккорд - послушайте и смотрите на клавиатуру:");
    d.blackWord = QStringLiteral("ЧЁРНЫХ");
    d.whiteWord = QStringLiteral("БЕЛЫХ");
    d.listenFirstText = QStringLiteral("Послушать 1-й аккорд");
    d.secondLabel = QStringLiteral("Вот второй аккорд:");
    d.listenSecondText = QStringLiteral("Послушать 2-й аккорд");
    d.rightLog = QStringLiteral("Аккорд угадан правильно");
    d.wrongLog = QStringLiteral("Аккорд угадан неправильно");
    d.repetitionLog = QStringLiteral("Долбим аккорды");
    d.passMessage = QStringLiteral("Переходим к мелодиям");
    return d;
}

DrillDescription DrillDescription::melodies()
{
    DrillDescription d;
    d.tags = {25, 26, 27, 28, 29, 30, 15, 16, 10};
    d.passStep = 3;
    placeSequenceDrill(d);
    d.caption = QStringLiteral("ШАГ 2. Мелодии");
    d.progressFolder = QStringLiteral("pictures\\dmels\\");
    d.intro = QStringLiteral("Послушайте две мелодии подряд. Попробуйте определить, какая из\r"
                             "них была сыграна целиком на \"белых\" клавишах фортепьяно,\r") +
              QStringLiteral("\"а какая - на чёрных\".") + kLineBreak +
              QStringLiteral("Не ориентируйтесь на высоту, это не поможет ;) Ориентируйтесь") +
              kLineBreak + QStringLiteral("на ощущения.") + kLineBreak +
              QStringLiteral("Для прохождения уровня нужно ответить верно 5 раз подряд.");
    d.listenPairText = QStringLiteral("Послушать мелодии");
    d.whiteFirstText = QStringLiteral("Первая на белых, вторая на чёрных");
    d.blackFirstText = QStringLiteral("Первая на чёрных, вторая на белых");
    d.firstWas = QStringLiteral("Неправильно.\rПервая мелодия была на ");
    d.keysWord = QStringLiteral(" клавишах,");
    d.secondWas = QStringLiteral("вторая - на ");
    d.wrongLast = QStringLiteral("Вот первая мелодия - послушайте и смотрите на клавиатуру:");
    d.blackWord = QStringLiteral("ЧЁРНЫХ");
    d.whiteWord = QStringLiteral("БЕЛЫХ");
    d.listenFirstText = QStringLiteral("Послушать 1-ю мелодию");
    d.secondLabel = QStringLiteral("Вот вторая мелодия:");
    d.listenSecondText = QStringLiteral("Послушать 2-ю мелодию");
    d.historyKind = HistoryKind::MelodiesDrill;
    d.rightLog = QStringLiteral("ДиезоМелодия угадана правильно");
    d.wrongLog = QStringLiteral("ДиезоМелодия угадана неправильно");
    d.repetitionLog = QStringLiteral("Долбим чб мелодии");
    d.passMessage = QStringLiteral("Переходим к нотам");
    return d;
}

DrillDescription DrillDescription::notes()
{
    DrillDescription d;
    d.tags = {31, 32, 33, 34, 35, 36, 17, 18, 11};
    d.passStep = 4;
    placeSequenceDrill(d);
    d.caption = QStringLiteral("ШАГ 3. Отдельные ноты");
    d.progressFolder = QStringLiteral("pictures\\dnotes\\");
    d.intro = QStringLiteral("Послушайте две ноты подряд. Попробуйте определить, какая из\r"
                             "них была сыграна на \"белой\" клавише фортепьяно, а какая - на\r") +
              QStringLiteral("\"чёрной\".") + kLineBreak +
              QStringLiteral("При ответе ориентируйтесь на ощущения.") + kLineBreak +
              QStringLiteral("Для прохождения уровня нужно ответить верно 5 раз подряд.");
    d.listenPairText = QStringLiteral("Послушать ноты");
    d.whiteFirstText = QStringLiteral("Первая на белой, вторая на чёрной");
    d.blackFirstText = QStringLiteral("Первая на чёрной, вторая на белой");
    d.firstWas = QStringLiteral("Неправильно.\rПервая нота была на ");
    d.keysWord = QStringLiteral(" клавише,");
    d.secondWas = QStringLiteral("вторая - на ");
    d.wrongLast = QStringLiteral("Вот первая нота - слушайте и смотрите на клавиатуру:");
    d.blackWord = QStringLiteral("ЧЁРНОЙ");
    d.whiteWord = QStringLiteral("БЕЛОЙ");
    d.listenFirstText = QStringLiteral("Послушать 1-ю ноту");
    d.secondLabel = QStringLiteral("Вот вторая нота:");
    d.listenSecondText = QStringLiteral("Послушать 2-ю ноту");
    d.historyKind = HistoryKind::NotesDrill;
    d.rightLog = QStringLiteral("ДиезоНоты угаданы правильно");
    d.wrongLog = QStringLiteral("ДиезоНоты угаданы неправильно");
    d.repetitionLog = QStringLiteral("Долбим чб ноты");
    d.passMessage = QStringLiteral("Поздравляем! Упражнение пройдено.");
    return d;
}

} // namespace nk
