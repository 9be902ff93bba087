#include "drills/drillpages.h"

#include "drills/drilldescription.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tyesbutton.h"

namespace nk {

namespace {

constexpr int AnswerLeft = 178;
constexpr int WhiteFirstTop = 208;
constexpr int BlackFirstTop = 240;

} // namespace

DrillPages::DrillPages(Page &page, const DrillDescription &drill) : m_page(page), m_drill(drill) {}

void DrillPages::createLabel(const QString &text, int top)
{
    auto *label = new PageLabel(m_page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    label->setCaption(text);
    label->moveTo(Left, top);
}

TYesButton *DrillPages::createButton(const QString &text, int left, int top, int width, int tag,
                                     bool yellow)
{
    return m_page.addButton(text, QRect(left, top, width, 25), tag,
                            yellow ? TYesButton::Face::Yellow : TYesButton::Face::Green);
}

TYesButton *DrillPages::createQuestion(int streak)
{
    m_page.addCaption(m_drill.caption);
    auto *progress = new PagePicture(m_page, 8);
    progress->loadInto(m_page.base().resolve(m_drill.progressFolder + QString::number(streak) +
                                             QStringLiteral(".gif")),
                       QRect(460, 0, 187, 29));
    progress->describe(QStringLiteral("Правильно подряд: ") + QString::number(streak));
    createLabel(m_drill.intro, 40);
    const DrillTags &tags = m_drill.tags;
    createButton(m_drill.listenPairText, Left, m_drill.listenTop, 200, tags.listenPair, true);
    TYesButton *answer =
        createButton(QStringLiteral("Ответить"), Left, m_drill.answerTop, 200, tags.answer, true);
    answer->setEnabled(false);
    // The buttons beside these pictures say the same in words.
    m_page.addPicture(QStringLiteral("pictures\\white-black.gif"), QPoint(Left, WhiteFirstTop))
        ->setDecorative();
    createButton(m_drill.whiteFirstText, AnswerLeft, WhiteFirstTop, 300, tags.whiteFirst, false)
        ->setEnabled(false);
    m_page.addPicture(QStringLiteral("pictures\\black-white.gif"), QPoint(Left, BlackFirstTop))
        ->setDecorative();
    createButton(m_drill.blackFirstText, AnswerLeft, BlackFirstTop, 300, tags.blackFirst, false)
        ->setEnabled(false);
    return answer;
}

void DrillPages::createRight()
{
    m_page.addPicture(QStringLiteral("pictures\\right.gif"), QPoint(Left, 100))
        ->describe(QStringLiteral("Правильно!"));
    m_page.addArrowLink(QStringLiteral("Дальше"), m_drill.tags.next);
}

QString DrillPages::wrongText(int firstColour) const
{
    const bool blackFirst = firstColour != 2;
    const QString &first = blackFirst ? m_drill.blackWord : m_drill.whiteWord;
    const QString &second = blackFirst ? m_drill.whiteWord : m_drill.blackWord;
    return m_drill.firstWas + first + m_drill.keysWord + kLineBreak + m_drill.secondWas + second +
           QLatin1Char('.') + kLineBreak + m_drill.wrongLast;
}

void DrillPages::createWrong(int firstColour)
{
    m_page.addCaption(m_drill.caption);
    createLabel(wrongText(firstColour), 40);
    createButton(m_drill.listenFirstText, Left, 114, 200, m_drill.tags.listenFirst, true);
    createLabel(m_drill.secondLabel, 140);
    createButton(m_drill.listenSecondText, Left, 164, 200, m_drill.tags.listenSecond, true);
    m_page.addArrowLink(QStringLiteral("Запомнить разницу!"), m_drill.tags.remember,
                        Page::Link::Forward, 250);
}

PagePicture *DrillPages::createListen()
{
    m_page.addCaption(m_drill.caption);
    createLabel(QStringLiteral("Послушайте разницу между звучанием нот на \"чёрных\" и "
                               "\"белых\"\rклавишах"),
                40);
    auto *picture = new PagePicture(m_page, 1);
    picture->setObjectName(repetitionPictureName());
    picture->move(Left, 144);
    return picture;
}

} // namespace nk
