#include "app/tmainform.h"

#include "app/artwork.h"
#include "app/coursepages.h"
#include "app/exercises.h"
#include "app/maintray.h"
#include "app/settingspage.h"
#include "course/fileerror.h"
#include "course/shutdown.h"
#include "course/staletempfiles.h"
#include "keyboard/keyboard.h"
#include "report/infopages.h"
#include "report/reportpages.h"
#include "stats/statspage.h"
#include "widgets/accessiblelabel.h"
#include "widgets/actionboundary.h"
#include "widgets/afterfirstpaint.h"
#include "widgets/clicklabel.h"
#include "widgets/fonts.h"
#include "widgets/gradientbutton.h"
#include "widgets/messagebox.h"
#include "widgets/oneshottimers.h"
#include "widgets/page.h"
#include "widgets/restbreak.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <utility>

namespace nk {

namespace {
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kActiveBlue(0x33, 0x33, 0x99);
const QColor kGrayText(0x80, 0x80, 0x80);
const QColor kButtonFace(0x84, 0xC2, 0x25);
constexpr int kKeyboardTop = 380;
// Between the hidden and the shown client height.
constexpr int kShownThreshold = (TMainForm::HiddenHeight + TMainForm::ShownHeight) / 2;
// How soon a session end asks again while a playback loop winds down.
constexpr int kSessionEndRetryMs = 20;
} // namespace

TMainForm::TMainForm(const BasePath &base, QWidget *parent) : QWidget(parent)
{
    AccessibleLabel::installFactory();
    createWindow();
    createKeyboardPicture();
    createKeyLettersToggle();
    createLogo();
    createMenuLinks();
    createPartButtons();
    createExitButton();
    createTrayIcon();
    MessageBox::holdUntilPainted(this);
    FormCreate(base);
    createSoundNotice();
}

TMainForm::~TMainForm() = default;

void TMainForm::createWindow()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Нотоклюв - демоверсия"));
    setFont(Fonts::arial(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(ClientWidth, HiddenHeight);
    move(258, 146);
    setWindowIcon(Artwork::trayIcon());
    MessageBox::setMainWindow(this);
}

void TMainForm::createKeyboardPicture()
{
    auto *keyboard = new ClickLabel(this);
    keyboard->setObjectName(QStringLiteral("imgKeyboard"));
    // The picture comes with the keyboard, which draws its own resting picture.
    keyboard->setGeometry(0, kKeyboardTop, 780, 251);
}

// Below the octave brackets, on the panel's free strip. A click never gives it
// the focus, so the keys it would eat (space) stay with the learner's pages;
// Tab reaches it, for a learner without the mouse.
void TMainForm::createKeyLettersToggle()
{
    auto *toggle = new QCheckBox(QStringLiteral("Буквы клавиш на клавиатуре (стрелки ← → "
                                                "сдвигают октаву)"),
                                 this);
    toggle->setObjectName(QStringLiteral("cbKeyLetters"));
    toggle->setFocusPolicy(Qt::TabFocus);
    toggle->setFont(Fonts::arial(12));
    QPalette pal = toggle->palette();
    pal.setColor(QPalette::WindowText, kActiveBlue);
    toggle->setPalette(pal);
    toggle->setGeometry(10, kKeyboardTop + 206, 420, 20);
}

QCheckBox *TMainForm::keyLettersToggle() const
{
    return findChild<QCheckBox *>(QStringLiteral("cbKeyLetters"), Qt::FindDirectChildrenOnly);
}

void TMainForm::createLogo()
{
    auto *logo = new ClickLabel(this, QAccessible::Link);
    logo->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture = Artwork::logo();
    logo->setPixmap(picture);
    logo->setGeometry(0, 0, picture.width(), picture.height());
    logo->setCursor(Qt::PointingHandCursor);
    logo->setAccessibleName(QStringLiteral("Сайт программы «Нотоклюв»"));
    logo->setFocusPolicy(Qt::TabFocus);
    connect(logo, &ClickLabel::clicked, this, ActionBoundary::guard([this] { openMakerSite(); }));
}

ClickLabel *TMainForm::createLink(const QString &name, const QString &text, const QRect &geometry,
                                  const QFont &font, const QColor &color)
{
    auto *link = new ClickLabel(this, QAccessible::Link);
    link->setObjectName(name);
    link->setText(text);
    link->setFont(font);
    // A disabled link must look it, as the part buttons beside it do.
    QPalette pal = link->palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, color);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, color);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, kGrayText);
    link->setPalette(pal);
    link->setGeometry(geometry);
    link->setCursor(Qt::PointingHandCursor);
    link->setFocusPolicy(Qt::TabFocus);
    return link;
}

