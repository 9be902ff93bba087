#include "course/coursefiles.h"

#include "course/inifile.h"
#include "course/levels.h"

namespace nk {

namespace {
const QString kNoSettings = QStringLiteral("НЕТ НАСТРОЕК");
const QString kName = QStringLiteral("name");
const QString kActive = QStringLiteral("active");
const QString kUsed = QStringLiteral("used");
} // namespace

QString CourseFiles::partFile(int part)
{
    return QStringLiteral("levels\\part%1.dat").arg(part);
}

QString CourseFiles::levelFile(int level)
{
    return QStringLiteral("levels\\") + Levels::LevelFolder(level) + QStringLiteral("\\level.dat");
}

QString CourseFiles::stepSection(int step)
{
    return QStringLiteral("step") + QString::number(step);
}

CourseList CourseFiles::readPart(int part) const
{
    return readList(partFile(part), QStringLiteral("part"), MaxLevelsPerPart);
}

CourseList CourseFiles::readLevel(int level) const
{
    return readList(levelFile(level), QStringLiteral("level"), MaxStepsPerLevel);
}

// The caption section is looked up by name, the entries are simply the
// sections that follow the first one, whatever they are called.
CourseList CourseFiles::readList(const QString &relative, const QString &captionSection,
                                 int maxEntries) const
{
    const IniFile file(m_base.resolve(relative));
    CourseList list;
    list.caption = file.readString(captionSection, kName, kNoSettings);
    const QStringList sections = file.sections();
    for (qsizetype i = 1; i < sections.size() && list.entries.size() < maxEntries; ++i) {
        list.entries.append({file.readString(sections[i], kName, kNoSettings),
                             file.readBool(sections[i], kActive, false)});
    }
    return list;
}

void CourseFiles::ActivateStep(int level, int step)
{
    IniFile(m_base.resolve(levelFile(level))).writeBool(stepSection(step), kActive, true);
}

void CourseFiles::MarkStepUsed(int level, int step)
{
    IniFile(m_base.resolve(levelFile(level))).writeBool(stepSection(step), kUsed, true);
}

bool CourseFiles::IsStepUsed(int level, int step) const
{
    return IniFile(m_base.resolve(levelFile(level))).readBool(stepSection(step), kUsed, false);
}

} // namespace nk
