#include "app/application.h"
#include "app/commandline.h"
#include "app/fontconfigwarmup.h"
#include "app/historyreport.h"

int main(int argc, char *argv[])
{
    // Read before the window system opens: --help and --version need no display.
    const nk::CommandLine line(nk::CommandLine::fromArgv(argc, argv));
    if (line.action() == nk::CommandLine::Action::Stop)
        return line.answer();
    if (line.action() == nk::CommandLine::Action::Stats)
        return nk::HistoryReport::run(argc, argv, line);
    const nk::FontconfigWarmup fonts; // on the other core while Qt starts
    nk::Application app(argc, argv);
    return app.run(line.folder());
}
