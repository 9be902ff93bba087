#pragma once

#include <QList>
#include <QString>

namespace nk::test {

struct BookNote
{
    int octave = 5;
    int pitch = 0; // 0..11
    int duration = 4;
    friend bool operator==(const BookNote &a, const BookNote &b)
    {
        return a.octave == b.octave && a.pitch == b.pitch;
    }
};

struct BookQuestion
{
    QString name;
    QString body;
    QString before;
    QString after;
};

struct ReportQuestion
{
    QString text;
    bool multiLine = false;
};

// What the course files of a program folder say, read the way a course
// author reads them: the questionnaire, each level's notes, melodies, drill
// items and report questions.
class CourseBook
{
public:
    explicit CourseBook(QString programDir) : m_dir(std::move(programDir)) {}

    static QString pitchName(int pitch);
    static bool isBlack(int pitch);
    // "250 254" -> two notes; a token that is not a note gives an empty list.
    static QList<BookNote> parse(const QString &sequence);
    static QString names(const QList<BookNote> &notes); // each name and a blank

    QList<BookQuestion> askedQuestions() const;
    QList<BookNote> notes(int level) const;
    QString melody(int level, int number) const;
    int melodyCount(int level) const;
    // A drill item of a level file: section "black" or "white", key letter + number.
    QString drillItem(const QString &file, bool black, QChar letter, int number) const;
    QList<ReportQuestion> reportQuestions(int level) const;

private:
    QString levelFile(int level, const QString &name) const;

    QString m_dir;
};

} // namespace nk::test
