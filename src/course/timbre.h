#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace nk {

class BasePath;
struct TGlobalSettings;

// A timbre of the course: the sub-folder of sound\ that holds its recordings
// and the name the learner sees. The table lists the timbres the course ships.
struct Timbre
{
    QString folder;
    QString name;

    static const QList<Timbre> &all();
    static QStringList folders();
    // The shown name of a folder; a folder outside the table is shown as it is.
    static QString nameOf(const QString &folder);

    // settings.dat keeps the timbres that take part in a mix as folder names
    // joined by commas. Blanks around a name are dropped, and so are empty,
    // repeated and non-plain names (a path, or one starting with a dot).
    static QStringList parseSet(const QString &text);
    static QString formatSet(const QStringList &folders);

    // Those of the folders whose recordings are under sound\ of the program folder.
    static QStringList present(const QStringList &folders, const BasePath &base);

    // The timbre a new question plays in: the chosen one, or with mixing on
    // one drawn from the program's random source among the ticked timbres
    // whose folder is there. With none of them there, the chosen one.
    static QString forQuestion(const TGlobalSettings &settings, const BasePath &base);
};

} // namespace nk
