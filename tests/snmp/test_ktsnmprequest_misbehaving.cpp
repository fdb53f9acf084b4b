// The request engine against a device that breaks the protocol in ways the simulated access point
// never does: walks that go back, answers that name another variable, columns that end in
// endOfMibView while others go on, answers larger than asked for, unknown error statuses. A small
// SNMPv2c responder on a thread of its own answers each request as the test scripts it.
#include "ktexception.h"
#include "ktsnmprequest.h"
#include "modulesupport.h"
#include "snmpresponder.h"

#include <map>

#include <gtest/gtest.h>

namespace {

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

using namespace SnmpResponder;

struct Outcome {
    QVector<QStringList> rows;
    QVector<KtSNMPError> errors;
    bool ok = true;
};

// Walks (or, for a scalar list, reads) synchronously, at most limit rows.
Outcome readAll(KtSNMPRequest &request, int limit = 50)
{
    Outcome out;
    request.statusCallback = [&out](const KtSNMPError &status) { out.errors.append(status); };
    bool more = false;
    bool first = true;
    do {
        out.ok = request.ReadSync(first, &more);
        first = false;
        if (out.ok && more) {
            QStringList row;
            for (int i = 0; i < request.list.Count(); ++i)
                row << request.list.Item(i).value;
            out.rows.append(row);
        }
    } while (out.ok && more && out.rows.size() < limit);
    return out;
}

const QString kTable = QStringLiteral("1.3.6.1.4.1.99.1.1");

void aimAt(KtSNMPRequest &request, const Responder &responder)
{
    aim(request, QStringLiteral("127.0.0.1"), responder.port(), 1);
    // One send per step, so that the responder counts steps; time enough for a loaded machine.
    request.timeout = 500;
    request.retries = 0;
}

// Rows 1 and 2, then the device answers row 1 again: without a check the walk would read rows
// 1 and 2 for ever.
TEST(MisbehavingDevice, WalkThatGoesBackEndsItsColumn)
{
    const Oid column = oidOf(kTable + QStringLiteral(".1"));
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        const Oid &from = asked.at(0);
        Oid next = column;
        if (from == column)
            next.push_back(1);
        else if (from.size() == column.size() + 1 && from.back() == 1)
            next.push_back(2);
        else
            next.push_back(1); // from row 2 (or anywhere else) back to row 1
        a.bindings.push_back({next, 0x02, integerContent(static_cast<qint64>(next.back()))});
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {varItem(kTable + QStringLiteral(".1"), SYN_INTEGER,
                                           ACC_READONLY),
                                   {}};
    request.list = KtSNMPVarList(table, MVT_UMV, 0);
    const Outcome out = readAll(request);
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(out.errors.isEmpty());
    ASSERT_EQ(out.rows.size(), 2);
    EXPECT_EQ(out.rows.at(1), QStringList{"2"});
    EXPECT_EQ(request.list.Item(0).value, QStringLiteral("(NOTDONE)"));
    EXPECT_EQ(device.requests(), 3);
}

// A get answered with another variable: nothing of it reaches the item, and the read fails
// with a text that says what was wrong.
TEST(MisbehavingDevice, GetAnsweredWithAnotherVariableIsAnError)
{
    Responder device([](int, const std::vector<Oid> &asked) {
        Answer a;
        a.bindings.push_back(integerAt(QStringLiteral("1.3.6.1.4.1.99.3.7.0"), 5));
        for (size_t i = 1; i < asked.size(); ++i)
            a.bindings.push_back({asked[i], 0x02, integerContent(6)});
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {
        varItem(QStringLiteral("1.3.6.1.4.1.99.3.1"), SYN_INTEGER, ACC_READWRITE),
        varItem(QStringLiteral("1.3.6.1.4.1.99.3.2"), SYN_INTEGER, ACC_READWRITE),
        {}};
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    request.list.Item(0).value = QStringLiteral("1");
    request.list.Item(1).value = QStringLiteral("2");
    const Outcome out = readAll(request);
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.errors.size(), 1);
    EXPECT_EQ(out.errors.at(0).code, -417);
    EXPECT_EQ(out.errors.at(0).text, QStringLiteral("(SNMPClass) Invalid Object Identifier!"));
    EXPECT_EQ(out.errors.at(0).errorIndex, 1);
    EXPECT_EQ(request.list.Item(0).value, QStringLiteral("1"));
    EXPECT_EQ(request.list.Item(1).value, QStringLiteral("2"));
}

// Column 1 ends in endOfMibView after its first row while column 2 has two more rows.
TEST(MisbehavingDevice, ColumnEndingInEndOfMibViewLeavesTheOthersGoing)
{
    const Oid first = oidOf(kTable + QStringLiteral(".1"));
    const Oid second = oidOf(kTable + QStringLiteral(".2"));
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            const bool inFirst = std::equal(first.begin(), first.end(), from.begin());
            Oid next = inFirst ? first : second;
            const quint32 row = from.size() > next.size() ? from.back() : 0;
            if ((inFirst && row >= 1) || (!inFirst && row >= 3)) {
                a.bindings.push_back(endOfMibViewAt(from));
                continue;
            }
            next.push_back(row + 1);
            a.bindings.push_back(
                {next, 0x02, integerContent((inFirst ? 10 : 20) + qint64(row) + 1)});
        }
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {
        varItem(kTable + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS),
        varItem(kTable + QStringLiteral(".1"), SYN_INTEGER, ACC_READONLY),
        varItem(kTable + QStringLiteral(".2"), SYN_INTEGER, ACC_READONLY),
        {}};
    request.list = KtSNMPVarList(table, MVT_FMV, 1);
    const Outcome out = readAll(request);
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(out.errors.isEmpty());
    EXPECT_EQ(out.rows, (QVector<QStringList>{{"1", "11", "21"},
                                             {"2", "(NOTDONE)", "22"},
                                             {"3", "(NOTDONE)", "23"}}));
}

// A long value and many more bindings than were asked for: the value arrives whole, the extra
// bindings are left alone.
TEST(MisbehavingDevice, AnswerLargerThanAskedForIsReadAsFarAsAsked)
{
    const QByteArray longText(20000, 'x');
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        a.bindings.push_back({asked.at(0), 0x04, longText});
        for (int i = 0; i < 500; ++i)
            a.bindings.push_back(
                integerAt(QStringLiteral("1.3.6.1.4.1.99.9.%1.0").arg(i + 1), i));
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {
        varItem(QStringLiteral("1.3.6.1.4.1.99.3.1"), SYN_DISPLAYSTR, ACC_READONLY), {}};
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    const Outcome out = readAll(request);
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(out.errors.isEmpty());
    EXPECT_EQ(request.list.Item(0).value, QString::fromLatin1(longText));
}

// Answers that do not fit what was asked: an error status no SNMP version defines, and fewer
// bindings than were asked for.
TEST(MisbehavingDevice, UnknownErrorStatusAndMissingBindingsAreReported)
{
    std::atomic<int> errorStatus{25};
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        a.errorStatus = errorStatus;
        a.errorIndex = a.errorStatus ? 1 : 0;
        a.bindings.push_back({asked.at(0), 0x02, integerContent(1)});
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {
        varItem(QStringLiteral("1.3.6.1.4.1.99.3.1"), SYN_INTEGER, ACC_READONLY),
        varItem(QStringLiteral("1.3.6.1.4.1.99.3.2"), SYN_INTEGER, ACC_READONLY),
        {}};
    request.list = KtSNMPVarList(table, SVT_SV, 0);
    Outcome out = readAll(request);
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.errors.size(), 1);
    EXPECT_EQ(out.errors.at(0).code, -528);
    EXPECT_EQ(out.errors.at(0).text, QStringLiteral("(KtSNMP++) Unknown error code!"));

