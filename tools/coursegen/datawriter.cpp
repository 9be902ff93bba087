#include "datawriter.h"

#include "generationerror.h"
#include "initext.h"
#include "rtfwriter.h"

#include <algorithm>

namespace nk {

namespace {

// Layout of the report form: the page puts each question's label and field at
// the tops written here, and its send button at 352.
constexpr int kReportTop = 40;
constexpr int kLabelLineHeight = 16;
constexpr int kSingleFieldHeight = 21;
constexpr int kMultiFieldHeight = 57;
constexpr int kReportGap = 6;
constexpr int kSendButtonTop = 352;

void keyList(IniText &ini, const QString &prefix, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i)
        ini.key(prefix + QString::number(i + 1), values[i]);
}

void rangeSection(IniText &ini, int number, const NoteRef &note)
{
    ini.section(QStringLiteral("note") + QString::number(number));
    ini.key(QStringLiteral("oct"), note.octave);
    ini.key(QStringLiteral("note"), note.pitch);
}

} // namespace

DataWriter::DataWriter(const Course &course, const OutputFolder &out) : m_course(course), m_out(out)
{
}

void DataWriter::writeAll() const
{
    for (const PartSource &part : m_course.parts)
        writePart(part);
    for (const LevelSource &level : m_course.levels) {
        writeLevel(level);
        writeNotes(level);
        writeMelodies(level);
        writeReport(level);
        if (level.kind == LevelKind::Drills)
            writeChords(level);
    }
    writeQuestions();
    writeTexts();
}

void DataWriter::writePart(const PartSource &part) const
{
    IniText ini;
    ini.section(QStringLiteral("part"));
    ini.key(QStringLiteral("name"), part.name);
    for (int number : part.levels) {
        const auto level = std::find_if(m_course.levels.cbegin(), m_course.levels.cend(),
                                        [&](const LevelSource &l) { return l.number == number; });
        ini.section(QStringLiteral("level") + QString::number(number));
        ini.key(QStringLiteral("name"), level->name);
        ini.key(QStringLiteral("active"), 1);
    }
    save(QStringLiteral("levels/part") + QString::number(part.number) + QStringLiteral(".dat"),
         ini);
}

void DataWriter::writeLevel(const LevelSource &level) const
{
    IniText ini;
    ini.section(QStringLiteral("level"));
    ini.key(QStringLiteral("name"), level.name);
    const QStringList titles = m_course.stepTitles.value(level.kind);
    for (int k = 0; k < titles.size(); ++k) {
        ini.section(QStringLiteral("step") + QString::number(k + 1));
        ini.key(QStringLiteral("name"), titles[k]);
        ini.key(QStringLiteral("active"), k == 0 ? 1 : 0);
        ini.key(QStringLiteral("used"), 0);
    }
    save(levelFile(level, QStringLiteral("level.dat")), ini);
}

void DataWriter::writeNotes(const LevelSource &level) const
{
    IniText ini;
    ini.section(QStringLiteral("step"));
    ini.key(QStringLiteral("name"), level.caption);
    for (int k = 0; k < level.notes.size(); ++k) {
        const NoteRef &note = level.notes[k];
        ini.section(QStringLiteral("note") + QString::number(k + 1));
        ini.key(QStringLiteral("oct"), note.octave);
        ini.key(QStringLiteral("note"), note.pitch);
        ini.key(QStringLiteral("pict"), NoteNames::toDataPath(NoteNames::pictPath(note)));
        ini.key(QStringLiteral("pict2"), NoteNames::toDataPath(NoteNames::pict2Prefix(note)));
    }
    if (level.kind == LevelKind::Drills) {
        ini.section(QStringLiteral("black"));
        keyList(ini, QStringLiteral("n"), level.blackNotes);
        ini.section(QStringLiteral("white"));
        keyList(ini, QStringLiteral("n"), level.whiteNotes);
    }
    save(levelFile(level, QStringLiteral("notes.dat")), ini);
}

