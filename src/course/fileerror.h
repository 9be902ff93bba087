#pragma once

#include <QString>
#include <stdexcept>

namespace nk {

// A file could not be written. It ends the current user action; the top-level
// handler shows its text and the program goes on.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text)
    {
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

} // namespace nk
