// A small SNMPv2c responder for the request engine's tests: answers on a loopback port from a
// thread of its own as the test scripts it, so that a test can play a device that breaks the
// protocol in ways the simulated access point never does.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace SnmpResponder {

using Oid = std::vector<quint32>;

inline Oid oidOf(const QString &text)
{
    Oid oid;
    for (const QString &part : text.split(QLatin1Char('.')))
        oid.push_back(part.toUInt());
    return oid;
}

// ---- Just enough BER for SNMPv2c get, get-next and their responses ----

inline QByteArray tlv(quint8 tag, const QByteArray &content)
{
    QByteArray out(1, static_cast<char>(tag));
    const int n = static_cast<int>(content.size());
    if (n < 0x80) {
        out.append(static_cast<char>(n));
    } else {
        out.append(static_cast<char>(0x82));
        out.append(static_cast<char>(n >> 8));
        out.append(static_cast<char>(n & 0xff));
    }
    return out + content;
}

inline QByteArray integerContent(qint64 value)
{
    QByteArray bytes;
    for (int shift = 56; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xff));
    // Minimal two's complement: drop leading bytes that only repeat the sign.
    while (bytes.size() > 1
           && ((bytes.at(0) == 0 && (bytes.at(1) & 0x80) == 0)
               || (bytes.at(0) == char(0xff) && (bytes.at(1) & 0x80) != 0)))
        bytes.remove(0, 1);
    return bytes;
}

inline QByteArray oidContent(const Oid &oid)
{
    QByteArray out(1, static_cast<char>(oid.at(0) * 40 + oid.at(1)));
    for (size_t i = 2; i < oid.size(); ++i) {
        QByteArray part(1, static_cast<char>(oid[i] & 0x7f));
        for (quint32 v = oid[i] >> 7; v; v >>= 7)
            part.prepend(static_cast<char>(0x80 | (v & 0x7f)));
        out += part;
    }
    return out;
}

// The element at *pos, which moves past it; false when the data ends inside it or its length
// takes more than four bytes.
inline bool readTlv(const QByteArray &data, int *pos, quint8 *tag, QByteArray *content)
{
    if (*pos + 2 > data.size())
        return false;
    *tag = static_cast<quint8>(data.at(*pos));
    qint64 length = static_cast<quint8>(data.at(*pos + 1));
    int at = *pos + 2;
    if (length & 0x80) {
        const int bytes = static_cast<int>(length & 0x7f);
        if (bytes > 4)
            return false;
        length = 0;
        for (int i = 0; i < bytes && at < data.size(); ++i)
            length = (length << 8) | static_cast<quint8>(data.at(at++));
    }
    if (at + length > data.size())
        return false;
    *content = data.mid(at, static_cast<int>(length));
    *pos = at + static_cast<int>(length);
    return true;
}

inline Oid decodeOid(const QByteArray &content)
{
    Oid oid;
    if (content.isEmpty())
        return oid;
    const quint8 first = static_cast<quint8>(content.at(0));
    oid.push_back(first / 40);
    oid.push_back(first % 40);
    quint32 value = 0;
    for (int i = 1; i < content.size(); ++i) {
        const quint8 b = static_cast<quint8>(content.at(i));
        value = (value << 7) | (b & 0x7f);
        if (!(b & 0x80)) {
            oid.push_back(value);
            value = 0;
        }
    }
    return oid;
}

struct Binding {
    Oid oid;
    quint8 tag = 0x05;
    QByteArray content;
};

inline Binding integerAt(const QString &oid, qint64 value)
{
    return {oidOf(oid), 0x02, integerContent(value)};
}

inline Binding endOfMibViewAt(const Oid &oid)
{
    return {oid, 0x82, {}};
}

struct Answer {
    int errorStatus = 0;
    int errorIndex = 0;
    std::vector<Binding> bindings;
};

enum Command { Get = 0xa0, GetNext = 0xa1, GetBulk = 0xa5 };

// Answers SNMPv2c get, get-next and getbulk on 127.0.0.1 from its own thread, as the script
// says. A getbulk the script does not answer itself (bulk left empty) is answered as a
// well-behaved agent would from the script's get-next answers: repetition after repetition,
// each column going on from its last answer, endOfMibView once there.
class Responder
{
public:
    using Script = std::function<Answer(int command, const std::vector<Oid> &asked)>;
    using BulkScript =
        std::function<Answer(int maxRepetitions, const std::vector<Oid> &asked)>;

