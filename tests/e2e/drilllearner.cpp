#include "drilllearner.h"

#include "drills/drilldescription.h"

#include <QTest>

namespace nk::test {

// The question as the program drew it: what a learner with a good ear hears.
bool DrillLearner::blackFirst(Drill drill) const
{
    return m_rig.drillField(drill, WindowRig::FirstColour) == 1;
}

void DrillLearner::answer(Drill drill, bool right)
{
    const DrillTags &t = m_rig.description(drill).tags;
    QVERIFY(m_rig.button(t.answer) && !m_rig.button(t.answer)->isEnabled());
    QVERIFY(m_rig.clickButton(t.listenPair));
    if (drill != WindowRig::Chords) {
        // The item played second is the one still in the keyboard's memory.
        const bool secondBlack = !blackFirst(drill);
        const int item =
            m_rig.drillField(drill, secondBlack ? WindowRig::BlackItem : WindowRig::WhiteItem);
        const QString text =
            drill == WindowRig::Melodies
                ? m_book.drillItem(QStringLiteral("melody.dat"), secondBlack, u'm', item)
                : m_book.drillItem(QStringLiteral("notes.dat"), secondBlack, u'n', item);
        const QList<BookNote> played = CourseBook::parse(text);
        QVERIFY2(!played.isEmpty(), qPrintable(text));
        QCOMPARE(m_rig.state().Allowed.AnswerLen, played.size());
        for (qsizetype i = 0; i < played.size(); ++i) {
            const TNote &n = m_rig.state().NotesB[std::size_t(i)];
            QCOMPARE(BookNote({n.Octave, n.Pitch}), played[i]);
            QCOMPARE(CourseBook::isBlack(n.Pitch), secondBlack);
        }
    }
    QVERIFY(m_rig.clickButton(t.answer));
    QVERIFY(!m_rig.button(t.listenPair)->isEnabled());
    const bool black = blackFirst(drill) == right;
    QVERIFY(m_rig.clickButton(black ? t.blackFirst : t.whiteFirst));
    QVERIFY(m_rig.link(right ? t.next : t.remember));
}

void DrillLearner::rememberDifference(Drill drill)
{
    QVERIFY(m_rig.clickLink(m_rig.description(drill).tags.remember));
    QVERIFY(QTest::qWaitFor([&] { return m_rig.questionShown(drill); }, 20000));
    QVERIFY(!m_rig.state().Settings.Busy);
}

} // namespace nk::test
