#include "app/coursepages.h"
#include "course/levels.h"
#include "keyboard/keyboard.h"
#include "keyboard/keyboardlayout.h"
#include "pagedriver.h"
#include "steps/trainingpages.h"
#include "widgets/tmyedit.h"
#include "windowrig.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

using namespace nk;
using namespace nk::test;

namespace {

// One physical key as each layout reports it: the same scan code, another key
// and text (Qt names a Cyrillic key by its capital letter).
struct PhysicalKey
{
    quint32 scanCode;
    Qt::Key latinKey;
    QString latinText;
    Qt::Key cyrillicKey;
    QString cyrillicText;
};

const PhysicalKey kZ{52, Qt::Key_Z, QStringLiteral("z"), Qt::Key(u'Я'), QStringLiteral("я")};
const PhysicalKey kX{53, Qt::Key_X, QStringLiteral("x"), Qt::Key(u'Ч'), QStringLiteral("ч")};
const PhysicalKey kLeft{113, Qt::Key_Left, {}, Qt::Key_Left, {}};
const PhysicalKey kRight{114, Qt::Key_Right, {}, Qt::Key_Right, {}};

enum class Input
{
    Click,
    Latin,
    Cyrillic,
};

// A key goes where the platform sends it: the focused control, else the window.
void typeKey(TMainForm &form, const PhysicalKey &key, Input layout, bool autoRepeat = false)
{
    const bool cyrillic = layout == Input::Cyrillic;
    const Qt::Key code = cyrillic ? key.cyrillicKey : key.latinKey;
    const QString &text = cyrillic ? key.cyrillicText : key.latinText;
    QWidget *to = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, key.scanCode, 0, 0, text, autoRepeat);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, key.scanCode, 0, 0, text,
                      autoRepeat);
    QApplication::sendEvent(to, &release);
}

// What a learner's answer left behind, to compare one way of answering with another.
struct Outcome
{
    QStringList log; // without the time stamps
    TNote given;
    int errors = -1;
    bool rightPage = false;
    bool wrongPage = false;
};

// Level 5's training question "ДО of the first octave", answered with one key.
Outcome answerTraining(Input input, const PhysicalKey &key, int pitch)
{
    WindowRig rig({QStringLiteral("05")});
    GlobalState &s = rig.state();
    rig.form().course().ShowLevelPage(5);
    rig.form().course().OpenStep(5, Levels::trainingStep(5));
    if (!rig.clickLink(TrainingPages::ContinueLinkTag))
        return {};
    s.Step3Set.QuestionText = QStringLiteral("450");
    if (!rig.clickButton(TrainingPages::ListenTag) || !rig.clickButton(TrainingPages::AnswerTag))
        return {};
    if (input == Input::Click)
        QTest::mousePress(rig.form().keyboardPicture(), Qt::LeftButton, {},
                          KeyboardLayout::seed(5, pitch));
    else
        typeKey(rig.form(), key, input);
    Outcome out;
    // A page that never comes leaves both false, which the comparisons catch.
    (void)QTest::qWaitFor([&] {
        out.rightPage = rig.link(TrainingPages::NextLinkTag) != nullptr;
        out.wrongPage = rig.link(TrainingPages::CompareLinkTag) != nullptr;
        return out.rightPage || out.wrongPage;
    });
    for (const QString &line : rig.logLines())
        out.log.append(line.section(QStringLiteral(" - "), 1));
    out.given = s.NotesA[0];
    out.errors = s.ErrorSet.ErrorCount;
    return out;
}

// Nothing sounded, lit or was recorded since `before`.
bool nothingPlayed(GlobalState &s, int answerPosBefore)
{
    return s.Settings.Octave == 0 && !s.Settings.HighlightPending &&
           s.Allowed.AnswerPos == answerPosBefore;
}

QRgb shownAt(TMainForm &form, QPoint p)
{
    return qobject_cast<QLabel *>(form.keyboardPicture())->pixmap().toImage().pixel(p) | 0xFF000000;
}

bool hasLetterColour(TMainForm &form, int octave, int pitch)
{
    // White keys' letters are drawn just above the syllables, in the pages' blue.
    const int x = KeyboardLayout::seed(octave, pitch).x();
    for (int y = 116; y < 134; ++y) {
        for (int dx = -12; dx <= 12; ++dx) {
            if (qBlue(shownAt(form, QPoint(x + dx, y))) > 0x80 &&
                qRed(shownAt(form, QPoint(x + dx, y))) < 0x80)
                return true;
        }
    }
    return false;
}

