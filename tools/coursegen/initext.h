#pragma once

#include <QByteArray>
#include <QString>

namespace nk {

// Builds one INI data file as the program reads it: Windows-1251, CR LF,
// sections and keys exactly in the order they are added.
class IniText
{
public:
    void section(const QString &name);
    void key(const QString &key, const QString &value);
    void key(const QString &key, int value);
    // Throws GenerationError when a character has no Windows-1251 form.
    QByteArray bytes() const;

private:
    QString m_text;
};

} // namespace nk
