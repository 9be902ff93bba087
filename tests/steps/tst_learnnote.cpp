#include "app/coursepages.h"
#include "app/exercises.h"
#include "course/inifile.h"
#include "steps/step1.h"
#include "steps/tchecklistbox.h"
#include "steps/tqsettings.h"
#include "widgets/page.h"
#include "widgets/pagelabel.h"
#include "widgets/tmyedit.h"
#include "widgets/tnotename.h"
#include "windowrig.h"

#include <QTest>

using namespace nk;
using namespace Qt::StringLiterals;
using namespace nk::test;

namespace {

const QString kEnterFirst = QStringLiteral("Сначала введите ответ!");
const QString kChooseThree = QStringLiteral("Выберите ТРИ характеристики");

// A questionnaire of n questions: the file holds two sections besides the
// questions, and the last question section is never asked.
QString questionsText(int n)
{
    QString text;
    for (int k = 1; k <= n + 1; ++k)
        text += QStringLiteral("[q%1]\r\nname=Вопрос номер %1\r\nbody=Тело&вопроса\r\n"
                               "before=Нота\r\nafter=такая\r\n")
                    .arg(k);
    return text + QStringLiteral("[questionnaire]\r\nname=x\r\n[asked]\r\ncount=1\r\n");
}

// A level's notes.dat with the given notes of the first octave (pitches).
QString notesText(const QList<int> &pitches)
{
    QString text = QStringLiteral("[step]\r\nname=Ноты уровня\r\n");
    for (qsizetype k = 0; k < pitches.size(); ++k)
        text += QStringLiteral("[note%1]\r\noct=5\r\nnote=%2\r\n").arg(k + 1).arg(pitches[k]);
    return text;
}

void writeLevel(WindowRig &rig, bool step1Used, bool step2Used)
{
    rig.writeText(QStringLiteral("levels/01/level.dat"),
                  QStringLiteral("[level]\r\nname=Уровень\r\n[step1]\r\nname=Шаг 1\r\nactive=1\r\n"
                                 "used=%1\r\n[step2]\r\nname=Шаг 2\r\nactive=0\r\nused=%2\r\n")
                      .arg(int(step1Used))
                      .arg(int(step2Used)));
}

QStringList noteNames(Page &page)
{
    QStringList names;
    for (QWidget *w : page.pageWidgets()) {
        if (auto *name = qobject_cast<TNoteName *>(w))
            names.append(QStringLiteral("%1@%2").arg(name->text()).arg(name->y()));
    }
    return names;
}

} // namespace

class LearnNoteTest : public QObject
{
    Q_OBJECT
private slots:
    void chosenCharacteristics_data();
    void chosenCharacteristics();
    void emptyAnswerRefused_data();
    void emptyAnswerRefused();
    void goingBackReplacesInPlace();
    void answerBoxHoldsFortyCharacters();
    void lastNoteOfLevel();
    void noteListAfterMemorisationSeen();
    void savedNoteOutsideLevel_data();
    void savedNoteOutsideLevel();
    void revisionLevelConfirmCopiesFirst();
};

void LearnNoteTest::chosenCharacteristics_data()
{
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QStringList>("expected"); // v1..v3, or empty when refused
    QTest::newRow("2nd, 5th and 7th")
        << QList<int>{1, 4, 6} << QStringList{u"о2"_s, u"о5"_s, u"о7"_s};
    QTest::newRow("first three") << QList<int>{0, 1, 2} << QStringList{u"о1"_s, u"о2"_s, u"о3"_s};
    QTest::newRow("two") << QList<int>{0, 3} << QStringList();
    QTest::newRow("four") << QList<int>{0, 1, 2, 3} << QStringList();
    QTest::newRow("none") << QList<int>{} << QStringList();
}

