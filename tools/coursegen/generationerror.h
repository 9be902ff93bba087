#pragma once

#include <QString>
#include <stdexcept>

namespace nk {

// Anything that stops the course from being built; its text tells the
// developer what to fix, so the build fails loudly instead of shipping holes.
class GenerationError : public std::runtime_error
{
public:
    explicit GenerationError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text)
    {
    }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

} // namespace nk
