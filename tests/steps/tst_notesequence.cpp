#include "steps/notesequence.h"

#include <QTest>

using namespace nk;

Q_DECLARE_METATYPE(QList<TNote>)

// The text form of note runs, read in full before anything plays.
class NoteSequenceTest : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void badTokens_data();
    void badTokens();
    void formatRoundTrip();
};

void NoteSequenceTest::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("notes"); // "duration,octave,pitch" per note
    QTest::newRow("one ДО") << QStringLiteral("150") << QStringLiteral("1,5,0");
    QTest::newRow("two-digit pitch") << QStringLiteral("4511") << QStringLiteral("4,5,11");
    QTest::newRow("pitch past СИ is ДО") << QStringLiteral("4615") << QStringLiteral("4,6,0");
    QTest::newRow("negative pitch is ДО") << QStringLiteral("45-3") << QStringLiteral("4,5,0");
    QTest::newRow("three notes") << QStringLiteral("440 457 4611")
                                 << QStringLiteral("4,4,0 4,5,7 4,6,11");
    QTest::newRow("leading zeros") << QStringLiteral("25007") << QStringLiteral("2,5,7");
}

void NoteSequenceTest::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, notes);
    const NoteSequence::Parsed parsed = NoteSequence::parse(text);
    QVERIFY(parsed.ok);
    QStringList seen;
    for (const TNote &n : parsed.notes)
        seen << QStringLiteral("%1,%2,%3").arg(n.Duration).arg(n.Octave).arg(n.Pitch);
    QCOMPARE(seen.join(QLatin1Char(' ')), notes);
}

void NoteSequenceTest::badTokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bad");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("two blanks") << QStringLiteral("150  152") << QString();
    QTest::newRow("trailing blank") << QStringLiteral("150 ") << QString();
    QTest::newRow("letters in the pitch") << QStringLiteral("150 45x 152") << QStringLiteral("45x");
    QTest::newRow("no pitch") << QStringLiteral("45") << QStringLiteral("45");
    QTest::newRow("letter octave") << QStringLiteral("4a0") << QStringLiteral("4a0");
    QTest::newRow("Cyrillic") << QStringLiteral("до") << QStringLiteral("до");
}

void NoteSequenceTest::badTokens()
{
    QFETCH(QString, text);
    QFETCH(QString, bad);
    const NoteSequence::Parsed parsed = NoteSequence::parse(text);
    QVERIFY(!parsed.ok);
    QCOMPARE(parsed.badToken, bad);
    QVERIFY(parsed.notes.isEmpty());
}

void NoteSequenceTest::formatRoundTrip()
{
    NoteSequence sequence;
    sequence.notes = {{4, 5, 11}, {1, 4, 0}, {9, 6, 7}};
    QCOMPARE(sequence.format(), QStringLiteral("4511 140 967"));
    QCOMPARE(NoteSequence::parse(sequence.format()).notes.size(), 3);
    QCOMPARE(NoteSequence().format(), QString());
}

QTEST_GUILESS_MAIN(NoteSequenceTest)
#include "tst_notesequence.moc"
