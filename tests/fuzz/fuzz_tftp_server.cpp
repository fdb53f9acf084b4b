// The TFTP server's packet handling: any sequence of datagrams from two clients, to the listening
// port and to the ports of the sessions they opened, at any point of a transfer: requests,
// DATA, ACK, ERROR and anything else, with the handler cancelling when the input says so.
// Every session must end by itself afterwards, and nothing may be written outside the folder.
//
// The input is a list of steps. A step's first byte says who sends what to whom:
//   bit 0    the client (two, each on a loopback port of its own)
//   bits 1-2 the destination: 0 the listening port, else one of the session ports the clients
//            heard from (counted in the order first heard; the other client's too, which makes
//            the sender a stranger to that session)
//   bits 3-5 the packet: 0 raw bytes (a length byte, then the bytes), 1 a read request and
//            2 a write request for one of a few names, 3 the next DATA block (a length byte
//            picks its size), 4 the ACK of the last DATA heard, 5 an ERROR, 6 a packet with a
//            chosen opcode and block number, 7 the handler cancels from now on (or no longer)
// The event loop allocates and frees across inputs, which would have libFuzzer look for leaks
// after nearly every input; leaks are looked for when the run ends instead.
// Fuzz options: -detect_leaks=0
// Links: qrn_tftp
#include "fuzzing.h"
#include "tftpserver.h"

#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstdio>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace {

constexpr int kMaxSteps = 24;
constexpr qint64 kSessionsEndWithinMs = 10000;

// The files the folder serves: name and size. Uploads may replace them; they are put back.
const struct {
    const char *name;
    int size;
} kServed[] = {{"empty.bin", 0}, {"short.txt", 100}, {"block.bin", 512}, {"three.bin", 1100}};

// Names a request may ask for: the served files, one that is missing and some that must be
// refused.
const char *const kNames[] = {"empty.bin", "short.txt", "block.bin", "three.bin", "missing.cfg",
                              "../outside.bin", "/outside.bin", ".", "", "new.cfg"};

struct Peer {
    int client;
    quint16 port;
    int lastData = -1; // block number of the last DATA heard from it
    int lastAck = -1;  // block number of the last ACK heard from it
};

struct Rig {
    QString root;
    quint16 port = 0;
    KtTFTPServer *server = nullptr;
    bool cancel = false;
};

Rig &rig()
{
    static Rig *made = [] {
        fuzzing::coreApplication();
        auto *r = new Rig;
        r->root = fuzzing::scratchFolder() + QStringLiteral("served/");
        r->server = new KtTFTPServer;
        r->server->SetTimeout(2, 2);
        r->server->SetOnMessage([r](KtTFTPMsg &msg, bool &cancel) {
            if (r->cancel)
                cancel = true;
            // A handler may read everything in the record.
            (void)msg.text.size();
            (void)msg.fileName.size();
        });
        for (int attempt = 0; attempt < 20 && r->port == 0; ++attempt) {
            const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in sa{};
            sa.sin_family = AF_INET;
            sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t len = sizeof sa;
            ::bind(probe, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
            ::getsockname(probe, reinterpret_cast<sockaddr *>(&sa), &len);
            ::close(probe);
            try {
                r->server->Listen(r->root, ntohs(sa.sin_port));
                r->port = ntohs(sa.sin_port);
            } catch (const KtTFTPException &) {
            }
        }
        if (r->port == 0) {
            std::fprintf(stderr, "fuzz_tftp_server: no port to listen on\n");
            std::abort();
        }
        return r;
    }();
    return *made;
}

QByteArray content(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

// The served folder as it was before the input: served files back at their sizes, anything an
// upload created removed (by its bytes, whatever the name holds).
void restoreFolder()
{
    const QByteArray root = QFile::encodeName(rig().root);
    ::mkdir(root.constData(), 0700);
    if (DIR *dir = ::opendir(root.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            bool served = false;
            for (const auto &file : kServed)
                served = served || name == file.name;
            if (!served)
                ::unlink((root + name).constData());
        }
        ::closedir(dir);
    }
    for (const auto &file : kServed) {
        const QByteArray path = root + file.name;
        struct stat info;
        if (::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode)
            && info.st_size == file.size)
            continue;
        fuzzing::scratchFile(QStringLiteral("served/") + QLatin1String(file.name),
                             content(file.size));
    }
}

QByteArray packet(quint16 opcode, quint16 number, const QByteArray &payload = {})
{
    QByteArray bytes;
    bytes.append(static_cast<char>(opcode >> 8)).append(static_cast<char>(opcode & 0xff));
    bytes.append(static_cast<char>(number >> 8)).append(static_cast<char>(number & 0xff));
    return bytes + payload;
}

QByteArray request(quint16 opcode, const QByteArray &name, const QByteArray &mode)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(0)).append(static_cast<char>(opcode));
    return bytes + name + '\0' + mode + '\0';
}

