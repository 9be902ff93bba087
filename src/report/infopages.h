#pragma once

class QString;

namespace nk {

class ActivityLog;
class Page;
class TArrowLabel;
struct TGlobalSettings;

// The instruction and about pages of the menu column and the help on errors.
// Each shows a whole text file in a named box; the name lets a second click on
// the same menu entry leave the page as it is.
class InfoPages
{
public:
    static constexpr int StartTag = 4; // "Начать работу!" / "Продолжить работу!"
    static constexpr int ContinueTag = 11; // "Продолжить работу!" of the about page
    static constexpr int ErrorHelpTag = 20;

    InfoPages(Page &page, ActivityLog &log, TGlobalSettings &settings);

    void ShowInstructionPage();
    void ShowAboutPage();
    void ShowErrorHelp();

    // The instruction page's link: the first visit leads to the levels of
    // course part I, every later one to level 1.
    void StartClick(const TArrowLabel &link);
    void ContinueClick();

private:
    bool focusExisting(const QString &name);
    void hideKeyboard();
    void createAboutLinks();
    void createStripLinks();
    void showOpenFailure(const QString &path);

    Page &m_page;
    ActivityLog &m_log;
    TGlobalSettings &m_settings;
};

} // namespace nk
