#pragma once

#include "notenames.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace nk {

enum class LevelKind
{
    Full,
    Short,
    Drills
};

struct PartSource
{
    int number = 0;
    QString name;
    QList<int> levels;
};

struct LevelSource
{
    int number = 0;
    LevelKind kind = LevelKind::Full;
    QString name;
    QString caption; // caption of the Step 1 question pages
    QString reportKind;
    QList<NoteRef> notes;    // the note sections of notes.dat, in order
    QList<NoteRef> arriving; // notes copied in from an earlier level after Step 2
    QStringList melodies;
    QStringList blackMelodies, whiteMelodies;
    QStringList blackNotes, whiteNotes;
    QStringList blackChords, whiteChords; // "octave+pitch" tokens of each chord
};

struct Question
{
    QString name, body, before, after;
};

struct ReportQuestion
{
    QString text;
    bool multiLine = false;
};

struct TextPage
{
    QString name; // file name without extension, as under levels/
    QString markup;
};

// The whole course as read from the content folder.
class Course
{
public:
    static Course load(const QString &contentDir);
    static QString levelFolder(int level);
    // The notes a level works with once every note has arrived.
    static QList<NoteRef> allNotes(const LevelSource &level);

    QString version;
    QList<PartSource> parts;
    QList<LevelSource> levels;
    QMap<LevelKind, QStringList> stepTitles;
    QList<Question> questions;
    QMap<QString, QList<ReportQuestion>> reports;
    QList<TextPage> texts;

private:
    void loadStructure(const QString &contentDir);
    void loadLevel(const QString &contentDir, int number);
    void loadQuestions(const QString &contentDir);
    void loadReports(const QString &contentDir);
    void loadTexts(const QString &contentDir);
};

} // namespace nk