class Clients
{
public:
    Clients()
    {
        for (int &fd : m_fds) {
            fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            sockaddr_in sa{};
            sa.sin_family = AF_INET;
            sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::bind(fd, reinterpret_cast<sockaddr *>(&sa), sizeof sa);
        }
    }
    ~Clients()
    {
        for (int fd : m_fds)
            ::close(fd);
    }

    void send(int client, quint16 port, const QByteArray &bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        ::sendto(m_fds[client], bytes.constData(), static_cast<size_t>(bytes.size()), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }

    // Takes what the server sent each client, remembering the session ports and blocks.
    void collect(std::vector<Peer> &peers, quint16 listenPort)
    {
        char buffer[2048];
        for (int client = 0; client < 2; ++client) {
            for (;;) {
                sockaddr_in from{};
                socklen_t len = sizeof from;
                const ssize_t n = ::recvfrom(m_fds[client], buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr *>(&from), &len);
                if (n < 0)
                    break;
                const quint16 port = ntohs(from.sin_port);
                if (port == listenPort || n < 4)
                    continue;
                Peer *peer = nullptr;
                for (Peer &known : peers)
                    if (known.client == client && known.port == port)
                        peer = &known;
                if (!peer) {
                    peers.push_back({client, port});
                    peer = &peers.back();
                }
                const int opcode = (static_cast<uchar>(buffer[0]) << 8) | static_cast<uchar>(buffer[1]);
                const int block = (static_cast<uchar>(buffer[2]) << 8) | static_cast<uchar>(buffer[3]);
                if (opcode == 3)
                    peer->lastData = block;
                else if (opcode == 4)
                    peer->lastAck = block;
            }
        }
    }

private:
    int m_fds[2];
};

void pump()
{
    // Loopback delivers at once: what was sent is readable when the event loop looks.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Rig &r = rig();
    restoreFolder();
    r.cancel = false;
    fuzzing::Input input(data, size);
    Clients clients;
    std::vector<Peer> peers;

    for (int step = 0; step < kMaxSteps && !input.atEnd(); ++step) {
        const quint8 op = input.byte();
        const int client = op & 1;
        const int destination = (op >> 1) & 3;
        const int kind = (op >> 3) & 7;
        Peer *peer = nullptr;
        if (destination > 0 && !peers.empty())
            peer = &peers[static_cast<size_t>(destination - 1) % peers.size()];
        const quint16 port = peer ? peer->port : r.port;

        QByteArray bytes;
        switch (kind) {
        case 0:
            bytes = input.sized();
            break;
        case 1:
        case 2: {
            const char *name = kNames[input.pick(static_cast<int>(std::size(kNames)))];
            bytes = request(static_cast<quint16>(kind), name, input.flag() ? "octet" : "netascii");
            break;
        }
        case 3: {
            const int length = input.byte();
            const int block = peer ? peer->lastAck + 1 : 1;
            bytes = packet(3, static_cast<quint16>(block),
                           content(length >= 128 ? 512 : length * 4 % 512));
            break;
        }
        case 4:
            bytes = packet(4, static_cast<quint16>(peer ? peer->lastData : 0));
            break;
        case 5: {
            const quint16 code = input.byte() % 8;
            bytes = packet(5, code, input.sized() + '\0');
            break;
        }
        case 6: {
            const quint16 opcode = input.byte() % 7;
            const quint16 block = input.word();
            bytes = packet(opcode, block, input.sized());
            break;
        }
        default:
            r.cancel = !r.cancel;
            continue;
        }
        clients.send(client, port, bytes);
        pump();
        clients.collect(peers, r.port);
    }

    // Every session ends by itself: finished, failed, or timed out after its retries.
    QElapsedTimer waited;
    waited.start();
    QTimer tick;
    tick.start(5);
    while (!r.server->sessions().isEmpty() || r.server->dallyingCount() > 0) {
        if (waited.elapsed() > kSessionsEndWithinMs) {
            std::fprintf(stderr, "fuzz_tftp_server: a session did not end\n");
            std::abort();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        clients.collect(peers, r.port);
    }
    // The deleted sessions go now, not with the next input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (QFile::exists(fuzzing::scratchFolder() + QStringLiteral("outside.bin")))
        std::abort(); // a request reached outside the served folder
    return 0;
}
