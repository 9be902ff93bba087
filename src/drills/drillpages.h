#pragma once

#include <QString>

namespace nk {

class Page;
class PagePicture;
class TYesButton;
struct DrillDescription;

// The pages of a black-and-white drill at their fixed places. Only layout
// lives here: what the buttons and links do is chosen by their tags.
class DrillPages
{
public:
    static constexpr int Left = 136;
    static QString repetitionPictureName() { return QStringLiteral("cimg"); }

    DrillPages(Page &page, const DrillDescription &drill);

    // Returns the "Ответить" button, disabled until the pair has been heard.
    TYesButton *createQuestion(int streak);
    void createRight();
    void createWrong(int firstColour);
    // Returns the empty picture the repetition run shows the colours in.
    PagePicture *createListen();

    QString wrongText(int firstColour) const;

private:
    void createLabel(const QString &text, int top);
    TYesButton *createButton(const QString &text, int left, int top, int width, int tag,
                             bool yellow);

    Page &m_page;
    const DrillDescription &m_drill;
};

} // namespace nk
