#include "tftpserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

enum Opcode : quint16 { OpRrq = 1, OpWrq = 2, OpData = 3, OpAck = 4, OpError = 5 };

// An IPv4 address in host order as a dotted quad.
QString dottedQuad(quint32 address)
{
    const in_addr network{htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &network, text, sizeof text);
    return QString::fromLatin1(text);
}

// The first IPv4 address the PC's own name resolves to; empty when it has none.
QString localHostAddress()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        return {};
    const auto *first = reinterpret_cast<const sockaddr_in *>(found->ai_addr);
    const QString address = dottedQuad(ntohl(first->sin_addr.s_addr));
    ::freeaddrinfo(found);
    return address;
}

// RFC 1350 error codes sent in ERROR packets.
enum TftpError : quint16 {
    ErrFileNotFound = 1,
    ErrAccessViolation = 2,
    ErrIllegalOperation = 4,
    ErrUnknownTransferId = 5,
};

constexpr qint64 BlockSize = 512;
constexpr qint64 HeaderSize = 4;
constexpr int BufferSize = 2048;
constexpr int TimerIntervalMs = 20;
constexpr qint64 StopWaitMs = 10000;
// While a transfer runs, a session waits this long on its own socket for the peer's next packet
// before it leaves the socket to the event loop again, for at most so many packets or so long.
constexpr int BurstWaitMs = 5;
constexpr int BurstPackets = 64;
constexpr qint64 BurstBudgetMs = 10;
constexpr int BurstsSkippedWhenSlow = 16;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

quint16 get16(const char *p)
{
    return static_cast<quint16>((static_cast<uchar>(p[0]) << 8) | static_cast<uchar>(p[1]));
}

void put16(char *p, quint16 value)
{
    p[0] = static_cast<char>(value >> 8);
    p[1] = static_cast<char>(value & 0xff);
}

sockaddr_in makeAddress(quint32 address, quint16 port)
{
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = htons(port);
    return sa;
}

// A UDP socket bound to any local address at the port; -1 when it cannot be had. The port is
// never shared (no SO_REUSEADDR): a second server must fail to listen rather than take the
// requests meant for the first. Receiving is done with MSG_DONTWAIT unless a short wait is
// wanted; sending may wait briefly for buffer space rather than fail.
int openUdpSocket(quint16 port, quint16 *boundPort)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in sa = makeAddress(INADDR_ANY, port);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof sa;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&sa), &len) != 0) {
        ::close(fd);
        return -1;
    }
    if (boundPort)
        *boundPort = ntohs(sa.sin_port);
    return fd;
}

// The device is always given a bare file name. Anything else could reach outside the served
// folder ("../../etc/passwd", "/etc/shadow"), and a write request would create or replace that
// file with the rights of the module, which often runs as root to own port 69.
bool isBareFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The NUL-terminated string at pos, bounded by the datagram; pos moves past its NUL.
QByteArray takeString(const char *data, qint64 length, qint64 &pos)
{
    const qint64 start = pos;
    while (pos < length && data[pos] != '\0')
        ++pos;
    QByteArray text(data + start, static_cast<int>(pos - start));
    if (pos < length)
        ++pos;
    return text;
}

