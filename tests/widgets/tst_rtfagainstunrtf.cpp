#include "widgets/rtfreader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace nk;
using namespace Qt::StringLiterals;

// Compares the reader with GNU UnRTF, an independent reader, on a corpus.
//
// UnRTF's text output format prints a character outside ASCII as the low byte
// of its code point unless the format names a way to print it, so the test
// runs UnRTF with Debian's own text format plus one added line that prints
// such characters as "&#N;" - exactly, and nothing else changes. The corpus
// keeps clear of what UnRTF 0.21 reads wrongly (verified by hand): text right
// after the fallback character of \u (UnRTF drops the rest of that word),
// \ucN other than 1, adjacent \u under \uc0, a field instruction inside a group
// of its own (UnRTF then shows the instruction instead of the result), and
// \lquote-style symbols, tables and \bin, which its text format prints as
// nothing or as something else. The reader's own tests cover those.
class TestRtfAgainstUnrtf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void sameText_data();
    void sameText();

private:
    QString unrtfText(const QString &path);
    QTemporaryDir m_config;
};

namespace {

QString normalized(QString text)
{
    static const QRegularExpression space(u"\\s+"_s);
    text.replace(QChar::Nbsp, u' ');
    return text.replace(space, u" "_s).trimmed();
}

QString decodeEntities(const QString &text)
{
    static const QRegularExpression entity(u"&#(\\d+);"_s);
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(last, m.capturedStart() - last);
        const char32_t code = m.captured(1).toUInt();
        out += QString::fromUcs4(&code, 1);
        last = m.capturedEnd();
    }
    return out + QStringView(text).sliced(last);
}

} // namespace

void TestRtfAgainstUnrtf::initTestCase()
{
    QFile debianFormat(u"/usr/share/unrtf/text.conf"_s);
    QVERIFY2(debianFormat.open(QIODevice::ReadOnly), "unrtf is not installed");
    QFile format(m_config.filePath(u"text.conf"_s));
    QVERIFY(format.open(QIODevice::WriteOnly));
    format.write(debianFormat.readAll() + "\nunisymbol_print\n\t&#%;\n");
}

QString TestRtfAgainstUnrtf::unrtfText(const QString &path)
{
    QProcess p;
    p.start(u"unrtf"_s, {u"--nopict"_s, u"-P"_s, m_config.path(), u"--text"_s, path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return u"<unrtf failed>"_s;
    QStringList kept;
    // The output is ASCII: everything else is printed as an entity.
    const QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split(u'\n');
    bool body = false;
    for (const QString &line : lines) {
        // Document properties head the output of the text format, before its rule.
        const bool property =
            !body && (line.startsWith(u"TITLE: "_s) || line.startsWith(u"AUTHOR: "_s) ||
                      line.startsWith(u"DATE: "_s));
        if (line == u"-----------------"_s)
            body = true;
        else if (!line.startsWith(u"###"_s) && !property)
            kept << line;
    }
    return decodeEntities(kept.join(u'\n'));
}

void TestRtfAgainstUnrtf::sameText_data()
{
    QTest::addColumn<QString>("path");
    const QDir hand(qEnvironmentVariable("NK_SOURCE_DIR") + u"/tests/widgets/rtf"_s);
    const QStringList handMade = hand.entryList({u"*.rtf"_s}, QDir::Files, QDir::Name);
    QVERIFY2(handMade.size() >= 5, qPrintable(hand.path()));
    for (const QString &name : handMade)
        QTest::newRow(qPrintable(name)) << hand.filePath(name);
    const QDir levels(qEnvironmentVariable("NK_PROGRAM_DIR") + u"/levels"_s);
    for (const QString &name : levels.entryList({u"*.dat"_s}, QDir::Files, QDir::Name)) {
        QFile f(levels.filePath(name));
        if (f.open(QIODevice::ReadOnly) && f.read(5) == "{\\rtf")
            QTest::newRow(qPrintable(u"levels/"_s + name)) << levels.filePath(name);
    }
}

void TestRtfAgainstUnrtf::sameText()
{
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    RtfReader::read(f.readAll(), &doc);
    const QString ours = normalized(doc.toPlainText());
    QVERIFY2(!ours.isEmpty(), "a corpus file shows text");
    QCOMPARE(ours, normalized(unrtfText(path)));
}

QTEST_MAIN(TestRtfAgainstUnrtf)
#include "tst_rtfagainstunrtf.moc"
