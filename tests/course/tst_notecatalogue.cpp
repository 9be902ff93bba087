#include "audio/notenames.h"
#include "course/cp1251.h"
#include "course/inifile.h"
#include "course/notecatalogue.h"
#include "course/questionfile.h"
#include "course/randomsource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nk;

namespace {

const PitchNaming kNaming{&PitchName, &NormalizePitch};

void writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray bytes;
    QVERIFY(Cp1251::encode(text, bytes));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "[step]" followed by one section per note given as "oct:note".
QString notesText(const QStringList &notes)
{
    QString text = QStringLiteral("[step]\r\nname=Шаг\r\n");
    for (qsizetype k = 0; k < notes.size(); ++k) {
        const QStringList parts = notes[k].split(QLatin1Char(':'));
        text += QStringLiteral("[note%1]\r\noct=%2\r\nnote=%3\r\npict=p\r\npict2=q\r\n")
                    .arg(k + 1)
                    .arg(parts[0], parts[1]);
    }
    return text;
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QFileInfo &entry : QDir(from).entryInfoList(QDir::Files))
        QVERIFY(QFile::copy(entry.filePath(), to + QLatin1Char('/') + entry.fileName()));
}

struct KeyValue
{
    QString key;
    QString value;
};

QList<KeyValue> sectionOf(const QString &path, const QString &section)
{
    const IniFile file(path);
    QList<KeyValue> list;
    for (const QString &key : file.keys(section))
        list.append({key, file.readString(section, key, QString())});
    return list;
}

bool operator==(const KeyValue &a, const KeyValue &b)
{
    return a.key == b.key && a.value == b.value;
}

} // namespace

class NoteCatalogueTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    BasePath base() const { return BasePath(m_dir.path()); }
    QString levelPath(const QString &folder, const QString &file) const
    {
        return m_dir.path() + QStringLiteral("/levels/") + folder + QLatin1Char('/') + file;
    }
    // A copy of the default course's folders of these levels.
    void copyCourseLevels(const QStringList &folders);
    void writeLearnerKeys(int level, const QString &folder, int note);

private slots:
    void init();
    void findNoteSection_data();
    void findNoteSection();
    void notesOfOnePitchShareAPicture();
    void noteListText_data();
    void noteListText();
    void fillRevisionLevelCarriesLearnerKeys();
    void fillRevisionLevelLeavesOtherLevels();
    void fillRevisionLevelCopiesAHugeNote();
    void appendEarlierNotesTwiceGivesSameContent();
    void badSourceSectionIsRefusedBeforeWriting_data();
    void badSourceSectionIsRefusedBeforeWriting();
    void missingSourcePictureCopiesNothing();
    void questionnaireLength_data();
    void questionnaireLength();
    void seededRandomRepeatsItsDraws();
};

void NoteCatalogueTest::init()
{
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
}

void NoteCatalogueTest::copyCourseLevels(const QStringList &folders)
{
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    QVERIFY2(!program.isEmpty(), "NK_PROGRAM_DIR is not set");
    for (const QString &folder : folders)
        copyFolder(program + QStringLiteral("/levels/") + folder, levelPath(folder, QString()));
}

// What Step 1 would have written: answers, then the three characteristics.
void NoteCatalogueTest::writeLearnerKeys(int level, const QString &folder, int note)
{
    IniFile file(levelPath(folder, QStringLiteral("notes.dat")));
    const QString section = NoteCatalogue::noteSection(note);
    for (int a = 1; a <= 3; ++a)
        file.writeString(section, QStringLiteral("a%1").arg(a),
                         QStringLiteral("ответ %1 ноты %2 уровня %3").arg(a).arg(note).arg(level));
    for (int v = 1; v <= 3; ++v)
        file.writeString(section, QStringLiteral("v%1").arg(v),
                         QStringLiteral("черта %1/%2/%3").arg(v).arg(note).arg(level));
}

