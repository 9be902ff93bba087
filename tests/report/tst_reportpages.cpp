#include "app/tmainform.h"
#include "course/cp1251.h"
#include "course/programclock.h"
#include "phpserver.h"
#include "report/activitylog.h"
#include "report/reportedit.h"
#include "report/reportmemo.h"
#include "report/reportpages.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmycaption.h"
#include "widgets/trichbox.h"
#include "widgets/tyesbutton.h"
#include "windowrig.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace nk;
using namespace nk::test;
using namespace Qt::StringLiterals;

namespace {

const QString kFourQuestions =
    u"[q1]\r\ntext=Сколько времени занял уровень?\r\nly=40\r\net=1\r\ney=58\r\n"
    u"[q2]\r\ntext=Какие ноты&запомнились легче?\r\nly=85\r\net=3\r\ney=103\r\n"
    u"[q3]\r\ntext=Что помогало?\r\nly=166\r\net=2\r\ney=200\r\n"
    u"[q4]\r\ntext=Что изменить?\r\nly=263\r\ney=281\r\n"
    u"[report]\r\nlevel=1\r\n"_s;

QString questions(int count)
{
    QString text;
    for (int k = 1; k <= count; ++k)
        text += u"[q%1]\r\ntext=Вопрос %1\r\nly=%2\r\ney=%3\r\n"_s.arg(k)
                    .arg(20 + 50 * k)
                    .arg(40 + 50 * k);
    return text + u"[report]\r\n"_s;
}

// Typing, key by key, as the learner does; QTest::keyClicks knows only Latin-1.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestReportPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void stampAndCopyName_data();
    void stampAndCopyName();
    void questionsOfTheForm_data();
    void questionsOfTheForm();
    void formLayout();
    void answersOnlyInTheLogsCodePage_data();
    void answersOnlyInTheLogsCodePage();
    void emptyFieldStopsTheSending_data();
    void emptyFieldStopsTheSending();
    void successfulSend();
    void failedSendKeepsTheForm_data();
    void failedSendKeepsTheForm();
    void busyWhileSending();
    void aboutPageSendsAndStays();
    void fullVersionLink();

private:
    void startForm(const QString &site);
    void showForm(const QString &reportFile = kFourQuestions);
    QList<QWidget *> answerFields() const;
    void typeAnswers(const QStringList &answers);
    TYesButton *sendButton() const;
    template <class T> T *widgetWithTag(int tag) const;
    QList<QJsonObject> requests() const;
    QStringList logSince(const QString &message) const;
    // Upload copies left in the levels folder.
    QStringList uploadCopies() const
    {
        return QDir(m_rig->path(u"levels"_s)).entryList({u"DEMO_*"_s}, QDir::Files);
    }

    QTemporaryDir m_siteDir;
    PhpServer m_server;
    std::unique_ptr<WindowRig> m_rig;
};

void TestReportPages::initTestCase()
{
    QFile recorderFile(qEnvironmentVariable("NK_SOURCE_DIR") + u"/tests/report/recorder.php"_s);
    QVERIFY(recorderFile.open(QIODevice::ReadOnly));
    const QByteArray recorder = recorderFile.readAll();
    QFile slowFile(qEnvironmentVariable("NK_SOURCE_DIR") + u"/tests/report/slow.php"_s);
    QVERIFY(slowFile.open(QIODevice::ReadOnly));
    const QByteArray slow = slowFile.readAll().mid(5); // without its "<?php"
    const QList<std::pair<QString, QByteArray>> scripts = {
        {u"ok"_s, "echo 'OK';"},
        {u"fail"_s, "http_response_code(500);"},
        {u"slow"_s, slow},
        {u"proxy"_s, "http_response_code(407);"},
        {u"large"_s, "http_response_code(413);"},
        {u"cafe"_s, "header('Location: http://other.example/caf%C3%A9/upreport.php', true, 307);"}};
    const QDir root(m_siteDir.filePath(u"site"_s));
    for (const auto &[folder, tail] : scripts) {
        QVERIFY(root.mkpath(folder));
        QFile script(root.filePath(folder + u"/upreport.php"_s));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(recorder + tail + '\n');
    }
    QVERIFY2(m_server.start(root.path()), "php -S did not start");
}

