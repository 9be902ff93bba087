#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Rebuilding the course after an update refreshes what the course ships but
// never puts back the learner's own files: progress, answers, note pictures,
// history. Of the sounds it renders again only a timbre whose files are not as
// it made them, and they come back the same to the byte.
class TestRegeneration : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void learnerFilesSurviveARebuild();
    void anotherBuildOfTheGeneratorRendersNothing();

private:
    static bool generate(const QString &folder,
                         const QString &generator = qEnvironmentVariable("NK_COURSEGEN"));
    static bool copyCourse(const QString &to);
    static bool copyTree(const QString &from, const QString &to);
    static void writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);
};

bool TestRegeneration::generate(const QString &folder, const QString &program)
{
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start(program, {qEnvironmentVariable("NK_SOURCE_DIR") + QStringLiteral("/content"),
                              folder, qEnvironmentVariable("NK_SOUNDFONT")});
    // One timbre takes the instrumented generator about half a minute.
    return generator.waitForFinished(240000) && generator.exitStatus() == QProcess::NormalExit &&
           generator.exitCode() == 0;
}

// The course as the build made it, so only the rebuild is run here.
bool TestRegeneration::copyTree(const QString &from, const QString &to)
{
    const QDir source(from);
    if (!QDir().mkpath(to))
        return false;
    const auto entries =
        source.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        const bool copied = entry.isDir() ? copyTree(entry.filePath(), target)
                                          : QFile::copy(entry.filePath(), target);
        if (!copied)
            return false;
    }
    return true;
}

bool TestRegeneration::copyCourse(const QString &to)
{
    const QString built = qEnvironmentVariable("NK_PROGRAM_DIR");
    for (const char *folder : {"levels", "pictures", "sound"}) {
        const QString name = QLatin1String(folder);
        if (!copyTree(built + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
            return false;
    }
    return true;
}

void TestRegeneration::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray TestRegeneration::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRegeneration::learnerFilesSurviveARebuild()
{
    QTemporaryDir dir;
    QVERIFY(copyCourse(dir.path()));
    const QDir levels(dir.filePath(QStringLiteral("levels/01")));
    const QStringList pictures = levels.entryList({QStringLiteral("*.bmp")});
    QVERIFY(!pictures.isEmpty());
    const QString progress = levels.filePath(QStringLiteral("level.dat"));
    const QString answers = levels.filePath(QStringLiteral("notes.dat"));
    const QString picture = levels.filePath(pictures.first());
    const QString melodies = levels.filePath(QStringLiteral("melody.dat"));
    const QString instruction = dir.filePath(QStringLiteral("levels/instruction.dat"));
    const QString history = dir.filePath(QStringLiteral("levels/history.db"));
    const QByteArray shippedMelodies = readFile(melodies);
    const QByteArray shippedInstruction = readFile(instruction);

    writeFile(progress, "[level]\r\nname=mine\r\n[step1]\r\nactive=1\r\nused=1\r\n");
    writeFile(answers, "learner answers");
    writeFile(picture, "learner picture");
    writeFile(history, "learner history");
    writeFile(melodies, "damaged");
    QFile::remove(instruction);
    QFile::remove(levels.filePath(pictures.last()));
    const QString removedNote = dir.filePath(QStringLiteral("sound/piano/first/00do.wav"));
    const QString damagedNote = dir.filePath(QStringLiteral("sound/piano/second/09la.wav"));
    const QString otherTimbre = dir.filePath(QStringLiteral("sound/organ/first/00do.wav"));
    const QByteArray shippedRemoved = readFile(removedNote);
    const QByteArray shippedDamaged = readFile(damagedNote);
    const QDateTime otherWritten = QFileInfo(otherTimbre).lastModified();
    QVERIFY(!shippedRemoved.isEmpty() && shippedDamaged.size() > 1000);
    QVERIFY(QFile::remove(removedNote));
    QByteArray damaged = shippedDamaged;
    damaged[500] = char(~damaged[500]);
    writeFile(damagedNote, damaged);
    QVERIFY(generate(dir.path()));

    QCOMPARE(readFile(progress),
             QByteArray("[level]\r\nname=mine\r\n[step1]\r\nactive=1\r\nused=1\r\n"));
    QCOMPARE(readFile(answers), QByteArray("learner answers"));
    QCOMPARE(readFile(picture), QByteArray("learner picture"));
    QCOMPARE(readFile(history), QByteArray("learner history"));
    QCOMPARE(readFile(melodies), shippedMelodies);
    QCOMPARE(readFile(instruction), shippedInstruction);
    QVERIFY(QFile::exists(levels.filePath(pictures.last()))); // a missing one comes back
    QCOMPARE(readFile(removedNote), shippedRemoved);
    QCOMPARE(readFile(damagedNote), shippedDamaged);
    QCOMPARE(QFileInfo(otherTimbre).lastModified(), otherWritten); // not rendered again
}

// The sounds are keyed on what the generator is built from, not on its binary:
// a tree built by another compiler, or a rebuild that links anew, takes them as
// they are. Here the other build is the same generator with a byte appended.
void TestRegeneration::anotherBuildOfTheGeneratorRendersNothing()
{
    QTemporaryDir dir;
    QVERIFY(copyCourse(dir.path()));
    const QString other = dir.filePath(QStringLiteral("other-coursegen"));
    QVERIFY(QFile::copy(qEnvironmentVariable("NK_COURSEGEN"), other));
    {
        QFile binary(other);
        QVERIFY(binary.open(QIODevice::Append) && binary.write("\n", 1) == 1);
    }
    const QStringList timbres =
        QDir(dir.filePath(QStringLiteral("sound"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(timbres.size(), 8);
    const auto lastWritten = [&dir](const QString &timbre) {
        return QFileInfo(dir.filePath(QStringLiteral("sound/%1/third/11si.wav").arg(timbre)))
            .lastModified();
    };
    QList<QDateTime> written;
    for (const QString &timbre : timbres)
        written.append(lastWritten(timbre));
    QVERIFY(generate(dir.path(), other));
    for (qsizetype i = 0; i < timbres.size(); ++i)
        QCOMPARE(lastWritten(timbres[i]), written[i]);
}

QTEST_GUILESS_MAIN(TestRegeneration)
#include "tst_regeneration.moc"
