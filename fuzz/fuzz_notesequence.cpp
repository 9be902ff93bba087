// Fuzzes the text form of note sequences. Whatever the text, a sequence either
// reads whole or names a bad token and yields no notes; a read sequence holds
// only notes that can sound, and writing it out gives text that reads back to
// the same notes. Text in the form the course writes reads back unchanged.
//
// Input: the text in Windows-1251, as melody files hold it; the same bytes are
// also read as UTF-8 to reach digits outside ASCII.

#include "course/cp1251.h"
#include "fuzzcheck.h"
#include "steps/notesequence.h"

#include <cstdint>

using nk::NoteSequence;
using nk::TNote;

namespace {

bool sameNotes(const QList<TNote> &a, const QList<TNote> &b)
{
    return std::equal(
        a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const TNote &x, const TNote &y) {
            return x.Duration == y.Duration && x.Octave == y.Octave && x.Pitch == y.Pitch;
        });
}

bool asciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Duration digit, octave digit, pitch 0..11 without a leading zero.
bool canonicalToken(QStringView t)
{
    if (t.size() < 3 || t.size() > 4 || !std::all_of(t.begin(), t.end(), asciiDigit))
        return false;
    return t.size() == 3 || (t[2] == u'1' && (t[3] == u'0' || t[3] == u'1'));
}

bool canonical(const QString &text)
{
    const QStringList tokens = text.split(u' ');
    return std::all_of(tokens.cbegin(), tokens.cend(),
                       [](const QString &t) { return canonicalToken(t); });
}

void check(const QString &text)
{
    const NoteSequence::Parsed parsed = NoteSequence::parse(text);
    const QString where = QStringLiteral("«") + text + QStringLiteral("»");
    if (!parsed.ok) {
        NK_FUZZ_CHECK(parsed.notes.isEmpty(), where);
        NK_FUZZ_CHECK(text.split(u' ').contains(parsed.badToken), where + parsed.badToken);
        NK_FUZZ_CHECK(!canonical(text), where);
        return;
    }
    NK_FUZZ_CHECK(parsed.notes.size() == text.count(u' ') + 1, where);
    for (const TNote &n : parsed.notes) {
        NK_FUZZ_CHECK(n.Duration >= 0 && n.Duration <= 9, where);
        NK_FUZZ_CHECK(n.Octave >= 0 && n.Octave <= 9, where);
        NK_FUZZ_CHECK(n.Pitch <= 11, where);
    }
    const QString written = NoteSequence{parsed.notes}.format();
    NK_FUZZ_CHECK(canonical(written), where + written);
    const NoteSequence::Parsed again = NoteSequence::parse(written);
    NK_FUZZ_CHECK(again.ok && sameNotes(again.notes, parsed.notes), where + written);
    if (canonical(text))
        NK_FUZZ_CHECK(written == text, where + written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(nk::Cp1251::decode(bytes));
    check(QString::fromUtf8(bytes));
    return 0;
}
