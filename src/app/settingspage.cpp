#include "app/settingspage.h"

#include "audio/noteplayer.h"
#include "course/tglobalsettings.h"
#include "course/timbre.h"
#include "widgets/actionboundary.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagecheckbox.h"
#include "widgets/pagelabel.h"
#include "widgets/pagepicture.h"
#include "widgets/settingslinks.h"
#include "widgets/windowcontrols.h"

namespace nk {

namespace {

const QColor kOffered(0x33, 0x33, 0x99);
const QColor kChosen(0xFF, 0x00, 0x00);
constexpr int kTimbreLeft = 148;
constexpr int kMixLeft = 420;
constexpr int kTickIndent = 24;
constexpr int kLine = 24;
constexpr int kFirstTop = 32;
constexpr int kLa = 9; // ЛЯ
constexpr int kFirstOctave = 5;

} // namespace

SettingsPage::SettingsPage(Page &page, TGlobalSettings &settings, NotePlayer &player)
    : m_page(page), m_settings(settings), m_player(player)
{
}

void SettingsPage::ShowSettingsPage(std::function<void()> back)
{
    m_back = std::move(back);
    m_player.useTimbre({});
    m_settings.KeyboardShown = true;
    m_page.controls().SlideKeyboard();
    m_page.ClearPage();
    m_page.addCaption(SettingsLinks::text());
    createTimbres();
    createMix();
    createMaskingBox();
    m_page.addArrowLink(QStringLiteral("Вернуться"), SettingsLinks::BackTag, Page::Link::Backward);
}

// The entries are the timbres' names as a level page lists its steps.
void SettingsPage::createTimbres()
{
    m_entries.clear();
    m_arrow = nullptr; // the arrow of an earlier showing went with its page
    const QList<Timbre> &timbres = Timbre::all();
    for (int k = 0; k < timbres.size(); ++k) {
        auto *entry = new PageLabel(m_page, {}, 1, QAccessible::ListItem);
        entry->setFont(Fonts::arial(Fonts::pointsToPixels(12), true));
        entry->setCaption(timbres[k].name);
        entry->move(kTimbreLeft, kFirstTop + kLine * k);
        entry->setCursor(Qt::PointingHandCursor);
        entry->setFocusPolicy(Qt::TabFocus);
        entry->setObjectName(timbreEntryName(k));
        entry->setAccessibleDescription(QStringLiteral("тембр"));
        QObject::connect(entry, &ClickLabel::clicked, entry,
                         ActionBoundary::guard([this, k] { chooseTimbre(k); }));
        m_entries.append(entry);
    }
    markChosen();
}

// The mix switch, and under it a tick for each timbre that takes part.
void SettingsPage::createMix()
{
    auto *mix = new PageCheckBox(m_page, QStringLiteral("Разные тембры"), 1);
    mix->setObjectName(mixBoxName());
    mix->setChecked(m_settings.TembrMix);
    mix->setAccessibleDescription(QStringLiteral("каждый вопрос в случайном тембре из отмеченных"));
    mix->move(kMixLeft, kFirstTop);
    QObject::connect(mix, &QCheckBox::toggled, mix, [this](bool on) { m_settings.TembrMix = on; });
    const QList<Timbre> &timbres = Timbre::all();
    for (int k = 0; k < timbres.size(); ++k) {
        auto *box = new PageCheckBox(m_page, timbres[k].name, 1);
        box->setObjectName(tickName(k));
        box->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
        box->adjustSize();
        box->setAccessibleName(timbres[k].name + QStringLiteral(" среди разных тембров"));
        box->setChecked(m_settings.TembrSet.contains(timbres[k].folder));
        box->move(kMixLeft + kTickIndent, kFirstTop + kLine * (k + 1));
        QObject::connect(box, &QCheckBox::toggled, box, [this, k](bool on) { tick(k, on); });
    }
}

// Under the ticks, beside the mix it goes with: both are about what a question
// is heard with.
void SettingsPage::createMaskingBox()
{
    auto *box = new PageCheckBox(m_page, QStringLiteral("Помехи между вопросами"), 1);
    box->setObjectName(maskingBoxName());
    box->setChecked(m_settings.Masking);
    box->setAccessibleDescription(
        QStringLiteral("перед первым прослушиванием вопроса — случайные звуки и пауза"));
    box->move(kMixLeft, kFirstTop + kLine * (int(Timbre::all().size()) + 2));
    QObject::connect(box, &QCheckBox::toggled, box, [this](bool on) { m_settings.Masking = on; });
}

// The set keeps the table's order whatever order the ticks were set in.
void SettingsPage::tick(int index, bool on)
{
    QStringList set;
    for (int k = 0; k < Timbre::all().size(); ++k) {
        const QString &folder = Timbre::all()[k].folder;
        if (k == index ? on : m_settings.TembrSet.contains(folder))
            set.append(folder);
    }
    m_settings.TembrSet = set;
}

void SettingsPage::markChosen()
{
    if (m_arrow)
        m_arrow->hide();
    for (int k = 0; k < m_entries.size(); ++k) {
        PageLabel *entry = m_entries[k];
        if (!entry)
            continue;
        const bool chosen = Timbre::all()[k].folder == m_settings.Tembr;
        entry->setTextColor(chosen ? kChosen : kOffered);
        entry->setAccessibleDescription(chosen ? QStringLiteral("тембр, выбран")
                                               : QStringLiteral("тембр"));
        if (!chosen)
            continue;
        if (!m_arrow) {
            m_arrow = m_page.addPicture(QStringLiteral("pictures\\smallarrow.gif"), QPoint());
            m_arrow->setDecorative();
        }
        m_arrow->move(entry->x() - 24, entry->y());
        m_arrow->show();
    }
}

void SettingsPage::chooseTimbre(int index)
{
    if (index < 0 || index >= Timbre::all().size())
        return;
    m_settings.Tembr = Timbre::all()[index].folder;
    m_player.setTimbre(m_settings.Tembr);
    markChosen();
    m_player.PlayNote(kFirstOctave, kLa);
}

void SettingsPage::backClick()
{
    if (m_back)
        m_back();
}

} // namespace nk