    errorStatus = 0;
    out = readAll(request);
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.errors.size(), 1);
    EXPECT_EQ(out.errors.at(0).code, -411);
    EXPECT_EQ(out.errors.at(0).text, QStringLiteral("(SNMPClass) Invalid Pdu!"));
}

// A datagram the system refuses to send (port 0) is a transport failure, reported at once and
// in both modes; the asynchronous send does not stay counted as outstanding.
TEST(MisbehavingDevice, SendThatFailsIsATransportFailure)
{
    for (bool asynchronous : {false, true}) {
        KtSNMPRequest request;
        aim(request, QStringLiteral("127.0.0.1"), 0, 1);
        const KtSNMPVarItem table[] = {
            varItem(QStringLiteral("1.3.6.1.4.1.99.3.1"), SYN_INTEGER, ACC_READONLY), {}};
        request.list = KtSNMPVarList(table, SVT_SV, 0);
        QVector<KtSNMPError> errors;
        request.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
        if (asynchronous) {
            KtSNMPError completed;
            bool done = false;
            request.ReadAsync(
                [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
                    completed = status;
                    done = true;
                },
                nullptr, true);
            ASSERT_TRUE(processUntil([&] { return done; }, 5000));
            EXPECT_EQ(completed.code, -422);
            EXPECT_EQ(completed.finished, 1);
            EXPECT_EQ(request.outstanding, 0);
        } else {
            EXPECT_FALSE(request.ReadSync(true));
        }
        ASSERT_EQ(errors.size(), 1) << (asynchronous ? "async" : "sync");
        EXPECT_EQ(errors.at(0).code, -422);
        EXPECT_EQ(errors.at(0).text, QStringLiteral("(SNMPClass) Transport operation failed!"));
    }
}

