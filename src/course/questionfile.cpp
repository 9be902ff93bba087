#include "course/questionfile.h"

#include "course/inifile.h"

namespace nk {

QuestionFile::QuestionFile(const BasePath &base) : m_base(base) {}

int QuestionFile::QuestionLimit() const
{
    return int(IniFile(m_base.resolve(fileName())).sections().size()) - 2;
}

int QuestionFile::askedCount() const
{
    return std::max(1, QuestionLimit() - 1);
}

Question QuestionFile::question(int k) const
{
    const IniFile file(m_base.resolve(fileName()));
    const QString section = QStringLiteral("q") + QString::number(k);
    const QString noData = QStringLiteral("нет данных");
    return {file.readString(section, u"name", noData), file.readString(section, u"body", noData),
            file.readString(section, u"before", noData),
            file.readString(section, u"after", noData)};
}

} // namespace nk
