// Start to first page painted: starts a desktop program, watches the X server
// for its window and reads the window's pixels until a given condition holds.
// Repeats the start and prints the times of every run with their median,
// minimum and maximum. Works for any program: the window is found by a part of
// its title, the condition is a client rectangle that holds a given colour (or,
// without a colour, more than one colour: something was drawn on the
// background).
//
//   bench_start [--runs N] [--warmup N] --name TEXT [--rect X,Y,W,H] [--colour RRGGBB]...
//               [--timeout S] -- command [args...]
//
// Every --colour must be found in the rectangle of the --rect before it (or the
// whole window). Times are from just before fork to the first poll that saw the
// window viewable, and to the first poll that saw the condition; with the
// processor time the program had used by then (all its threads). The window is
// polled about every 0.5 ms; one poll reads a few thousand pixels.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Check
{
    int x = 0, y = 0, w = 0, h = 0; // w == 0: the whole window
    std::optional<unsigned long> colour;
};

struct Options
{
    int runs = 10;
    int warmup = 1; // unmeasured starts first, so every measured start finds warm caches
    std::string name;
    std::vector<Check> checks;
    double timeout = 20;
    std::vector<char *> command;
};

struct Run
{
    double shown = -1;
    double painted = -1;
    double cpu = -1; // processor time the program had used when it had painted
};

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

std::string windowName(Display *d, Window w)
{
    static const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    static const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string name;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    char *plain = nullptr;
    if (name.empty() && XFetchName(d, w, &plain) && plain) {
        name = plain;
        XFree(plain);
    }
    return name;
}

bool viewable(Display *d, Window w)
{
    XWindowAttributes a;
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

// Top-level windows sit under the root, or one level deeper under a window manager.
Window findWindow(Display *d, Window parent, const std::string &name, int depth)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && !found;) {
        const Window w = children[i];
        if (viewable(d, w) && windowName(d, w).find(name) != std::string::npos)
            found = w;
        else if (depth > 0)
            found = findWindow(d, w, name, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

bool holds(Display *d, Window w, const Check &c)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable)
        return false;
    const int cw = c.w ? std::min(c.w, a.width - c.x) : a.width;
    const int ch = c.w ? std::min(c.h, a.height - c.y) : a.height;
    if (cw <= 0 || ch <= 0)
        return false;
    XImage *image = XGetImage(d, w, c.x, c.y, unsigned(cw), unsigned(ch), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0) & 0xFFFFFF;
    bool found = false;
    for (int y = 0; y < ch && !found; ++y) {
        for (int x = 0; x < cw && !found; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
            found = c.colour ? p == *c.colour : p != first;
        }
    }
    XDestroyImage(image);
    return found;
}

// Processor time of all threads of a process so far, in seconds: on a busy
// machine the wall time waits for the processor, this does not.
double cpuSeconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return -1;
    unsigned long long total = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long ns = 0;
        if (stat >> ns)
            total += ns;
    }
    closedir(dir);
    return double(total) / 1e9;
}

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

pid_t launch(const Options &o)
{
    std::fflush(stdout); // or the child's copy of the buffer is written again
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (!std::getenv("BENCH_START_VERBOSE")) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
        }
        execvp(o.command[0], o.command.data());
        _exit(127);
    }
    return pid;
}

bool allHold(Display *d, Window w, const Options &o)
{
    for (const Check &c : o.checks) {
        if (!holds(d, w, c))
            return false;
    }
    return true;
}

// Ends the started program (its whole process group) and waits until its window is gone.
void finish(Display *d, pid_t pid, const std::string &name)
{
    kill(-pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    const auto start = Clock::now();
    while (findWindow(d, DefaultRootWindow(d), name, 1) && since(start) < 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

Run measure(Display *d, const Options &o)
{
    Run run;
    const auto start = Clock::now();
    const pid_t pid = launch(o);
    Window w = 0;
    while (since(start) < o.timeout && run.painted < 0) {
        if (!w && (w = findWindow(d, DefaultRootWindow(d), o.name, 1)))
            run.shown = since(start);
        if (w && allHold(d, w, o)) {
            run.painted = since(start);
            run.cpu = cpuSeconds(pid);
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return run; // ended before painting
    }
    finish(d, pid, o.name);
    return run;
}

bool parseCheck(const char *text, Check &c)
{
    return std::sscanf(text, "%d,%d,%d,%d", &c.x, &c.y, &c.w, &c.h) == 4 && c.w > 0 && c.h > 0;
}

bool parseOption(Options &o, const std::string &flag, const char *value)
{
    if (flag == "--runs")
        return (o.runs = std::atoi(value)) > 0;
    if (flag == "--warmup")
        return (o.warmup = std::atoi(value)) >= 0;
    if (flag == "--name")
        return !(o.name = value).empty();
    if (flag == "--timeout")
        return (o.timeout = std::atof(value)) > 0;
    if (flag == "--rect") {
        o.checks.push_back({});
        return parseCheck(value, o.checks.back());
    }
    if (flag == "--colour") {
        if (o.checks.empty() || o.checks.back().colour)
            o.checks.push_back(o.checks.empty() ? Check{} : o.checks.back());
        o.checks.back().colour = std::strtoul(value, nullptr, 16);
        return std::strlen(value) == 6;
    }
    return false;
}

bool parse(int argc, char **argv, Options &o)
{
    int i = 1;
    for (; i + 1 < argc && std::strcmp(argv[i], "--") != 0; i += 2) {
        if (!parseOption(o, argv[i], argv[i + 1]))
            return false;
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc || o.name.empty())
        return false;
    o.command.assign(argv + i + 1, argv + argc);
    o.command.push_back(nullptr);
    if (o.checks.empty())
        o.checks.push_back({});
    return true;
}

void printFigures(const char *what, std::vector<double> times, int runs)
{
    if (times.empty()) {
        std::printf("%-8s no run reached it\n", what);
        return;
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    std::printf("%-8s median %.3f s  min %.3f s  max %.3f s  (%zu of %d runs)\n", what, median,
                times.front(), times.back(), n, runs);
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(
            stderr,
            "usage: %s [--runs N] [--warmup N] --name TEXT [--rect X,Y,W,H [--colour RRGGBB]]"
            "... [--timeout S] -- command [args...]\n",
            argv[0]);
        return 2;
    }
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    for (int i = 0; i < o.warmup; ++i)
        measure(d, o);
    std::vector<double> shown, painted, cpu;
    for (int i = 1; i <= o.runs; ++i) {
        const Run r = measure(d, o);
        std::printf("run %2d: window shown %.3f s, painted %.3f s, processor time %.3f s\n", i,
                    r.shown, r.painted, r.cpu);
        if (r.shown >= 0)
            shown.push_back(r.shown);
        if (r.painted >= 0)
            painted.push_back(r.painted);
        if (r.cpu >= 0)
            cpu.push_back(r.cpu);
    }
    printFigures("shown", shown, o.runs);
    printFigures("painted", painted, o.runs);
    printFigures("cpu", cpu, o.runs);
    XCloseDisplay(d);
    return painted.size() == size_t(o.runs) ? 0 : 1;
}
