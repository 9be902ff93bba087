#pragma once

#include <QList>
#include <QPointer>
#include <functional>

namespace nk {

class NotePlayer;
class Page;
class PageCheckBox;
class PageLabel;
class PagePicture;
struct TGlobalSettings;

// "Настройки": the learner chooses the timbre by ear (a click plays ЛЯ of the
// first octave in it), and whether questions are played in timbres drawn from
// the ticked ones. Changes live in the settings and are saved with them at
// close.
class SettingsPage
{
public:
    SettingsPage(Page &page, TGlobalSettings &settings, NotePlayer &player);

    static QString timbreEntryName(int index) // 0-based, in the table's order
    {
        return QStringLiteral("timbre%1").arg(index);
    }
    static QString mixBoxName() { return QStringLiteral("timbreMix"); }
    static QString maskingBoxName() { return QStringLiteral("masking"); }
    static QString tickName(int index) { return QStringLiteral("timbreTick%1").arg(index); }

    // `back` leads to the page the learner came from.
    void ShowSettingsPage(std::function<void()> back);
    void chooseTimbre(int index);
    void backClick();

private:
    void createTimbres();
    void createMix();
    void createMaskingBox();
    void markChosen();
    void tick(int index, bool on);

    Page &m_page;
    TGlobalSettings &m_settings;
    NotePlayer &m_player;
    std::function<void()> m_back;
    QList<QPointer<PageLabel>> m_entries;
    QPointer<PagePicture> m_arrow;
};

} // namespace nk
