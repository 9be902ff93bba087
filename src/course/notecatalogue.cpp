#include "course/notecatalogue.h"

#include "course/inifile.h"
#include "course/levels.h"
#include "course/logging.h"
#include "course/replacementfile.h"

#include <QFile>
#include <array>

namespace nk {

namespace {

// Learner keys follow the four keys the course author writes.
constexpr int IdentityKeys = 4;

struct NoteCopy
{
    int from;
    int to;
};

struct RevisionSource
{
    int level;
    int fromLevel;
    std::array<NoteCopy, 4> notes;
    int count;
};

// Revision levels take over the learner's work on the notes of the two levels before them.
constexpr std::array<RevisionSource, 6> kRevisionCopies = {{
    {3, 1, {{{1, 1}, {2, 2}, {3, 3}, {4, 4}}}, 4},
    {3, 2, {{{2, 5}, {3, 6}, {4, 7}}}, 3},
    {12, 10, {{{1, 1}, {2, 2}, {3, 3}, {4, 4}}}, 4},
    {12, 11, {{{2, 5}, {3, 6}, {4, 7}}}, 3},
    {21, 19, {{{1, 1}, {2, 2}, {3, 3}, {4, 4}}}, 4},
    {21, 20, {{{2, 5}, {3, 6}, {4, 7}}}, 3},
}};

struct EarlierNotes
{
    int level;
    int fromLevel;
    int firstNote; // notes firstNote..firstNote+2 become notes 3..5
};

constexpr std::array<EarlierNotes, 9> kEarlierNotes = {{
    {5, 1, 1},
    {6, 2, 1},
    {7, 2, 2},
    {13, 10, 1},
    {14, 11, 1},
    {15, 11, 2},
    {22, 19, 1},
    {23, 20, 1},
    {24, 20, 2},
}};

// What readString and readInteger give for a value read along with others.
QString stringOf(const std::optional<QString> &value, const QString &def)
{
    return value ? value->left(IniFile::MaxStringLength) : def;
}

int integerOf(const std::optional<QString> &value, int def)
{
    return value ? IniFile::parseInteger(*value).value_or(def) : def;
}

} // namespace

NoteCatalogue::NoteCatalogue(const BasePath &base, PitchNaming naming)
    : m_base(base), m_naming(naming)
{
    Q_ASSERT(m_naming.name && m_naming.normalize);
}

QString NoteCatalogue::notesFile(int level)
{
    return QStringLiteral("levels\\") + Levels::LevelFolder(level) + QStringLiteral("\\notes.dat");
}

QString NoteCatalogue::noteSection(int k)
{
    return QStringLiteral("note") + QString::number(k);
}

int NoteCatalogue::sectionCount(int level) const
{
    return int(IniFile(m_base.resolve(notesFile(level))).sections().size());
}

int NoteCatalogue::noteCount(int level) const
{
    return std::max(0, sectionCount(level) - 1);
}

CatalogueNote NoteCatalogue::note(int level, int k) const
{
    // One read for the whole note: a page reads every note of a large catalogue.
    const QList<std::optional<QString>> v =
        IniFile(m_base.resolve(notesFile(level)))
            .values(noteSection(k),
                    {QStringLiteral("oct"), QStringLiteral("note"), QStringLiteral("v1"),
                     QStringLiteral("v2"), QStringLiteral("v3")});
    CatalogueNote n;
    n.octave = integerOf(v[0], 5);
    n.rawPitch = integerOf(v[1], 0);
    n.pitch = m_naming.normalize(n.rawPitch);
    n.v1 = stringOf(v[2], IniFile::NoData);
    n.v2 = stringOf(v[3], IniFile::NoData);
    n.v3 = stringOf(v[4], IniFile::NoData);
    return n;
}

QString NoteCatalogue::notePictureRelative(int level, quint8 pitch) const
{
    return QStringLiteral("levels\\") + Levels::LevelFolder(level) + QLatin1Char('\\') +
           m_naming.name(pitch) + QStringLiteral(".bmp");
}

QString NoteCatalogue::NotePicturePath(int level, quint8 pitch) const
{
    return m_base.resolve(notePictureRelative(level, pitch));
}

int NoteCatalogue::FindNoteSection(int level, int pitch) const
{
    const IniFile file(m_base.resolve(notesFile(level)));
    const int count = int(file.sections().size());
    for (int k = 1; k < count; ++k) {
        if (file.readInteger(noteSection(k), u"note", 0) == pitch)
            return k;
    }
    return 1;
}

QString NoteCatalogue::NoteListText(int level) const
{
    const IniFile file(m_base.resolve(notesFile(level)));
    const int count = int(file.sections().size());
    QString text;
    for (int k = 1; k < count; ++k) {
        text += m_naming.name(m_naming.normalize(file.readInteger(noteSection(k), u"note", 0)));
        text += k < count - 1 ? QStringLiteral(", ") : QStringLiteral(" ");
    }
    return text;
}

QString NoteCatalogue::CopyLearnerData(int fromLevel, int toLevel, int fromNote, int toNote)
{
    return copySection(fromLevel, toLevel, fromNote, toNote, IdentityKeys);
}

QString NoteCatalogue::CopyNoteSection(int fromLevel, int toLevel, int fromNote, int toNote)
{
    return copySection(fromLevel, toLevel, fromNote, toNote, 0);
}

QString NoteCatalogue::copySection(int fromLevel, int toLevel, int fromNote, int toNote,
                                   int firstKey)
{
    QList<IniFile::Entry> keys;
    quint8 pitch = 0;
    const QString refusal = readSource(fromLevel, fromNote, keys, pitch);
    if (!refusal.isEmpty())
        return refusal;
    // In one write: a note may hold many keys, and each write stores the whole file.
    IniFile(m_base.resolve(notesFile(toLevel)))
        .writeStrings(noteSection(toNote), keys.mid(firstKey));
    copyPicture(fromLevel, toLevel, pitch);
    return {};
}

// Everything is read and checked before the first write, so a bad section
// leaves the target untouched.
QString NoteCatalogue::readSource(int level, int k, QList<IniFile::Entry> &keys,
                                  quint8 &pitch) const
{
    const QString section = noteSection(k);
    keys = IniFile(m_base.resolve(notesFile(level))).entries(section);
    for (IniFile::Entry &e : keys)
        e.value.truncate(IniFile::MaxStringLength);
    const auto raw = keys.size() >= 2 ? IniFile::parseInteger(keys[1].value) : std::nullopt;
    if (!raw) {
        return QStringLiteral("Ошибка в описании ноты ") + section + QStringLiteral(" уровня ") +
               QString::number(level) + QStringLiteral(": нота не скопирована");
    }
    pitch = m_naming.normalize(*raw);
    return {};
}

// Through a temporary file, so a failed copy never leaves half a picture.
void NoteCatalogue::copyPicture(int fromLevel, int toLevel, quint8 pitch) const
{
    QFile source(NotePicturePath(fromLevel, pitch));
    if (!source.exists() || !source.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = source.readAll();
    ReplacementFile target(m_base.resolve(notePictureRelative(toLevel, pitch)));
    if (!target.open() || !target.write(data) || !target.commit()) {
        qCWarning(lcCourse) << "note picture not copied to" << target.fileName();
    }
}

bool NoteCatalogue::isRevisionLevel(int level)
{
    return std::any_of(kRevisionCopies.begin(), kRevisionCopies.end(),
                       [level](const RevisionSource &r) { return r.level == level; });
}

QString NoteCatalogue::FillRevisionLevel(int level)
{
    QString first;
    for (const RevisionSource &source : kRevisionCopies) {
        if (source.level != level)
            continue;
        for (int i = 0; i < source.count; ++i) {
            const NoteCopy &c = source.notes[std::size_t(i)];
            const QString refusal = CopyLearnerData(source.fromLevel, level, c.from, c.to);
            if (first.isEmpty())
                first = refusal;
        }
    }
    return first;
}

QString NoteCatalogue::AppendEarlierNotes(int level)
{
    QString first;
    for (const EarlierNotes &e : kEarlierNotes) {
        if (e.level != level)
            continue;
        for (int i = 0; i < 3; ++i) {
            const QString refusal = CopyNoteSection(e.fromLevel, level, e.firstNote + i, 3 + i);
            if (first.isEmpty())
                first = refusal;
        }
    }
    return first;
}

} // namespace nk
