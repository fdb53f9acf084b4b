// Runs KtTFTPServer on a folder and port until SIGTERM or SIGINT.
// Usage: qrn-tftp-serve DIR PORT
// Prints "serving PORT" once it listens, so a script can wait for it.
#include "tftpserver.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int port = args.size() == 3 ? args.at(2).toInt(&ok) : 0;
    if (!ok) {
        std::fprintf(stderr, "usage: qrn-tftp-serve DIR PORT\n");
        return 2;
    }

    // Signals end the event loop through a pipe, so the server stops in an orderly way.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return 1;
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app,
                     &QCoreApplication::quit);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    try {
        KtTFTPServer server;
        server.Listen(args.at(1), port);
        std::printf("serving %d\n", port);
        std::fflush(stdout);
        const int rc = app.exec();
        server.Stop();
        return rc;
    } catch (const KtTFTPException &e) {
        std::fprintf(stderr, "TFTP Service Init Error:%s\n", qPrintable(e.text()));
        return 1;
    }
}