// Seven answers, given alternately by the button and by Enter, then the
// choice of three of them.
void LearnNoteTest::chosenCharacteristics()
{
    QFETCH(QList<int>, ticked);
    QFETCH(QStringList, expected);
    WindowRig rig({QStringLiteral("01")});
    rig.writeText(QStringLiteral("levels/questions.dat"), questionsText(7));
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    for (int k = 1; k <= 7; ++k) {
        QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос %1:").arg(k));
        QVERIFY(rig.answer(QStringLiteral("о%1").arg(k), k % 2 == 0));
    }
    TCheckListBox *list = rig.traitList();
    QVERIFY(list);
    QCOMPARE(list->count(), 7);
    QCOMPARE(list->item(4)->text(), QStringLiteral("о5"));
    QVERIFY(rig.tickAndSave(ticked));
    if (expected.isEmpty()) {
        QCOMPARE(WindowRig::messages(), QStringList{kChooseThree});
        QVERIFY(rig.traitList());
        QCOMPARE(rig.traitList()->checkedCount(), ticked.size());
        QCOMPARE(rig.noteValue(1, 1, QStringLiteral("v1")), QStringLiteral("<none>"));
        QCOMPARE(rig.setting(QStringLiteral("learnnote")), QStringLiteral("<none>"));
        return;
    }
    QVERIFY(WindowRig::messages().isEmpty());
    for (int m = 1; m <= 3; ++m)
        QCOMPARE(rig.noteValue(1, 1, QStringLiteral("v%1").arg(m)), expected[m - 1]);
    QCOMPARE(rig.setting(QStringLiteral("learnnote")), QStringLiteral("2"));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:")); // the next note begins
    QCOMPARE(rig.state().Settings.Note, quint8(4));
    QCOMPARE(rig.logLines().filter(QStringLiteral("Сохранён ответ a5=о5 для ноты ДО")).size(), 1);
}

void LearnNoteTest::emptyAnswerRefused_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("button") << false;
    QTest::newRow("enter") << true;
}

void LearnNoteTest::emptyAnswerRefused()
{
    QFETCH(bool, byEnter);
    WindowRig rig({QStringLiteral("01")});
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    QVERIFY(!rig.answer(QString(), byEnter));
    QCOMPARE(WindowRig::messages(), QStringList{kEnterFirst});
    QVERIFY(!rig.continueEnabled());
    QCOMPARE(rig.noteValue(1, 1, QStringLiteral("a1")), QStringLiteral("<none>"));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:"));
}

void LearnNoteTest::goingBackReplacesInPlace()
{
    WindowRig rig({QStringLiteral("01")});
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    for (const QString &a : {u"первый"_s, u"второй"_s, u"третий"_s})
        QVERIFY(rig.answer(a));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 4:"));
    QVERIFY(rig.clickLink(Step1::BackLinkTag));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 3:"));
    QVERIFY(rig.clickLink(Step1::BackLinkTag));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 2:"));
    QVERIFY(rig.answerBox()->text().isEmpty());
    QVERIFY(!rig.continueEnabled());
    QVERIFY(rig.answer(QStringLiteral("заново")));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 3:"));
    const IniFile notes(rig.path(QStringLiteral("levels/01/notes.dat")));
    QCOMPARE(notes.keys(u"note1"),
             (QStringList{u"oct"_s, u"note"_s, u"pict"_s, u"pict2"_s, u"a1"_s, u"a2"_s, u"a3"_s}));
    QCOMPARE(rig.noteValue(1, 1, QStringLiteral("a2")), QStringLiteral("заново"));
    QCOMPARE(rig.noteValue(1, 1, QStringLiteral("a3")), QStringLiteral("третий"));
    // Question 1 has no way back.
    WindowRig::messages().clear();
    QVERIFY(rig.clickLink(Step1::BackLinkTag));
    QVERIFY(rig.clickLink(Step1::BackLinkTag));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:"));
    QVERIFY(!rig.link(Step1::BackLinkTag));
}

// Only what the course files can store, and no more than fits the line.
void LearnNoteTest::answerBoxHoldsFortyCharacters()
{
    WindowRig rig({QStringLiteral("01")});
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    TMyEdit *box = rig.answerBox();
    box->insert(u"ёж"_s);
    box->insert(u"漢"_s);
    QCOMPARE(box->text(), u"ёж"_s);
    box->insert(QString(50, u'ж'));
    QCOMPARE(box->text(), u"ёж"_s + QString(38, u'ж'));
}

