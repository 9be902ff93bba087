#include "learner.h"

#include "report/reportmemo.h"
#include "steps/melodypages.h"
#include "steps/step1.h"
#include "steps/step2.h"
#include "steps/tchecklistbox.h"
#include "steps/trainingpages.h"
#include "widgets/pagelabel.h"
#include "widgets/tarrowlabel.h"
#include "widgets/tmybutton.h"
#include "widgets/tmyedit.h"
#include "widgets/tyesbutton.h"

#include <QLineEdit>
#include <QTest>

namespace nk::test {

namespace {

constexpr int WaitLimitMs = 20000;

QString labelAt(const WindowRig &rig, QPoint topLeft)
{
    for (PageLabel *label : rig.widgets<PageLabel>()) {
        if (label->pos() == topLeft && !qobject_cast<TArrowLabel *>(label))
            return label->text();
    }
    return QStringLiteral("<no label>");
}

// Typed key by key, as letters the test keyboard has no key code for.
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString expanded(QString text)
{
    return text.replace(u'&', u'\n');
}

} // namespace

QString Learner::answerFor(const BookQuestion &question, const QString &noteName)
{
    return question.name.toLower() + QStringLiteral(" ноты ") + noteName;
}

void Learner::answerQuestion(const QString &text, bool byEnter)
{
    const QList<TMyEdit *> boxes = m_rig.widgets<TMyEdit>();
    QCOMPARE(boxes.size(), 1);
    typeText(boxes.first(), text);
    QCOMPARE(boxes.first()->text(), text);
    if (byEnter) {
        QTest::keyClick(boxes.first(), Qt::Key_Return);
    } else {
        const QList<TMyButton *> buttons = m_rig.widgets<TMyButton>();
        QCOMPARE(buttons.size(), 1);
        QTest::mouseClick(buttons.first(), Qt::LeftButton);
    }
    QVERIFY(m_rig.link(Step1::ContinueLinkTag)->isEnabled());
    QVERIFY(m_rig.clickLink(Step1::ContinueLinkTag));
}

void Learner::describeNote(int level, int note, int fromQuestion)
{
    const QList<BookQuestion> questions = m_book.askedQuestions();
    const BookNote described = m_book.notes(level).value(note - 1);
    const QString name = CourseBook::pitchName(described.pitch);
    for (int k = fromQuestion; k <= questions.size(); ++k) {
        const BookQuestion &q = questions[k - 1];
        QCOMPARE(labelAt(m_rig, {136, 56}), QStringLiteral("Вопрос %1:").arg(k));
        QCOMPARE(labelAt(m_rig, {128, 272}), q.before + u' ' + name + u' ' + q.after);
        QCOMPARE(labelAt(m_rig, {136, 96}), expanded(q.body));
        QVERIFY(!m_rig.link(Step1::ContinueLinkTag)->isEnabled());
        answerQuestion(answerFor(q, name), k % 2 == 0);
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(m_rig.caption(), QStringLiteral("Выберите ТРИ самых важных характеристики"));
}

void Learner::chooseTraits(const QList<int> &rows)
{
    const QList<TCheckListBox *> lists = m_rig.widgets<TCheckListBox>();
    QCOMPARE(lists.size(), 1);
    QCOMPARE(lists.first()->count(), m_book.askedQuestions().size());
    for (int row : rows)
        lists.first()->setChecked(row, true);
    QVERIFY(m_rig.clickButton(Step1::SaveTag));
}

void Learner::memorise(int level, int firstNote, int repetitions)
{
    const QList<BookNote> notes = m_book.notes(level);
    const BookNote first = notes.value(firstNote - 1);
    const QString octave = first.octave == 4 ? QStringLiteral("малой")
                                             : (first.octave == 5 ? QStringLiteral("первой")
                                                                  : QStringLiteral("второй"));
    QVERIFY(labelAt(m_rig, {136, 55})
                .startsWith(QStringLiteral("Работаем с нотой ") +
                            CourseBook::pitchName(first.pitch) + u' ' + octave +
                            QStringLiteral(" октавы.\n\n")));
    for (int done = 0; done < repetitions; ++done) {
        QVERIFY(m_rig.clickButton(Step2::StartTag));
        QCOMPARE(m_rig.caption(), QStringLiteral("ШАГ 2. Запоминание"));
        QVERIFY(QTest::qWaitFor(
            [this] { return !m_rig.widgets<TYesButton>().isEmpty() || m_rig.levelPageShown(); },
            WaitLimitMs));
        QVERIFY(!m_rig.state().Settings.Busy);
    }
}

QList<BookNote> Learner::heard()
{
    QList<BookNote> played;
    for (int i = 0; i < m_rig.state().Allowed.AnswerLen; ++i) {
        const TNote &n = m_rig.state().NotesB[std::size_t(i)];
        played.append({n.Octave, n.Pitch, n.Duration});
    }
    return played;
}

void Learner::pressNotes(const QList<BookNote> &notes)
{
    for (const BookNote &note : notes)
        m_rig.pressKey(note.octave, note.pitch);
}

void Learner::answerTraining(int level, bool right)
{
    QVERIFY(m_rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(m_rig.clickButton(TrainingPages::AnswerTag));
    QList<BookNote> answer = heard();
    const QList<BookNote> levelNotes = m_book.notes(level);
    for (const BookNote &note : answer)
        QVERIFY2(levelNotes.contains(note), "every note played is a note of the level");
    if (!right) {
        for (BookNote &note : answer) // the level's next note instead
            note = levelNotes[(levelNotes.indexOf(note) + 1) % levelNotes.size()];
    }
    pressNotes(answer);
    QVERIFY(m_rig.link(right ? TrainingPages::NextLinkTag : TrainingPages::CompareLinkTag));
}

void Learner::train(int level, const std::function<bool()> &stop)
{
    GlobalState &s = m_rig.state();
    for (int round = 0; round < 400 && !m_rig.levelPageShown(); ++round) {
        if (stop && stop())
            return;
        if (m_rig.button(TrainingPages::ListenTag)) {
            answerTraining(level, true);
            if (QTest::currentTestFailed())
                return;
        } else if (m_rig.link(TrainingPages::NextLinkTag)) {
            QVERIFY(m_rig.clickLink(TrainingPages::NextLinkTag));
        } else {
            QVERIFY2(s.Resting, qPrintable(m_rig.describePage()));
            QVERIFY(QTest::qWaitFor([&s] { return !s.Resting; }, WaitLimitMs));
        }
    }
    QVERIFY2(m_rig.levelPageShown(), qPrintable(m_rig.describePage()));
}

void Learner::playMelody(int level, int number, bool right, bool retry)
{
    QList<BookNote> melody = CourseBook::parse(m_book.melody(level, number));
    QVERIFY(!melody.isEmpty());
    QVERIFY(m_rig.clickButton(MelodyPages::ListenTag));
    QVERIFY(m_rig.clickButton(retry ? MelodyPages::RetryTag : MelodyPages::AnswerTag));
    if (!right)
        melody.first().pitch += melody.first().pitch < 11 ? 1 : -1;
    pressNotes(melody);
    QVERIFY(right ? m_rig.link(MelodyPages::NextLinkTag) != nullptr
                  : m_rig.button(MelodyPages::RetryTag) != nullptr);
}

void Learner::fillReport(int level, QStringList &answers, int leaveEmpty)
{
    const QList<ReportQuestion> questions = m_book.reportQuestions(level);
    QStringList shown;
    for (PageLabel *label : m_rig.widgets<PageLabel>())
        shown.append(label->text());
    int k = 0;
    for (QWidget *w : m_rig.page().pageWidgets()) {
        auto *memo = qobject_cast<ReportMemo *>(w);
        if (!qobject_cast<QLineEdit *>(w) && !memo)
            continue;
        QVERIFY(k < questions.size());
        QVERIFY2(shown.contains(expanded(questions[k].text)), qPrintable(questions[k].text));
        QCOMPARE(memo != nullptr, questions[k].multiLine);
        const QString text = QStringLiteral("ответ %1 на уровне %2").arg(k + 1).arg(level);
        if (k != leaveEmpty) {
            typeText(w, text);
            if (memo) {
                QTest::keyClick(w, Qt::Key_Return);
                typeText(w, QStringLiteral("вторая строка"));
            }
        }
        answers.append(memo ? text + QStringLiteral("\r\nвторая строка") : text);
        ++k;
    }
    QCOMPARE(k, questions.size());
}

} // namespace nk::test
