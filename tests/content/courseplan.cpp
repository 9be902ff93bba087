#include "courseplan.h"

#include <QStringList>

namespace nk {

namespace {

// Notes of each row of the table of levels, as pitch classes of octave O.
const QList<int> kFirst = {0, 4, 7, 9};
const QList<int> kSecond = {9, 2, 5, 11};

QList<PlannedNote> inOctave(int octave, const QList<int> &pitches)
{
    QList<PlannedNote> notes;
    for (int p : pitches)
        notes.append({octave, p});
    return notes;
}

QList<int> allPitches()
{
    QList<int> list;
    for (int p = 0; p < 12; ++p)
        list.append(p);
    return list;
}

// Row numbers follow part I: row 4 is the black-and-white level, row 10 the
// two-octave level that parts II and III have instead of it.
LevelPlan planRow(int level, int row, int octave)
{
    LevelPlan plan{level, PlannedKind::Full, {}, {}, false};
    switch (row) {
    case 1:
        plan.notes = inOctave(octave, kFirst);
        break;
    case 2:
        plan.notes = inOctave(octave, kSecond);
        break;
    case 3:
        plan.kind = PlannedKind::Short;
        plan.notes = inOctave(octave, kFirst + kSecond.mid(1));
        break;
    case 4:
        plan.kind = PlannedKind::Drills;
        break;
    case 5:
        plan.notes = inOctave(octave, {1, 3}), plan.arriving = inOctave(octave, kFirst.mid(0, 3));
        break;
    case 6:
        plan.notes = inOctave(octave, {6, 8}), plan.arriving = inOctave(octave, kSecond.mid(0, 3));
        break;
    case 7:
        plan.notes = inOctave(octave, {10, 1}), plan.arriving = inOctave(octave, kSecond.mid(1, 3));
        break;
    case 8:
        plan.kind = PlannedKind::Short;
        plan.notes = inOctave(octave, {0, 2, 4, 5, 7, 9, 11});
        break;
    case 9:
        plan.kind = PlannedKind::Short;
        plan.notes = inOctave(octave, allPitches());
        break;
    default:
        plan.kind = PlannedKind::Short;
        plan.notes = inOctave(octave, allPitches()) + inOctave(5, allPitches());
        plan.anyOrder = true;
    }
    return plan;
}

QList<LevelPlan> buildPlan()
{
    QList<LevelPlan> plan;
    for (int row = 1; row <= 9; ++row)
        plan.append(planRow(row, row, 5));
    const QList<int> laterRows = {1, 2, 3, 5, 6, 7, 8, 9, 10};
    for (const int octave : {4, 6})
        for (int i = 0; i < laterRows.size(); ++i)
            plan.append(planRow(int(plan.size()) + 1, laterRows[i], octave));
    LevelPlan last{28, PlannedKind::Short, {}, {}, true};
    for (const int octave : {4, 5, 6})
        last.notes += inOctave(octave, allPitches());
    plan.append(last);
    return plan;
}

} // namespace

int LevelPlan::stepCount() const
{
    return kind == PlannedKind::Full ? 5 : kind == PlannedKind::Short ? 3 : 4;
}

const QList<LevelPlan> &CoursePlan::levels()
{
    static const QList<LevelPlan> plan = buildPlan();
    return plan;
}

const LevelPlan &CoursePlan::level(int number)
{
    return levels().at(number - 1);
}

QList<int> CoursePlan::partLevels(int part)
{
    QList<int> list;
    const int first = (part - 1) * 9 + 1;
    for (int level = first; level <= std::min(first + 8, 28); ++level)
        list.append(level);
    return list;
}

QString CoursePlan::folder(int level)
{
    return QString::number(level).rightJustified(2, QLatin1Char('0'));
}

QString CoursePlan::pitchName(int pitch)
{
    static const QStringList names = {
        QStringLiteral("ДО"),  QStringLiteral("ДО#"),  QStringLiteral("РЕ"),
        QStringLiteral("РЕ#"), QStringLiteral("МИ"),   QStringLiteral("ФА"),
        QStringLiteral("ФА#"), QStringLiteral("СОЛЬ"), QStringLiteral("СОЛЬ#"),
        QStringLiteral("ЛЯ"),  QStringLiteral("ЛЯ#"),  QStringLiteral("СИ")};
    return names.value(pitch);
}

bool CoursePlan::isBlack(int pitch)
{
    return pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10;
}

} // namespace nk