void TMainForm::createMenuLinks()
{
    auto *instr = createLink(QStringLiteral("lbInstr"), QStringLiteral("Инструкция"),
                             QRect(8, 120, 99, 20), Fonts::sansSerif(16, true, true), kRed);
    connect(instr, &ClickLabel::clicked, this, ActionBoundary::guard([this] {
                if (m_routes.showInstructionPage)
                    m_routes.showInstructionPage();
            }));
    auto *full = createLink(QStringLiteral("Label1"), QStringLiteral("Полная версия"),
                            QRect(8, 272, 112, 16), Fonts::sansSerif(13, true, true), kRed);
    connect(full, &ClickLabel::clicked, this, ActionBoundary::guard([this] { openMakerSite(); }));
    auto *about = createLink(QStringLiteral("lbAbout"), QStringLiteral("О программе"),
                             QRect(8, 296, 111, 20), Fonts::sansSerif(16, true, true), kActiveBlue);
    connect(about, &ClickLabel::clicked, this, ActionBoundary::guard([this] {
                if (m_routes.showAboutPage)
                    m_routes.showAboutPage();
            }));
}

void TMainForm::createPartButtons()
{
    static const char16_t *const captions[] = {u"Часть I", u"Часть II", u"Часть III", u"Часть IV"};
    for (int n = 1; n <= 4; ++n) {
        auto *button = new GradientButton(this);
        button->setObjectName(QStringLiteral("btPart") + QString::number(n));
        button->setText(QString::fromUtf16(captions[n - 1]));
        button->setFont(Fonts::arial(13, true));
        button->setFaceColor(kButtonFace);
        button->setGeometry(8, 144 + 32 * (n - 1), 113, 25);
        connect(button, &GradientButton::clicked, this,
                ActionBoundary::guard([this, n] { showPart(n); }));
    }
}

