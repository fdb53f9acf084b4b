// The module's own TFTP server (RFC 1350, binary transfers in 512-byte blocks). The access point
// fetches firmware and configuration files from it and deposits its configuration, its log and
// its time-zone list on it. One session per request, each on an ephemeral port of its own, in
// lock step with one block in flight.
//
// How a window uses it (the firmware, configuration-file, log and SNTP windows):
//
//     m_server = new KtTFTPServer(this);           // throws KtTFTPException(-1109)
//     m_server->SetTimeout(3000, 3);
//     m_server->SetOnMessage([](KtTFTPMsg &, bool &) {});
//     m_server->Listen(QString());                 // the service port: 69, or QRN_TFTP_PORT
//     m_server->ExpectNothing();                   // nothing served before the user acts
//   when the user acts:
//     m_server->Listen(folder);                    // moves the folder only
//     m_server->ExpectFile(bareName, KtTFTPServer::DeviceWrites);   // or DeviceReads
//     ... write remotesrvip, remotefilename (bareName), then the transfer command ...
//   when the window closes:
//     m_server->Stop(); delete m_server;
//
// - Listen throws KtTFTPException(-1109) when the port cannot be had, in particular when another
//   program (another module, tftpd-hpa) already serves it: the port is never shared. The window
//   shows "TFTP Service Init Error:" followed by e.text().
// - ExpectFile makes the server serve exactly that one name of its folder, in one direction:
//   every other request is refused with an ERROR, so a device (or anyone on the network) can
//   neither read the user's other files nor write anything else into the folder. The check for
//   names reaching outside the folder and the transfer identifier check stay on as always.
// - File names travel as the SNMP layer sends `remotefilename`: one byte per character, each
//   byte the character of that code (ISO 8859-1). "café.cfg" goes to the device as the bytes
//   63 61 66 E9 ..., comes back in the request the same, and names the file "café.cfg" of the
//   folder (stored as the file system spells it, UTF-8). isServableName() tells whether a name
//   can make that trip. Names are never changed: a name the folder cannot hold (too long, not
//   creatable there) is refused with an ERROR at the request, and one name reaches only the
//   file of exactly that name.
// - Uploads go to a hidden file beside the final one and take the final name only once the last
//   block is in, before the device hears so: a failed upload leaves the previous file as it was,
//   and nobody ever sees half a file under the name.
// - receivedFile() and fileReceived() tell a window that an upload arrived complete since its
//   last ExpectFile (the request it made), so it never shows a file left from an earlier run.
#pragma once

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <stdexcept>

class QSocketNotifier;
class QTimer;

// The notification record. The server keeps one as the template; every session works on its own
// copy, which is what the handler receives.
struct KtTFTPMsg
{
    qint32 code = -1111;
    QString text;
    qint32 op = 1;                  // 1: the device reads (we send), 2: the device writes
    QString mode = QStringLiteral("octet");
    QString clientIP = QStringLiteral("0.0.0.0");
    QString serverIP = QStringLiteral("127.0.0.1");
    qint32 port = 69;
    // The name the request carried, one character per byte (ISO 8859-1).
    QString fileName;
    // Saturates at 2147483647: the session counts in 64 bits, so a transfer past 2 GB still
    // completes; only this figure stops growing.
    qint32 totalBytes = 0;
    qint32 lastBlockBytes = -1;
    quint32 clientPort = 0;
    qint32 sessionNo = -1;
    qint32 timeout = 1000;          // retransmission interval in 10 ms units
    qint32 retries = 0;
};

// The handler gets the session's record and may set the cancel flag to end the transfer.
using TTFTPMsgEvent = std::function<void(KtTFTPMsg &, bool &)>;

// Where datagrams go instead of a socket (see KtTFTPServer::setDatagramSink): the local port of
// the session sending, the bytes, and the peer they are for.
using KtTFTPDatagramSink = std::function<void(quint16 fromPort, const char *data, qint64 length,
                                              quint32 toAddress, quint16 toPort)>;

// Set-up failures of the server (code -1109). The TFTP library stands alone, so it carries its
// own small exception type rather than the SNMP layer's.
class KtTFTPException : public std::runtime_error
{
public:
    KtTFTPException(int code, const QString &text)
        : std::runtime_error(text.toStdString()), m_code(code), m_text(text)
    {
    }
    int code() const { return m_code; }
    const QString &text() const { return m_text; }

private:
    int m_code;
    QString m_text;
};

