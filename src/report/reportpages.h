#pragma once

#include "report/reportuploader.h"

#include <QString>

namespace nk {

class ActivityLog;
class IniFile;
class Page;
class SettingsFile;
class SiteOpener;
struct TGlobalSettings;

// The report form of a level's last step, the sending of the activity log to
// the maker's site and the page that thanks for it.
class ReportPages
{
public:
    static constexpr int MaxQuestions = 5;
    static constexpr int SendTag = 37;        // "Отправить" of the form
    static constexpr int SendLogTag = 19;     // "Отправить отчёт" of the about page
    static constexpr int FullVersionTag = 21; // the link of the page after sending

    ReportPages(Page &page, ActivityLog &log, const SettingsFile &settingsFile, SiteOpener &site,
                TGlobalSettings &settings);

    // The form of the current level.
    void ShowReportPage();
    bool ReportFieldsFilled();
    void LogReportAnswers();
    // Uploads a copy of the log; the window refuses to close meanwhile, and the
    // log records the outcome either way. A failure is shown to the learner and
    // returns false; a call while an upload runs is ignored and returns false.
    bool SendReport();
    void ShowReportSent();
    void OpenFullVersionInfo();

    // "Отправить": check, log the answers, send, thank; the form stays as
    // filled when anything is missing or the sending fails.
    void SendClick();

    bool isSending() const { return m_sending; }
    ReportUploader &uploader() { return m_uploader; }

    // The moment of sending in the log's date-time form, made fit for a file name.
    static QString ReportStamp();
    static QString uploadCopyName(const QString &stamp);

private:
    void createQuestion(const IniFile &file, int k);
    QString uploadSite() const;

    Page &m_page;
    ActivityLog &m_log;
    const SettingsFile &m_settingsFile;
    SiteOpener &m_site;
    TGlobalSettings &m_settings;
    ReportUploader m_uploader;
    bool m_sending = false;
};

} // namespace nk