void NoteCatalogueTest::findNoteSection_data()
{
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<int>("section");
    const QStringList twoDo{QStringLiteral("5:4"), QStringLiteral("5:0"), QStringLiteral("6:0")};
    QTest::newRow("first of two ДО") << twoDo << 0 << 2;
    QTest::newRow("МИ") << twoDo << 4 << 1;
    QTest::newRow("absent pitch") << twoDo << 7 << 1;
    QTest::newRow("no notes") << QStringList() << 0 << 1;
    // The pitch is compared as written, not normalised.
    QTest::newRow("out of range value")
        << QStringList{QStringLiteral("5:2"), QStringLiteral("5:14")} << 0 << 1;
}

void NoteCatalogueTest::findNoteSection()
{
    QFETCH(QStringList, notes);
    QFETCH(int, pitch);
    QFETCH(int, section);
    writeText(levelPath(QStringLiteral("05"), QStringLiteral("notes.dat")), notesText(notes));
    QCOMPARE(NoteCatalogue(base(), kNaming).FindNoteSection(5, pitch), section);
}

void NoteCatalogueTest::notesOfOnePitchShareAPicture()
{
    const NoteCatalogue catalogue(base(), kNaming);
    QCOMPARE(catalogue.notePictureRelative(1, 1), QStringLiteral("levels\\01\\ДО#.bmp"));
    QCOMPARE(catalogue.NotePicturePath(12, 0), m_dir.path() + QStringLiteral("/levels/12/ДО.bmp"));
}

void NoteCatalogueTest::noteListText_data()
{
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList{QStringLiteral("5:0")} << QStringLiteral("ДО ");
    QTest::newRow("three") << QStringList{QStringLiteral("5:0"), QStringLiteral("5:2"),
                                          QStringLiteral("6:4")}
                           << QStringLiteral("ДО, РЕ, МИ ");
    QTest::newRow("bad pitch reads as ДО")
        << QStringList{QStringLiteral("5:11"), QStringLiteral("5:x")} << QStringLiteral("СИ, ДО ");
}

void NoteCatalogueTest::noteListText()
{
    QFETCH(QStringList, notes);
    QFETCH(QString, text);
    if (!notes.isEmpty())
        writeText(levelPath(QStringLiteral("08"), QStringLiteral("notes.dat")), notesText(notes));
    QCOMPARE(NoteCatalogue(base(), kNaming).NoteListText(8), text);
}