// Stops watching the socket and closes it; both are cleared.
void closeSocket(QSocketNotifier *&notifier, int &fd)
{
    if (notifier) {
        notifier->setEnabled(false);
        delete notifier;
        notifier = nullptr;
    }
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// The folder part of a served path (the folder itself may be empty: the working folder).
QByteArray folderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Whether the folder lists an entry spelt exactly so. A file system that folds case or
// normalises names (a FAT stick, a Windows share) answers for "A.CFG" with the file "a.cfg":
// one file must not be reached by two names.
bool hasEntryNamed(const QByteArray &folder, const QByteArray &name)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Writes everything or says how much went.
qint64 writeAll(int fd, const char *data, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

// A hidden file beside the final one, created for this upload alone. Files made new get the
// usual permissions (0666 less the umask); mode 0600 when the caller copies an existing file's.
int createPartFile(const QByteArray &folder, mode_t mode, QByteArray *path)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray candidate = folder + "/.qrn-tftp-"
                                     + QByteArray::number(QRandomGenerator::global()->generate(),
                                                          16)
                                     + ".part";
        const int fd = ::open(candidate.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            *path = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// _TFTPSession

_TFTPSession::_TFTPSession(const KtTFTPMsg &msg, quint32 peerAddress, quint16 peerPort,
                           KtTFTPSessionSetup setup, QObject *parent)
    : QObject(parent),
      m_msg(msg),
      m_peerAddress(peerAddress),
      m_peerPort(peerPort),
      m_setup(std::move(setup)),
      m_sendBuf(m_buffers[0]),
      m_nextBuf(m_buffers[1])
{
    std::memset(m_buffers, 0, sizeof m_buffers);
    std::memset(m_recvBuf, 0, sizeof m_recvBuf);
    Report(1);
    if (!openSocket())
        Report(-1109);
}

_TFTPSession::~_TFTPSession()
{
    shutdown();
}

bool _TFTPSession::openSocket()
{
    if (m_setup.sink) {
        // Without sockets the server numbers the sessions' ports itself.
        m_localPort = static_cast<quint16>(1024 + m_msg.sessionNo % 64000);
        return true;
    }
    m_fd = openUdpSocket(0, &m_localPort);
    if (m_fd < 0)
        return false;
    const timeval patience = {0, BurstWaitMs * 1000};
    if (::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &_TFTPSession::onReadable);
    return true;
}

void _TFTPSession::shutdown()
{
    closeSocket(m_notifier, m_fd);
    closeFile();
    m_deadline = 0;
}

bool _TFTPSession::fileOpen() const
{
    return m_file.isOpen() || m_uploadFd >= 0;
}

// Only plain files are sent: opening a named pipe would block the whole module until someone
// wrote into it.
bool _TFTPSession::openDownload(const QString &path)
{
    const QByteArray diskPath = QFile::encodeName(path);
    struct stat info;
    if (::stat(diskPath.constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || !hasEntryNamed(folderOf(diskPath), nameOf(diskPath)))
        return false;
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
}

// Makes ready to receive the file, or says no while the device can still be told: the final
// name must be one this folder can hold, and only a plain file of exactly that name is ever
// replaced (never a named pipe, a device, a folder or what a symbolic link points at).
bool _TFTPSession::openUpload(const QString &path)
{
    m_finalPath = QFile::encodeName(path);
    const QByteArray folder = folderOf(m_finalPath);
    const QByteArray name = nameOf(m_finalPath);
    struct stat existing;
    const bool exists = ::lstat(m_finalPath.constData(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode) || !hasEntryNamed(folder, name))
            return false;
    } else {
        if (errno != ENOENT)   // a name too long, a folder that is not one
            return false;
        // The name is created once, empty, and removed again: what the folder refuses (a name
        // too long for it, characters it cannot hold, no right to create files) shows now,
        // not after the whole file has come in.
        const int probe = ::open(m_finalPath.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (probe < 0)
            return false;
        ::close(probe);
        const bool spelt = hasEntryNamed(folder, name);
        ::unlink(m_finalPath.constData());
        if (!spelt)
            return false;
    }

    m_uploadFd = createPartFile(folder, exists ? 0600 : 0666, &m_tempPath);
    if (m_uploadFd >= 0) {
        if (exists) {   // the new file keeps the old one's permissions (and owner, for root)
            ::fchmod(m_uploadFd, existing.st_mode & 07777);
            if (::geteuid() == 0) {
                [[maybe_unused]] const int owned
                    = ::fchown(m_uploadFd, existing.st_uid, existing.st_gid);
            }
        }
        return true;
    }
    m_tempPath.clear();
    // A folder that takes no new file, holding a file of that name we may write: written in
    // place, as the user chose to replace it.
    if (!exists)
        return false;
    m_uploadFd = ::open(m_finalPath.constData(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    return m_uploadFd >= 0;
}

// Gives the received file its final name, replacing the file of that name. The data is on the
// disk before the name points at it, so a crash right after cannot leave an empty file there.
bool _TFTPSession::storeUpload()
{
    if (m_uploadFd < 0)
        return false;
    bool ok = ::fdatasync(m_uploadFd) == 0 || errno == EINVAL || errno == EROFS;
    ok = ::close(m_uploadFd) == 0 && ok;
    m_uploadFd = -1;
    if (ok && !m_tempPath.isEmpty())
        ok = ::rename(m_tempPath.constData(), m_finalPath.constData()) == 0;
    if (!ok && !m_tempPath.isEmpty())
        ::unlink(m_tempPath.constData());
    m_tempPath.clear();
    return ok;
}

// An upload not stored by now has failed: what it wrote so far is thrown away.
void _TFTPSession::closeFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (m_uploadFd >= 0) {
        ::close(m_uploadFd);
        m_uploadFd = -1;
        if (!m_tempPath.isEmpty())
            ::unlink(m_tempPath.constData());
        m_tempPath.clear();
    }
}

void _TFTPSession::Start()
{
    if (m_state != Active)   // the session socket could not be opened
        return;
    if (m_cancel) {
        Report(-1114);
        return;
    }
    std::memset(m_sendBuf, 0, BufferSize);
    const bool bare = isBareFileName(m_msg.fileName);
    const QString path = m_setup.rootDir + m_msg.fileName;

    if (m_msg.op == OpRrq) {
        if (m_setup.refused || !bare || !openDownload(path)) {
            sendError(ErrFileNotFound, m_peerAddress, m_peerPort);
            return;
        }
        const qint64 count = m_file.read(m_sendBuf + HeaderSize, BlockSize);
        if (count < 0) {
            Report(-1101);
            return;
        }
        sendDataBlock(1, count);
    } else if (m_msg.op == OpWrq) {
        if (m_setup.refused || !bare || !openUpload(path)) {
            sendError(ErrAccessViolation, m_peerAddress, m_peerPort);
            return;
        }
        m_block = 0;
        if (!sendAck(0)) {
            Report(-1110);
            return;
        }
        armDeadline();
        Report(2);
    } else {
        sendError(ErrIllegalOperation, m_peerAddress, m_peerPort);
    }
}

void _TFTPSession::onReadable()
{
    receiveOne(false);
    // A lock-step transfer is bound by its round trips. While one runs, the next packet is
    // taken straight from this socket instead of through the event loop between every two
    // blocks; the limits keep the windows responsive (a stall of at most about 15 ms). A peer
    // too slow for that is left to the event loop for a while.
    if (m_skipBursts > 0) {
        --m_skipBursts;
        return;
    }
    int packets = 0;
    const qint64 until = nowMs() + BurstBudgetMs;
    while (m_state == Active && m_fd >= 0 && m_deadline != 0 && ++packets < BurstPackets) {
        if (!receiveOne(true)) {
            m_skipBursts = BurstsSkippedWhenSlow;
            break;
        }
        if (nowMs() > until)
            break;
    }
}

// Takes one datagram off the socket (waiting up to the socket's receive time-out when asked)
// and handles it. False when none came.
bool _TFTPSession::receiveOne(bool wait)
{
    if (m_fd < 0)
        return false;
    sockaddr_in from;
    socklen_t fromLen = sizeof from;
    const ssize_t length = ::recvfrom(m_fd, m_recvBuf, BufferSize, wait ? 0 : MSG_DONTWAIT,
                                      reinterpret_cast<sockaddr *>(&from), &fromLen);
    if (length < 0)
        return false;
    // The datagram is always taken off the socket, so that a finished session is not woken
    // again and again by one it ignores.
    handleDatagram(m_recvBuf, length, ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
    return true;
}

void _TFTPSession::handleDatagram(const char *data, qint64 length, quint32 fromAddress,
                                  quint16 fromPort)
{
    if (length < HeaderSize || length > BufferSize)
        return;
    if (data != m_recvBuf)
        std::memcpy(m_recvBuf, data, static_cast<size_t>(length));
    if (m_state == Finished) {
        // Our acknowledgement of the last block was lost: the device sends that block again
        // and reports the upload failed unless it hears the acknowledgement once more.
        if (m_msg.op == OpWrq && fromAddress == m_peerAddress && fromPort == m_peerPort
            && get16(m_recvBuf) == OpData && get16(m_recvBuf + 2) == m_block)
            sendAck(m_block);
        return;
    }
    if (m_state != Active || !fileOpen())
        return;

    // Only the requester's address and port belong to this transfer (RFC 1350's transfer
    // identifier); anyone else could otherwise write into the file or end the transfer.
    if (fromAddress != m_peerAddress || fromPort != m_peerPort) {
        sendError(ErrUnknownTransferId, fromAddress, fromPort);
        return;
    }

    const quint16 opcode = get16(m_recvBuf);
    const quint16 block = get16(m_recvBuf + 2);
    if (m_msg.op == OpRrq && opcode == OpAck)
        handleAck(block);
    else if (m_msg.op == OpWrq && opcode == OpData)
        handleData(block, length - HeaderSize);
}

void _TFTPSession::handleAck(quint16 block)
{
    // Only the block in flight counts. Block numbers wrap from 65535 to 0, so files of any size
    // complete; an older acknowledgement is a duplicate and gets no answer.
    if (block != m_block)
        return;
    m_deadline = 0;
    m_msg.clientPort = m_peerPort;
    m_lastBlock = block;
    if (m_cancel) {
        Report(-1114);
        return;
    }
    if (m_sendCount < BlockSize) {   // a short block was the last one
        Report(3);
        return;
    }
    if (m_nextCount == NothingReadAhead)
        readAhead();
    const qint64 count = m_nextCount;
    m_nextCount = NothingReadAhead;
    if (count < 0) {   // a disk error must not pass for the end of the file
        Report(-1101);
        return;
    }
    std::swap(m_sendBuf, m_nextBuf);
    sendDataBlock(static_cast<quint16>(block + 1), count);
}

// Sends the count bytes read into m_sendBuf as data block `block` and reads the next one ahead.
void _TFTPSession::sendDataBlock(quint16 block, qint64 count)
{
    m_block = block;
    put16(m_sendBuf, OpData);
    put16(m_sendBuf + 2, m_block);
    m_sendCount = count;
    m_msg.lastBlockBytes = static_cast<qint32>(count);
    addBytes(count);
    if (!sendBytes(m_sendBuf, count + HeaderSize)) {
        Report(-1110);
        return;
    }
    m_msg.retries = 1;
    armDeadline();
    readAhead();
    Report(2);
}

// Reads the block after the one in flight while the peer is busy with that one, so that its
// acknowledgement is answered at once. Nothing follows a short block.
void _TFTPSession::readAhead()
{
    if (m_sendCount == BlockSize && m_nextCount == NothingReadAhead)
        m_nextCount = m_file.read(m_nextBuf + HeaderSize, BlockSize);
}

void _TFTPSession::handleData(quint16 block, qint64 length)
{
    // The block accepted last, sent again: our acknowledgement was lost. Acknowledge it again
    // (without writing it twice) or the device gives up on the upload.
    if (m_lastBlock >= 0 && block == m_block) {
        sendAck(block);
        return;
    }
    if (block != static_cast<quint16>(m_block + 1))
        return;
    m_deadline = 0;
    m_msg.clientPort = m_peerPort;
    m_lastBlock = block;
    m_block = block;
    if (m_cancel) {
        Report(-1114);
        return;
    }
    const qint64 written = length > 0 ? writeAll(m_uploadFd, m_recvBuf + HeaderSize, length) : 0;
    if (written != length) {   // left unacknowledged: the device must not think it stored
        Report(-1104);
        return;
    }
    m_msg.lastBlockBytes = static_cast<qint32>(written);
    addBytes(written);
    // The last block: the file is stored under its name before the device hears it was.
    if (written < BlockSize && !storeUpload()) {
        Report(-1104);
        return;
    }
    if (!sendAck(block)) {
        Report(-1110);
        return;
    }
    if (written < BlockSize) {
        Report(3);
        if (m_setup.stored)
            m_setup.stored(QFile::decodeName(m_finalPath));
        return;
    }
    armDeadline();
    Report(2);
}

void _TFTPSession::requestRepeated()
{
    // A repeated write request before any data means our ACK 0 was lost: send it again.
    if (m_msg.op == OpWrq && m_state == Active && m_uploadFd >= 0 && m_lastBlock < 0)
        sendAck(0);
}

bool _TFTPSession::Retransmit(int limit)
{
    // The device repeats its DATA when our ACK is lost, so a write session has nothing to send
    // again: it has simply waited long enough.
    if (m_msg.op != OpRrq || m_msg.retries >= limit)
        return false;
    ++m_msg.retries;
    if (!sendBytes(m_sendBuf, m_sendCount + HeaderSize)) {
        Report(-1110);
        return true;
    }
    armDeadline();
    Report(2);
    return true;
}

void _TFTPSession::Report(int code)
{
    m_msg.code = code;
    m_msg.text = KtTFTPServer::codeText(code);
    if (m_setup.handler)
        m_setup.handler(m_msg, m_cancel);
    if (code == 3) {
        closeFile();
        m_state = Finished;
    } else if (code < 0) {
        closeFile();
        m_state = Failed;
    } else {
        m_state = Active;
    }
}

bool _TFTPSession::sendTo(const char *data, qint64 length, quint32 address, quint16 port)
{
    if (m_setup.sink) {
        (*m_setup.sink)(m_localPort, data, length, address, port);
        return true;
    }
    if (m_fd < 0)
        return false;
    const sockaddr_in to = makeAddress(address, port);
    return ::sendto(m_fd, data, static_cast<size_t>(length), 0,
                    reinterpret_cast<const sockaddr *>(&to), sizeof to)
           == length;
}

bool _TFTPSession::sendBytes(const char *data, qint64 length)
{
    return sendTo(data, length, m_peerAddress, m_peerPort);
}

bool _TFTPSession::sendAck(quint16 block)
{
    char ack[HeaderSize];
    put16(ack, OpAck);
    put16(ack + 2, block);
    return sendBytes(ack, HeaderSize);
}

// ERROR with an empty message. From Start it also ends the session; to a stranger it is only
// an answer.
void _TFTPSession::sendError(quint16 errorCode, quint32 address, quint16 port)
{
    char packet[5];
    put16(packet, OpError);
    put16(packet + 2, errorCode);
    packet[4] = '\0';
    const bool sent = sendTo(packet, sizeof packet, address, port);
    if (errorCode == ErrUnknownTransferId)
        return;
    if (!sent)
        Report(-1110);
    else if (errorCode == ErrFileNotFound)
        Report(-1102);
    else if (errorCode == ErrAccessViolation)
        Report(-1103);
    else
        Report(-1105);
}

void _TFTPSession::armDeadline()
{
    m_deadline = nowMs() + static_cast<qint64>(m_msg.timeout) * 10;
}

void _TFTPSession::addBytes(qint64 count)
{
    m_totalBytes += count;
    m_msg.totalBytes = static_cast<qint32>(qMin<qint64>(m_totalBytes, INT_MAX));
}

// ---------------------------------------------------------------------------------------------
// KtTFTPServer

KtTFTPServer::KtTFTPServer(QObject *owner)
    : QObject(owner)
{
    // The network stack must be able to give us a UDP socket at all.
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        throw KtTFTPException(-1109, codeText(-1109));
    ::close(probe);

    m_template.code = -1111;
    m_template.text = codeText(-1111);
    m_template.serverIP = localHostAddress();
    std::memset(m_recvBuf, 0, sizeof m_recvBuf);
    m_timer = new QTimer(this);
    m_timer->setInterval(TimerIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &KtTFTPServer::tick);
}

KtTFTPServer::~KtTFTPServer()
{
    // Windows stop the server when they close and destroy it right after: one wait is enough.
    if (!m_stopped)
        Stop();
    // Whatever is still running ends with the server (the sessions are its children).
    for (_TFTPSession *session : std::as_const(m_sessions))
        session->shutdown();
    m_sessions.clear();
    for (const Dally &dally : std::as_const(m_dallying))
        dally.session->shutdown();
    m_dallying.clear();
}

int KtTFTPServer::servicePort()
{
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("QRN_TFTP_PORT", &ok);
    return ok && port >= 1 && port <= 65535 ? port : 69;
}

void KtTFTPServer::SetTimeout(int timeout, int maxRetries)
{
    m_template.timeout = timeout;
    m_maxRetries = maxRetries;
}

void KtTFTPServer::SetOnMessage(TTFTPMsgEvent handler)
{
    m_handler = std::move(handler);
}

void KtTFTPServer::setDatagramSink(KtTFTPDatagramSink sink)
{
    m_sink = std::move(sink);
}

void KtTFTPServer::Listen(const QString &directory, int port)
{
    m_rootDir = directory;
    if (!m_rootDir.isEmpty() && !m_rootDir.endsWith(QLatin1Char('/')))
        m_rootDir += QLatin1Char('/');
    m_template.port = port;
    if (m_listening)
        return;

    if (!m_sink) {
        if (port < 0 || port > 65535) {
            Stop();
            throw KtTFTPException(-1109, codeText(-1109));
        }
        m_fd = openUdpSocket(static_cast<quint16>(port), nullptr);
        if (m_fd < 0) {
            Stop();
            throw KtTFTPException(-1109, codeText(-1109));
        }
        m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &KtTFTPServer::onRequest);
    }
    m_listening = true;
    m_stopped = false;
    m_timer->start();
}

void KtTFTPServer::ExpectNothing()
{
    ExpectFile(QString());
    m_expectNothing = true;
}

void KtTFTPServer::ExpectFile(const QString &fileName, Direction direction)
{
    m_expectNothing = false;
    m_expectedName = fileName;
    m_expectedDirection = direction;
    m_receiptFrom = m_template.sessionNo + 1;
    m_receivedPath.clear();
}

bool KtTFTPServer::isServableName(const QString &fileName)
{
    if (!isBareFileName(fileName))
        return false;
    for (const QChar c : fileName) {
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            return false;
    }
    return true;
}

void KtTFTPServer::closeListener()
{
    closeSocket(m_notifier, m_fd);
    m_listening = false;
}

void KtTFTPServer::Stop()
{
    closeListener();
    if (!m_sessions.isEmpty() && !m_sink) {
        // The timer retransmits and removes finished sessions while we wait.
        if (!m_timer->isActive())
            m_timer->start();
        QElapsedTimer waited;
        waited.start();
        while (!m_sessions.isEmpty() && waited.elapsed() < StopWaitMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    m_timer->stop();
    m_stopped = true;
    // Nothing lingers past Stop: the window that stops the server is closing.
    while (!m_dallying.isEmpty())
        endDally(m_dallying.size() - 1);
}

void KtTFTPServer::endDally(int index)
{
    _TFTPSession *session = m_dallying.takeAt(index).session;
    session->shutdown();
    session->deleteLater();
}

void KtTFTPServer::onRequest()
{
    sockaddr_in from;
    socklen_t fromLen = sizeof from;
    const ssize_t length = ::recvfrom(m_fd, m_recvBuf, BufferSize, MSG_DONTWAIT,
                                      reinterpret_cast<sockaddr *>(&from), &fromLen);
    if (length < 0)
        return;
    handleRequest(m_recvBuf, length, ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
}

// Whether the expected-file restriction turns this request away.
bool KtTFTPServer::refuses(quint16 opcode, const QString &fileName) const
{
    if (m_expectNothing)
        return true;
    if (m_expectedName.isEmpty())
        return false;
    return fileName != m_expectedName
           || (m_expectedDirection != EitherWay && opcode != m_expectedDirection);
}

void KtTFTPServer::handleRequest(const char *data, qint64 length, quint32 fromAddress,
                                 quint16 fromPort)
{
    if (length < HeaderSize || length > BufferSize)
        return;

    m_template.code = 1;
    m_template.text = codeText(1);
    const quint16 opcode = get16(data);
    if (opcode != OpRrq && opcode != OpWrq)
        return;

    // Option extensions after the mode are ignored, and so is the mode: every transfer is
    // binary. The name is taken one character per byte, as the device was given it.
    qint64 pos = 2;
    const QByteArray name = takeString(data, length, pos);
    const QByteArray mode = takeString(data, length, pos);
    m_template.op = opcode;
    m_template.fileName = QString::fromLatin1(name);
    m_template.mode = QString::fromLatin1(mode);
    m_template.clientIP = dottedQuad(fromAddress);
    m_template.clientPort = fromPort;

    for (_TFTPSession *session : std::as_const(m_sessions)) {
        const KtTFTPMsg &msg = session->msg();
        if (msg.op == m_template.op && msg.mode == m_template.mode
            && msg.clientIP == m_template.clientIP && msg.clientPort == m_template.clientPort
            && msg.fileName == m_template.fileName) {
            session->requestRepeated();
            return;
        }
    }

    m_template.retries = 0;
    ++m_template.sessionNo;
    KtTFTPSessionSetup setup;
    setup.rootDir = m_rootDir;
    setup.handler = m_handler;
    setup.maxRetries = m_maxRetries;
    setup.refused = refuses(opcode, m_template.fileName);
    setup.sink = m_sink ? &m_sink : nullptr;
    const qint32 sessionNo = m_template.sessionNo;
    const QString fileName = m_template.fileName;
    setup.stored = [this, sessionNo, fileName](const QString &path) {
        noteStored(sessionNo, fileName, path);
    };
    auto *session = new _TFTPSession(m_template, fromAddress, fromPort, std::move(setup), this);
    m_sessions.append(session);
    session->Start();
}

void KtTFTPServer::noteStored(qint32 sessionNo, const QString &fileName, const QString &path)
{
    if (sessionNo >= m_receiptFrom && (m_expectedName.isEmpty() || fileName == m_expectedName))
        m_receivedPath = path;
    Q_EMIT fileReceived(fileName, path);
}

bool KtTFTPServer::handleSessionDatagram(quint16 sessionPort, const char *data, qint64 length,
                                         quint32 fromAddress, quint16 fromPort)
{
    for (_TFTPSession *session : std::as_const(m_sessions)) {
        if (session->localPort() == sessionPort) {
            session->handleDatagram(data, length, fromAddress, fromPort);
            return true;
        }
    }
    for (const Dally &dally : std::as_const(m_dallying)) {
        if (dally.session->localPort() == sessionPort) {
            dally.session->handleDatagram(data, length, fromAddress, fromPort);
            return true;
        }
    }
    return false;
}

void KtTFTPServer::tick()
{
    const qint64 now = nowMs();
    for (int i = m_dallying.size() - 1; i >= 0; --i) {
        if (now >= m_dallying.at(i).until)
            endDally(i);
    }
    for (int i = 0; i < m_sessions.size(); ++i) {
        _TFTPSession *session = m_sessions.at(i);
        if (session->state() != _TFTPSession::Active) {
            m_sessions.removeAt(i);
            if (session->state() == _TFTPSession::Finished && session->msg().op == OpWrq) {
                // A finished upload keeps its socket for one interval (RFC 1350's dally), to
                // acknowledge its last block again should the device not have heard us.
                m_dallying.append({session, now + qMax(1, session->msg().timeout) * 10});
                return;
            }
            session->shutdown();
            // Later, not now: the handler may be running a nested event loop inside it.
            session->deleteLater();
            return;
        }
        if (session->deadline() != 0 && now > session->deadline()
            && !session->Retransmit(session->maxRetries())) {
            m_sessions.removeAt(i);
            session->Report(-1113);
            session->shutdown();
            session->deleteLater();
            return;
        }
    }
}

QString KtTFTPServer::codeText(int code)
{
    switch (code) {
    case 3: return QStringLiteral("(KtTFTP) Success to transfer file.");
    case 2: return QStringLiteral("(KtTFTP) File is transferring...");
    case 1: return QStringLiteral("(KtTFTP) A TFTP session is connected...");
    case 0: return QStringLiteral("(KtTFTP) A TFTP session is disconnected...");
    case -1101: return QStringLiteral("(KtTFTP) Undefined error:");
    case -1102: return QStringLiteral("(KtTFTP) File not found!");
    case -1103: return QStringLiteral("(KtTFTP) Access violation!");
    case -1104: return QStringLiteral("(KtTFTP) Disk full!");
    case -1105: return QStringLiteral("(KtTFTP) Bad operation!");
    case -1106: return QStringLiteral("(KtTFTP) Unknown port!");
    case -1107: return QStringLiteral("(KtTFTP) File already exist!");
    case -1108: return QStringLiteral("(KtTFTP) No such user!");
    case -1109:
        return QStringLiteral(
            "(KtTFTP) Fail to open socket!Please check if the network is ready.");
    case -1110: return QStringLiteral("(KtTFTP) Fail to send or receive socket packet!");
    case -1111: return QStringLiteral("(KtTFTP) Socket is not ready!");
    case -1112: return QStringLiteral("(KtTFTP) Bad packet!");
    case -1113: return QStringLiteral("(KtTFTP) Timeout!");
    case -1114: return QStringLiteral("(KtTFTP) Transfer has been canceled.");
    default: return QString();
    }
}
