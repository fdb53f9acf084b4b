// The TFTP server's packet handling: any sequence of datagrams from two clients, to the listening
// port and to the ports of the sessions it opened, at any point of a transfer: requests, DATA,
// ACK, ERROR and anything else, with ticks of the timer (retransmissions, time-outs), the
// expected-file modes switched and the handler cancelling when the input says so. Driven without
// sockets (the server's datagram sink), so every input runs the same way. Afterwards nothing may
// have been written outside the served folder, and a received file lies inside it.
//
// The input: a byte of set-up (the retransmissions allowed), then a list of steps. A step's first
// byte says who sends what to whom:
//   bit 0    the client (two ports of one device address)
//   bits 1-2 the destination: 0 the listening port, else one of the session ports heard from
//            (counted in the order first heard; the other client's too, which makes the sender
//            a stranger to that session)
//   bits 3-5 the packet: 0 raw bytes (a length byte, then the bytes), 1 a read request and
//            2 a write request for one of a few names, 3 the next DATA block (a length byte
//            picks its size), 4 the ACK of the last DATA heard, 5 an ERROR, 6 a packet with a
//            chosen opcode and block number, 7 no packet but a byte of control: the handler
//            cancels from now on (or no longer), a file is expected in a direction, nothing is
//            expected, the whole folder is served, or the timer ticks once time has moved on
// Links: qrn_tftp
#include "fuzzing.h"
#include "tftpserver.h"


#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace {

constexpr int kMaxSteps = 48;
constexpr quint32 kDevice = 0x7F000001;
constexpr quint16 kClientPorts[] = {40000, 40001};

// The files the folder serves: name and size. Uploads may replace them; they are put back.
const struct {
    const char *name;
    int size;
} kServed[] = {{"empty.bin", 0}, {"short.txt", 100}, {"block.bin", 512}, {"three.bin", 1100}};

// Names a request may ask for or a window expect: the served files, one that is missing, some
// that must be refused, and one that needs more than a byte per character.
const char *const kNames[] = {"empty.bin", "short.txt", "block.bin",      "three.bin",
                              "missing.cfg", "../outside.bin", "/outside.bin", ".",
                              "",            "new.cfg",        "caf\xc3\xa9.cfg"};

struct Peer {
    quint16 port;
    int lastData = -1; // block number of the last DATA sent from this port
    int lastAck = -1;  // block number of the last ACK sent from this port
};

QString root()
{
    return fuzzing::scratchFolder() + QStringLiteral("served/");
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
    const QByteArray folder = QFile::encodeName(root());
    ::mkdir(folder.constData(), 0700);
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            bool served = false;
            for (const auto &file : kServed)
                served = served || name == file.name;
            if (!served)
                ::unlink((folder + name).constData());
        }
        ::closedir(dir);
    }
    for (const auto &file : kServed) {
        const QByteArray path = folder + file.name;
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

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The names as the device would send them: one byte per character.
QString deviceName(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzing::coreApplication();
    restoreFolder();
    fuzzing::Input input(data, size);
    std::vector<Peer> peers;
    bool cancel = false;
    {
        KtTFTPServer server;
        // Sessions time out at the first tick after their block went out, so that ticks in the
        // input reach retransmissions and time-outs at once.
        server.SetTimeout(0, 1 + input.pick(3));
        server.SetOnMessage([&cancel](KtTFTPMsg &msg, bool &cancelFlag) {
            if (cancel)
                cancelFlag = true;
            // A handler may read everything in the record.
            (void)msg.text.size();
            (void)msg.fileName.size();
        });
        server.setDatagramSink([&peers](quint16 fromPort, const char *bytes, qint64 length,
                                        quint32, quint16) {
            Peer *peer = nullptr;
            for (Peer &known : peers)
                if (known.port == fromPort)
                    peer = &known;
            if (!peer) {
                peers.push_back({fromPort});
                peer = &peers.back();
            }
            if (length < 4)
                return;
            const int opcode = (static_cast<uchar>(bytes[0]) << 8) | static_cast<uchar>(bytes[1]);
            const int block = (static_cast<uchar>(bytes[2]) << 8) | static_cast<uchar>(bytes[3]);
            if (opcode == 3)
                peer->lastData = block;
            else if (opcode == 4)
                peer->lastAck = block;
        });
        server.Listen(root(), 69);

        for (int step = 0; step < kMaxSteps && !input.atEnd(); ++step) {
            const quint8 op = input.byte();
            const quint16 clientPort = kClientPorts[op & 1];
            const int destination = (op >> 1) & 3;
            const int kind = (op >> 3) & 7;
            const Peer *peer = destination > 0 && !peers.empty()
                                   ? &peers[static_cast<size_t>(destination - 1) % peers.size()]
                                   : nullptr;
            QByteArray bytes;
            switch (kind) {
            case 0:
                bytes = input.sized();
                break;
            case 1:
            case 2: {
                const char *name = kNames[input.pick(static_cast<int>(std::size(kNames)))];
                const QByteArray mode = input.flag() ? "octet" : "netascii";
                bytes = request(static_cast<quint16>(kind), deviceName(name).toLatin1(), mode);
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
            default: {
                const quint8 control = input.byte();
                switch (control % 5) {
                case 0:
                    cancel = !cancel;
                    break;
                case 1: {
                    const char *name = kNames[(control / 5) % std::size(kNames)];
                    server.ExpectFile(deviceName(name),
                                      static_cast<KtTFTPServer::Direction>(input.pick(3)));
                    break;
                }
                case 2:
                    server.ExpectNothing();
                    break;
                case 3:
                    server.ExpectFile(QString());
                    break;
                default: {
                    // The deadlines are in milliseconds: let one pass.
                    const qint64 start = nowMs();
                    while (nowMs() == start) {
                    }
                    server.tick();
                    break;
                }
                }
                continue;
            }
            }
            if (peer)
                server.handleSessionDatagram(peer->port, bytes.constData(), bytes.size(), kDevice,
                                             clientPort);
            else
                server.handleRequest(bytes.constData(), bytes.size(), kDevice, clientPort);
        }

        const QString received = server.receivedFile();
        if (!received.isEmpty() && !received.startsWith(root()))
            std::abort(); // a received file outside the served folder
        server.Stop();
    }
    // The sessions the server let go are deleted now, not with the next input.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (QFile::exists(fuzzing::scratchFolder() + QStringLiteral("outside.bin")))
        std::abort(); // a request reached outside the served folder
    return 0;
}
