// The data files of the built course: every file the program reads exists
// for every level, decodes as a Windows-1251 INI file, and says what the
// table of levels says.
#include "course/cp1251.h"
#include "course/inifile.h"
#include "courseplan.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <algorithm>

using namespace nk;

namespace {

QString programDir()
{
    return qEnvironmentVariable("NK_PROGRAM_DIR");
}

QString levelPath(int level, const QString &file)
{
    return programDir() + QStringLiteral("/levels/") + CoursePlan::folder(level) +
           QLatin1Char('/') + file;
}

QStringList numbered(const QString &prefix, int from, int to)
{
    QStringList list;
    for (int k = from; k <= to; ++k)
        list.append(prefix + QString::number(k));
    return list;
}

struct Sequence
{
    bool valid = false;
    QList<PlannedNote> notes;
    QList<int> durations;
};

// The NoteSequence form: single blanks between tokens of duration digit,
// octave digit and pitch number; nothing the player would have to normalise.
Sequence parseSequence(const QString &text)
{
    Sequence seq;
    for (const QString &token : text.split(QLatin1Char(' '))) {
        bool digits = token.size() >= 3 && token.size() <= 4;
        for (const QChar c : token)
            digits = digits && c.isDigit();
        if (!digits)
            return {};
        const int octave = token.mid(1, 1).toInt();
        const int pitch = token.mid(2).toInt();
        if (octave < 4 || octave > 6 || pitch > 11 || token[0] == QLatin1Char('0'))
            return {};
        seq.notes.append({octave, pitch});
        seq.durations.append(token.left(1).toInt());
    }
    seq.valid = !seq.notes.isEmpty() && seq.notes.size() <= 36;
    return seq;
}

QList<PlannedNote> sorted(QList<PlannedNote> notes)
{
    std::sort(notes.begin(), notes.end(), [](const PlannedNote &a, const PlannedNote &b) {
        return std::pair(a.octave, a.pitch) < std::pair(b.octave, b.pitch);
    });
    return notes;
}

void addLevelRows(bool drillsToo)
{
    QTest::addColumn<int>("level");
    for (const LevelPlan &plan : CoursePlan::levels())
        if (drillsToo || plan.kind != PlannedKind::Drills)
            QTest::addRow("level %d", plan.level) << plan.level;
}

// Every item of a colour section is a valid sequence on keys of that colour.
void checkColourItems(const IniFile &file, const QString &colour, const QString &prefix,
                      int minimum)
{
    const QStringList keys = file.keys(colour);
    QVERIFY2(keys.size() >= minimum, qPrintable(file.path() + QLatin1Char(' ') + colour));
    QCOMPARE(keys, numbered(prefix, 1, int(keys.size())));
    for (const QString &key : keys) {
        const Sequence seq = parseSequence(file.readString(colour, key, {}));
        QVERIFY2(seq.valid, qPrintable(colour + QLatin1Char(' ') + key));
        for (const PlannedNote &n : seq.notes)
            QCOMPARE(CoursePlan::isBlack(n.pitch), colour == QStringLiteral("black"));
    }
}

} // namespace

class TestCourseFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY2(!programDir().isEmpty(), "NK_PROGRAM_DIR is not set"); }
    void dataFilesAreWindows1251Ini();
    void partFiles_data();
    void partFiles();
    void levelFile_data() { addLevelRows(true); }
    void levelFile();
    void noteCatalogue_data() { addLevelRows(false); }
    void noteCatalogue();
    void melodies_data() { addLevelRows(false); }
    void melodies();
    void blackAndWhiteItems();
    void chords();
    void report_data() { addLevelRows(true); }
    void report();
    void questionnaire();
};