void TestReportPages::init()
{
    QDir(m_siteDir.filePath(u"requests"_s)).removeRecursively();
    QFile::remove(m_siteDir.filePath(u"release"_s));
    m_rig = std::make_unique<WindowRig>(
        RigSetup(RigSetup::Bare).asFirstRun().scaledBy(1.0).startLater());
    QVERIFY(m_rig->ready());
    QVERIFY(m_rig->writeText(u"levels/success.dat"_s, u"Спасибо за отчёт!"_s));
    QVERIFY(m_rig->writeText(u"levels/about.dat"_s, u"О программе"_s));
    QVERIFY(m_rig->writeText(u"levels/instruction.dat"_s, u"Инструкция"_s)); // the first page
    startForm(m_server.url(u"/ok"_s).toString());
}

void TestReportPages::cleanup()
{
    m_rig.reset();
    ProgramClock::setNowSource({});
}

void TestReportPages::startForm(const QString &site)
{
    m_rig->kill();
    // A first run starts on the instruction page, which belongs to this part
    // of the program, rather than on a course page.
    QVERIFY(m_rig->writeText(u"levels/settings.dat"_s,
                             u"[main]\r\nfirstrun=1\r\nsite="_s + site + u"\r\n"_s));
    m_rig->start();
    QVERIFY(QTest::qWaitForWindowExposed(&m_rig->form()));
}

void TestReportPages::showForm(const QString &reportFile)
{
    if (!reportFile.isNull())
        QVERIFY(m_rig->writeText(u"levels/01/report.dat"_s, reportFile));
    m_rig->form().reports().ShowReportPage();
}

QList<QWidget *> TestReportPages::answerFields() const
{
    QList<QWidget *> fields;
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        if (qobject_cast<ReportEdit *>(w) || qobject_cast<ReportMemo *>(w))
            fields.append(w);
    }
    return fields;
}

void TestReportPages::typeAnswers(const QStringList &answers)
{
    const QList<QWidget *> fields = answerFields();
    QCOMPARE(fields.size(), answers.size());
    for (int i = 0; i < answers.size(); ++i)
        typeText(fields[i], answers[i]);
}

TYesButton *TestReportPages::sendButton() const
{
    return widgetWithTag<TYesButton>(ReportPages::SendTag);
}

template <class T> T *TestReportPages::widgetWithTag(int tag) const
{
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        auto *t = qobject_cast<T *>(w);
        if (t && t->tag() == tag)
            return t;
    }
    return nullptr;
}

QList<QJsonObject> TestReportPages::requests() const
{
    QList<QJsonObject> out;
    const QDir dir(m_siteDir.filePath(u"requests"_s));
    for (const QString &name : dir.entryList({u"*.json"_s}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out << QJsonDocument::fromJson(f.readAll()).object();
    }
    return out;
}

QStringList TestReportPages::logSince(const QString &message) const
{
    const QStringList all = m_rig->logMessages();
    const qsizetype from = all.lastIndexOf(message);
    return from < 0 ? QStringList() : all.mid(from);
}

void TestReportPages::stampAndCopyName_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("morning") << QDateTime(QDate(2026, 12, 8), QTime(7, 29, 26))
                             << u"08.12.2026_7.29.26"_s;
    QTest::newRow("evening") << QDateTime(QDate(2027, 1, 31), QTime(23, 5, 9))
                             << u"31.01.2027_23.05.09"_s;
    QTest::newRow("midnight has no time")
        << QDateTime(QDate(2026, 12, 8), QTime(0, 0)) << u"08.12.2026"_s;
}

