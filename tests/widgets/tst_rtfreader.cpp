#include "widgets/rtfreader.h"
#include "widgets/textpageloader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace nk;
using namespace Qt::StringLiterals;

namespace {

QTextDocument *loaded(const QByteArray &bytes)
{
    auto *doc = new QTextDocument;
    TextPageLoader::load(bytes, doc);
    return doc;
}

// The format of the last character of the first occurrence of `text`.
QTextCharFormat formatOf(QTextDocument *doc, const QString &text)
{
    const QTextCursor c = doc->find(text);
    if (c.isNull())
        return {};
    return c.charFormat();
}

const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 "
    "Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fcharset204 "
    "Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;"
    "}\n";

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void text_data();
    void text();
    void characterFormat_data();
    void characterFormat();
    void alignment_data();
    void alignment();
    void fieldLink();
    void detectedLinks_data();
    void detectedLinks();
    void plainText();
};

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("cp1251 bytes") << kHead + "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}" << u"Привет"_s;
    QTest::newRow("unicode") << kHead + "\\u1055?\\u1088?\\u1080?x}" << u"Приx"_s;
    QTest::newRow("uc0") << kHead + "\\uc0\\u1071\\u1103 z}" << u"Яяz"_s;
    QTest::newRow("uc2 hex fallback") << kHead + "\\uc2\\u1071\\'df\\'dfz}" << u"Яz"_s;
    QTest::newRow("fallback ends at brace") << kHead + "{\\uc3\\u1071?}ab}" << u"Яab"_s;
    QTest::newRow("negative unicode") << kHead + "\\u-4064?}" << QString(QChar(0xF020));
    QTest::newRow("latin font 1252") << kHead + "\\f1\\'e9\\f0\\'e9}" << u"éй"_s;
    QTest::newRow("escaped symbols") << kHead + "a\\\\b\\{c\\}d}" << u"a\\b{c}d"_s;
    QTest::newRow("tab and line") << kHead + "a\\tab b\\line c}" << u"a\tb\u2028c"_s;
    QTest::newRow("paragraphs") << kHead + "a\\par b\\par\n\\pard c}" << u"a\u2029b\u2029c"_s;
    QTest::newRow("starred skipped")
        << kHead + "a{\\*\\bkmkstart x}b{\\*\\unknownword zz}c}" << u"abc"_s;
    QTest::newRow("picture skipped") << kHead + "a{\\pict\\wmetafile8 0102ff}b}" << u"ab"_s;
    QTest::newRow("binary skipped") << kHead + "a{\\pict\\bin4 }{\\x}b}" << u"ab"_s;
    QTest::newRow("info skipped") << kHead + "{\\info{\\title T}}x}" << u"x"_s;
    QTest::newRow("special chars") << kHead + "\\emdash\\bullet\\~}" << u"\u2014\u2022\u00A0"_s;
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QString shown = doc.toRawText();
    QCOMPARE(shown, expected);
}

void TestRtfReader::characterFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    const QColor none;
    QTest::newRow("default font") << kHead + "plain}" << u"plain"_s << u"Arial"_s << 0 << none
                                  << false << false << false;
    QTest::newRow("font 1 size 24") << kHead + "\\f1\\fs24 big}" << u"big"_s << u"Times New Roman"_s
                                    << 16 << none << false << false << false;
    QTest::newRow("size 22 rounds")
        << kHead + "\\fs22 s}" << u"s"_s << u"Arial"_s << 15 << none << false << false << false;
    QTest::newRow("colour 1") << kHead + "\\cf1 red}" << u"red"_s << u"Arial"_s << 0
                              << QColor(255, 0, 0) << false << false << false;
    QTest::newRow("colour 2 in group")
        << kHead + "{\\cf2 navy}\\cf0 auto}" << u"navy"_s << u"Arial"_s << 0 << QColor(0, 0, 128)
        << false << false << false;
    QTest::newRow("auto colour") << kHead + "{\\cf2 navy}\\cf0 auto}" << u"auto"_s << u"Arial"_s
                                 << 0 << none << false << false << false;
    QTest::newRow("bold") << kHead + "\\b bold\\b0 no}" << u"bold"_s << u"Arial"_s << 0 << none
                          << true << false << false;
    QTest::newRow("bold off") << kHead + "\\b bold\\b0 no}" << u"no"_s << u"Arial"_s << 0 << none
                              << false << false << false;
    QTest::newRow("italic underline")
        << kHead + "\\i\\ul iu}" << u"iu"_s << u"Arial"_s << 0 << none << false << true << true;
    QTest::newRow("ulnone") << kHead + "\\ul a\\ulnone b}" << u"b"_s << u"Arial"_s << 0 << none
                            << false << false << false;
    QTest::newRow("group restores") << kHead + "{\\b\\i\\f2\\fs40 in}out}" << u"out"_s << u"Arial"_s
                                    << 0 << none << false << false << false;
    QTest::newRow("plain resets") << kHead + "\\b\\cf1\\f1\\fs30 x\\plain y}" << u"y"_s
                                  << u"Arial"_s << 0 << none << false << false << false;
    QTest::newRow("huge size clamped") << kHead + "\\fs99999999999 h}" << u"h"_s << u"Arial"_s
                                       << 1000 << none << false << false << false;
    QTest::newRow("cyrillic in courier")
        << kHead + "\\f2\\'ea\\'ee\\'e4}" << u"код"_s << u"Courier New"_s << 0 << none << false
        << false << false;
}

