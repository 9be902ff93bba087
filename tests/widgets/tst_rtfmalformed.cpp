#include "widgets/rtfreader.h"
#include "widgets/textpageloader.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

QByteArray randomBytes(qsizetype size, QByteArrayView alphabet, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char &c : out) {
        const quint32 r = rng.generate();
        c = alphabet.isEmpty() ? char(r & 0xFF) : alphabet[qsizetype(r % alphabet.size())];
    }
    return out;
}

// Leaves every group the junk may have opened, so that the marker after it is
// read at the outermost level whatever state the junk left behind.
QByteArray closeAll(const QByteArray &junk)
{
    return QByteArray(junk.count('{') + 1, '}');
}

const QByteArray kMarker = "{\\plain MARKER}";

} // namespace

class TestRtfMalformed : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsWhatIsReadable_data();
    void showsWhatIsReadable();
    void deepNestingKeepsGroupState();
};

void TestRtfMalformed::showsWhatIsReadable_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("visible");
    const QByteArray head = "{\\rtf1\\ansi ";
    const QByteArray deep(100000, '{');
    QTest::newRow("100k open braces, truncated") << head + deep + "deep" << u"deep"_s;
    QTest::newRow("100k starred groups") << head + QByteArray(100000, '{').replace("{", "{\\*") +
                                                "x" + QByteArray(100000, '}') + kMarker
                                         << u"MARKER"_s;
    QTest::newRow("100k stray close braces")
        << head + QByteArray(100000, '}') + kMarker << u"MARKER"_s;
    const QByteArray junk = randomBytes(1 << 20, {}, 1);
    QTest::newRow("1 MB random bytes") << head + junk + closeAll(junk) + kMarker << u"MARKER"_s;
    const QByteArray rtfish = randomBytes(1 << 20, "{}\\'*abfinu0123456789 -;?", 2);
    QTest::newRow("1 MB of RTF characters")
        << head + rtfish + closeAll(rtfish) + kMarker << u"MARKER"_s;
    QTest::newRow("huge numbers")
        << head +
               "\\fs99999999999999999999\\cf-99999999999999\\uc99999999999\\u99999999999"
               "\\f-2147483649\\red999999999999;\\'zz" +
               kMarker
        << u"MARKER"_s;
    QTest::newRow("1 MB control word")
        << head + "\\" + QByteArray(1 << 20, 'a') + " " + kMarker << u"MARKER"_s;
    QTest::newRow("bin beyond end") << head + "x{\\pict\\bin2147483647 abc" << u"x"_s;
    QTest::newRow("truncated escape") << head + "ok\\'" << u"ok"_s;
    QTest::newRow("truncated word") << head + "ok\\u-" << u"ok"_s;
    QTest::newRow("nested fields")
        << head + QByteArray("{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt ").repeated(20000) +
               "in"
        << u"in"_s;
    // Both once took time quadratic in the paragraph's length: minutes here.
    QTest::newRow("60k formatted runs in one paragraph")
        << head + QByteArray("{\\b a}{\\i b}").repeated(30000) + kMarker << u"MARKER"_s;
    QTest::newRow("20k web addresses in one paragraph")
        << head + QByteArray("www.a.ru ").repeated(20000) + kMarker << u"MARKER"_s;
    QTest::newRow("unterminated font table")
        << head + "{\\fonttbl{\\f0\\fcharset204 " + QByteArray(1 << 20, 'F') << QString();
}

void TestRtfMalformed::showsWhatIsReadable()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, visible);
    QTextDocument doc;
    TextPageLoader::load(rtf, &doc);
    const QString text = doc.toPlainText();
    QVERIFY2(text.size() <= rtf.size(), "every shown character comes from the input");
    if (visible.isEmpty())
        QCOMPARE(text, QString());
    else
        QVERIFY2(text.endsWith(visible), qPrintable(text.right(40)));
}

void TestRtfMalformed::deepNestingKeepsGroupState()
{
    const qsizetype n = 100000;
    const QByteArray rtf = "{\\rtf1 a" + QByteArray(n, '{') + "\\b x" + QByteArray(n, '}') + "y}";
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QCOMPARE(doc.toPlainText(), u"axy"_s);
    QTextCursor c = doc.find(u"x"_s);
    QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
    c = doc.find(u"y"_s);
    QVERIFY(c.charFormat().fontWeight() != QFont::Bold);
}

QTEST_MAIN(TestRtfMalformed)
#include "tst_rtfmalformed.moc"