// A row index shorter than the table's keys: the synchronous step raises -514; the
// asynchronous one cannot raise into the event loop, so it reports the same code and text to
// the status callback and the completion, and the send no longer counts as outstanding.
TEST(MisbehavingDevice, BadKeyCountOfAnAsynchronousStepIsReported)
{
    const Oid column = oidOf(kTable + QStringLiteral(".3"));
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            Oid next = column;
            next.push_back(from.size() > column.size() ? from.back() + 1 : 1);
            a.bindings.push_back({next, 0x02, integerContent(7)});
        }
        return a;
    });
    KtSNMPRequest request;
    aimAt(request, device);
    const KtSNMPVarItem table[] = {
        varItem(kTable + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS),
        varItem(kTable + QStringLiteral(".2"), SYN_INTEGER, ACC_NOTACCESS),
        varItem(kTable + QStringLiteral(".3"), SYN_INTEGER, ACC_READONLY),
        {}};
    request.list = KtSNMPVarList(table, MVT_FMV, 2);
    try {
        request.ReadSync(true);
        ADD_FAILURE() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -514);
    }

    QVector<KtSNMPError> errors;
    request.statusCallback = [&](const KtSNMPError &status) { errors.append(status); };
    KtSNMPError completed;
    bool done = false;
    request.ReadAsync(
        [&](void *, const KtSNMPError &status, KtSNMPVarList &) {
            completed = status;
            done = true;
        },
        nullptr, true);
    ASSERT_TRUE(processUntil([&] { return done; }, 5000));
    EXPECT_EQ(completed.code, -514);
    EXPECT_EQ(completed.text, QStringLiteral("(KtSNMP++) Bad key count of SNMP variable list!"));
    EXPECT_EQ(completed.finished, 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).code, -514);
    EXPECT_EQ(errors.at(0).serial, completed.serial);
    EXPECT_EQ(request.outstanding, 0);
}

// A table with holes: column 1 has no cell in row 2, column 2 none in row 4. Each value must
// arrive with its own row's key; a column without a cell in a row shows "(NOTDONE)" there.
TEST(MisbehavingDevice, TableWithHolesDeliversEveryValueInItsOwnRow)
{
    std::map<Oid, qint64> cells;
    for (quint32 row : {1u, 3u, 4u})
        cells[oidOf(kTable + QStringLiteral(".1.%1").arg(row))] = 10 + row;
    for (quint32 row : {1u, 2u, 3u})
        cells[oidOf(kTable + QStringLiteral(".2.%1").arg(row))] = 20 + row;
    cells[oidOf(QStringLiteral("1.3.6.1.4.1.99.2.0"))] = 99; // what follows the table
    Responder device([&](int, const std::vector<Oid> &asked) {
        Answer a;
        for (const Oid &from : asked) {
            const auto next = cells.upper_bound(from);
            if (next == cells.end())
                a.bindings.push_back(endOfMibViewAt(from));
            else
                a.bindings.push_back({next->first, 0x02, integerContent(next->second)});
        }
        return a;
    });
    for (bool swapped : {false, true}) {
        KtSNMPRequest request;
        aimAt(request, device);
        const QString first = kTable + (swapped ? QStringLiteral(".2") : QStringLiteral(".1"));
        const QString second = kTable + (swapped ? QStringLiteral(".1") : QStringLiteral(".2"));
        const KtSNMPVarItem table[] = {
            varItem(kTable + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS),
            varItem(first, SYN_INTEGER, ACC_READONLY),
            varItem(second, SYN_INTEGER, ACC_READONLY),
            {}};
        request.list = KtSNMPVarList(table, MVT_FMV, 1);
        const Outcome out = readAll(request);
        EXPECT_TRUE(out.ok);
        EXPECT_TRUE(out.errors.isEmpty());
        QVector<QStringList> expected = {{"1", "11", "21"},
                                         {"2", "(NOTDONE)", "22"},
                                         {"3", "13", "23"},
                                         {"4", "14", "(NOTDONE)"}};
        if (swapped)
            for (QStringList &row : expected)
                row.swapItemsAt(1, 2);
        EXPECT_EQ(out.rows, expected) << (swapped ? "column 2 first" : "column 1 first");
    }
}

} // namespace
