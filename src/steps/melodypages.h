#pragma once

#include <QPoint>
#include <QString>

namespace nk {

class Page;
class PageLabel;
class TYesButton;

// What every melody page shows around its own content.
struct MelodyPageFrame
{
    bool counting = true; // the progress picture, and no return link
    int rightCount = 1;   // names the progress picture
};

// The pages of the melodies step at their fixed places. Only layout lives
// here: what the buttons and links do is chosen by their tags.
class MelodyPages
{
public:
    static constexpr int ListenTag = 13;
    static constexpr int AnswerTag = 14;
    static constexpr int RetryTag = 15;
    static constexpr int MoreTag = 16;
    static constexpr int NextLinkTag = 5;
    static constexpr int ReturnLinkTag = 6;
    static constexpr int ContinueLinkTag = 9;

    // Where the listen button's action finds the button it enables.
    static constexpr QPoint AnswerButtonPoint{137, 261};

    static QString returnCaption() { return QStringLiteral("Вернуться к списку шагов"); }

    explicit MelodyPages(Page &page);

    void createIntro();
    // These return the answer button, disabled until the melody has been heard.
    TYesButton *createMelody(const MelodyPageFrame &frame);
    TYesButton *createWrong(const MelodyPageFrame &frame, const QString &given);
    void createRight(const MelodyPageFrame &frame);
    void createPassed(const QString &noteList);

private:
    void createFrame(const MelodyPageFrame &frame);
    void createReturnLink();
    PageLabel *createLabel(const QString &text, int top);
    TYesButton *createButton(const QString &text, int top, int tag, bool yellow);

    Page &m_page;
};

} // namespace nk
