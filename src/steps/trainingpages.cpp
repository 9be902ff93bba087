#include "steps/trainingpages.h"

#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tyesbutton.h"

namespace nk {

namespace {

QString questionPrompt(bool oneNote)
{
    if (oneNote) {
        return QStringLiteral("КАКАЯ это нота? Объёмная, плоская,") + kLineBreak +
               QStringLiteral("вертикальная, горизонтальная, гладкая, шершавая, где её место в "
                              "теле...");
    }
    return QStringLiteral("КАКИЕ это ноты? Объёмные, плоские,") + kLineBreak +
           QStringLiteral("вертикальные, горизонтальные, гладкие, шершавые, где их место в "
                          "теле...");
}

} // namespace

TrainingPages::TrainingPages(Page &page) : m_page(page) {}

QString TrainingPages::notesWord(bool oneNote)
{
    return oneNote ? QStringLiteral("ноту") : QStringLiteral("ноты");
}

void TrainingPages::createCaption()
{
    m_page.addCaption(m_caption);
}

PageLabel *TrainingPages::createLabel(const QString &text, int top)
{
    auto *label = new PageLabel(m_page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    label->setCaption(text);
    label->moveTo(Page::ContentLeft, top);
    return label;
}

TYesButton *TrainingPages::createButton(const QString &text, int top, int tag, bool yellow)
{
    return m_page.addButton(text, QRect(Page::ContentLeft, top, 200, 25), tag,
                            yellow ? TYesButton::Face::Yellow : TYesButton::Face::Green);
}

void TrainingPages::createIntro()
{
    createCaption();
    m_page.addTextBox(QStringLiteral("levels\\step3.dat"), QRect(128, 40, 649, 305), 2);
    m_page.addArrowLink(QStringLiteral("Продолжить работу"), ContinueLinkTag);
}

TYesButton *TrainingPages::createQuestion(const TrainingQuestionView &view)
{
    createCaption();
    if (!view.progressPicture.isEmpty()) {
        auto *progress = new PagePicture(m_page, 8);
        progress->loadInto(m_page.base().resolve(view.progressPicture), QRect(460, 0, 151, 55));
        progress->describe(view.progressText);
    }
    const QString word = notesWord(view.oneNote);
    createLabel(QStringLiteral("Послушайте ") + word +
                    QStringLiteral(". Можно не один раз, а больше :)"),
                64);
    createButton(QStringLiteral("Послушать ") + word, 90, ListenTag, true);
    createLabel(QStringLiteral("Спросите себя: ") + questionPrompt(view.oneNote) + kLineBreak +
                    QStringLiteral("На что больше похоже то, что сейчас прозвучало?"),
                124);
    TYesButton *answer = createButton(QStringLiteral("Ответить!"), 176, AnswerTag, true);
    answer->setEnabled(false);
    createLabel(view.noteList, 208);
    return answer;
}

void TrainingPages::createWrong(const TrainingWrongView &view)
{
    createCaption();
    const bool one = view.oneNote;
    const QString word = notesWord(one);
    createLabel(QStringLiteral("Неправильно. Это ") +
                    (one ? QStringLiteral("была нота ") : QStringLiteral("были ноты ")) +
                    view.expected,
                50);
    createLabel(QStringLiteral("Смотрите и слушайте внимательно:") + kLineBreak +
                    QStringLiteral("вот ") +
                    (one ? QStringLiteral("нота, которую вы назвали - ")
                         : QStringLiteral("ноты, которые вы назвали - ")) +
                    view.given,
                78);
    createButton(QStringLiteral("Послушать ") + word, 119, ListenGivenTag, true);
    createLabel(
        QStringLiteral("А вот ") +
            (one ? QStringLiteral("правильная нота - ") : QStringLiteral("правильные ноты - ")) +
            view.expected,
        152);
    createButton(QStringLiteral("Послушать ") + word, 176, ListenRightTag, false);
    createLabel(QStringLiteral("Давайте отдельно послушаем разницу между ними."), 208);
    m_page.addArrowLink(QStringLiteral("Сравнить ноты"), CompareLinkTag, Page::Link::Forward, 250);
}

void TrainingPages::createRight()
{
    m_page.addPicture(QStringLiteral("pictures\\right.gif"), QPoint(Page::ContentLeft, 100), 1)
        ->describe(QStringLiteral("Правильно!"));
    m_page.addArrowLink(QStringLiteral("Дальше"), NextLinkTag);
}

void TrainingPages::createCompare()
{
    createCaption();
    createLabel(QStringLiteral("Послушайте разницу между этими двумя нотами") + kLineBreak +
                    QStringLiteral("Сравните:"),
                40);
    createLabel(QStringLiteral(" "), 70);
    auto *picture = new PagePicture(m_page, 1);
    picture->setObjectName(cardPictureName());
    picture->setGeometry(186, 70, 249, 401);
    createLabel(QStringLiteral(" "), 330);
}

void TrainingPages::createRest()
{
    createCaption();
    m_page.addPicture(QStringLiteral("pictures\\relax.gif"), QPoint(Page::ContentLeft, 40), 1)
        ->describe(QStringLiteral("Отдых"));
    PageLabel *label = createLabel(
        QStringLiteral("Замечательно!  А теперь отдохните 7 минут.    Медведь подождёт."), 40);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(14), true));
    label->adjustSize();
    label->setTextColor(QColor(0x33, 0x33, 0x99));
}

} // namespace nk
