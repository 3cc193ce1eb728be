// The configurator's entry: options, the main window, clean shutdown on SIGINT and SIGTERM.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <exception>

#include "app/datalog/datalog_viewer.h"
#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "sim/sim_options.h"
#include "widgets/named_control.h"

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

const char* const kUsage =
    "Usage: torvane [LANGUAGE] [--simulate] [--port DEVICE] [--screenshot FILE] [--exit-after MS]\n"
    "              [--page INDEX] [--report-startup] [--hold RPM,TPS | --sweep] [--datalog FILE [--replay]]\n"
    "              [--fast-monitor]\n"
    "  LANGUAGE           ENGLISH, DEUTSCH, FRENCH or CESKY (exactly so) selects the language\n"
    "  --simulate         talk to the built-in simulated unit instead of a serial port\n"
    "  --port DEVICE      open DEVICE for the selected port entry (e.g. a pseudo-terminal)\n"
    "  --screenshot FILE  with --exit-after: save a picture of the window before closing\n"
    "  --exit-after MS    close the window (settings are saved) after MS milliseconds\n"
    "  --page INDEX       show page INDEX (0 Bike ... 18 Monitor) after the start\n"
    "  --datalog FILE     open the datalog FILE in the log viewer after the start\n"
    "  --replay           with --datalog: replay it over the maps at its own pace\n"
    "  --report-startup   print the milliseconds from start to the window shown\n"
    "  --hold RPM,TPS     with --simulate: the engine holds RPM and throttle TPS % (e.g. 3000,20)\n"
    "  --sweep            with --simulate: rpm and throttle sweep slowly through the maps\n"
    "  --fast-monitor     ask for a monitor frame on every idle tick (Tools > Fast monitor)\n";

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}
#endif

struct CommandLine {
    torvane::StartOptions start;
    QString screenshot;
    QString datalog;
    bool replay = false;
    bool fastMonitor = false;
    int exitAfterMs = -1;
    int page = -1;
    bool reportStartup = false;
    bool help = false;
    QString error;
};

// The options and their values as QCommandLineParser reads them; the first mistake ends the reading.
CommandLine parse(const QStringList& args) {
    CommandLine cl;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption simulate("simulate");
    const QCommandLineOption port("port", {}, "DEVICE");
    const QCommandLineOption screenshot("screenshot", {}, "FILE");
    const QCommandLineOption exitAfter("exit-after", {}, "MS");
    const QCommandLineOption page("page", {}, "INDEX");
    const QCommandLineOption reportStartup("report-startup");
    const QCommandLineOption hold("hold", {}, "RPM,TPS");
    const QCommandLineOption sweep("sweep");
    const QCommandLineOption datalog("datalog", {}, "FILE");
    const QCommandLineOption replay("replay");
    const QCommandLineOption fastMonitor("fast-monitor");
    parser.addOptions({help, simulate, port, screenshot, exitAfter, page, reportStartup, hold, sweep, datalog,
                       replay, fastMonitor});
    if (!parser.parse(args)) {
        cl.error = parser.errorText();
        return cl;
    }
    cl.help = parser.isSet(help);
    cl.start.simulate = parser.isSet(simulate);
    cl.start.portOverride = parser.value(port);
    cl.screenshot = parser.value(screenshot);
    cl.datalog = parser.value(datalog);
    cl.replay = parser.isSet(replay);
    cl.fastMonitor = parser.isSet(fastMonitor);
    cl.reportStartup = parser.isSet(reportStartup);
    cl.start.arguments = parser.positionalArguments();
    if (parser.isSet(exitAfter)) {
        bool ok = false;
        cl.exitAfterMs = parser.value(exitAfter).toInt(&ok);
        if (!ok || cl.exitAfterMs < 0) cl.error = "--exit-after needs a number of milliseconds";
    }
    if (cl.error.isEmpty() && parser.isSet(page)) {
        bool ok = false;
        cl.page = parser.value(page).toInt(&ok);
        if (!ok || cl.page < 0 || cl.page > 18) cl.error = "--page needs a page number from 0 to 18";
    }
    // Of --hold and --sweep the later one says how the engine moves.
    const QStringList given = parser.optionNames();
    const bool sweepLast = given.lastIndexOf("sweep") > given.lastIndexOf("hold");
    if (sweepLast) cl.start.motion = torvane::EngineMotion::Sweep;
    if (cl.error.isEmpty() && parser.isSet(hold)) {
        const auto point = torvane::ParseOperatingPoint(parser.value(hold).toStdString());
        if (point) {
            if (!sweepLast) cl.start.motion = torvane::EngineMotion::Hold;
            cl.start.holdPoint = *point;
        } else {
            cl.error = "--hold needs RPM,TPS with RPM from 0 to 25000 and TPS from 0 to 100";
        }
    }
    if (cl.error.isEmpty() && cl.replay && cl.datalog.isEmpty()) cl.error = "--replay needs --datalog FILE";
    return cl;
}

// SIGINT and SIGTERM close the window in order, so the settings and the image are saved.
void CloseOnSignals(torvane::TFormHlav& window) {
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        window.close();
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#else
    (void)window;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The command line is checked before the window system is touched, so --help and mistakes are
    // answered on any machine.
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    CommandLine cl = parse(args);
    if (cl.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!cl.error.isEmpty()) {
        std::fprintf(stderr, "torvane: %s\n%s", qPrintable(cl.error), kUsage);
        return 2;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("torvane: no display; start it under xvfb-run, or set QT_QPA_PLATFORM=offscreen\n",
                   stderr);
        return 2;
    }
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName("torvane");

    try {
        torvane::TFormHlav window(cl.start);

        CloseOnSignals(window);

        if (cl.page >= 0) {
            if (auto* pages = NamedControl<QTabWidget>(&window, "PageControl1"))
                pages->setCurrentIndex(cl.page);
        }
        window.show();
        if (cl.fastMonitor) window.tuningTools().setFastMonitor(true);
        if (!cl.datalog.isEmpty() && window.tuningTools().openDatalog(cl.datalog) && cl.replay) {
            window.tuningTools().viewer()->play();
        }
        if (cl.reportStartup) {
            QTimer::singleShot(0, &window, [&] {
                std::printf("startup-ms %lld\n", static_cast<long long>(sinceStart.elapsed()));
                std::fflush(stdout);
            });
        }
        if (cl.exitAfterMs >= 0) {
            QTimer::singleShot(cl.exitAfterMs, &window, [&] {
                if (!cl.screenshot.isEmpty()) {
                    QDir().mkpath(QFileInfo(cl.screenshot).absolutePath());
                    if (window.grab().save(cl.screenshot, "PNG")) {
                        std::printf("screenshot %s\n",
                                    qPrintable(QFileInfo(cl.screenshot).absoluteFilePath()));
                    } else {
                        std::fprintf(stderr, "torvane: could not write %s\n", qPrintable(cl.screenshot));
                    }
                    std::fflush(stdout);
                }
                window.close();
            });
        }
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvane: %s\n", e.what());
        return 1;
    }
}