// What a session is allowed to do, decided by the server when the request comes in.
struct KtTFTPSessionSetup
{
    QString rootDir;
    TTFTPMsgEvent handler;
    int maxRetries = 3;
    // The server refuses the request (a name other than the expected one): Start sends ERROR.
    bool refused = false;
    const KtTFTPDatagramSink *sink = nullptr;   // null: a socket of its own
    // Called once an upload has been stored under its name and the handler has heard so.
    std::function<void(const QString &path)> stored;
};

// One transfer: its own socket, file and record.
class _TFTPSession : public QObject
{
    Q_OBJECT

public:
    enum State { Failed = 0, Active = 1, Finished = 2 };

    _TFTPSession(const KtTFTPMsg &msg, quint32 peerAddress, quint16 peerPort,
                 KtTFTPSessionSetup setup, QObject *parent);
    ~_TFTPSession() override;

    void Start();
    void Report(int code);
    // Sends the block in flight again. Returns false when the session gives up.
    bool Retransmit(int limit);

    // One datagram that arrived at the session's port.
    void handleDatagram(const char *data, qint64 length, quint32 fromAddress, quint16 fromPort);

    const KtTFTPMsg &msg() const { return m_msg; }
    int state() const { return m_state; }
    qint64 deadline() const { return m_deadline; }
    quint16 localPort() const { return m_localPort; }
    qint64 totalBytes() const { return m_totalBytes; }
    // Transmissions allowed per block, as the server's limit stood when the session began.
    int maxRetries() const { return m_setup.maxRetries; }

    // The request at the listening port was sent again by the same requester.
    void requestRepeated();
    // Releases the socket and the file at once (the object itself may go later).
    void shutdown();

private:
    void onReadable();
    bool receiveOne(bool wait);
    void handleAck(quint16 block);
    void handleData(quint16 block, qint64 length);
    bool sendTo(const char *data, qint64 length, quint32 address, quint16 port);
    bool sendBytes(const char *data, qint64 length);
    bool sendAck(quint16 block);
    void sendError(quint16 errorCode, quint32 address, quint16 port);
    void armDeadline();
    void readAhead();
    void sendDataBlock(quint16 block, qint64 count);
    void addBytes(qint64 count);
    bool openSocket();
    bool fileOpen() const;
    bool openDownload(const QString &path);
    bool openUpload(const QString &path);
    bool storeUpload();
    void closeFile();

    KtTFTPMsg m_msg;
    quint32 m_peerAddress;          // host byte order
    quint16 m_peerPort;
    KtTFTPSessionSetup m_setup;
    int m_state = Active;
    qint64 m_deadline = 0;          // monotonic milliseconds, 0 = none
    bool m_cancel = false;
    int m_fd = -1;
    quint16 m_localPort = 0;
    QSocketNotifier *m_notifier = nullptr;
    int m_skipBursts = 0;           // notifications to handle without waiting for more
    QFile m_file;                   // the file a read request sends
    // The file a write request receives: a hidden file beside the final name, renamed to it
    // once the last block is in. Only where the folder takes no new file but the file of that
    // name may be written is it written in place (m_tempPath empty).
    int m_uploadFd = -1;
    QByteArray m_finalPath;
    QByteArray m_tempPath;
    int m_lastBlock = -1;           // last block accepted, -1 before the first
    quint16 m_block = 0;            // read: the block in flight; write: the block last acked
    // Data bytes of the block in flight. The record's figure is the owner's to read (its
    // handler gets it by reference), so the session does not rely on it.
    qint64 m_sendCount = 0;
    qint64 m_totalBytes = 0;
    // The block in flight, and the one after it, read while the peer handles the first.
    static constexpr qint64 NothingReadAhead = -2;
    char *m_sendBuf;
    char *m_nextBuf;
    qint64 m_nextCount = NothingReadAhead;   // bytes read ahead, -1 when that read failed
    alignas(4) char m_buffers[2][2048];
    alignas(4) char m_recvBuf[2048];
};

class KtTFTPServer : public QObject
{
    Q_OBJECT

public:
    // The direction ExpectFile allows, as the request's operation code.
    enum Direction { EitherWay = 0, DeviceReads = 1, DeviceWrites = 2 };

    // Throws KtTFTPException(-1109) when no UDP socket can be had.
    explicit KtTFTPServer(QObject *owner = nullptr);
    ~KtTFTPServer() override;

    // The port the module serves: 69, or the one QRN_TFTP_PORT names (1..65535; anything else
    // in it is ignored). Tests and unprivileged runs move it there, and point the simulator's
    // --tftp-port at the same number.
    static int servicePort();