// The level's only note done: every counter back to 1, memorisation open,
// and the level page again. Step 1 then starts over without its introduction.
void LearnNoteTest::lastNoteOfLevel()
{
    WindowRig rig({QStringLiteral("01")});
    rig.writeText(QStringLiteral("levels/questions.dat"), questionsText(3));
    rig.writeText(QStringLiteral("levels/01/notes.dat"), notesText({0, 7}));
    rig.writeText(
        QStringLiteral("levels/settings.dat"),
        QStringLiteral("[main]\r\nfirstrun=0\r\nlearnnote=2\r\nnotenum=3\r\nnotecount=4\r\n"));
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    QCOMPARE(rig.state().Settings.Note, quint8(7));
    for (int k = 1; k <= 3; ++k)
        QVERIFY(rig.answer(QStringLiteral("ответ %1").arg(k)));
    QVERIFY(rig.tickAndSave({0, 1, 2}));
    QVERIFY(rig.levelPageShown());
    QVERIFY(rig.stepFlag(1, 2, "active"));
    for (const QString &key : {u"learnnote"_s, u"notenum"_s, u"notecount"_s})
        QCOMPARE(rig.setting(key), QStringLiteral("1"));
    QVERIFY(!rig.form().KeyboardIsShown());

    rig.form().course().OpenStep(1, 1);
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:"));
    QCOMPARE(rig.state().Settings.Note, quint8(0));
    QVERIFY(rig.form().KeyboardIsShown());
}

void LearnNoteTest::noteListAfterMemorisationSeen()
{
    WindowRig rig({QStringLiteral("01")});
    rig.writeText(QStringLiteral("levels/01/notes.dat"), notesText({4, 13, 11}));
    writeLevel(rig, true, true);
    rig.openStep(1, 1);
    QCOMPARE(noteNames(rig.form().page()), (QStringList{u"МИ@32"_s, u"ДО@56"_s, u"СИ@80"_s}));
    for (QWidget *w : rig.form().page().pageWidgets()) {
        auto *name = qobject_cast<TNoteName *>(w);
        if (name && name->tag() == 3)
            QTest::mouseClick(name, Qt::LeftButton);
    }
    QCOMPARE(rig.state().QSettings.NoteIndex, 3);
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:"));
    QCOMPARE(rig.state().Settings.Note, quint8(11));
    QVERIFY(rig.state().Allowed.MarkShown);
    QCOMPARE(int(rig.state().Allowed.LowPitch), 11);
    QCOMPARE(int(rig.state().Allowed.HighPitch), 11);
}

void LearnNoteTest::savedNoteOutsideLevel_data()
{
    QTest::addColumn<int>("saved");
    QTest::addColumn<int>("start");
    QTest::newRow("inside") << 3 << 3;
    QTest::newRow("last") << 4 << 4;
    QTest::newRow("beyond") << 5 << 1;
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -2 << 1;
}

void LearnNoteTest::savedNoteOutsideLevel()
{
    QFETCH(int, saved);
    QFETCH(int, start);
    WindowRig rig({QStringLiteral("01")});
    rig.writeText(QStringLiteral("levels/settings.dat"),
                  QStringLiteral("[main]\r\nfirstrun=0\r\nlearnnote=%1\r\n").arg(saved));
    writeLevel(rig, true, false);
    rig.openStep(1, 1);
    QCOMPARE(rig.state().QSettings.NoteIndex, start);
    QCOMPARE(rig.setting(QStringLiteral("learnnote")), QString::number(saved == start ? saved : 1));
    const QList<int> levelOne{0, 4, 7, 9};
    QCOMPARE(int(rig.state().Settings.Note), levelOne[start - 1]);
}

// Level 3's introduction brings in the learner's work on levels 1 and 2 before
// the questionnaire opens.
void LearnNoteTest::revisionLevelConfirmCopiesFirst()
{
    WindowRig rig({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")});
    IniFile(rig.path(QStringLiteral("levels/01/notes.dat")))
        .writeString(QStringLiteral("note2"), QStringLiteral("v1"), QStringLiteral("звонкая"));
    rig.form().course().ShowLevelPage(3);
    rig.state().Settings.Step = 1;
    rig.form().exercises().learning().StartStep1(3);
    QVERIFY(rig.button(Step1::ConfirmTag));
    QCOMPARE(rig.noteValue(3, 2, QStringLiteral("v1")), QStringLiteral("<none>"));
    QVERIFY(rig.clickButton(Step1::ConfirmTag));
    QCOMPARE(rig.noteValue(3, 2, QStringLiteral("v1")), QStringLiteral("звонкая"));
    QCOMPARE(rig.questionNumber(), QStringLiteral("Вопрос 1:"));
}

QTEST_MAIN(LearnNoteTest)
#include "tst_learnnote.moc"