void TestReportPages::stampAndCopyName()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, stamp);
    ProgramClock::setNowSource([now] { return now; });
    QCOMPARE(ReportPages::ReportStamp(), stamp);
    QCOMPARE(ReportPages::uploadCopyName(ReportPages::ReportStamp()),
             u"DEMO_"_s + stamp + u"_log.dat"_s);
}

void TestReportPages::questionsOfTheForm_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("kinds");
    QTest::newRow("four and a further section")
        << kFourQuestions << QStringList{u"edit"_s, u"memo"_s, u"edit"_s, u"edit"_s};
    QTest::newRow("more than five are not shown") << questions(7) << QStringList(5, u"edit"_s);
    QTest::newRow("only the further section") << u"[report]\r\nlevel=1\r\n"_s << QStringList();
    QTest::newRow("no file") << QString() << QStringList();
}

void TestReportPages::questionsOfTheForm()
{
    QFETCH(QString, file);
    QFETCH(QStringList, kinds);
    showForm(file);
    QStringList shown;
    int tag = 0;
    for (QWidget *w : answerFields()) {
        shown << (qobject_cast<ReportMemo *>(w) ? u"memo"_s : u"edit"_s);
        QCOMPARE(PageItem::of(w)->tag(), ++tag);
    }
    QCOMPARE(shown, kinds);
    QVERIFY(sendButton());
    QCOMPARE(sendButton()->geometry(), QRect(136, 352, 200, 25));
    QCOMPARE(sendButton()->text(), u"Отправить"_s);
    QCOMPARE(m_rig->logMessages().count(u"Показана форма отчёта"_s), 1);
}

void TestReportPages::formLayout()
{
    showForm();
    const QList<QWidget *> fields = answerFields();
    QCOMPARE(fields.size(), 4);
    QCOMPARE(fields[0]->geometry().topLeft(), QPoint(136, 58));
    QCOMPARE(fields[0]->width(), 641);
    QCOMPARE(fields[1]->geometry(), QRect(136, 103, 641, 57));
    QCOMPARE(fields[3]->geometry().topLeft(), QPoint(136, 281));
    QList<PageLabel *> labels;
    for (QWidget *w : m_rig->form().page().pageWidgets()) {
        if (w->metaObject() == &PageLabel::staticMetaObject)
            labels << static_cast<PageLabel *>(w);
    }
    QCOMPARE(labels.size(), 4);
    QCOMPARE(labels[1]->text(), u"Какие ноты\nзапомнились легче?"_s);
    QCOMPARE(labels[1]->pos(), QPoint(136, 85));
    QCOMPARE(labels[1]->tag(), 2);
    QVERIFY(labels[1]->height() > labels[0]->height());
    auto *caption = widgetWithTag<TMyCaption>(4);
    QVERIFY(caption);
    QCOMPARE(caption->text(), u"Отчёт"_s);
    // A question without keys still shows, with its defaults.
    showForm(u"[q1]\r\n[report]\r\n"_s);
    QCOMPARE(answerFields().size(), 1);
    QCOMPARE(answerFields()[0]->pos(), QPoint(136, 40));
    auto *label = widgetWithTag<PageLabel>(1);
    QCOMPARE(label->text(), u"нет настроек"_s);
    QCOMPARE(label->pos(), QPoint(136, 40));
}

void TestReportPages::answersOnlyInTheLogsCodePage_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("edit") << 0 << u"Ноты ♪ ДО № 5 € 中"_s << u"Ноты  ДО № 5 € "_s;
    QTest::newRow("memo") << 1 << u"Ёлка ♪ и ля 中"_s << u"Ёлка  и ля "_s;
}

void TestReportPages::answersOnlyInTheLogsCodePage()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    showForm();
    QWidget *w = answerFields().at(field);
    typeText(w, typed);
    const QString text = qobject_cast<ReportMemo *>(w) ? qobject_cast<ReportMemo *>(w)->answer()
                                                       : qobject_cast<ReportEdit *>(w)->text();
    QTEST(text, "kept");
}

