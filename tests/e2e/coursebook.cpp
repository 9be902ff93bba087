#include "coursebook.h"

#include "course/inifile.h"
#include "course/levels.h"

namespace nk::test {

QString CourseBook::pitchName(int pitch)
{
    static const char16_t *const names[] = {u"ДО",  u"ДО#",  u"РЕ",    u"РЕ#", u"МИ",  u"ФА",
                                            u"ФА#", u"СОЛЬ", u"СОЛЬ#", u"ЛЯ",  u"ЛЯ#", u"СИ"};
    return pitch >= 0 && pitch < 12 ? QString::fromUtf16(names[pitch]) : QString();
}

bool CourseBook::isBlack(int pitch)
{
    return pitch == 1 || pitch == 3 || pitch == 6 || pitch == 8 || pitch == 10;
}

QList<BookNote> CourseBook::parse(const QString &sequence)
{
    QList<BookNote> notes;
    for (const QString &token : sequence.split(u' ')) {
        bool ok = false;
        const int pitch = token.mid(2).toInt(&ok);
        if (token.size() < 3 || !token[0].isDigit() || !token[1].isDigit() || !ok)
            return {};
        notes.append({token[1].digitValue(), pitch, token[0].digitValue()});
    }
    return notes;
}

QString CourseBook::names(const QList<BookNote> &notes)
{
    QString text;
    for (const BookNote &note : notes)
        text += pitchName(note.pitch) + u' ';
    return text;
}

QString CourseBook::levelFile(int level, const QString &name) const
{
    return m_dir + QStringLiteral("/levels/") + Levels::LevelFolder(level) + u'/' + name;
}

// Every section of the file but the last three is a question that is asked.
QList<BookQuestion> CourseBook::askedQuestions() const
{
    const IniFile file(m_dir + QStringLiteral("/levels/questions.dat"));
    QList<BookQuestion> asked;
    const qsizetype count = std::max<qsizetype>(file.sections().size() - 3, 1);
    for (qsizetype k = 1; k <= count; ++k) {
        const QString q = QStringLiteral("q") + QString::number(k);
        asked.append({file.readString(q, u"name", {}), file.readString(q, u"body", {}),
                      file.readString(q, u"before", {}), file.readString(q, u"after", {})});
    }
    return asked;
}

QList<BookNote> CourseBook::notes(int level) const
{
    const IniFile file(levelFile(level, QStringLiteral("notes.dat")));
    QList<BookNote> notes;
    for (int k = 1;; ++k) {
        const QString section = QStringLiteral("note") + QString::number(k);
        if (!file.sections().contains(section))
            return notes;
        notes.append(
            {file.readInteger(section, u"oct", -1), file.readInteger(section, u"note", -1)});
    }
}

QString CourseBook::melody(int level, int number) const
{
    return IniFile(levelFile(level, QStringLiteral("melody.dat")))
        .readString(u"melody", QString(QStringLiteral("m") + QString::number(number)), {});
}

int CourseBook::melodyCount(int level) const
{
    return int(IniFile(levelFile(level, QStringLiteral("melody.dat"))).keys(u"melody").size());
}

QString CourseBook::drillItem(const QString &file, bool black, QChar letter, int number) const
{
    return IniFile(levelFile(4, file))
        .readString(black ? u"black" : u"white", QString(letter + QString::number(number)), {});
}

QList<ReportQuestion> CourseBook::reportQuestions(int level) const
{
    const IniFile file(levelFile(level, QStringLiteral("report.dat")));
    QList<ReportQuestion> questions;
    for (qsizetype k = 1; k < file.sections().size(); ++k) {
        const QString q = QStringLiteral("q") + QString::number(k);
        questions.append({file.readString(q, u"text", {}), file.readInteger(q, u"et", 1) == 3});
    }
    return questions;
}

} // namespace nk::test
