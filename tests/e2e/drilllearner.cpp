#include "drilllearner.h"

#include "app/exercises.h"

#include <QTest>

namespace nk::test {

namespace {

enum Field
{
    FirstColour,
    BlackItem,
    WhiteItem
};

} // namespace

const DrillTags &DrillLearner::tags(Drill drill) const
{
    BlackWhiteDrills &drills = m_rig.form().exercises().drills();
    return drills.all().at(std::size_t(drill))->description().tags;
}

bool DrillLearner::questionShown(Drill drill) const
{
    return m_rig.button(tags(drill).listenPair) != nullptr;
}

// The question as the program drew it: what a learner with a good ear hears.
int &DrillLearner::field(Drill drill, int which) const
{
    GlobalState &s = m_rig.state();
    if (drill == Chords)
        return which == FirstColour
                   ? s.ChordSet.FirstColour
                   : (which == BlackItem ? s.ChordSet.BlackItem : s.ChordSet.WhiteItem);
    if (drill == Melodies)
        return which == FirstColour ? s.DMSet.FirstColour
                                    : (which == BlackItem ? s.DMSet.BlackItem : s.DMSet.WhiteItem);
    return which == FirstColour ? s.DNSet.FirstColour
                                : (which == BlackItem ? s.DNSet.BlackItem : s.DNSet.WhiteItem);
}

bool DrillLearner::blackFirst(Drill drill) const
{
    return field(drill, FirstColour) == 1;
}

void DrillLearner::answer(Drill drill, bool right)
{
    const DrillTags &t = tags(drill);
    QVERIFY(m_rig.button(t.answer) && !m_rig.button(t.answer)->isEnabled());
    QVERIFY(m_rig.clickButton(t.listenPair));
    if (drill != Chords) {
        // The item played second is the one still in the keyboard's memory.
        const bool secondBlack = !blackFirst(drill);
        const int item = field(drill, secondBlack ? BlackItem : WhiteItem);
        const QString text =
            drill == Melodies
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
    QVERIFY(m_rig.clickLink(tags(drill).remember));
    QVERIFY(QTest::qWaitFor([&] { return questionShown(drill); }, 20000));
    QVERIFY(!m_rig.state().Settings.Busy);
}

} // namespace nk::test
