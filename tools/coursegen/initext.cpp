#include "initext.h"

#include "course/cp1251.h"
#include "generationerror.h"

namespace nk {

namespace {
const QString kEol = QStringLiteral("\r\n");
}

void IniText::section(const QString &name)
{
    if (!m_text.isEmpty())
        m_text += kEol;
    m_text += QLatin1Char('[') + name + QLatin1Char(']') + kEol;
}

void IniText::key(const QString &key, const QString &value)
{
    // The reader trims values and knows no quoting; a line break would split a key.
    if (value.contains(QLatin1Char('\n')) || value != value.trimmed())
        throw GenerationError(QStringLiteral("value of ") + key +
                              QStringLiteral(" has a line break or outer blanks: ") + value);
    m_text += key + QLatin1Char('=') + value + kEol;
}

void IniText::key(const QString &key, int value)
{
    this->key(key, QString::number(value));
}

QByteArray IniText::bytes() const
{
    QByteArray out;
    if (!Cp1251::encode(m_text, out))
        throw GenerationError(QStringLiteral("text without a Windows-1251 form in:\n") + m_text);
    return out;
}

} // namespace nk