void TestReportPages::emptyFieldStopsTheSending_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("sent");
    QTest::newRow("a one-line field empty")
        << QStringList{u""_s, u"ДО"_s, u"образы"_s, u"ничего"_s} << false;
    QTest::newRow("the multi-line field empty")
        << QStringList{u"час"_s, u""_s, u"образы"_s, u"ничего"_s} << false;
    QTest::newRow("the last field empty")
        << QStringList{u"час"_s, u"ДО"_s, u"образы"_s, u""_s} << false;
    QTest::newRow("blanks count as an answer")
        << QStringList{u" "_s, u"  "_s, u"образы"_s, u"ничего"_s} << true;
}

void TestReportPages::emptyFieldStopsTheSending()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, sent);
    showForm();
    typeAnswers(answers);
    QTest::mouseClick(sendButton(), Qt::LeftButton);
    const QStringList log = logSince(u"Показана форма отчёта"_s);
    QCOMPARE(log.count(u"Попытка отправить пустой отчёт"_s), sent ? 0 : 1);
    QCOMPARE(WindowRig::messages(), sent ? QStringList() : QStringList{u"Заполните все поля!!!"_s});
    QCOMPARE(requests().size(), sent ? 1 : 0);
    QCOMPARE(log.contains(u"Начало ответов"_s), sent);
    if (!sent) {
        const QList<QWidget *> fields = answerFields();
        QCOMPARE(fields.size(), answers.size());
        QCOMPARE(qobject_cast<ReportEdit *>(fields[2])->text(), answers[2]);
    }
}

void TestReportPages::successfulSend()
{
    const QDateTime when(QDate(2026, 12, 8), QTime(7, 29, 26));
    ProgramClock::setNowSource([when] { return when; });
    showForm();
    const QStringList answers{u"Сорок минут"_s, u"ДО и МИ легче"_s, u"Образы"_s, u"Ничего"_s};
    typeAnswers(answers);
    QTest::mouseClick(sendButton(), Qt::LeftButton);

    const QString copy = u"DEMO_08.12.2026_7.29.26_log.dat"_s;
    const QStringList expected =
        QStringList{u"Показана форма отчёта"_s, u"Начало ответов"_s} + answers +
        QStringList{u"Конец ответов"_s, u"Отправляем отчёт..."_s,
                    u"Отчёт "_s + copy + u" отправлен"_s, u"Открыто описание полной версии"_s};
    QCOMPARE(logSince(u"Показана форма отчёта"_s), expected);
    QCOMPARE(WindowRig::messages(), QStringList());

    const QList<QJsonObject> got = requests();
    QCOMPARE(got.size(), 1);
    const QJsonObject r = got.first();
    QCOMPARE(r[u"script"_s].toString(), u"/ok/upreport.php"_s);
    QCOMPARE(r[u"fields"_s].toArray(), QJsonArray{u"filename"_s});
    QCOMPARE(r[u"type"_s].toString(), u"text/html"_s);
    QCOMPARE(QFileInfo(r[u"fullPath"_s].toString()).fileName(), copy);
    QCOMPARE(QFileInfo(r[u"fullPath"_s].toString()).dir().dirName(), u"levels"_s);
    // The copy holds the log up to and including the record of its sending.
    QByteArray record;
    QVERIFY(Cp1251::encode(u" - Отправляем отчёт...\n\r"_s, record));
    const QByteArray log = m_rig->logBytes();
    const QByteArray sentBytes = log.left(log.indexOf(record) + record.size());
    QCOMPARE(QByteArray::fromBase64(r[u"bytes"_s].toString().toLatin1()), sentBytes);
    QCOMPARE(uploadCopies(), QStringList());

    auto *box = qobject_cast<TRichBox *>(m_rig->form().page().findByName(u"success"_s));
    QVERIFY(box);
    QCOMPARE(box->geometry(), QRect(128, 0, 649, 345));
    QCOMPARE(box->tag(), 2);
    QCOMPARE(box->toPlainText(), u"Спасибо за отчёт!"_s);
    auto *link = widgetWithTag<TArrowLabel>(ReportPages::FullVersionTag);
    QVERIFY(link);
    QCOMPARE(link->text(), u"Узнать подробнее про полную версию"_s);
    QCOMPARE(link->pos(), QPoint(156, 352));
    QCOMPARE(link->textColor(), QColor(0xFF, 0, 0));
    QCOMPARE(widgetWithTag<TMyCaption>(4)->text(), u"Отчёт отправлен"_s);
    QVERIFY(answerFields().isEmpty());
}