// Moves the focus with Tab until it reaches `target`, as a learner would.
bool tabTo(TMainForm &form, QWidget *target)
{
    for (int i = 0; target && i < 60; ++i) {
        if (QApplication::focusWidget() == target)
            return true;
        QWidget *to = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(to, Qt::Key_Tab);
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Input)

// The computer keyboard on the real window: keys by their physical place
// answer as clicks on the picture do, and nowhere else.
class TestComputerKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keysAnswerAsClicks_data();
    void keysAnswerAsClicks();
    void keysIgnored_data();
    void keysIgnored();
    void arrowsMoveTheOctaveAndItsLetters();
    void lettersToggleIsSavedAndReadBack();
    void wholeQuestionWithoutTheMouse();
};

void TestComputerKeys::keysAnswerAsClicks_data()
{
    QTest::addColumn<Input>("layout");
    QTest::addColumn<bool>("right");
    QTest::newRow("latin right") << Input::Latin << true;
    QTest::newRow("latin wrong") << Input::Latin << false;
    QTest::newRow("cyrillic right") << Input::Cyrillic << true;
    QTest::newRow("cyrillic wrong") << Input::Cyrillic << false;
}

void TestComputerKeys::keysAnswerAsClicks()
{
    QFETCH(Input, layout);
    QFETCH(bool, right);
    const PhysicalKey &key = right ? kZ : kX; // ДО or РЕ of the first octave
    const int pitch = right ? 0 : 2;
    const Outcome clicked = answerTraining(Input::Click, key, pitch);
    const Outcome typed = answerTraining(layout, key, pitch);
    QCOMPARE(clicked.rightPage, right);
    QCOMPARE(clicked.wrongPage, !right);
    QVERIFY(clicked.log.contains(right ? QStringLiteral("Ноты угаданы правильно")
                                       : QStringLiteral("Ноты угаданы неправильно")));
    QCOMPARE(typed.log, clicked.log);
    QCOMPARE(typed.rightPage, clicked.rightPage);
    QCOMPARE(typed.wrongPage, clicked.wrongPage);
    QCOMPARE(typed.errors, clicked.errors);
    QCOMPARE(typed.given.Octave, 5);
    QCOMPARE(int(typed.given.Pitch), pitch);
    QCOMPARE(typed.given.Duration, clicked.given.Duration);
}

void TestComputerKeys::keysIgnored_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("panel hidden while collecting") << QStringLiteral("hidden");
    QTest::newRow("learning page, no answer collected") << QStringLiteral("learning");
    QTest::newRow("typing in the answer box") << QStringLiteral("typing");
    QTest::newRow("a held key's repeats") << QStringLiteral("repeat");
}

void TestComputerKeys::keysIgnored()
{
    QFETCH(QString, where);
    WindowRig rig({QStringLiteral("01"), QStringLiteral("05")});
    GlobalState &s = rig.state();
    TMainForm &form = rig.form();
    if (where == u"learning" || where == u"typing") {
        rig.writeText(QStringLiteral("levels/01/level.dat"),
                      QStringLiteral("[level]\r\nname=Уровень\r\n[step1]\r\nname=Шаг 1\r\n"
                                     "active=1\r\nused=1\r\n"));
        form.course().ShowLevelPage(1);
        form.course().OpenStep(1, 1);
        QVERIFY(form.KeyboardIsShown());
    } else {
        form.course().ShowLevelPage(5);
        form.course().OpenStep(5, Levels::trainingStep(5));
        QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
        s.Step3Set.QuestionText = QStringLiteral("450 452");
        QVERIFY(rig.clickButton(TrainingPages::ListenTag));
        QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
        QVERIFY(s.Allowed.Collecting);
    }
    if (where == u"hidden") {
        s.Settings.KeyboardShown = true;
        form.SlideKeyboard();
        QVERIFY(!form.KeyboardIsShown());
    }
    TMyEdit *box = PageDriver::firstOf<TMyEdit>(form.page());
    if (where == u"typing") {
        QApplication::setActiveWindow(&form);
        box->setFocus();
        QVERIFY(box->hasFocus());
        // Even were an answer being collected, typing never plays.
        s.Allowed.Collecting = true;
    }
    s.Settings.Octave = 0;
    const int answerPos = s.Allowed.AnswerPos;
    if (where == u"repeat") {
        typeKey(form, kZ, Input::Cyrillic);
        QCOMPARE(s.Allowed.AnswerPos, answerPos + 1);
        s.Settings.Octave = 0;
        typeKey(form, kX, Input::Cyrillic, true);
        QCOMPARE(s.Settings.Octave, 0);
        QCOMPARE(s.Allowed.AnswerPos, answerPos + 1);
        return;
    }
    typeKey(form, kZ, Input::Cyrillic);
    typeKey(form, kX, Input::Latin);
    QVERIFY(nothingPlayed(s, answerPos));
    if (box)
        QCOMPARE(box->text(), where == u"typing" ? QStringLiteral("яx") : QString());
}

