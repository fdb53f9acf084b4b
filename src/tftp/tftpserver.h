// The module's own TFTP server (RFC 1350, binary transfers in 512-byte blocks). The access point
// fetches firmware and configuration files from it and deposits its configuration, its log and
// its time-zone list on it. One session per request, each on an ephemeral port of its own, in
// lock step with one block in flight.
#pragma once

#include <QSaveFile>   // before anything that may define open
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

// One transfer: its own socket, file and record.
class _TFTPSession : public QObject
{
    Q_OBJECT

public:
    enum State { Failed = 0, Active = 1, Finished = 2 };

    _TFTPSession(const KtTFTPMsg &msg, quint32 peerAddress, quint16 peerPort,
                 const QString &rootDir, const TTFTPMsgEvent &handler, int maxRetries,
                 QObject *parent);
    ~_TFTPSession() override;

    void Start();
    void Report(int code);
    // Sends the block in flight again. Returns false when the session gives up.
    bool Retransmit(int limit);

    const KtTFTPMsg &msg() const { return m_msg; }
    int state() const { return m_state; }
    qint64 deadline() const { return m_deadline; }
    quint16 localPort() const { return m_localPort; }
    qint64 totalBytes() const { return m_totalBytes; }
    // Transmissions allowed per block, as the server's limit stood when the session began.
    int maxRetries() const { return m_maxRetries; }

    // The request at the listening port was sent again by the same requester.
    void requestRepeated();
    // Releases the socket and the file at once (the object itself may go later).
    void shutdown();

private:
    void onReadable();
    bool receiveOne(bool wait);
    void handleAck(quint16 block);
    void handleData(quint16 block, qint64 length);
    bool sendBytes(const char *data, qint64 length);
    bool sendAck(quint16 block);
    void sendError(quint16 errorCode, quint32 address, quint16 port);
    void armDeadline();
    void readAhead();
    void sendDataBlock(quint16 block, qint64 count);
    void addBytes(qint64 count);
    bool openSocket();
    bool fileOpen() const;
    bool storeUpload();
    void closeFile();

    KtTFTPMsg m_msg;
    quint32 m_peerAddress;          // host byte order
    quint16 m_peerPort;
    int m_state = Active;
    qint64 m_deadline = 0;          // monotonic milliseconds, 0 = none
    bool m_cancel = false;
    int m_fd = -1;
    quint16 m_localPort = 0;
    QSocketNotifier *m_notifier = nullptr;
    int m_skipBursts = 0;           // notifications to handle without waiting for more
    QFile m_file;                   // the file a read request sends
    // The file a write request receives. It is written beside its final name and takes that
    // name only once the last block is in, so a failed upload neither leaves a partial file
    // nor destroys the one it would have replaced.
    QSaveFile m_upload;
    int m_lastBlock = -1;           // last block accepted, -1 before the first
    quint16 m_block = 0;            // read: the block in flight; write: the block last acked
    // Data bytes of the block in flight. The record's figure is the owner's to read (its
    // handler gets it by reference), so the session does not rely on it.
    qint64 m_sendCount = 0;
    qint64 m_totalBytes = 0;
    QString m_rootDir;
    TTFTPMsgEvent m_handler;
    int m_maxRetries;
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
    // Throws KtTFTPException(-1109) when no UDP socket can be had.
    explicit KtTFTPServer(QObject *owner = nullptr);
    ~KtTFTPServer() override;

    // Interval in 10 ms units and the transmissions allowed per block; for later sessions.
    void SetTimeout(int timeout, int maxRetries);
    void SetOnMessage(TTFTPMsgEvent handler);
    // Serves the folder at the port. Called again while listening it only moves the folder.
    // Throws KtTFTPException(-1109) when the port cannot be had.
    void Listen(const QString &directory, int port = 69);
    // Stops taking requests and lets running sessions finish, for at most 10 seconds.
    void Stop();

    // The text of a state or result code; empty for a code that has none.
    static QString codeText(int code);

    const KtTFTPMsg &msgTemplate() const { return m_template; }
    int maxRetries() const { return m_maxRetries; }
    const QString &rootDir() const { return m_rootDir; }
    bool isListening() const { return m_fd >= 0; }
    const QList<_TFTPSession *> &sessions() const { return m_sessions; }
    // Finished uploads still answering a repeated last block (they hold only their socket).
    int dallyingCount() const { return m_dallying.size(); }

private:
    struct Dally {
        _TFTPSession *session;
        qint64 until; // monotonic milliseconds
    };

    void onRequest();
    void onTimer();
    void closeListener();
    void endDally(int index);

    KtTFTPMsg m_template;
    int m_maxRetries = 3;
    TTFTPMsgEvent m_handler;
    QString m_rootDir;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QList<_TFTPSession *> m_sessions;
    QList<Dally> m_dallying;
    QTimer *m_timer = nullptr;
    bool m_stopped = true;          // Stop has run since the last Listen
    alignas(4) char m_recvBuf[2048];
};
