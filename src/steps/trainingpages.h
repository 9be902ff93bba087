#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>

namespace nk {

class Page;
class PageLabel;
class TYesButton;

// What a training question page says; the words depend on how many notes sound.
struct TrainingQuestionView
{
    QString progressPicture; // relative path
    QString progressText;    // what the picture shows, for a screen reader
    bool oneNote = true;
    QString noteList; // the level's notes with their characteristics, or empty
};

// What a wrong-answer page says.
struct TrainingWrongView
{
    bool oneNote = true;
    QString expected; // the played notes' names, each followed by a blank
    QString given;    // the named notes' names, each followed by a blank
};

// The pages of the training step, laid out at their fixed places. Only
// layout lives here: what the buttons and links do is chosen by their tags.
class TrainingPages
{
public:
    static constexpr int ListenTag = 9;
    static constexpr int AnswerTag = 17;
    static constexpr int ListenGivenTag = 11;
    static constexpr int ListenRightTag = 18;
    static constexpr int CompareLinkTag = 3;
    static constexpr int ContinueLinkTag = 8;
    static constexpr int NextLinkTag = 10;

    // Where a page action finds the answer button and the note card's parts.
    static constexpr QPoint AnswerButtonPoint{137, 177};
    static constexpr QPoint CardNamePoint{137, 71};
    static constexpr QPoint CardTraitsPoint{137, 331};
    static QString cardPictureName() { return QStringLiteral("fimgn"); }

    explicit TrainingPages(Page &page);

    // The caption of every page; a practice run names itself.
    void setCaption(QString caption) { m_caption = std::move(caption); }
    static QString trainingCaption() { return QStringLiteral("ШАГ 3. Тренировка"); }

    void createIntro();
    // Returns the answer button, disabled until the question has been heard.
    TYesButton *createQuestion(const TrainingQuestionView &view);
    void createWrong(const TrainingWrongView &view);
    void createRight();
    void createCompare();
    void createRest();

    static QString notesWord(bool oneNote);

private:
    void createCaption();
    PageLabel *createLabel(const QString &text, int top);
    TYesButton *createButton(const QString &text, int top, int tag, bool yellow);

    Page &m_page;
    QString m_caption = trainingCaption();
};

} // namespace nk