void TestRtfReader::characterFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, word);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QVERIFY2(!doc.find(word).isNull(), qPrintable(doc.toPlainText()));
    const QTextCharFormat f = formatOf(&doc, word);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(QColor, color);
    QCOMPARE(f.fontFamilies().toStringList().value(0), family);
    QCOMPARE(f.property(QTextFormat::FontPixelSize).toInt(), pixels);
    QCOMPARE(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(),
             color);
    QTEST(f.fontWeight() == QFont::Bold, "bold");
    QTEST(f.fontItalic(), "italic");
    QTEST(f.fontUnderline(), "underline");
}

void TestRtfReader::alignment_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("alignments");
    const int l = Qt::AlignLeft, c = Qt::AlignHCenter, r = Qt::AlignRight, j = Qt::AlignJustify;
    QTest::newRow("each kind") << kHead + "\\qc a\\par\\qr b\\par\\qj c\\par\\ql d}"
                               << QList<int>{c, r, j, l};
    QTest::newRow("pard resets") << kHead + "\\qc a\\par\\pard b}" << QList<int>{c, l};
    QTest::newRow("last setting wins") << kHead + "\\qr a\\qc\\par b}" << QList<int>{c, c};
}

void TestRtfReader::alignment()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QList<int>, alignments);
    QTextDocument doc;
    RtfReader::read(rtf, &doc);
    QList<int> shown;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        shown << int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    QCOMPARE(shown, alignments);
}

void TestRtfReader::fieldLink()
{
    QTextDocument doc;
    RtfReader::read(QByteArray(kHead +
                               "see {\\field{\\*\\fldinst{HYPERLINK \"http://a.ru/p?x=1\" }}"
                               "{\\fldrslt{\\ul\\cf2 \\'f1\\'e0\\'e9\\'f2}}} now}"),
                    &doc);
    QCOMPARE(doc.toPlainText(), u"see сайт now"_s);
    const QTextCharFormat link = formatOf(&doc, u"сайт"_s);
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), u"http://a.ru/p?x=1"_s);
    QVERIFY(link.fontUnderline());
    QCOMPARE(link.foreground().color(), QColor(0, 0, 128));
    QVERIFY(!formatOf(&doc, u"now"_s).isAnchor());
}

void TestRtfReader::detectedLinks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("hrefs");
    QTest::newRow("rtf http and www") << kHead + "Go http://ex.ru/a_b. or www.ex.ru, then}"
                                      << QStringList{u"http://ex.ru/a_b"_s, u"www.ex.ru"_s};
    QTest::newRow("plain https and mailto")
        << QByteArray("\xc7\xe4\xe5\xf1\xfc https://x.org/q?a=1&b=2\r\nmailto:me@x.org!")
        << QStringList{u"https://x.org/q?a=1&b=2"_s, u"mailto:me@x.org"_s};
    QTest::newRow("field link not doubled")
        << kHead + "{\\field{\\*\\fldinst HYPERLINK \"http://b.ru\"}{\\fldrslt www.c.ru}}}"
        << QStringList{u"http://b.ru"_s};
    QTest::newRow("no links") << QByteArray("http www ftp://x") << QStringList{};
}

void TestRtfReader::detectedLinks()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, hrefs);
    std::unique_ptr<QTextDocument> doc(loaded(file));
    QStringList found;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isAnchor() && (found.isEmpty() || found.last() != f.anchorHref()))
                found << f.anchorHref();
        }
    }
    QCOMPARE(found, hrefs);
}

void TestRtfReader::plainText()
{
    std::unique_ptr<QTextDocument> doc(loaded("\xcf\xf0\xe8\xe2\xe5\xf2\r\n{\\b x}\rz"));
    QCOMPARE(doc->toPlainText(), u"Привет\n{\\b x}\nz"_s);
    QCOMPARE(doc->blockCount(), 3);
    const QTextCharFormat f = formatOf(doc.get(), u"Привет"_s);
    QCOMPARE(f.fontWeight() == QFont::Bold, false);
    QCOMPARE(doc->defaultFont().pixelSize(), 11);
    QCOMPARE(doc->defaultFont().families().value(0), u"Arial"_s);
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
