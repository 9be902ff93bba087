// Pictures and sound files of the built course: every picture the pages and
// the note catalogues name decodes at the size its page gives, every note
// and chord file is 16-bit PCM.
#include "course/inifile.h"
#include "courseplan.h"
#include "wavreader.h"

#include <QImageReader>
#include <QSet>
#include <QTest>

using namespace nk;

namespace {

QString programDir()
{
    return qEnvironmentVariable("NK_PROGRAM_DIR");
}

// Exact size, or, for pictures shown at their own size, a box they must fit.
struct PictureRule
{
    QString path;
    QSize size;
    bool exact = true;
};

QList<PictureRule> pageRules()
{
    QList<PictureRule> rules = {{QStringLiteral("pictures/bear/1.gif"), {170, 272}},
                                {QStringLiteral("pictures/smallarrow.gif"), {24, 24}, false},
                                {QStringLiteral("pictures/arrred.gif"), {24, 24}, false},
                                {QStringLiteral("pictures/arrblue.gif"), {24, 24}, false},
                                {QStringLiteral("pictures/right.gif"), {641, 250}, false},
                                {QStringLiteral("pictures/relax.gif"), {641, 310}, false},
                                {QStringLiteral("pictures/black.gif"), {641, 200}, false},
                                {QStringLiteral("pictures/white.gif"), {641, 200}, false},
                                // Beside the answer buttons, which start 42 pixels further right.
                                {QStringLiteral("pictures/black-white.gif"), {42, 25}, false},
                                {QStringLiteral("pictures/white-black.gif"), {42, 25}, false}};
    for (int stage = 1; stage <= 4; ++stage)
        for (int half = 1; half <= 2; ++half)
            rules.append(
                {QStringLiteral("pictures/step3/%1_%2.gif").arg(stage).arg(half), {151, 55}});
    for (int n = 1; n <= 4; ++n)
        rules.append({QStringLiteral("pictures/melody/%1.gif").arg(n), {114, 29}});
    for (const QString &drill :
         {QStringLiteral("chords"), QStringLiteral("dmels"), QStringLiteral("dnotes")})
        for (int n = 1; n <= 5; ++n)
            rules.append({QStringLiteral("pictures/%1/%2.gif").arg(drill).arg(n), {187, 29}});
    return rules;
}

QString fromDataPath(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void checkPicture(const QString &relative, const QByteArray &format, const QSize &size, bool exact)
{
    QImageReader reader(programDir() + QLatin1Char('/') + relative);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(relative + QStringLiteral(": ") + reader.errorString()));
    if (exact)
        QCOMPARE(image.size(), size);
    else
        QVERIFY2(image.width() <= size.width() && image.height() <= size.height(),
                 qPrintable(relative));
}

void checkWav(const QString &relative)
{
    const WavReader wav(programDir() + QLatin1Char('/') + relative);
    QVERIFY2(wav.isValid(), qPrintable(relative));
    QCOMPARE(wav.formatTag(), 1);
    QCOMPARE(wav.bitsPerSample(), 16);
    QCOMPARE(wav.sampleRate(), 44100);
    QVERIFY(wav.channels() == 1 || wav.channels() == 2);
}

} // namespace

class TestCourseMedia : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pagePictures_data();
    void pagePictures();
    void notePictures_data();
    void notePictures();
    void noteSounds_data();
    void noteSounds();
    void chordSounds();
};

void TestCourseMedia::pagePictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("exact");
    for (const PictureRule &rule : pageRules())
        QTest::newRow(qPrintable(rule.path)) << rule.path << rule.size << rule.exact;
}

void TestCourseMedia::pagePictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, exact);
    checkPicture(path, "gif", size, exact);
}

void TestCourseMedia::notePictures_data()
{
    QTest::addColumn<int>("level");
    for (const LevelPlan &plan : CoursePlan::levels())
        if (plan.kind != PlannedKind::Drills)
            QTest::addRow("level %d", plan.level) << plan.level;
}

// The note strip, the five repetition pictures and the note card of every
// note of the level, by the paths its catalogue names.
void TestCourseMedia::notePictures()
{
    QFETCH(int, level);
    const QString folder = QStringLiteral("levels/") + CoursePlan::folder(level);
    const IniFile notes(programDir() + QLatin1Char('/') + folder + QStringLiteral("/notes.dat"));
    const QStringList sections = notes.sections().mid(1);
    QVERIFY(!sections.isEmpty());
    for (const QString &section : sections) {
        checkPicture(fromDataPath(notes.readString(section, QStringLiteral("pict"), {})), "gif",
                     {161, 26}, true);
        const QString prefix = fromDataPath(notes.readString(section, QStringLiteral("pict2"), {}));
        for (int k = 1; k <= 5; ++k)
            checkPicture(prefix + QString::number(k) + QStringLiteral(".gif"), "gif", {151, 55},
                         true);
        const int pitch = notes.readInteger(section, QStringLiteral("note"), -1);
        checkPicture(folder + QLatin1Char('/') + CoursePlan::pitchName(pitch) +
                         QStringLiteral(".bmp"),
                     "bmp", {401, 249}, true);
    }
}

void TestCourseMedia::noteSounds_data()
{
    QTest::addColumn<QString>("path");
    const QStringList octaves = {QStringLiteral("little"), QStringLiteral("first"),
                                 QStringLiteral("second")};
    const QStringList files = {
        QStringLiteral("00do"),      QStringLiteral("01do-diez"), QStringLiteral("02re"),
        QStringLiteral("03re-diez"), QStringLiteral("04mi"),      QStringLiteral("05fa"),
        QStringLiteral("06fa-diez"), QStringLiteral("07sol"),     QStringLiteral("08sol-diez"),
        QStringLiteral("09la"),      QStringLiteral("10la-diez"), QStringLiteral("11si")};
    for (const QString &octave : octaves)
        for (const QString &file : files) {
            const QString path = QStringLiteral("sound/piano/%1/%2.wav").arg(octave, file);
            QTest::newRow(qPrintable(path)) << path;
        }
}

void TestCourseMedia::noteSounds()
{
    QFETCH(QString, path);
    checkWav(path);
}

void TestCourseMedia::chordSounds()
{
    const IniFile chords(programDir() + QStringLiteral("/levels/04/chords.dat"));
    QSet<QString> seen;
    for (const QString &colour : {QStringLiteral("black"), QStringLiteral("white")})
        for (const QString &key : chords.keys(colour))
            if (key.startsWith(QLatin1Char('p'))) {
                const QString p = fromDataPath(chords.readString(colour, key, {}));
                checkWav(QStringLiteral("sound/piano/") + p.mid(6));
                seen.insert(p);
            }
    QVERIFY(seen.size() >= 6);
}

QTEST_MAIN(TestCourseMedia)
#include "tst_coursemedia.moc"