void TestReportPages::failedSendKeepsTheForm_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<int>("received");
    QTest::addColumn<QString>("told"); // part of the message
    QTest::newRow("server error") << m_server.url(u"/fail"_s).toString() << 1 << u"ошибкой 500"_s;
    QTest::newRow("no server") << u"http://127.0.0.1:%1"_s.arg(PhpServer::freePort()) << 0
                               << u"Нет связи"_s;
    QTest::newRow("a proxy asks for a password")
        << m_server.url(u"/proxy"_s).toString() << 1 << u"Прокси-сервер требует пароль"_s;
    QTest::newRow("too large") << m_server.url(u"/large"_s).toString() << 1
                               << u"слишком велик для сайта"_s;
    // The message names the address as it reads; the log keeps what its code page can.
    QTest::newRow("redirect to an address with é")
        << m_server.url(u"/cafe"_s).toString() << 1 << u"http://other.example/café/"_s;
}

void TestReportPages::failedSendKeepsTheForm()
{
    QFETCH(QString, site);
    startForm(site);
    showForm();
    const QStringList answers{u"час"_s, u"ДО"_s, u"образы"_s, u"ничего"_s};
    typeAnswers(answers);
    QTest::mouseClick(sendButton(), Qt::LeftButton);

    QTEST(int(requests().size()), "received");
    QCOMPARE(WindowRig::messages().size(), 1);
    QFETCH(QString, told);
    QVERIFY2(WindowRig::messages().first().contains(told),
             qPrintable(WindowRig::messages().first()));
    const QStringList log = logSince(u"Показана форма отчёта"_s);
    QVERIFY(log.contains(u"Отправляем отчёт..."_s));
    // The log keeps the outcome, with what the learner was told.
    const QString outcome = log.value(log.indexOf(u"Отправляем отчёт..."_s) + 1);
    QVERIFY2(outcome.startsWith(u"Отчёт DEMO_"_s) &&
                 outcome.endsWith(u"_log.dat не отправлен: "_s +
                                  ActivityLog::fromOutside(WindowRig::messages().first())),
             qPrintable(outcome));
    for (const QString &line : log)
        QVERIFY2(!line.endsWith(u"отправлен"_s), qPrintable(line));
    QVERIFY(!log.contains(u"Открыто описание полной версии"_s));
    QCOMPARE(uploadCopies().size(), 1); // kept for sending by other means
    QVERIFY(!m_rig->form().page().findByName(u"success"_s));
    QVERIFY(sendButton() && sendButton()->isEnabled());
    QCOMPARE(qobject_cast<ReportEdit *>(answerFields().at(0))->text(), answers[0]);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Sending again logs the answers again.
    QTest::mouseClick(sendButton(), Qt::LeftButton);
    QCOMPARE(m_rig->logMessages().count(u"Начало ответов"_s), 2);
}

