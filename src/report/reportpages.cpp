#include "report/reportpages.h"

#include "audio/linebreaks.h"
#include "course/basepath.h"
#include "course/inifile.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "course/scopedflag.h"
#include "course/settingsfile.h"
#include "course/shutdown.h"
#include "course/tglobalsettings.h"
#include "report/activitylog.h"
#include "report/reportedit.h"
#include "report/reportmemo.h"
#include "report/siteopener.h"
#include "widgets/fonts.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/trichbox.h"
#include "widgets/windowcontrols.h"

#include <QApplication>
#include <QFile>
#include <QScopeGuard>
#include <optional>

namespace nk {

namespace {

constexpr int kLeft = 136;
constexpr int kFieldWidth = 641;
constexpr int kMemoHeight = 57;
constexpr int kMultiLine = 3;
const QRect kSuccessBox(128, 0, 649, 345);

// The answer of a report field, or nothing for any other widget.
std::optional<QString> answerOf(QWidget *w)
{
    if (auto *edit = qobject_cast<ReportEdit *>(w))
        return edit->text();
    if (auto *memo = qobject_cast<ReportMemo *>(w))
        return memo->answer();
    return std::nullopt;
}

} // namespace

ReportPages::ReportPages(Page &page, ActivityLog &log, const SettingsFile &settingsFile,
                         SiteOpener &site, TGlobalSettings &settings)
    : m_page(page), m_log(log), m_settingsFile(settingsFile), m_site(site), m_settings(settings)
{
}

void ReportPages::ShowReportPage()
{
    m_log.WriteLog(QStringLiteral("Показана форма отчёта"));
    m_page.ClearPage();
    m_page.addCaption(QStringLiteral("Отчёт"));
    const IniFile file(m_page.base().resolve(QStringLiteral("levels\\") +
                                             Levels::LevelFolder(m_settings.Level) +
                                             QStringLiteral("\\report.dat")));
    // The last section is not a question; the form has room for five.
    const int questions = std::min<int>(file.sections().size() - 1, MaxQuestions);
    for (int k = 1; k <= questions; ++k)
        createQuestion(file, k);
    m_page.addButton(QStringLiteral("Отправить"), QRect(kLeft, 352, 200, 25), SendTag);
}

void ReportPages::createQuestion(const IniFile &file, int k)
{
    const QString section = QStringLiteral("q") + QString::number(k);
    const QString text = file.readString(section, u"text", QStringLiteral("нет настроек"));
    PageLabel *label = m_page.addText(ExpandLineBreaks(text),
                                      QPoint(kLeft, file.readInteger(section, u"ly", 40)), k);
    label->setFont(Fonts::arial(Fonts::pointsToPixels(10)));
    label->adjustSize();
    const int top = file.readInteger(section, u"ey", 40);
    if (file.readInteger(section, u"et", 1) == kMultiLine) {
        auto *memo = new ReportMemo(m_page, k);
        memo->setGeometry(kLeft, top, kFieldWidth, kMemoHeight);
        memo->setAccessibleName(label->text().simplified());
    } else {
        auto *edit = new ReportEdit(m_page, k);
        edit->setGeometry(kLeft, top, kFieldWidth, edit->sizeHint().height());
        // A screen reader names the field by the question above it.
        edit->setAccessibleName(label->text().simplified());
    }
}

bool ReportPages::ReportFieldsFilled()
{
    for (QWidget *w : m_page.pageWidgets()) {
        const std::optional<QString> answer = answerOf(w);
        if (answer && answer->isEmpty()) {
            m_log.WriteLog(QStringLiteral("Попытка отправить пустой отчёт"));
            m_page.message(QStringLiteral("Заполните все поля!!!"));
            return false;
        }
    }
    return true;
}

void ReportPages::LogReportAnswers()
{
    m_log.WriteLog(QStringLiteral("Начало ответов"));
    for (QWidget *w : m_page.pageWidgets()) {
        if (const std::optional<QString> answer = answerOf(w))
            m_log.WriteLog(*answer);
    }
    m_log.WriteLog(QStringLiteral("Конец ответов"));
}

QString ReportPages::ReportStamp()
{
    QString stamp = ActivityLog::dateTimeText(ProgramClock::now());
    stamp.replace(QLatin1Char(' '), QLatin1Char('_'));
    stamp.replace(QLatin1Char(':'), QLatin1Char('.'));
    stamp.replace(QLatin1Char('/'), QLatin1Char('.'));
    return stamp;
}

QString ReportPages::uploadCopyName(const QString &stamp)
{
    return QStringLiteral("DEMO_") + stamp + QStringLiteral("_log.dat");
}

QString ReportPages::uploadSite() const
{
    return m_settingsFile.SiteAddress();
}

bool ReportPages::SendReport()
{
    if (m_sending)
        return false;
    const ScopedFlag sending(m_sending);
    // A window closed mid-upload would leave the log without its outcome.
    const ScopedFlag busy(m_settings.Busy);
    const QString copyName = uploadCopyName(ReportStamp());
    m_log.WriteLog(QStringLiteral("Отправляем отчёт..."));
    const QString copyPath = m_page.base().resolve(QStringLiteral("levels\\") + copyName);
    UploadResult result;
    {
        // The copy is sent whole even if the log grows meanwhile. A copy that
        // was not sent stays for the learner to send by other means; the next
        // start clears it away.
        QFile::remove(copyPath);
        QFile::copy(m_log.path(), copyPath);
        // The upload keeps the window painted; nothing in it may start
        // another action until the answer is in.
        const AllControlsDisabled controlsOff(m_page.controls());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        result = m_uploader.upload(QUrl(uploadSite()), copyPath);
    }
    if (!result.ok) {
        // The text may quote the site's own words, such as an address it named.
        m_log.WriteLog(QStringLiteral("Отчёт ") + copyName + QStringLiteral(" не отправлен: ") +
                       ActivityLog::fromOutside(result.error));
        if (!Shutdown::requested()) // a box would hold up the end of the session
            m_page.message(result.error);
        return false;
    }
    QFile::remove(copyPath);
    m_log.WriteLog(QStringLiteral("Отчёт ") + copyName + QStringLiteral(" отправлен"));
    return true;
}

void ReportPages::ShowReportSent()
{
    m_log.WriteLog(QStringLiteral("Открыто описание полной версии"));
    m_page.ClearPage();
    m_page.addCaption(QStringLiteral("Отчёт отправлен"));
    TRichBox *box = m_page.addTextBox(QStringLiteral("levels\\success.dat"), kSuccessBox, 2);
    box->setObjectName(QStringLiteral("success"));
    m_page.addArrowLink(QStringLiteral("Узнать подробнее про полную версию"), FullVersionTag);
}

void ReportPages::OpenFullVersionInfo()
{
    m_site.OpenSite(uploadSite() + QStringLiteral("/?id=demo"));
    m_log.WriteLog(QStringLiteral("Конец )"));
}

void ReportPages::SendClick()
{
    if (m_sending || !ReportFieldsFilled())
        return;
    LogReportAnswers();
    if (SendReport())
        ShowReportSent();
}

} // namespace nk