    // Interval in 10 ms units and the transmissions allowed per block; for later sessions.
    void SetTimeout(int timeout, int maxRetries);
    void SetOnMessage(TTFTPMsgEvent handler);
    // Serves the folder at the port. Called again while listening it only moves the folder.
    // Throws KtTFTPException(-1109) when the port cannot be had, also when another program
    // holds it: the listening socket does not share its port.
    void Listen(const QString &directory, int port = servicePort());
    // Stops taking requests and lets running sessions finish, for at most 10 seconds.
    void Stop();

    // From now on only fileName (a bare name of the folder, as written to the device) is
    // served, and only in the direction given; any other request gets an ERROR (1 to a read,
    // 2 to a write) and its session reports -1102 or -1103. An empty name
    // serves the whole folder again (the default). Also begins a new receipt (receivedFile).
    void ExpectFile(const QString &fileName, Direction direction = EitherWay);
    const QString &expectedFile() const { return m_expectedName; }
    // Until the next ExpectFile every request is refused: a window that listens when it opens
    // serves nothing before it has chosen its file.
    void ExpectNothing();

    // The path of the last upload stored complete by a session that began after the last
    // ExpectFile (of the expected name, when there is one); empty while there is none. A window
    // reads the file the device sent only from here, so a file left over from an earlier run
    // or an unfinished transfer is never taken for the answer to its request.
    const QString &receivedFile() const { return m_receivedPath; }

    // Whether a file of this name can be served: a bare name (no folder, not "." or ".."),
    // every character one byte on the way to the device (ISO 8859-1). Whether the folder can
    // hold it is decided by the folder, when the device asks.
    static bool isServableName(const QString &fileName);

    // The text of a state or result code; empty for a code that has none.
    static QString codeText(int code);

    const KtTFTPMsg &msgTemplate() const { return m_template; }
    int maxRetries() const { return m_maxRetries; }
    const QString &rootDir() const { return m_rootDir; }
    bool isListening() const { return m_listening; }
    const QList<_TFTPSession *> &sessions() const { return m_sessions; }
    // Finished uploads still answering a repeated last block (they hold only their socket).
    int dallyingCount() const { return m_dallying.size(); }

    // ---- Packet handling without sockets (fuzzing, protocol checks) ----
    // With a sink set (before Listen), Listen binds no port and sessions open no socket: every
    // datagram the server would send goes to the sink, and the caller delivers what arrives.
    // Session ports are then numbers of the server's choosing, passed to the sink as fromPort.
    // Stop then ends running sessions at once, since nothing could answer them while it waited.
    void setDatagramSink(KtTFTPDatagramSink sink);
    // A datagram as it arrived at the listening port.
    void handleRequest(const char *data, qint64 length, quint32 fromAddress, quint16 fromPort);
    // A datagram as it arrived at a session's port (finished uploads still dallying included);
    // false when no session has that port.
    bool handleSessionDatagram(quint16 sessionPort, const char *data, qint64 length,
                               quint32 fromAddress, quint16 fromPort);
    // One tick of the 20 ms timer: retransmissions, time-outs, removal of ended sessions.
    void tick();

Q_SIGNALS:
    // An upload was stored complete under its name (after the handler heard code 3), and, when
    // it counts for receivedFile(), that is now path.
    void fileReceived(const QString &fileName, const QString &path);

private:
    struct Dally {
        _TFTPSession *session;
        qint64 until; // monotonic milliseconds
    };

    void onRequest();
    void closeListener();
    void endDally(int index);
    bool refuses(quint16 opcode, const QString &fileName) const;
    void noteStored(qint32 sessionNo, const QString &fileName, const QString &path);

    KtTFTPMsg m_template;
    int m_maxRetries = 3;
    TTFTPMsgEvent m_handler;
    QString m_rootDir;
    int m_fd = -1;
    bool m_listening = false;
    QSocketNotifier *m_notifier = nullptr;
    QList<_TFTPSession *> m_sessions;
    QList<Dally> m_dallying;
    QTimer *m_timer = nullptr;
    bool m_stopped = true;          // Stop has run since the last Listen
    QString m_expectedName;
    Direction m_expectedDirection = EitherWay;
    bool m_expectNothing = false;
    qint32 m_receiptFrom = 0;       // first session number the receipt counts
    QString m_receivedPath;
    KtTFTPDatagramSink m_sink;
    alignas(4) char m_recvBuf[2048];
};