void TMainForm::createExitButton()
{
    auto *exit = new GradientButton(this);
    exit->setObjectName(QStringLiteral("btExit"));
    exit->setFlat(true);
    exit->setStatePictures(Artwork::exitStrip());
    exit->setFont(Fonts::sansSerif(19, true));
    exit->setFaceColor(Qt::white);
    exit->setGeometry(8, 320, 113, 57);
    exit->setToolTip(QStringLiteral("Выход"));
    exit->setAccessibleName(QStringLiteral("Выход"));
    connect(exit, &GradientButton::clicked, this, ActionBoundary::guard([this] { btExitClick(); }));
    QWidget *previous = nullptr;
    // Tab goes down the column as it reads, links and buttons alike.
    for (const char *name : {"Image1", "lbInstr", "btPart1", "btPart2", "btPart3", "btPart4",
                             "Label1", "lbAbout", "btExit"}) {
        QWidget *w = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

// An ear-training course that cannot be heard must say so where the learner
// looks, without a box that would stop the exercise; it never takes a click.
void TMainForm::createSoundNotice()
{
    auto *notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("lbNoSound"));
    notice->setFont(Fonts::arial(11, true));
    QPalette pal = notice->palette();
    pal.setColor(QPalette::WindowText, kRed);
    notice->setPalette(pal);
    notice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice->setGeometry(300, 364, 476, 16);
    notice->hide();
    connect(&m_state->player, &NotePlayer::silenced, notice, [notice](const QString &why) {
        notice->setText(QStringLiteral("Нет звука: %1. Звук вернётся сам, когда заработает "
                                       "звуковая система.")
                            .arg(why));
        notice->show();
        notice->raise();
    });
    connect(&m_state->player, &NotePlayer::audible, notice, &QWidget::hide);
}

void TMainForm::createTrayIcon()
{
    m_tray = new MainTray(this);
    connect(m_tray, &MainTray::restoreAsked, this,
            ActionBoundary::guard([this] { CoolTrayIcon1DblClick(); }));
    connect(m_tray, &MainTray::exitAsked, this, ActionBoundary::guard([this] { btExitClick(); }));
}

void TMainForm::FormCreate(const BasePath &base)
{
    m_state = std::make_unique<GlobalState>(base);
    m_page = new Page(this, *this, base);
    m_timers = new OneShotTimers(this);
    m_rest = std::make_unique<RestBreak>(*m_timers, m_state->Resting);
    m_course = std::make_unique<CoursePages>(*m_page, *m_state);
    m_keyboard = std::make_unique<Keyboard>(Keyboard::State{m_state->Settings, m_state->Allowed,
                                                            m_state->ErrorSet, m_state->NotesA,
                                                            m_state->NotesB},
                                            m_state->player, *m_timers, *m_page);
    m_keyboard->setPictureLabel(qobject_cast<QLabel *>(keyboardPicture()));
    m_info = std::make_unique<InfoPages>(*m_page, m_state->log, m_state->Settings);
    m_reports = std::make_unique<ReportPages>(*m_page, m_state->log, m_state->settingsFile,
                                              m_state->site, m_state->Settings);
    m_stats = std::make_unique<StatsPage>(*m_page, m_state->Settings);
    m_settingsPage = std::make_unique<SettingsPage>(*m_page, m_state->Settings, m_state->player);
    m_steps = std::make_unique<StepContext>(StepContext{
        *m_page, m_state->Settings, m_state->QSettings, m_state->settingsFile, m_state->log,
        m_state->player, *m_timers, *m_rest, *m_keyboard, m_state->NotesA, m_state->NotesB,
        m_state->Allowed, m_state->ErrorSet, m_state->MelodyPlaying, m_state->history});
    m_exercises = std::make_unique<Exercises>(*m_steps, *m_state);
    Shutdown::reset();
    writeLogSafely(QStringLiteral("Программа запущена"));
}

// Start-up and close must go on whatever the files say: a failing log or
// settings write is shown, never allowed to stop the program starting or closing.
void TMainForm::writeLogSafely(const QString &message)
{
    try {
        m_state->log.WriteLog(message);
    } catch (const FileError &error) {
        tell(error.text());
    }
}

// At a session's end nobody is there to answer a box, and the session waits
// for the program: the failure goes to the error output instead.
void TMainForm::tell(const QString &text)
{
    if (m_sessionEnding)
        qWarning("%s", qUtf8Printable(text));
    else
        MessageBox::show(this, text);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ActionBoundary::run([this] { FormShow(); });
}

void TMainForm::FormShow()
{
    GlobalState &s = *m_state;
    if (s.Started)
        return;
    s.Started = true; // first, so a nested show during a message box does not start twice
    s.settingsFile.LoadSettings(s.Settings);
    keyLettersToggle()->setChecked(s.Settings.KeyLetters);
    s.player.setTimbre(s.Settings.Tembr);
    // Sound, network and MIDI wait until the page is on screen; a key pressed
    // sooner makes the sound ready itself. Nothing reads the leftovers of a
    // killed run, so clearing them waits too; what this run makes meanwhile stays.
    m_startedAt = QDateTime::currentDateTime();
    AfterFirstPaint::schedule(this, [this] {
        clearLeftovers();
        m_state->player.makeReady();
        m_reports->uploader().makeReady();
        m_state->midi.start();
    });
    if (s.Settings.FirstRun) {
        if (m_routes.showInstructionPage)
            m_routes.showInstructionPage();
        s.Settings.FirstRun = false;
    } else if (m_routes.showLevelPage) {
        m_routes.showLevelPage(1);
    }
    EnablePartButtons();
    // Only now: a click on the icon or its "Выход" before this would start or
    // close a window that has not started.
    m_tray->showWhenThere();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_closing || !FormCloseQuery()) {
        if (!m_closing)
            event->ignore();
        return;
    }
    m_closing = true;
    FormClose();
    event->accept();
    m_closed = true;
    Q_EMIT closed();
}

bool TMainForm::FormCloseQuery()
{
    if (m_state->Settings.Busy)
        return false;
    if (!m_state->Started)
        return true; // nothing loaded: the defaults must not replace the file
    try {
        m_state->settingsFile.SaveSettings(m_state->Settings);
    } catch (const FileError &error) {
        tell(error.text());
    }
    return true;
}

void TMainForm::FormClose()
{
    Shutdown::request();
    if (m_state->Started)
        clearLeftovers(); // a window closed before its first paint
    m_tray->hide();
    writeLogSafely(QStringLiteral("Программа закрыта"));
}

void TMainForm::clearLeftovers()
{
    if (!std::exchange(m_leftoversCleared, true))
        StaleTempFiles::remove(m_state->basePath, m_startedAt);
}

void TMainForm::btExitClick()
{
    close();
}