void NoteCatalogueTest::fillRevisionLevelCarriesLearnerKeys()
{
    copyCourseLevels({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")});
    writeLearnerKeys(2, QStringLiteral("02"), 2);
    const QString target = levelPath(QStringLiteral("03"), QStringLiteral("notes.dat"));
    const QList<KeyValue> identity = sectionOf(target, QStringLiteral("note5")).mid(0, 4);
    NoteCatalogue catalogue(base(), kNaming);
    const quint8 pitch = catalogue.note(2, 2).pitch;
    const QString picture = catalogue.NotePicturePath(3, pitch);
    QVERIFY(QFile::remove(picture));

    QCOMPARE(catalogue.FillRevisionLevel(3), QString());

    const QList<KeyValue> source = sectionOf(
        levelPath(QStringLiteral("02"), QStringLiteral("notes.dat")), QStringLiteral("note2"));
    QCOMPARE(source.size(), 10);
    const QList<KeyValue> result = sectionOf(target, QStringLiteral("note5"));
    QVERIFY(result.mid(0, 4) == identity);
    QVERIFY(result.mid(4) == source.mid(4));
    QCOMPARE(readBytes(picture), readBytes(catalogue.NotePicturePath(2, pitch)));
    QVERIFY(!readBytes(picture).isEmpty());
}

void NoteCatalogueTest::fillRevisionLevelLeavesOtherLevels()
{
    copyCourseLevels({QStringLiteral("01"), QStringLiteral("02")});
    writeLearnerKeys(1, QStringLiteral("01"), 1);
    const QString target = levelPath(QStringLiteral("02"), QStringLiteral("notes.dat"));
    const QByteArray before = readBytes(target);
    QCOMPARE(NoteCatalogue(base(), kNaming).FillRevisionLevel(2), QString());
    QCOMPARE(readBytes(target), before);
}

// A source note of a hundred thousand keys is copied in one write, not one
// whole-file write per key.
void NoteCatalogueTest::fillRevisionLevelCopiesAHugeNote()
{
    const QStringList notes{QStringLiteral("4:0"), QStringLiteral("4:4"), QStringLiteral("4:7"),
                            QStringLiteral("4:9")};
    QString source = notesText(notes);
    for (int i = 0; i < 100'000; ++i)
        source += QStringLiteral("x%1=значение %1\r\n").arg(i);
    writeText(levelPath(QStringLiteral("10"), QStringLiteral("notes.dat")), source);
    writeText(levelPath(QStringLiteral("11"), QStringLiteral("notes.dat")), notesText(notes));
    const QString target = levelPath(QStringLiteral("12"), QStringLiteral("notes.dat"));
    writeText(target, notesText(notes + notes.mid(1)));

    QCOMPARE(NoteCatalogue(base(), kNaming).FillRevisionLevel(12), QString());
    const QList<IniFile::Entry> from =
        IniFile(levelPath(QStringLiteral("10"), QStringLiteral("notes.dat"))).entries(u"note4");
    const QList<IniFile::Entry> to = IniFile(target).entries(u"note4");
    QCOMPARE(from.size(), 100'004);
    QCOMPARE(to.size(), from.size());
    for (qsizetype i = 4; i < to.size(); ++i) {
        if (to[i].key != from[i].key || to[i].value != from[i].value)
            QFAIL(qPrintable(QStringLiteral("key %1 differs: ").arg(i) + to[i].key));
    }
    QCOMPARE(IniFile(target).readString(u"note5", u"note", {}), QStringLiteral("4"));
}

void NoteCatalogueTest::appendEarlierNotesTwiceGivesSameContent()
{
    copyCourseLevels({QStringLiteral("02"), QStringLiteral("07")});
    for (int note = 2; note <= 4; ++note)
        writeLearnerKeys(2, QStringLiteral("02"), note);
    NoteCatalogue catalogue(base(), kNaming);
    QCOMPARE(catalogue.AppendEarlierNotes(7), QString());

    const QString target = levelPath(QStringLiteral("07"), QStringLiteral("notes.dat"));
    const QString source = levelPath(QStringLiteral("02"), QStringLiteral("notes.dat"));
    QCOMPARE(
        IniFile(target).sections(),
        (QStringList{QStringLiteral("step"), QStringLiteral("note1"), QStringLiteral("note2"),
                     QStringLiteral("note3"), QStringLiteral("note4"), QStringLiteral("note5")}));
    for (int k = 3; k <= 5; ++k) {
        QVERIFY(sectionOf(target, NoteCatalogue::noteSection(k)) ==
                sectionOf(source, NoteCatalogue::noteSection(k - 1)));
        const quint8 pitch = catalogue.note(7, k).pitch;
        QCOMPARE(readBytes(catalogue.NotePicturePath(7, pitch)),
                 readBytes(catalogue.NotePicturePath(2, pitch)));
    }
    const QByteArray once = readBytes(target);
    QCOMPARE(catalogue.AppendEarlierNotes(7), QString());
    QCOMPARE(readBytes(target), once);
}

void NoteCatalogueTest::badSourceSectionIsRefusedBeforeWriting_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("whole");
    const QString oneKey = QStringLiteral("[note1]\r\noct=5\r\n");
    const QString textPitch = QStringLiteral("[note1]\r\noct=5\r\nnote=ре\r\na1=x\r\na2=y\r\n");
    QTest::newRow("missing section, learner data") << QString() << false;
    QTest::newRow("one key, learner data") << oneKey << false;
    QTest::newRow("pitch not a number, learner data") << textPitch << false;
    QTest::newRow("one key, whole note") << oneKey << true;
    QTest::newRow("pitch not a number, whole note") << textPitch << true;
}

void NoteCatalogueTest::badSourceSectionIsRefusedBeforeWriting()
{
    QFETCH(QString, section);
    QFETCH(bool, whole);
    writeText(levelPath(QStringLiteral("01"), QStringLiteral("notes.dat")),
              QStringLiteral("[step]\r\nname=s\r\n") + section);
    writeText(levelPath(QStringLiteral("01"), QStringLiteral("ДО.bmp")), QStringLiteral("BM"));
    const QString target = levelPath(QStringLiteral("03"), QStringLiteral("notes.dat"));
    writeText(target, notesText({QStringLiteral("5:0")}));
    const QByteArray before = readBytes(target);

    NoteCatalogue catalogue(base(), kNaming);
    const QString refusal =
        whole ? catalogue.CopyNoteSection(1, 3, 1, 2) : catalogue.CopyLearnerData(1, 3, 1, 1);
    QVERIFY(!refusal.isEmpty());
    QVERIFY(!refusal.contains(QLatin1Char('\r')) && !refusal.contains(QLatin1Char('\n')));
    QCOMPARE(readBytes(target), before);
    QVERIFY(!QFile::exists(levelPath(QStringLiteral("03"), QStringLiteral("ДО.bmp"))));
}

void NoteCatalogueTest::missingSourcePictureCopiesNothing()
{
    writeText(levelPath(QStringLiteral("10"), QStringLiteral("notes.dat")),
              notesText({QStringLiteral("5:7")}) + QStringLiteral("a1=ответ\r\n"));
    writeText(levelPath(QStringLiteral("12"), QStringLiteral("notes.dat")),
              notesText({QStringLiteral("5:7")}));
    NoteCatalogue catalogue(base(), kNaming);
    QCOMPARE(catalogue.CopyLearnerData(10, 12, 1, 1), QString());
    QCOMPARE(IniFile(levelPath(QStringLiteral("12"), QStringLiteral("notes.dat")))
                 .readString(u"note1", u"a1", QString()),
             QStringLiteral("ответ"));
    QCOMPARE(QDir(levelPath(QStringLiteral("12"), QString())).entryList(QDir::Files),
             QStringList{QStringLiteral("notes.dat")});
}

void NoteCatalogueTest::questionnaireLength_data()
{
    QTest::addColumn<int>("sections");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("asked");
    QTest::newRow("no file") << 0 << -2 << 1;
    QTest::newRow("four sections") << 4 << 2 << 1;
    QTest::newRow("five sections") << 5 << 3 << 2;
    QTest::newRow("ten sections") << 10 << 8 << 7;
}

void NoteCatalogueTest::questionnaireLength()
{
    QFETCH(int, sections);
    QFETCH(int, limit);
    QFETCH(int, asked);
    QString text;
    for (int k = 1; k <= sections; ++k)
        text += QStringLiteral("[q%1]\r\nname=Вопрос %1\r\nbody=a&b\r\n").arg(k);
    if (sections > 0)
        writeText(m_dir.path() + QStringLiteral("/levels/questions.dat"), text);
    const QuestionFile questions(base());
    QCOMPARE(questions.QuestionLimit(), limit);
    QCOMPARE(questions.askedCount(), asked);
    if (sections > 0) {
        QCOMPARE(questions.question(1).name, QStringLiteral("Вопрос 1"));
        QCOMPARE(questions.question(1).before, QStringLiteral("нет данных"));
    }
}

void NoteCatalogueTest::seededRandomRepeatsItsDraws()
{
    auto run = [] {
        QList<int> draws;
        for (int i = 0; i < 50; ++i)
            draws.append(RandomSource::draw(1, 6));
        return draws;
    };
    RandomSource::seed(42);
    const QList<int> first = run();
    RandomSource::seed(42);
    QCOMPARE(run(), first);
    QVERIFY(std::all_of(first.begin(), first.end(), [](int v) { return v >= 1 && v <= 6; }));
    QVERIFY(std::adjacent_find(first.begin(), first.end(), std::not_equal_to<>()) != first.end());
    QCOMPARE(RandomSource::draw(3, 3), 3);
    QCOMPARE(RandomSource::draw(5, 2), 5);
}

QTEST_GUILESS_MAIN(NoteCatalogueTest)
#include "tst_notecatalogue.moc"
