#pragma once

#include "app/tmainform.h"
#include "widgets/page.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace nk {
class TArrowLabel;
class TYesButton;
} // namespace nk

namespace nk::test {

// One learner's own copy of the program folder as the build ships it, and
// the program started on it, closed, killed and started again. Time runs ten
// thousand times faster, the clock shows one fixed moment, message boxes
// and the browser are recorded instead of shown.
class LearnerRig : public QObject
{
    Q_OBJECT
public:
    // The moment every log record carries.
    static QDateTime moment();
    static QString momentText() { return QStringLiteral("08.12.2026 7:29:26"); }

    LearnerRig();
    ~LearnerRig() override;

    // Empty when the copied folder is what a new learner gets, else why not.
    QString freshnessProblem() const;

    void start();
    // The exit button, as the learner leaves; true when the window went.
    bool quit();
    // The program ends without its close, as when the process is killed.
    void kill();
    bool running() const { return m_form != nullptr; }

    TMainForm &form() { return *m_form; }
    GlobalState &state() { return m_form->state(); }
    Page &page() { return m_form->page(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    // What a learner sees and clicks.
    TYesButton *button(int tag) const;
    TArrowLabel *link(int tag) const;
    QString labelText(int top) const;
    QString caption() const;
    bool clickButton(int tag);
    bool clickLink(int tag);
    bool clickMenu(const char *name);
    // The entry of the shown course part or level list at this position.
    bool clickEntry(int position);
    bool levelPageShown() const;
    // The page's texts and tags, for failure messages.
    QString describePage() const;
    // The position of the shown list's current (red) entry; 0 when none.
    int currentEntry() const;
    void pressKey(int octave, int pitch);
    template <typename W> QList<W *> widgets() const;

    // What the program keeps in its files.
    QString levelFile(int level, const QString &name) const;
    bool stepFlag(int level, int step, const char *key) const;
    QString noteValue(int level, int note, const QString &key) const;
    QString setting(const char *key) const;
    void writeSetting(const char *key, const QString &value) const;

    // The log's records, each checked for its date, " - " and the 0x0A 0x0D
    // ending; a record that breaks the form comes back as "<bad record: …>".
    QStringList logMessages() const;
    // The messages written since the previous call.
    QStringList newLog();
    QByteArray logBytes() const;

    // Message boxes shown since the previous call.
    QStringList takeMessages();
    QList<QUrl> openedUrls;

public Q_SLOTS:
    void openUrl(const QUrl &url) { openedUrls.append(url); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TMainForm> m_form;
    qsizetype m_logSeen = 0;
    bool m_quiet = false;
};

template <typename W> QList<W *> LearnerRig::widgets() const
{
    QList<W *> found;
    for (QWidget *w : m_form->page().pageWidgets()) {
        if (auto *typed = qobject_cast<W *>(w))
            found.append(typed);
    }
    return found;
}

} // namespace nk::test