void TMainForm::endSession()
{
    Shutdown::request(); // a playback loop under way ends at its next wait
    m_sessionEnding = true;
    if (m_closing) {
        // A close stuck in a message box: asked again, the program ends.
        if (!m_closed)
            QCoreApplication::exit(0);
        return;
    }
    close();
    if (!m_closing) // still Busy: the loop has not unwound yet
        QTimer::singleShot(kSessionEndRetryMs, this, &TMainForm::endSession);
}

void TMainForm::openMakerSite()
{
    if (m_routes.openSite)
        m_routes.openSite(m_state->settingsFile.SiteAddress() + QStringLiteral("/?id=demo"));
}

void TMainForm::showPart(int part)
{
    if (m_routes.showPartPage)
        m_routes.showPartPage(part);
}

void TMainForm::EnablePartButtons()
{
    constexpr int partCount = 4;
    for (int n = 1; n <= 4; ++n) {
        QWidget *button = findChild<QWidget *>(QStringLiteral("btPart") + QString::number(n),
                                               Qt::FindDirectChildrenOnly);
        if (button)
            button->setEnabled(n <= partCount);
    }
}

void TMainForm::DisableMenu()
{
    for (const char *name :
         {"lbInstr", "Label1", "lbAbout", "btPart1", "btPart2", "btPart3", "btPart4"}) {
        if (QWidget *w = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly))
            w->setEnabled(false);
    }
}

void TMainForm::EnableMenu()
{
    for (const char *name :
         {"lbInstr", "Label1", "lbAbout", "btPart1", "btPart2", "btPart3", "btPart4"}) {
        if (QWidget *w = findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly))
            w->setEnabled(true);
    }
    EnablePartButtons();
}

void TMainForm::DisableAllControls()
{
    const auto controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *w : controls)
        w->setEnabled(false);
}

void TMainForm::EnableAllControls()
{
    const auto controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *w : controls)
        w->setEnabled(true);
    EnablePartButtons();
}

bool TMainForm::KeyboardIsShown() const
{
    return height() >= kShownThreshold;
}

void TMainForm::SlideKeyboard()
{
    bool &shown = m_state->Settings.KeyboardShown;
    if (KeyboardIsShown() != shown)
        return; // already where the caller wants it
    const int d = shown ? -2 : 2;
    const int passes = keyboardPicture()->height() / 2 + 1;
    for (int i = 0; i < passes; ++i) {
        // Limits move first and the height follows, so it never leaves them.
        if (d > 0) {
            setMaximumHeight(maximumHeight() + d);
            setMinimumHeight(minimumHeight() + d);
        } else {
            setMinimumHeight(minimumHeight() + d);
            setMaximumHeight(maximumHeight() + d);
        }
        resize(width(), height() + d);
        keepOnScreen(d);
    }
    shown = !shown;
}

// A window grown for the keyboard would reach below a small screen, taking
// the lower keys with it: it rises as it grows and sinks back as it shrinks,
// never above where it stood before.
void TMainForm::keepOnScreen(int growth)
{
    if (growth < 0) {
        const int back = std::min(-growth, m_liftedBy);
        m_liftedBy -= back;
        move(x(), y() + back);
        return;
    }
    if (!isVisible() || !screen())
        return;
    const QRect available = screen()->availableGeometry();
    const int overflow = frameGeometry().bottom() - available.bottom();
    const int lift = std::min(overflow, frameGeometry().top() - available.top());
    if (lift <= 0)
        return;
    m_liftedBy += lift;
    move(x(), y() - lift);
}

QWidget *TMainForm::keyboardPicture() const
{
    return findChild<QWidget *>(QStringLiteral("imgKeyboard"), Qt::FindDirectChildrenOnly);
}

QSystemTrayIcon *TMainForm::trayIcon() const
{
    return m_tray->icon();
}

QMenu *TMainForm::trayMenu() const
{
    return m_tray->menu();
}

bool TMainForm::hasTray() const
{
    return m_tray->shown();
}

void TMainForm::minimizeToTray()
{
    if (hasTray())
        hide();
    else
        showMinimized();
}

void TMainForm::restoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && hasTray())
        QTimer::singleShot(0, this, &QWidget::hide);
}

void TMainForm::CoolTrayIcon1DblClick()
{
    if (m_state->Resting) {
        m_tray->tellToRest();
        return;
    }
    restoreFromTray();
}

} // namespace nk
