#include "course/timbre.h"

#include "course/basepath.h"
#include "course/randomsource.h"
#include "course/tglobalsettings.h"

#include <QFileInfo>

namespace nk {

const QList<Timbre> &Timbre::all()
{
    static const QList<Timbre> table = {
        {QStringLiteral("piano"), QStringLiteral("Фортепиано")},
        {QStringLiteral("guitar"), QStringLiteral("Гитара")},
        {QStringLiteral("strings"), QStringLiteral("Струнные")},
        {QStringLiteral("clarinet"), QStringLiteral("Кларнет")},
        {QStringLiteral("flute"), QStringLiteral("Флейта")},
        {QStringLiteral("vibraphone"), QStringLiteral("Вибрафон")},
        {QStringLiteral("organ"), QStringLiteral("Орган")},
        {QStringLiteral("choir"), QStringLiteral("Хор")},
    };
    return table;
}

QStringList Timbre::folders()
{
    QStringList list;
    for (const Timbre &timbre : all())
        list.append(timbre.folder);
    return list;
}

QString Timbre::nameOf(const QString &folder)
{
    for (const Timbre &timbre : all()) {
        if (timbre.folder == folder)
            return timbre.name;
    }
    return folder;
}

QStringList Timbre::parseSet(const QString &text)
{
    QStringList set;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QString folder = part.trimmed();
        const bool plain = !folder.contains(QLatin1Char('/')) &&
                           !folder.contains(QLatin1Char('\\')) &&
                           !folder.startsWith(QLatin1Char('.'));
        if (!folder.isEmpty() && plain && !set.contains(folder))
            set.append(folder);
    }
    return set;
}

QString Timbre::formatSet(const QStringList &folders)
{
    return folders.join(QLatin1Char(','));
}

QStringList Timbre::present(const QStringList &folders, const BasePath &base)
{
    QStringList there;
    for (const QString &folder : folders) {
        if (QFileInfo(base.resolve(QStringLiteral("sound\\") + folder)).isDir())
            there.append(folder);
    }
    return there;
}

QString Timbre::forQuestion(const TGlobalSettings &settings, const BasePath &base)
{
    if (!settings.TembrMix)
        return settings.Tembr;
    const QStringList present = Timbre::present(settings.TembrSet, base);
    if (present.isEmpty())
        return settings.Tembr;
    return present[RandomSource::draw(0, int(present.size()) - 1)];
}

} // namespace nk
