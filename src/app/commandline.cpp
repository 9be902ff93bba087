#include "app/commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace nk {

namespace {

// Qt names the executable in the usage line only once an application object
// exists; the command line is read before that.
QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: notoklyuv [options]"));
    return text;
}

} // namespace

CommandLine::CommandLine(const QStringList &arguments)
{
    read(arguments);
}

void CommandLine::read(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-reverse" and other single-dash Qt options must not read as -r -e -v ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Нотоклюв 5.0 — курс развития музыкального слуха."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию и выйти."));
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QStringLiteral("Папка программы (levels, sound, pictures). По умолчанию — папка, "
                       "где лежит сама программа."),
        QStringLiteral("папка"));
    const QCommandLineOption stats(
        QStringLiteral("stats"),
        QStringLiteral("Напечатать точность ответов по уровням и чаще всего путаемые ноты."));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("Вместе с --stats: все ответы в виде CSV."));
    parser.addOptions({help, version, folder, stats, csv});
    // Unknown options belong to Qt, so the parser's own verdict is not used.
    parser.parse(arguments);
    if (parser.isSet(help))
        return stop(helpText(parser), 0);
    if (parser.isSet(version))
        return stop(QStringLiteral("notoklyuv 5.0\n"), 0);
    takeFolder(arguments, parser.values(folder));
    if (m_action == Action::Run && parser.isSet(stats)) {
        m_action = Action::Stats;
        m_csv = parser.isSet(csv);
    }
}

void CommandLine::takeFolder(const QStringList &arguments, const QStringList &values)
{
    const QString last = arguments.size() > 1 ? arguments.constLast() : QString();
    if (last == QLatin1String("--folder") || last == QLatin1String("-folder"))
        return stop(QStringLiteral("После --folder нужна папка программы.\n"), 2);
    if (values.isEmpty())
        return;
    const QFileInfo dir(values.constLast());
    if (!dir.isDir())
        return stop(
            QStringLiteral("Папка программы не найдена: ") + dir.filePath() + QLatin1Char('\n'), 2);
    m_folder = dir.absoluteFilePath();
}

void CommandLine::stop(const QString &text, int exitCode)
{
    m_action = Action::Stop;
    m_text = text;
    m_exitCode = exitCode;
}

int CommandLine::answer() const
{
    std::FILE *stream = m_exitCode == 0 ? stdout : stderr;
    std::fputs(m_text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return m_exitCode;
}

QStringList CommandLine::fromArgv(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace nk
