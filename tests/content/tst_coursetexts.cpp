// The text pages read by an independent RTF reader (Debian's unrtf) give
// exactly the text of their source in content/texts.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString normalised(QString text)
{
    return text.simplified();
}

// The page as its source says it: headings and paragraphs as they are, list
// items behind a bullet.
QString expectedText(const QString &markup)
{
    QStringList parts;
    for (const QString &raw : markup.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QStringLiteral("# ")))
            parts.append(line.mid(2));
        else if (line.startsWith(QStringLiteral("- ")))
            parts.append(QStringLiteral("• ") + line.mid(2));
        else
            parts.append(line);
    }
    return normalised(parts.join(QLatin1Char(' ')));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCourseTexts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void page_data();
    void page();
    void aboutNamesProgramAndCredits();

private:
    QString unrtfText(const QString &path);
    QTemporaryDir m_config;
};

// Debian's text format writes characters beyond Latin-1 as their low byte;
// one added line makes it print them as "&#N;", which is decoded here.
void TestCourseTexts::initTestCase()
{
    QVERIFY(m_config.isValid());
    const QByteArray debian = readAll(QStringLiteral("/usr/share/unrtf/text.conf"));
    QVERIFY2(!debian.isEmpty(), "unrtf is not installed (scripts/setup installs it)");
    QFile format(m_config.filePath(QStringLiteral("text.conf")));
    QVERIFY(format.open(QIODevice::WriteOnly));
    format.write(debian + "\nunisymbol_print\n\t&#%;\n");
}

QString TestCourseTexts::unrtfText(const QString &path)
{
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--nopict"), QStringLiteral("-P"),
                                          m_config.path(), QStringLiteral("--text"), path});
    if (!unrtf.waitForFinished(30000) || unrtf.exitCode() != 0)
        return QStringLiteral("<unrtf failed>");
    QStringList kept;
    for (const QString &line :
         QString::fromUtf8(unrtf.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (!line.startsWith(QStringLiteral("###")) && line != QStringLiteral("-----------------"))
            kept.append(line);
    QString text = kept.join(QLatin1Char('\n'));
    static const QRegularExpression entity(QStringLiteral("&#(\\d+);"));
    QString decoded;
    qsizetype pos = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        decoded += text.mid(pos, m.capturedStart() - pos);
        decoded += QChar(char16_t(m.captured(1).toUInt()));
        pos = m.capturedEnd();
    }
    return normalised(decoded + text.mid(pos));
}

void TestCourseTexts::page_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"instruction", "about", "error", "success", "instrlearn", "mem", "step3", "step4"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestCourseTexts::page()
{
    QFETCH(QString, name);
    const QString built = qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/levels/") +
                          name + QStringLiteral(".dat");
    const QByteArray rtf = readAll(built);
    QVERIFY2(rtf.startsWith("{\\rtf1"), qPrintable(built));
    QVERIFY(rtf.contains("\\fcharset204"));
    // Cyrillic travels as \'hh escapes: the file itself is plain ASCII.
    QVERIFY(std::all_of(rtf.cbegin(), rtf.cend(), [](char c) { return uchar(c) < 0x80; }));
    const QString source = QString::fromUtf8(readAll(qEnvironmentVariable("NK_SOURCE_DIR") +
                                                     QStringLiteral("/content/texts/") + name +
                                                     QStringLiteral(".txt")));
    QVERIFY(!source.isEmpty());
    QCOMPARE(unrtfText(built), expectedText(source));
}

void TestCourseTexts::aboutNamesProgramAndCredits()
{
    const QString about =
        unrtfText(qEnvironmentVariable("NK_PROGRAM_DIR") + QStringLiteral("/levels/about.dat"));
    for (const QString &needle :
         {QStringLiteral("Нотоклюв"), QStringLiteral("5.0"), QStringLiteral("FluidR3_GM"),
          QStringLiteral("MIT"), QStringLiteral("http")})
        QVERIFY2(about.contains(needle), qPrintable(needle));
}

QTEST_GUILESS_MAIN(TestCourseTexts)
#include "tst_coursetexts.moc"
