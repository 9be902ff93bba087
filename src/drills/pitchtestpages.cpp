#include "drills/pitchtestpages.h"

#include "audio/notenames.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/tyesbutton.h"

#include <QtMath>

namespace nk {

namespace {
constexpr int kLeft = 136;
constexpr int kLine = 17;
constexpr int kNameWidth = 74;
constexpr int kNameHeight = 26;
// The earlier tests the result is shown beside, the latest of them.
constexpr int kEarlierShown = 5;

const QString kIntro[] = {
    QStringLiteral("Проверка показывает, узнаёте ли вы ноты на слух без подсказки и без"),
    QStringLiteral("сравнения с другой нотой. Вы услышите 36 нот в разных октавах и тембрах."),
    QStringLiteral("Перед каждой нотой звучат короткие случайные звуки и пауза: они стирают"),
    QStringLiteral("из памяти ноту перед ней. Назовите ноту щелчком по её названию на круге,"),
    QStringLiteral("клавишей компьютера или MIDI-клавиатуры; октава не важна. Считается"),
    QStringLiteral("первый ответ после начала ноты, повторить её нельзя."),
    QStringLiteral("Проверка занимает около пяти минут. До конца ничего не показывается:"),
    QStringLiteral("ни верно, ни неверно. Прерванная проверка не засчитывается."),
};

QString day(const QDateTime &at)
{
    return at.date().toString(QStringLiteral("dd.MM.yyyy"));
}
} // namespace

void PitchTestPages::createText(const QString &text, int top, bool bold)
{
    auto *label = new PageLabel(m_page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(10), bold));
    label->setCaption(text);
    label->moveTo(kLeft, top);
}

void PitchTestPages::createIntro(bool lastLeft)
{
    m_page.addCaption(PitchTestLinks::text());
    int top = 40;
    for (const QString &line : kIntro) {
        createText(line, top);
        top += kLine;
    }
    if (lastLeft)
        createText(QStringLiteral("Прошлая проверка была прервана и не засчитана."), top + 8, true);
    m_page.addButton(QStringLiteral("Начать проверку"), QRect(kLeft, 230, 200, 25),
                     PitchTestLinks::StartTag);
    createBackLink();
}

QString PitchTestPages::trialText(int number)
{
    return QStringLiteral("Нота %1 из %2").arg(number).arg(PitchTestPlan::Trials);
}

PageLabel *PitchTestPages::createTrial()
{
    m_page.addCaption(PitchTestLinks::text());
    auto *count = new PageLabel(m_page, QString(), 1);
    count->setFont(Fonts::arial(Fonts::pointsToPixels(10), true));
    count->setCaption(trialText(1));
    count->moveTo(kLeft, 40);
    createText(QStringLiteral("Назовите ноту, когда она прозвучит."), 40 + kLine);
    createCircle();
    return count;
}

// ДО at the top and the rest clockwise: a circle has no low end and no high
// end to lean on.
void PitchTestPages::createCircle()
{
    for (int pitch = 0; pitch < PitchCount; ++pitch) {
        const double angle = qDegreesToRadians(-90.0 + 30.0 * pitch);
        const int x = CircleCentreX + qRound(CircleRadiusX * qCos(angle)) - kNameWidth / 2;
        const int y = CircleCentreY + qRound(CircleRadiusY * qSin(angle)) - kNameHeight / 2;
        m_page.addButton(PitchName(quint8(pitch)), QRect(x, y, kNameWidth, kNameHeight),
                         PitchTestLinks::FirstNameTag + pitch, TYesButton::Face::Yellow);
    }
}

void PitchTestPages::createResult(const PitchTestScore &score,
                                  const QList<PitchTestRecord> &earlier, const QList<QDate> &next)
{
    m_page.addCaption(PitchTestLinks::text() + QStringLiteral(": результат"));
    int top = 40;
    const QStringList lines = score.lines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        createText(lines[i], top, i < 2);
        top += kLine;
    }
    createPitchTable(score, top + 6);
    top += 6 + 3 * kLine;
    createEarlier(earlier, top);
    QStringList days;
    for (const QDate &d : next)
        days << d.toString(QStringLiteral("dd.MM.yyyy"));
    if (!days.isEmpty())
        createText(QStringLiteral("Следующие проверки: ") + days.join(QStringLiteral(", ")), 326);
    createBackLink();
}

// Right of three for each pitch class, in two rows of six.
void PitchTestPages::createPitchTable(const PitchTestScore &score, int top)
{
    createText(QStringLiteral("Верно по нотам, из трёх:"), top);
    for (int row = 0; row < 2; ++row) {
        QStringList cells;
        for (int pitch = row * 6; pitch < row * 6 + 6; ++pitch) {
            cells << PitchName(quint8(pitch)) + QStringLiteral(" — ") +
                         QString::number(score.rightByPitch[size_t(pitch)]);
        }
        createText(cells.join(QStringLiteral(",   ")), top + (row + 1) * kLine);
    }
}

void PitchTestPages::createEarlier(const QList<PitchTestRecord> &earlier, int top)
{
    if (earlier.isEmpty())
        return;
    createText(QStringLiteral("Прежние проверки:"), top + 6);
    const qsizetype first = std::max<qsizetype>(0, earlier.size() - kEarlierShown);
    int line = top + 6 + kLine;
    for (qsizetype i = first; i < earlier.size(); ++i, line += kLine) {
        const PitchTestRecord &t = earlier[i];
        createText(
            day(t.at) +
                QStringLiteral(": верно %1 из %2, средняя ошибка ").arg(t.right).arg(t.trials) +
                PitchTestScore::tenths(t.meanErrorTenths) + QStringLiteral(" полутона"),
            line);
    }
}

void PitchTestPages::createBackLink()
{
    m_page.addArrowLink(QStringLiteral("Вернуться"), PitchTestLinks::BackTag, Page::Link::Backward);
}

} // namespace nk
