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

private:
    bool generate(const QString &folder);
    static bool copyTree(const QString &from, const QString &to);
    static void writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);
};

bool TestRegeneration::generate(const QString &folder)
{
    QProcess generator;
    generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    generator.start(qEnvironmentVariable("NK_COURSEGEN"),
                    {qEnvironmentVariable("NK_SOURCE_DIR") + QStringLiteral("/content"), folder,
                     qEnvironmentVariable("NK_SOUNDFONT")});
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
    const QString built = qEnvironmentVariable("NK_PROGRAM_DIR");
    for (const char *folder : {"levels", "pictures", "sound"}) {
        const QString name = QLatin1String(folder);
        QVERIFY(copyTree(built + QLatin1Char('/') + name, dir.filePath(name)));
    }
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

QTEST_GUILESS_MAIN(TestRegeneration)
#include "tst_regeneration.moc"