    explicit Responder(Script script, BulkScript bulk = nullptr)
        : m_script(std::move(script)), m_bulk(std::move(bulk))
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr *>(&local), sizeof local);
        socklen_t size = sizeof local;
        ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&local), &size);
        m_port = ntohs(local.sin_port);
        timeval wait{0, 100000};
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        m_thread = std::thread([this] { serve(); });
    }
    ~Responder()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_socket);
    }
    quint16 port() const { return m_port; }
    int requests() const { return m_requests; }
    // The commands of the requests answered, in order.
    std::vector<int> commands() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_commands;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.clear();
        m_requests = 0;
    }

private:
    void serve()
    {
        std::vector<char> buffer(65536);
        while (!m_stop) {
            sockaddr_in peer{};
            socklen_t size = sizeof peer;
            const auto got = ::recvfrom(m_socket, buffer.data(), buffer.size(), 0,
                                        reinterpret_cast<sockaddr *>(&peer), &size);
            if (got <= 0)
                continue;
            const QByteArray reply = answer(QByteArray(buffer.data(), static_cast<int>(got)));
            if (reply.isEmpty())
                continue;
            ++m_requests;
            ::sendto(m_socket, reply.constData(), static_cast<size_t>(reply.size()), 0,
                     reinterpret_cast<sockaddr *>(&peer), size);
        }
    }

    QByteArray answer(const QByteArray &datagram)
    {
        int pos = 0;
        quint8 tag = 0;
        QByteArray message, version, community, pdu, requestId, skip, list;
        if (!readTlv(datagram, &pos, &tag, &message) || tag != 0x30)
            return {};
        pos = 0;
        if (!readTlv(message, &pos, &tag, &version) || !readTlv(message, &pos, &tag, &community)
            || !readTlv(message, &pos, &tag, &pdu))
            return {};
        const int command = tag;
        pos = 0;
        QByteArray repetitions;
        if (!readTlv(pdu, &pos, &tag, &requestId) || !readTlv(pdu, &pos, &tag, &skip)
            || !readTlv(pdu, &pos, &tag, &repetitions) || !readTlv(pdu, &pos, &tag, &list))
            return {};
        std::vector<Oid> asked;
        for (int at = 0; at < list.size();) {
            QByteArray binding, name;
            if (!readTlv(list, &at, &tag, &binding))
                return {};
            int inner = 0;
            if (!readTlv(binding, &inner, &tag, &name))
                return {};
            asked.push_back(decodeOid(name));
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.push_back(command);
        }
        const Answer scripted = command != GetBulk ? m_script(command, asked)
                                : m_bulk          ? m_bulk(integerValue(repetitions), asked)
                                                  : bulkFromGetNext(integerValue(repetitions), asked);
        QByteArray bindings;
        for (const Binding &b : scripted.bindings)
            bindings += tlv(0x30, tlv(0x06, oidContent(b.oid)) + tlv(b.tag, b.content));
        const QByteArray response = tlv(0x02, requestId)
                                    + tlv(0x02, integerContent(scripted.errorStatus))
                                    + tlv(0x02, integerContent(scripted.errorIndex))
                                    + tlv(0x30, bindings);
        return tlv(0x30, tlv(0x02, version) + tlv(0x04, community) + tlv(0xa2, response));
    }

    static int integerValue(const QByteArray &content)
    {
        qint64 value = content.isEmpty() || (content.at(0) & 0x80) == 0 ? 0 : -1;
        for (char c : content)
            value = (value << 8) | static_cast<quint8>(c);
        return static_cast<int>(value);
    }

    Answer bulkFromGetNext(int repetitions, std::vector<Oid> asked)
    {
        Answer bulk;
        std::vector<bool> ended(asked.size(), false);
        for (int r = 0; r < repetitions; ++r) {
            const Answer step = m_script(GetNext, asked);
            if (step.errorStatus != 0 || step.bindings.size() != asked.size())
                return r == 0 ? step : bulk;
            for (size_t c = 0; c < asked.size(); ++c) {
                Binding b = step.bindings[c];
                ended[c] = ended[c] || b.tag == 0x82;
                if (ended[c])
                    b = endOfMibViewAt(asked[c]);
                bulk.bindings.push_back(b);
                asked[c] = b.oid;
            }
        }
        return bulk;
    }

    Script m_script;
    BulkScript m_bulk;
    mutable std::mutex m_mutex;
    std::vector<int> m_commands;
    int m_socket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

} // namespace SnmpResponder
