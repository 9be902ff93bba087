#pragma once

#include <QString>
#include <QStringList>

namespace nk {

// What the command line asks for. It is read before the window system is opened,
// so --help and --version work without a display. Only the program's own options
// are taken; everything else is left to Qt (-platform, -display and the like).
//
//   --folder <dir>  run on the program folder <dir> instead of the executable's
//                   folder (an installed copy runs on a per-user folder this way)
//   -h, --help      print the options and stop
//   -v, --version   print the version and stop
//   --stats         print the learner's accuracy and most confused notes and stop
//   --csv           with --stats: write every answer as CSV instead
class CommandLine
{
public:
    enum class Action
    {
        Run,
        Stop,
        Stats
    };

    explicit CommandLine(const QStringList &arguments);

    Action action() const { return m_action; }
    // The program folder given by --folder, absolute; empty means the executable's folder.
    const QString &folder() const { return m_folder; }
    // For Stats: the whole history as CSV rather than the summary.
    bool csv() const { return m_csv; }
    // For Stop: the text to print, where (stdout or stderr), and the exit code.
    const QString &text() const { return m_text; }
    int exitCode() const { return m_exitCode; }

    // Prints the text of a Stop and returns its exit code.
    int answer() const;

    static QStringList fromArgv(int argc, char **argv);

private:
    void read(const QStringList &arguments);
    void takeFolder(const QStringList &arguments, const QStringList &values);
    void stop(const QString &text, int exitCode);

    Action m_action = Action::Run;
    QString m_folder;
    QString m_text;
    int m_exitCode = 0;
    bool m_csv = false;
};

} // namespace nk
