#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace nk {

// One UTF-8 source file of the course in INI form ("[section]", "key=value",
// ";" comments). Sections and keys keep their file order, which the course
// relies on for the order of notes, melodies and questions.
class SourceFile
{
public:
    static SourceFile load(const QString &path);
    static SourceFile parse(const QString &text, const QString &origin);

    QStringList sections() const;
    bool hasSection(const QString &section) const;
    QStringList keys(const QString &section) const;
    QStringList values(const QString &section) const;
    // Throws GenerationError naming the file when the key is missing.
    QString value(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &def) const;
    const QString &origin() const { return m_origin; }

private:
    struct Section
    {
        QString name;
        QList<std::pair<QString, QString>> entries;
    };
    const Section *find(const QString &section) const;

    QString m_origin;
    QList<Section> m_sections;
};

} // namespace nk