void DataWriter::writeMelodies(const LevelSource &level) const
{
    IniText ini;
    if (!level.melodies.isEmpty()) {
        if (level.melodies.size() < 3)
            throw GenerationError(QStringLiteral("level ") + QString::number(level.number) +
                                  QStringLiteral(" needs at least three melodies"));
        ini.section(QStringLiteral("melody"));
        keyList(ini, QStringLiteral("m"), level.melodies);
        // The key range is read from "note1" and "note" + (melodies - 1), each
        // octave and pitch range tested on its own.
        NoteRef low{6, 11}, high{4, 0};
        for (const NoteRef &note : Course::allNotes(level)) {
            low = {std::min(low.octave, note.octave), std::min(low.pitch, note.pitch)};
            high = {std::max(high.octave, note.octave), std::max(high.pitch, note.pitch)};
        }
        rangeSection(ini, 1, low);
        rangeSection(ini, int(level.melodies.size()) - 1, high);
    }
    if (!level.blackMelodies.isEmpty()) {
        ini.section(QStringLiteral("black"));
        keyList(ini, QStringLiteral("m"), level.blackMelodies);
        ini.section(QStringLiteral("white"));
        keyList(ini, QStringLiteral("m"), level.whiteMelodies);
    }
    save(levelFile(level, QStringLiteral("melody.dat")), ini);
}

void DataWriter::writeChords(const LevelSource &level) const
{
    IniText ini;
    const QStringList colours = {QStringLiteral("black"), QStringLiteral("white")};
    for (const QString &colour : colours) {
        const QStringList &chords = colour == colours[0] ? level.blackChords : level.whiteChords;
        ini.section(colour);
        for (int k = 0; k < chords.size(); ++k) {
            ini.key(QStringLiteral("n") + QString::number(k + 1), chords[k]);
            ini.key(QStringLiteral("p") + QString::number(k + 1),
                    QStringLiteral("sound\\") +
                        NoteNames::toDataPath(NoteNames::chordFile(colour, k + 1)));
        }
    }
    save(levelFile(level, QStringLiteral("chords.dat")), ini);
}

void DataWriter::writeReport(const LevelSource &level) const
{
    const QList<ReportQuestion> questions = m_course.reports.value(level.reportKind);
    if (questions.isEmpty() || questions.size() > 5)
        throw GenerationError(QStringLiteral("report kind ") + level.reportKind +
                              QStringLiteral(" must have one to five questions"));
    IniText ini;
    int top = kReportTop;
    for (int k = 0; k < questions.size(); ++k) {
        const ReportQuestion &q = questions[k];
        const int lines = int(q.text.count(QLatin1Char('&'))) + 1;
        const int fieldTop = top + lines * kLabelLineHeight + 2;
        ini.section(QStringLiteral("q") + QString::number(k + 1));
        ini.key(QStringLiteral("text"),
                QString(q.text).replace(QStringLiteral("{level}"), QString::number(level.number)));
        ini.key(QStringLiteral("ly"), top);
        ini.key(QStringLiteral("et"), q.multiLine ? 3 : 1);
        ini.key(QStringLiteral("ey"), fieldTop);
        top = fieldTop + (q.multiLine ? kMultiFieldHeight : kSingleFieldHeight) + kReportGap;
    }
    if (top > kSendButtonTop)
        throw GenerationError(QStringLiteral("report ") + level.reportKind +
                              QStringLiteral(" does not fit above the send button"));
    ini.section(QStringLiteral("report"));
    ini.key(QStringLiteral("level"), level.number);
    ini.key(QStringLiteral("questions"), int(questions.size()));
    save(levelFile(level, QStringLiteral("report.dat")), ini);
}

void DataWriter::writeQuestions() const
{
    IniText ini;
    for (int k = 0; k < m_course.questions.size(); ++k) {
        const Question &q = m_course.questions[k];
        ini.section(QStringLiteral("q") + QString::number(k + 1));
        ini.key(QStringLiteral("name"), q.name);
        ini.key(QStringLiteral("body"), q.body);
        ini.key(QStringLiteral("before"), q.before);
        ini.key(QStringLiteral("after"), q.after);
    }
    // The program asks every question but those of the last three sections.
    ini.section(QStringLiteral("questionnaire"));
    ini.key(QStringLiteral("name"), QStringLiteral("Анкета шага 1: вопросы о ноте"));
    ini.section(QStringLiteral("asked"));
    ini.key(QStringLiteral("count"), int(m_course.questions.size()));
    ini.section(QStringLiteral("course"));
    ini.key(QStringLiteral("version"), m_course.version);
    save(QStringLiteral("levels/questions.dat"), ini);
}

void DataWriter::writeTexts() const
{
    for (const TextPage &page : m_course.texts)
        m_out.write(QStringLiteral("levels/") + page.name + QStringLiteral(".dat"),
                    RtfWriter::fromMarkup(page.markup));
}

void DataWriter::save(const QString &relative, const IniText &ini) const
{
    m_out.write(relative, ini.bytes());
}

QString DataWriter::levelFile(const LevelSource &level, const QString &name) const
{
    return QStringLiteral("levels/") + Course::levelFolder(level.number) + QLatin1Char('/') + name;
}

} // namespace nk