void TestCourseFiles::dataFilesAreWindows1251Ini()
{
    int files = 0;
    for (QDirIterator it(programDir() + QStringLiteral("/levels"), {QStringLiteral("*.dat")},
                         QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (bytes.startsWith("{\\rtf") || path.endsWith(QStringLiteral("/log.dat")) ||
            path.endsWith(QStringLiteral("/settings.dat")) ||
            QFileInfo(path).fileName().startsWith(QStringLiteral("DEMO_")))
            continue;
        ++files;
        QByteArray again;
        QVERIFY2(Cp1251::encode(Cp1251::decode(bytes), again) && again == bytes, qPrintable(path));
        QVERIFY2(!bytes.contains('\x98'), qPrintable(path));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QVERIFY2(!IniFile(path).sections().isEmpty(), qPrintable(path));
    }
    // 4 part files, questions.dat, and 4 or 5 files in each of 28 levels.
    QCOMPARE(files, 4 + 1 + 28 * 4 + 1);
}

void TestCourseFiles::partFiles_data()
{
    QTest::addColumn<int>("part");
    for (int part = 1; part <= 4; ++part)
        QTest::addRow("part %d", part) << part;
}

void TestCourseFiles::partFiles()
{
    QFETCH(int, part);
    const IniFile file(programDir() + QStringLiteral("/levels/part") + QString::number(part) +
                       QStringLiteral(".dat"));
    const QStringList sections = file.sections();
    const QList<int> levels = CoursePlan::partLevels(part);
    QCOMPARE(sections.size(), levels.size() + 1);
    QCOMPARE(sections.first(), QStringLiteral("part"));
    QVERIFY(!file.readString(QStringLiteral("part"), QStringLiteral("name"), {}).isEmpty());
    for (int k = 0; k < levels.size(); ++k) {
        const QString &section = sections[k + 1];
        const QString name = file.readString(section, QStringLiteral("name"), {});
        QVERIFY2(name.contains(QString::number(levels[k])), qPrintable(name));
        QVERIFY(file.readBool(section, QStringLiteral("active"), false));
    }
}

void TestCourseFiles::levelFile()
{
    QFETCH(int, level);
    const IniFile file(levelPath(level, QStringLiteral("level.dat")));
    const int steps = CoursePlan::level(level).stepCount();
    QCOMPARE(file.sections(),
             QStringList{QStringLiteral("level")} + numbered(QStringLiteral("step"), 1, steps));
    QVERIFY(file.readString(QStringLiteral("level"), QStringLiteral("name"), {})
                .contains(QString::number(level)));
    for (int k = 1; k <= steps; ++k) {
        const QString section = QStringLiteral("step") + QString::number(k);
        const QString name = file.readString(section, QStringLiteral("name"), {});
        QVERIFY2(name.startsWith(QStringLiteral("Шаг ") + QString::number(k)), qPrintable(name));
        QCOMPARE(file.readBool(section, QStringLiteral("active"), k != 1), k == 1);
        QCOMPARE(file.readBool(section, QStringLiteral("used"), true), false);
    }
}

void TestCourseFiles::noteCatalogue()
{
    QFETCH(int, level);
    const LevelPlan &plan = CoursePlan::level(level);
    const IniFile file(levelPath(level, QStringLiteral("notes.dat")));
    const int count = int(plan.notes.size());
    QCOMPARE(file.sections(),
             QStringList{QStringLiteral("step")} + numbered(QStringLiteral("note"), 1, count));
    QVERIFY(!file.readString(QStringLiteral("step"), QStringLiteral("name"), {}).isEmpty());
    const QStringList identity = {QStringLiteral("oct"), QStringLiteral("note"),
                                  QStringLiteral("pict"), QStringLiteral("pict2")};
    QList<PlannedNote> found;
    for (int k = 1; k <= count; ++k) {
        const QString section = QStringLiteral("note") + QString::number(k);
        QCOMPARE(file.keys(section), identity);
        const PlannedNote note{file.readInteger(section, QStringLiteral("oct"), 0),
                               file.readInteger(section, QStringLiteral("note"), -1)};
        found.append(note);
        QVERIFY(QFileInfo::exists(
            levelPath(level, CoursePlan::pitchName(note.pitch) + QStringLiteral(".bmp"))));
    }
    QCOMPARE(plan.anyOrder ? sorted(found) : found,
             plan.anyOrder ? sorted(plan.notes) : plan.notes);
}

void TestCourseFiles::melodies()
{
    QFETCH(int, level);
    const LevelPlan &plan = CoursePlan::level(level);
    const IniFile file(levelPath(level, QStringLiteral("melody.dat")));
    const QStringList keys = file.keys(QStringLiteral("melody"));
    const int count = int(keys.size());
    QVERIFY2(count >= 6, "at least six melodies");
    QCOMPARE(keys, numbered(QStringLiteral("m"), 1, count));
    const QString high = QStringLiteral("note") + QString::number(count - 1);
    const PlannedNote low{file.readInteger(QStringLiteral("note1"), QStringLiteral("oct"), -1),
                          file.readInteger(QStringLiteral("note1"), QStringLiteral("note"), -1)};
    const PlannedNote top{file.readInteger(high, QStringLiteral("oct"), -1),
                          file.readInteger(high, QStringLiteral("note"), -1)};
    const QList<PlannedNote> notes = plan.allNotes();
    for (const PlannedNote &n : notes) {
        QVERIFY(n.octave >= low.octave && n.octave <= top.octave);
        QVERIFY(n.pitch >= low.pitch && n.pitch <= top.pitch);
    }
    QVERIFY(
        std::any_of(notes.cbegin(), notes.cend(), [&](auto n) { return n.pitch == low.pitch; }));
    QVERIFY(
        std::any_of(notes.cbegin(), notes.cend(), [&](auto n) { return n.pitch == top.pitch; }));
    for (const QString &key : keys) {
        const Sequence seq = parseSequence(file.readString(QStringLiteral("melody"), key, {}));
        QVERIFY2(seq.valid && seq.notes.size() >= 3 && seq.notes.size() <= 8, qPrintable(key));
        for (int i = 0; i < seq.notes.size(); ++i) {
            QVERIFY2(notes.contains(seq.notes[i]), qPrintable(key));
            QVERIFY(seq.durations[i] >= 1 && seq.durations[i] <= 4);
        }
    }
}

void TestCourseFiles::blackAndWhiteItems()
{
    const IniFile notes(levelPath(4, QStringLiteral("notes.dat")));
    QCOMPARE(notes.sections(), (QStringList{QStringLiteral("step"), QStringLiteral("black"),
                                            QStringLiteral("white")}));
    checkColourItems(notes, QStringLiteral("black"), QStringLiteral("n"), 3);
    checkColourItems(notes, QStringLiteral("white"), QStringLiteral("n"), 3);
    const IniFile melody(levelPath(4, QStringLiteral("melody.dat")));
    checkColourItems(melody, QStringLiteral("black"), QStringLiteral("m"), 6);
    checkColourItems(melody, QStringLiteral("white"), QStringLiteral("m"), 6);
    // A question plays the black and the white melody of the same number.
    QCOMPARE(melody.keys(QStringLiteral("black")).size(),
             melody.keys(QStringLiteral("white")).size());
}

void TestCourseFiles::chords()
{
    const IniFile file(levelPath(4, QStringLiteral("chords.dat")));
    for (const QString &colour : {QStringLiteral("black"), QStringLiteral("white")}) {
        const QStringList keys = file.keys(colour);
        const int count = int(keys.size()) / 2;
        QVERIFY2(count >= 3, qPrintable(colour));
        for (int k = 1; k <= count; ++k) {
            const QString n =
                file.readString(colour, QString(QStringLiteral("n") + QString::number(k)), {});
            for (const QString &token : n.split(QLatin1Char(' '))) {
                const Sequence key = parseSequence(QStringLiteral("1") + token);
                QVERIFY2(key.valid, qPrintable(n));
                QCOMPARE(CoursePlan::isBlack(key.notes[0].pitch),
                         colour == QStringLiteral("black"));
            }
            const QString p =
                file.readString(colour, QString(QStringLiteral("p") + QString::number(k)), {});
            QVERIFY2(p.startsWith(QStringLiteral("sound\\")), qPrintable(p));
            const QString sound = programDir() + QStringLiteral("/sound/piano/") +
                                  p.mid(6).replace(QLatin1Char('\\'), QLatin1Char('/'));
            QVERIFY2(QFileInfo::exists(sound), qPrintable(sound));
        }
    }
}

void TestCourseFiles::report()
{
    QFETCH(int, level);
    const IniFile file(levelPath(level, QStringLiteral("report.dat")));
    const QStringList sections = file.sections();
    const int questions = int(sections.size()) - 1;
    QVERIFY(questions >= 3 && questions <= 5);
    QCOMPARE(sections.mid(0, questions), numbered(QStringLiteral("q"), 1, questions));
    int bottom = 0;
    bool multiLine = false;
    for (const QString &q : sections.mid(0, questions)) {
        QVERIFY(!file.readString(q, QStringLiteral("text"), {}).isEmpty());
        const int ly = file.readInteger(q, QStringLiteral("ly"), -1);
        const int ey = file.readInteger(q, QStringLiteral("ey"), -1);
        const int et = file.readInteger(q, QStringLiteral("et"), -1);
        QVERIFY(et == 1 || et == 3);
        multiLine = multiLine || et == 3;
        QVERIFY2(ly >= bottom && ey > ly, qPrintable(q));
        bottom = ey + (et == 3 ? 57 : 21);
    }
    QVERIFY2(bottom <= 352, "the fields end above the send button");
    QVERIFY(multiLine);
}

void TestCourseFiles::questionnaire()
{
    const IniFile file(programDir() + QStringLiteral("/levels/questions.dat"));
    const int asked = int(file.sections().size()) - 3;
    QVERIFY2(asked >= 6, "at least six questions are asked");
    QCOMPARE(file.sections().mid(0, asked), numbered(QStringLiteral("q"), 1, asked));
    for (int k = 1; k <= asked; ++k) {
        const QString q = QStringLiteral("q") + QString::number(k);
        for (const QString &key : {QStringLiteral("name"), QStringLiteral("body"),
                                   QStringLiteral("before"), QStringLiteral("after")})
            QVERIFY2(!file.readString(q, key, {}).isEmpty(),
                     qPrintable(q + QLatin1Char(' ') + key));
    }
}

QTEST_GUILESS_MAIN(TestCourseFiles)
#include "tst_coursefiles.moc"
