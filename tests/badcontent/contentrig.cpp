#include "contentrig.h"

#include "app/wiring.h"
#include "course/levels.h"
#include "course/programclock.h"
#include "course/randomsource.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>

namespace nk::test {

namespace {

constexpr double TimeScale = 0.0001;

void recordMessage(const QString &text)
{
    ContentRig::messages().append(text);
}

bool copyFiles(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &info : QDir(from).entryInfoList(QDir::Files)) {
        if (!QFile::copy(info.filePath(), to + u'/' + info.fileName()))
            return false;
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

QStringList &ContentRig::messages()
{
    static QStringList list;
    return list;
}

ContentRig::ContentRig(const QList<int> &levels, const QString &damaged, Damage damage)
{
    QLoggingCategory::setFilterRules(
        QStringLiteral("notoklyuv.audio.warning=false\nnotoklyuv.course.warning=false"));
    ProgramClock::setScale(TimeScale);
    RandomSource::seed(1209);
    messages().clear();
    MessageBox::setHook(&recordMessage);
    const QString program = qEnvironmentVariable("NK_PROGRAM_DIR");
    // Not the first run: the learner's settings file says so.
    m_ready =
        m_dir.isValid() && copyLevels(program + QStringLiteral("/levels"), levels) &&
        writeFile(path(QStringLiteral("levels/settings.dat")), "[main]\r\nfirstrun=0\r\n") &&
        linkTree(program + QStringLiteral("/pictures"), path(QStringLiteral("pictures")),
                 damaged) &&
        linkTree(program + QStringLiteral("/sound"), path(QStringLiteral("sound")), damaged) &&
        Damager::apply(path(damaged), damage);
    if (!m_ready)
        return;
    m_form = std::make_unique<TMainForm>(BasePath(m_dir.path()));
    Wiring::connect(*m_form);
}

ContentRig::~ContentRig()
{
    m_form.reset();
    MessageBox::setHook(nullptr);
    ProgramClock::setScale(1.0);
}

bool ContentRig::copyLevels(const QString &from, const QList<int> &levels)
{
    if (!copyFiles(from, path(QStringLiteral("levels"))))
        return false;
    for (int level : levels) {
        const QString folder = Levels::LevelFolder(level);
        if (!copyFiles(from + u'/' + folder, path(QStringLiteral("levels/") + folder)))
            return false;
    }
    return true;
}

// Entries on the way to `keepReal` are made real (the file itself copied, so
// spoiling it leaves the built course alone); everything else is linked.
bool ContentRig::linkTree(const QString &from, const QString &to, const QString &keepReal)
{
    if (!QDir().mkpath(to))
        return false;
    const QString relativeTo = QDir(m_dir.path()).relativeFilePath(to);
    for (const QFileInfo &info :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString relative = relativeTo + u'/' + info.fileName();
        const QString target = to + u'/' + info.fileName();
        bool ok = true;
        if (relative == keepReal)
            ok = QFile::copy(info.filePath(), target);
        else if (info.isDir() && keepReal.startsWith(relative + u'/'))
            ok = linkTree(info.filePath(), target, keepReal);
        else
            ok = QFile::link(info.filePath(), target);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace nk::test