void TestComputerKeys::arrowsMoveTheOctaveAndItsLetters()
{
    WindowRig rig({QStringLiteral("05")});
    TMainForm &form = rig.form();
    GlobalState &s = rig.state();
    form.course().ShowLevelPage(5);
    form.course().OpenStep(5, Levels::trainingStep(5));
    QVERIFY(rig.clickLink(TrainingPages::ContinueLinkTag));
    s.Step3Set.QuestionText = QStringLiteral("450 450 450 450 450 450");
    QVERIFY(rig.clickButton(TrainingPages::ListenTag));
    QVERIFY(rig.clickButton(TrainingPages::AnswerTag));
    QVERIFY(!hasLetterColour(form, 5, 0));
    form.keyLettersToggle()->click();
    QVERIFY(hasLetterColour(form, 5, 0)); // Z
    QVERIFY(hasLetterColour(form, 6, 0)); // Q
    QVERIFY(!hasLetterColour(form, 4, 0));

    // Each row: the arrows pressed, then Z and the key it plays.
    const struct
    {
        QList<const PhysicalKey *> arrows;
        int octave;
    } moves[] = {{{&kRight}, 6}, {{&kRight}, 6}, {{&kLeft, &kLeft}, 4}, {{&kLeft}, 4}};
    for (const auto &move : moves) {
        for (const PhysicalKey *arrow : move.arrows)
            typeKey(form, *arrow, Input::Latin);
        typeKey(form, kZ, Input::Latin);
        QCOMPARE(s.Settings.Octave, move.octave);
        QCOMPARE(form.keyboard().inputOctave(), move.octave);
    }
    QVERIFY(hasLetterColour(form, 4, 0));
    QVERIFY(hasLetterColour(form, 5, 0));
    QVERIFY(!hasLetterColour(form, 6, 0));
    form.keyLettersToggle()->click();
    QVERIFY(!hasLetterColour(form, 4, 0));
}

void TestComputerKeys::lettersToggleIsSavedAndReadBack()
{
    WindowRig rig({});
    QVERIFY(!rig.form().keyLettersToggle()->isChecked()); // off for a learner who never chose
    rig.form().keyLettersToggle()->click();
    QVERIFY(rig.form().close());
    TMainForm again(BasePath(rig.path(QString())));
    again.show();
    QVERIFY(again.keyLettersToggle()->isChecked());
    QVERIFY(again.state().Settings.KeyLetters);
}

// A learner who never touches the mouse: Tab reaches the page's links and
// buttons, Return or Space acts on them, the piano keys answer.
void TestComputerKeys::wholeQuestionWithoutTheMouse()
{
    WindowRig rig({QStringLiteral("05")});
    QVERIFY(QTest::qWaitForWindowActive(&rig.form()));
    rig.form().course().ShowLevelPage(5);
    rig.form().course().OpenStep(5, Levels::trainingStep(5));
    QVERIFY(tabTo(rig.form(), rig.link(TrainingPages::ContinueLinkTag)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(rig.button(TrainingPages::ListenTag));
    rig.state().Step3Set.QuestionText = QStringLiteral("450");
    QVERIFY(tabTo(rig.form(), rig.button(TrainingPages::ListenTag)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTRY_VERIFY(rig.button(TrainingPages::AnswerTag)->isEnabled());
    QVERIFY(tabTo(rig.form(), rig.button(TrainingPages::AnswerTag)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    typeKey(rig.form(), kZ, Input::Cyrillic);
    QTRY_VERIFY(rig.link(TrainingPages::NextLinkTag));
    QVERIFY(rig.logLines().last().endsWith(QStringLiteral("Ноты угаданы правильно")));
    QVERIFY(tabTo(rig.form(), rig.link(TrainingPages::NextLinkTag)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QTRY_VERIFY(rig.button(TrainingPages::ListenTag)); // the next question
}

QTEST_MAIN(TestComputerKeys)
#include "tst_computerkeys.moc"
