#include "steps/melodypages.h"

#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/tyesbutton.h"

#include <QStringList>

namespace nk {

namespace {

QString lines(const QStringList &list)
{
    return list.join(kLineBreak);
}

} // namespace

MelodyPages::MelodyPages(Page &page) : m_page(page) {}

PageLabel *MelodyPages::createLabel(const QString &text, int top)
{
    auto *label = new PageLabel(m_page, QString(), 1);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    label->setCaption(text);
    label->moveTo(Page::ContentLeft, top);
    return label;
}

TYesButton *MelodyPages::createButton(const QString &text, int top, int tag, bool yellow)
{
    return m_page.addButton(text, QRect(Page::ContentLeft, top, 200, 25), tag,
                            yellow ? TYesButton::Face::Yellow : TYesButton::Face::Green);
}

void MelodyPages::createFrame(const MelodyPageFrame &frame)
{
    m_page.addCaption(QStringLiteral("ШАГ 4. Мелодии"));
    if (!frame.counting)
        return;
    auto *progress = new PagePicture(m_page, 8);
    progress->describe(QStringLiteral("Угадано мелодий: ") + QString::number(frame.rightCount));
    progress->loadInto(m_page.base().resolve(QStringLiteral("pictures\\melody\\") +
                                             QString::number(frame.rightCount) +
                                             QStringLiteral(".gif")),
                       QRect(460, 0, 114, 29));
}

void MelodyPages::createReturnLink()
{
    m_page.addArrowLink(returnCaption(), ReturnLinkTag, Page::Link::Forward, 360);
}

void MelodyPages::createIntro()
{
    m_page.addCaption(QStringLiteral("ШАГ 4. Мелодии"));
    m_page.addTextBox(QStringLiteral("levels\\step4.dat"), QRect(128, 40, 649, 305), 2);
    m_page.addArrowLink(QStringLiteral("Продолжить работу"), ContinueLinkTag);
}

TYesButton *MelodyPages::createMelody(const MelodyPageFrame &frame)
{
    createFrame(frame);
    createLabel(
        lines({
            QStringLiteral("Послушайте мелодию, нажав на жёлтую кнопку. Вы можете слушать"),
            QStringLiteral("её столько раз, сколько нужно. Думайте мелодию нотами в голове,"),
            QStringLiteral("сначала ловите отдельные ноты (с чего начинается, на какой ноте"),
            QStringLiteral("заканчивается), потом достраивайте всю мелодию"),
            QString(),
            QStringLiteral("Как будет готово, послушайте ещё раз и проверьте себя."),
            QString(),
            QStringLiteral("Потом нажмите на зелёную кнопку \"Ответить!\", и проиграйте"),
            QStringLiteral("мелодию на клавиатуре мышкой."),
        }),
        40);
    createButton(QStringLiteral("Послушать мелодию"), 200, ListenTag, true);
    createLabel(QStringLiteral("Мелодию нотами сообразили? Жмите \"Ответить!\"."), 230);
    TYesButton *answer = createButton(QStringLiteral("Ответить!"), 260, AnswerTag, false);
    answer->setEnabled(false);
    if (!frame.counting)
        createReturnLink();
    return answer;
}

TYesButton *MelodyPages::createWrong(const MelodyPageFrame &frame, const QString &given)
{
    createFrame(frame);
    createLabel(given + QStringLiteral("- неверный ответ"), 60);
    createLabel(lines({
                    QStringLiteral("Слушайте мелодию столько раз, сколько вам нужно. пока она"),
                    QStringLiteral("звучит, ищите её на клавиатуре. Сначала первую ноту. потом"),
                    QStringLiteral("вторую, потом третью..."),
                    QString(),
                    QStringLiteral("Как будет готово, жмите зелёную кнопку \"Я подобрал\", и"),
                    QStringLiteral("сыграйте на клавиатуре верный ответ."),
                }),
                80);
    createButton(QStringLiteral("Послушать мелодию"), 200, ListenTag, true);
    TYesButton *retry = createButton(QStringLiteral("Я подобрал!"), 260, RetryTag, false);
    retry->setEnabled(false);
    if (!frame.counting)
        createReturnLink();
    return retry;
}

void MelodyPages::createRight(const MelodyPageFrame &frame)
{
    createFrame(frame);
    m_page.addPicture(QStringLiteral("pictures\\right.gif"), QPoint(Page::ContentLeft, 100), 1)
        ->describe(QStringLiteral("Правильно!"));
    m_page.addArrowLink(QStringLiteral("Дальше"), NextLinkTag, Page::Link::Forward, 330);
    if (!frame.counting)
        createReturnLink();
}

void MelodyPages::createPassed(const QString &noteList)
{
    m_page.addCaption(QStringLiteral("ШАГ 4. Мелодии"));
    createLabel(lines({
                    QStringLiteral("Отлично. Вы делаете успехи. Ноты ") + noteList +
                        QStringLiteral("можно"),
                    QStringLiteral("считать освоенными."),
                    QString(),
                    QStringLiteral("Сейчас вы можете продолжить тренироваться и подобрать все"),
                    QStringLiteral("остальные мелодии. Если вам интересно и хочется закрепить"),
                    QStringLiteral("знания. Можете ошибаться - этот шаг всё равно уже"),
                    QStringLiteral("считается пройденным."),
                }),
                40);
    createButton(QStringLiteral("Хочу ещё мелодий"), 200, MoreTag, false);
    createLabel(QStringLiteral("А теперь вернитесь к списку шагов и переходите к следующей "
                               "части курса."),
                230);
    createReturnLink();
}

} // namespace nk