void TestReportPages::busyWhileSending()
{
    startForm(m_server.url(u"/slow"_s).toString());
    showForm();
    typeAnswers({u"час"_s, u"ДО"_s, u"образы"_s, u"ничего"_s});
    bool sawSending = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool buttonEnabled = true;
    bool menuEnabled = true;
    bool secondSent = true;
    bool closed = true;
    qsizetype logBefore = -1;
    qsizetype logAfter = -2;
    QTimer::singleShot(0, this, [&] {
        closed = m_rig->form().close(); // refused, as during playback
        sawSending = m_rig->form().reports().isSending();
        if (QApplication::overrideCursor())
            cursor = QApplication::overrideCursor()->shape();
        buttonEnabled = sendButton()->isEnabled();
        menuEnabled = m_rig->form().findChild<QWidget *>(u"lbAbout"_s)->isEnabled();
        logBefore = m_rig->logMessages().size();
        m_rig->form().reports().SendClick();
        secondSent = m_rig->form().reports().SendReport();
        logAfter = m_rig->logMessages().size();
        QFile release(m_siteDir.filePath(u"release"_s));
        release.open(QIODevice::WriteOnly);
    });
    QTest::mouseClick(sendButton(), Qt::LeftButton);

    QVERIFY(sawSending);
    QCOMPARE(cursor, Qt::WaitCursor);
    QVERIFY(!buttonEnabled);
    QVERIFY(!menuEnabled);
    QVERIFY(!secondSent);
    QVERIFY(!closed);
    QVERIFY(m_rig->form().isVisible());
    QCOMPARE(logAfter, logBefore);
    QCOMPARE(requests().size(), 1);
    QCOMPARE(m_rig->logMessages().count(u"Отправляем отчёт..."_s), 1);
    const QStringList log = logSince(u"Отправляем отчёт..."_s);
    QCOMPARE(log.size(), 3);
    QVERIFY2(log[1].endsWith(u"_log.dat отправлен"_s), qPrintable(log[1]));
    QCOMPARE(log[2], u"Открыто описание полной версии"_s);
    QVERIFY(!m_rig->form().state().Settings.Busy);
    QVERIFY(m_rig->form().close()); // and once sent, the window closes
    QVERIFY(m_rig->form().page().findByName(u"success"_s));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(m_rig->form().findChild<QWidget *>(u"lbAbout"_s)->isEnabled());
    QVERIFY(!m_rig->form().reports().isSending());
}

void TestReportPages::aboutPageSendsAndStays()
{
    const QDateTime when(QDate(2026, 12, 8), QTime(7, 29, 26));
    ProgramClock::setNowSource([when] { return when; });
    QTest::mouseClick(m_rig->form().findChild<QWidget *>(u"lbAbout"_s), Qt::LeftButton);
    QPointer<QWidget> box = m_rig->form().page().findByName(u"abox"_s);
    QVERIFY(box);
    auto *link = widgetWithTag<TArrowLabel>(ReportPages::SendLogTag);
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton);

    QCOMPARE(logSince(u"Открыт раздел О программе"_s),
             (QStringList{u"Открыт раздел О программе"_s, u"Отправляем отчёт..."_s,
                          u"Отчёт DEMO_08.12.2026_7.29.26_log.dat отправлен"_s}));
    QCOMPARE(requests().size(), 1);
    QCOMPARE(uploadCopies(), QStringList());
    QCOMPARE(m_rig->form().page().findByName(u"abox"_s), box.data());
    QVERIFY(box->isVisible());
    QVERIFY(widgetWithTag<TArrowLabel>(ReportPages::SendLogTag)->isEnabled());
}

void TestReportPages::fullVersionLink()
{
    m_rig->form().reports().ShowReportSent();
    auto *link = widgetWithTag<TArrowLabel>(ReportPages::FullVersionTag);
    QVERIFY(link);
    QTest::mouseClick(link, Qt::LeftButton);
    const QString address = m_server.url(u"/ok/?id=demo"_s).toString();
    QCOMPARE(m_rig->openedUrls(), QList<QUrl>{QUrl(address)});
    QCOMPARE(logSince(u"Открыто описание полной версии"_s),
             (QStringList{u"Открыто описание полной версии"_s, u"Открытие сайта "_s + address,
                          u"Конец )"_s}));
}

QTEST_MAIN(TestReportPages)
#include "tst_reportpages.moc"
