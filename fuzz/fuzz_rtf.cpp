// Fuzzes the RTF reader of the course's text pages. Any input is read to the end
// without a crash, the tokenizer makes progress on every token, the shown text
// never outgrows the input, and marking its web addresses keeps it as it is. Three texts derived
// from the input must show exactly the text they carry: the input's plain bytes alone, the same
// bytes wrapped in an RTF document, and every byte of the input escaped as RTF (hexadecimal or \u
// escapes with fallback characters).
//
// Input: RTF bytes, as the course's page texts hold them.

#include "course/cp1251.h"
#include "fuzzcheck.h"
#include "widgets/linkdetector.h"
#include "widgets/rtfreader.h"
#include "widgets/rtftokenizer.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextDocument>
#include <cstdint>

using nk::RtfTokenizer;

namespace {

constexpr qsizetype kDerivedBytes = 512;
const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset204 Arial;}}";

QString show(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toPercentEncoding(" {}\\;"));
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void checkTokens(QByteArrayView in)
{
    RtfTokenizer tokenizer(in);
    qsizetype count = 0;
    for (;;) {
        const RtfTokenizer::Token t = tokenizer.next();
        if (t.kind == RtfTokenizer::Kind::End)
            break;
        NK_FUZZ_CHECK(++count <= in.size(), show(in));
        if (t.kind == RtfTokenizer::Kind::ControlWord) {
            NK_FUZZ_CHECK(!t.word.isEmpty() && t.word.size() <= 32, show(in));
            NK_FUZZ_CHECK(std::all_of(t.word.begin(), t.word.end(), isLetter), show(in));
        }
        if (t.kind == RtfTokenizer::Kind::Text) {
            NK_FUZZ_CHECK(!t.word.isEmpty(), show(in));
            NK_FUZZ_CHECK(std::none_of(t.word.begin(), t.word.end(),
                                       [](char c) {
                                           return c == '{' || c == '}' || c == '\\' ||
                                                  static_cast<unsigned char>(c) < 0x20;
                                       }),
                          show(in));
        }
        if (!t.word.isEmpty())
            NK_FUZZ_CHECK(t.word.data() >= in.data() &&
                              t.word.data() + t.word.size() <= in.data() + in.size(),
                          show(in));
    }
    NK_FUZZ_CHECK(tokenizer.atEnd(), show(in));
    NK_FUZZ_CHECK(tokenizer.next().kind == RtfTokenizer::Kind::End, show(in));
}

// The document's text with nothing replaced (no-break spaces stay).
QString read(QByteArrayView rtf)
{
    QTextDocument doc;
    nk::RtfReader::read(rtf, &doc);
    return doc.toRawText();
}

QByteArray plainBytes(QByteArrayView in)
{
    QByteArray out;
    for (char c : in) {
        if (c != '\\' && c != '{' && c != '}' && static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

// Every byte as RTF: specials behind a backslash, the rest of the upper half
// as \'hh, and every other character after the first as \u with `uc`
// fallback characters that must not show.
QByteArray escaped(const QByteArray &plain, int uc)
{
    QByteArray out = kHeader + "\\uc" + QByteArray::number(uc) + ' ';
    const QString text = nk::Cp1251::decode(plain);
    NK_FUZZ_CHECK(text.size() == plain.size(), show(plain));
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(plain[i]);
        if (i % 2 == 1) {
            out +=
                "\\u" + QByteArray::number(qint16(text[i].unicode())) + ' ' + QByteArray(uc, '?');
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\' + QByteArray(1, char(c));
        } else if (c >= 0x80) {
            out += "\\'" + QByteArray::number(c, 16).rightJustified(2, '0');
        } else {
            out += char(c);
        }
    }
    return out + '}';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
    // Fonts and text layout need the application object; it lives for the run.
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView in(reinterpret_cast<const char *>(data), qsizetype(size));
    checkTokens(in);
    QTextDocument doc;
    nk::RtfReader::read(in, &doc);
    const QString shown = doc.toRawText();
    // Every shown character or paragraph break costs at least one input byte.
    NK_FUZZ_CHECK(shown.size() <= in.size(), show(in));
    // Making addresses clickable changes how the text looks, never the text.
    nk::LinkDetector::apply(&doc);
    NK_FUZZ_CHECK(doc.toRawText() == shown, show(in));

    // The derived texts need no length to be telling; a bound keeps runs fast.
    const QByteArray plain = plainBytes(in).left(kDerivedBytes);
    const QString text = nk::Cp1251::decode(plain);
    NK_FUZZ_CHECK(read(plain) == text, show(plain));
    NK_FUZZ_CHECK(read(QByteArray(kHeader + plain + '}')) == text, show(plain));
    const QByteArray rtf = escaped(plain, int(size % 3));
    NK_FUZZ_CHECK(read(rtf) == text, show(rtf));
    return 0;
}
