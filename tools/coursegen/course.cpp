#include "course.h"

#include "generationerror.h"
#include "sourcefile.h"

#include <QFile>

namespace nk {

namespace {

const QStringList &pageNames()
{
    static const QStringList list = {QStringLiteral("instruction"), QStringLiteral("about"),
                                     QStringLiteral("error"),       QStringLiteral("success"),
                                     QStringLiteral("instrlearn"),  QStringLiteral("mem"),
                                     QStringLiteral("step3"),       QStringLiteral("step4")};
    return list;
}

QStringList words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

LevelKind kindOf(const QString &text, const QString &origin)
{
    if (text == QStringLiteral("full"))
        return LevelKind::Full;
    if (text == QStringLiteral("short"))
        return LevelKind::Short;
    if (text == QStringLiteral("drills"))
        return LevelKind::Drills;
    throw GenerationError(origin + QStringLiteral(": unknown level kind ") + text);
}

// Every listed name in every listed octave, octave by octave.
QList<NoteRef> notesOf(const SourceFile &file, const QString &key, const QString &octaves)
{
    QList<NoteRef> notes;
    for (const QString &octave : words(octaves)) {
        for (const QString &name : words(file.value(QStringLiteral("level"), key, {}))) {
            const int pitch = NoteNames::pitchOf(name);
            if (pitch < 0)
                throw GenerationError(file.origin() + QStringLiteral(": unknown note ") + name);
            notes.append({octave.toInt(), pitch});
        }
    }
    return notes;
}

} // namespace

Course Course::load(const QString &contentDir)
{
    Course course;
    course.loadStructure(contentDir);
    for (const PartSource &part : std::as_const(course.parts))
        for (int level : part.levels)
            course.loadLevel(contentDir, level);
    course.loadQuestions(contentDir);
    course.loadReports(contentDir);
    course.loadTexts(contentDir);
    return course;
}

QString Course::levelFolder(int level)
{
    return level < 10 ? QStringLiteral("0") + QString::number(level) : QString::number(level);
}

QList<NoteRef> Course::allNotes(const LevelSource &level)
{
    return level.notes + level.arriving;
}

void Course::loadStructure(const QString &contentDir)
{
    const SourceFile file = SourceFile::load(contentDir + QStringLiteral("/course.ini"));
    version = file.value(QStringLiteral("course"), QStringLiteral("version"));
    for (int n = 1; file.hasSection(QStringLiteral("part") + QString::number(n)); ++n) {
        const QString section = QStringLiteral("part") + QString::number(n);
        PartSource part{n, file.value(section, QStringLiteral("name")), {}};
        for (const QString &level : words(file.value(section, QStringLiteral("levels"))))
            part.levels.append(level.toInt());
        parts.append(part);
    }
    stepTitles[LevelKind::Full] = file.values(QStringLiteral("steps.full"));
    stepTitles[LevelKind::Short] = file.values(QStringLiteral("steps.short"));
    stepTitles[LevelKind::Drills] = file.values(QStringLiteral("steps.drills"));
}

void Course::loadLevel(const QString &contentDir, int number)
{
    const SourceFile file = SourceFile::load(contentDir + QStringLiteral("/levels/") +
                                             levelFolder(number) + QStringLiteral(".ini"));
    const QString head = QStringLiteral("level");
    LevelSource level;
    level.number = number;
    level.kind = kindOf(file.value(head, QStringLiteral("kind")), file.origin());
    level.name = file.value(head, QStringLiteral("name"));
    level.caption = file.value(head, QStringLiteral("caption"));
    level.reportKind = file.value(head, QStringLiteral("report"));
    const QString octaves = file.value(head, QStringLiteral("octaves"), {});
    level.notes = notesOf(file, QStringLiteral("notes"), octaves);
    level.arriving = notesOf(file, QStringLiteral("arriving"), octaves);
    level.melodies = file.values(QStringLiteral("melody"));
    level.blackMelodies = file.values(QStringLiteral("melody.black"));
    level.whiteMelodies = file.values(QStringLiteral("melody.white"));
    level.blackNotes = file.values(QStringLiteral("notes.black"));
    level.whiteNotes = file.values(QStringLiteral("notes.white"));
    level.blackChords = file.values(QStringLiteral("chords.black"));
    level.whiteChords = file.values(QStringLiteral("chords.white"));
    levels.append(level);
}

void Course::loadQuestions(const QString &contentDir)
{
    const SourceFile file = SourceFile::load(contentDir + QStringLiteral("/questions.ini"));
    for (const QString &section : file.sections())
        questions.append({file.value(section, QStringLiteral("name")),
                          file.value(section, QStringLiteral("body")),
                          file.value(section, QStringLiteral("before")),
                          file.value(section, QStringLiteral("after"))});
}

void Course::loadReports(const QString &contentDir)
{
    const SourceFile file = SourceFile::load(contentDir + QStringLiteral("/reports.ini"));
    for (const QString &section : file.sections()) {
        const QString kind = section.section(QLatin1Char('.'), 0, 0);
        const QString field = file.value(section, QStringLiteral("field"));
        reports[kind].append(
            {file.value(section, QStringLiteral("text")), field == QStringLiteral("text")});
    }
}

void Course::loadTexts(const QString &contentDir)
{
    for (const QString &name : pageNames()) {
        QFile file(contentDir + QStringLiteral("/texts/") + name + QStringLiteral(".txt"));
        if (!file.open(QIODevice::ReadOnly))
            throw GenerationError(QStringLiteral("cannot read ") + file.fileName());
        texts.append({name, QString::fromUtf8(file.readAll())});
    }
}

} // namespace nk
