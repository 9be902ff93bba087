#include "report/infopages.h"

#include "course/tglobalsettings.h"
#include "report/activitylog.h"
#include "report/reportpages.h"
#include "stats/statslinks.h"
#include "widgets/fonts.h"
#include "widgets/navigation.h"
#include "widgets/page.h"
#include "widgets/pitchtestlinks.h"
#include "widgets/settingslinks.h"
#include "widgets/tarrowlabel.h"
#include "widgets/trichbox.h"
#include "widgets/windowcontrols.h"

#include <QColor>
#include <QDir>

namespace nk {

namespace {

const QRect kFullBox(128, 0, 649, 345);
constexpr int kLinkTop = 360;
const QString kStartCaption = QStringLiteral("Начать работу!");
const QString kContinueCaption = QStringLiteral("Продолжить работу!");
const QString kInstructName = QStringLiteral("instruct");
const QString kAboutName = QStringLiteral("abox");

void underlinedLink(Page &page, const QString &text, int tag, int left, const QColor &color)
{
    auto *link = new TArrowLabel(page, text, tag);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    link->adjustSize();
    link->move(left, kLinkTop);
    link->setTextColor(color);
}

} // namespace

InfoPages::InfoPages(Page &page, ActivityLog &log, TGlobalSettings &settings)
    : m_page(page), m_log(log), m_settings(settings)
{
}

bool InfoPages::focusExisting(const QString &name)
{
    QWidget *box = m_page.findByName(name);
    if (box)
        box->setFocus();
    return box != nullptr;
}

void InfoPages::hideKeyboard()
{
    m_settings.KeyboardShown = true;
    m_page.controls().SlideKeyboard();
}

void InfoPages::ShowInstructionPage()
{
    if (focusExisting(kInstructName))
        return;
    m_log.WriteLog(QStringLiteral("Открыта инструкция"));
    m_page.ClearPage();
    hideKeyboard();
    // A missing text is told about once the page is whole: the way on into
    // the course must still be there, above all on the very first start.
    const QString file = QStringLiteral("levels\\instruction.dat");
    bool loaded = false;
    TRichBox *box = m_page.addTextBox(file, kFullBox, 2, &loaded);
    box->setObjectName(kInstructName);
    m_page.addArrowLink(m_settings.FirstRun ? kStartCaption : kContinueCaption, StartTag,
                        Page::Link::Forward, kLinkTop);
    if (!loaded)
        showOpenFailure(m_page.base().resolve(file));
}

void InfoPages::ShowAboutPage()
{
    if (focusExisting(kAboutName))
        return;
    m_log.WriteLog(QStringLiteral("Открыт раздел О программе"));
    m_page.ClearPage();
    hideKeyboard();
    const QString file = QStringLiteral("levels\\about.dat");
    bool loaded = false;
    TRichBox *box = m_page.addTextBox(file, kFullBox, 3, &loaded);
    box->setObjectName(kAboutName);
    createAboutLinks();
    if (!loaded)
        showOpenFailure(m_page.base().resolve(file));
}

void InfoPages::showOpenFailure(const QString &path)
{
    m_page.message(QStringLiteral("Не удалось открыть файл ") + QDir::toNativeSeparators(path));
}

void InfoPages::createAboutLinks()
{
    m_page.addArrowLink(kContinueCaption, ContinueTag, Page::Link::Forward, kLinkTop);
    underlinedLink(m_page, QStringLiteral("Отправить отчёт"), ReportPages::SendLogTag, 370,
                   QColor(0x84, 0xC2, 0x25));
    underlinedLink(m_page, QStringLiteral("Что делать при ошибке"), ErrorHelpTag, 570,
                   QColor(0x00, 0x00, 0xFF));
    createStripLinks();
}

// The row of links under the text is full: these take the narrow strip
// between the text and that row, in the window's own font, from the right
// edge leftwards: the statistics, the settings and the pitch test.
void InfoPages::createStripLinks()
{
    int right = kFullBox.right() + 24;
    for (const auto &[tag, text] :
         {std::pair(StatsLinks::FromAboutTag, StatsLinks::text()),
          std::pair(SettingsLinks::FromAboutTag, SettingsLinks::text()),
          std::pair(PitchTestLinks::FromAboutTag, PitchTestLinks::text())}) {
        auto *link = new TArrowLabel(m_page, {}, tag);
        QFont font = Fonts::arial(12, true);
        font.setUnderline(true);
        link->setFont(font);
        link->setCaption(text);
        link->setTextColor(QColor(0x33, 0x33, 0x99));
        link->move(right - 24 - link->width(), kFullBox.bottom() + 1);
        right = link->x();
    }
}

void InfoPages::ShowErrorHelp()
{
    auto *box = qobject_cast<TRichBox *>(m_page.findByName(kAboutName));
    if (!box)
        return;
    const QString path = m_page.base().resolve(QStringLiteral("levels\\error.dat"));
    if (!box->loadFile(path))
        showOpenFailure(path);
}

void InfoPages::StartClick(const TArrowLabel &link)
{
    Navigation *navigation = m_page.navigation();
    if (!navigation)
        return;
    if (link.text() == kStartCaption)
        navigation->ShowPartPage(1);
    else
        navigation->ShowLevelPage(1);
}

void InfoPages::ContinueClick()
{
    if (Navigation *navigation = m_page.navigation())
        navigation->ShowLevelPage(1);
}

} // namespace nk
