// Status lines of control-bound requests: the snmp.msg templates, the list name, the 12-hour
// clock, the three status controls, and the message box used without one. No device.
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmprequest2edits.h"
#include "testenv.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

KtSNMPVarItem item(const char *name)
{
    return makeVarItem(QStringLiteral("1.3.6.1.2.1.1.5"), QString::fromLatin1(name),
                       SYN_DISPLAYSTR, ACC_READWRITE);
}

struct ClockRow {
    const char *name;
    QTime time;
    const char *shown;
};

class Clock : public ::testing::TestWithParam<ClockRow> {};

TEST_P(Clock, HoursOnTheTwelveHourClockWithAmOrPm)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    EXPECT_EQ(request.StatusLine(QStringLiteral("x"), GetParam().time),
              QStringLiteral("Get: x. Receive at %1.").arg(QString::fromLatin1(GetParam().shown)));
}

INSTANTIATE_TEST_SUITE_P(
    Times, Clock,
    ::testing::Values(ClockRow{"evening", QTime(19, 5, 9), "07:05:09 PM"},
                      ClockRow{"justAfterMidnight", QTime(0, 0, 1), "12:00:01 AM"},
                      ClockRow{"lastMorningSecond", QTime(11, 59, 59), "11:59:59 AM"},
                      ClockRow{"noon", QTime(12, 30, 0), "12:30:00 PM"},
                      ClockRow{"lastSecond", QTime(23, 59, 59), "11:59:59 PM"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(StatusLine, UnnamedListLeavesTheRequestPartOut)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    const QTime time(9, 8, 7);
    EXPECT_EQ(request.StatusLine(QStringLiteral("(KtSNMP++) Ok!"), time),
              QStringLiteral("Get: (KtSNMP++) Ok!. Receive at 09:08:07 AM."));
    request.messageIndex = KtSNMPRequest2Controls::SetMessage;
    EXPECT_EQ(request.StatusLine(QStringLiteral("(SNMP) Bad Value!"), time),
              QStringLiteral("Set: (SNMP) Bad Value!. Receive at 09:08:07 AM."));
}

TEST(StatusLine, NamedListNamesItself)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    request.list().listName = QStringLiteral("System");
    EXPECT_EQ(request.StatusLine(QStringLiteral("(KtSNMP++) Ok!"), QTime(13, 0, 0)),
              QStringLiteral("Get: (KtSNMP++) Ok! Request:System. Receive at 01:00:00 PM."));
}

TEST(StatusLine, MarkersInsideTheTextsAreNotReplacedAgain)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    request.list().listName = QStringLiteral("[TIME]");
    EXPECT_EQ(request.StatusLine(QStringLiteral("[VARLIST]"), QTime(13, 0, 0)),
              QStringLiteral("Get: [VARLIST] Request:[TIME]. Receive at 01:00:00 PM."));
}

TEST(StatusLine, TemplatesComeFromTheLoadedCatalogue)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("snmp.msg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    QTextStream(&file) << "Lu: [ERROR] Liste:[VARLIST]. Um [TIME].\n"
                       << "Gesetzt: [ERROR] Liste:[VARLIST]. Um [TIME].\n";
    file.close();
    ASSERT_TRUE(KtMessages::LoadCatalogue(KtMessages::Table::SnmpMsg, file.fileName()));
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    EXPECT_EQ(request.StatusLine(QStringLiteral("gut"), QTime(8, 0, 0)),
              QStringLiteral("Lu: gut. Um 08:00:00 AM."));
    KtMessages::resetToBuiltIn();
}

TEST(StatusControls, MemoAppendsStatusBarAndPanelReplace)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    QPlainTextEdit memo;
    request.SetStatusControl(&memo);
    request.ShowStatus(QStringLiteral("one"));
    request.ShowStatus(QStringLiteral("two"));
    const QStringList lines = memo.toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("Get: one. Receive at ")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("Get: two. Receive at ")));

    QStatusBar bar;
    request.SetStatusControl(&bar);
    request.ShowStatus(QStringLiteral("one"));
    request.ShowStatus(QStringLiteral("two"));
    EXPECT_TRUE(bar.currentMessage().startsWith(QStringLiteral("Get: two. Receive at ")));

    QLabel panel;
    request.SetStatusControl(&panel);
    request.ShowStatus(QStringLiteral("three"));
    EXPECT_TRUE(panel.text().startsWith(QStringLiteral("Get: three. Receive at ")));
}

TEST(StatusControls, AnEditIsNoStatusControl)
{
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    QLineEdit edit;
    try {
        request.SetStatusControl(&edit);
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -521);
    }
    EXPECT_EQ(request.statusControl, nullptr);
}

TEST(StatusControls, WithoutAStatusControlShowStatusShowsNothing)
{
    KtDialogs::Script dialogs;
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    request.ShowStatus(QStringLiteral("lost"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(Reports, WithoutAStatusControlAResultIsAMessageBoxOwnedByTheForm)
{
    KtDialogs::Script dialogs;
    QWidget form;
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(&form, table, SVT_SV);
    KtSNMPError status;
    status.code = -105;
    status.text = QStringLiteral("(SNMP) General error!");
    request.ReportSetResult(status);
    EXPECT_EQ(request.messageIndex, KtSNMPRequest2Controls::SetMessage);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages().at(0).text, status.text);
    EXPECT_EQ(dialogs.messages().at(0).caption, KtDialogs::programFileName());
    request.ReportGetResult(status);
    EXPECT_EQ(request.messageIndex, KtSNMPRequest2Controls::GetMessage);
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST(Reports, DefaultStatusCallbackChoosesByMessageIndexAndKeepsSuccessOutOfBoxes)
{
    KtDialogs::Script dialogs;
    const KtSNMPVarItem table[] = {item("sysName"), {}};
    KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
    ASSERT_TRUE(request.request.statusCallback);
    KtSNMPError ok;
    ok.text = QStringLiteral("(KtSNMP++) Ok!");
    KtSNMPError failed;
    failed.code = -102;
    failed.text = QStringLiteral("(SNMP) Variable does not exist!");

    request.request.statusCallback(ok);
    EXPECT_TRUE(dialogs.messages().isEmpty());
    request.request.statusCallback(failed);
    EXPECT_EQ(dialogs.messages().size(), 1);

    QStatusBar bar;
    request.SetStatusControl(&bar);
    request.messageIndex = KtSNMPRequest2Controls::SetMessage;
    request.request.statusCallback(ok);
    EXPECT_TRUE(bar.currentMessage().startsWith(QStringLiteral("Set: (KtSNMP++) Ok!. ")));
    request.messageIndex = KtSNMPRequest2Controls::GetMessage;
    request.request.statusCallback(failed);
    EXPECT_TRUE(bar.currentMessage().startsWith(
        QStringLiteral("Get: (SNMP) Variable does not exist!. ")));
    EXPECT_EQ(dialogs.messages().size(), 1);
}

// A window whose items were all left out of a read or write: nothing goes to the device, and
// the status line says so instead of "Ok", in both modes. (The address has no device behind
// it: an "Ok" could only be made up.)
TEST(Reports, ReadOrWriteWithEveryItemLeftOutSaysNothingWasSent)
{
    KtDialogs::Script dialogs;
    const KtSNMPVarItem table[] = {item("sysName"), item("sysContact"), {}};
    for (const quint8 mode : {KtSNMPRequest2Controls::Synchronous,
                              KtSNMPRequest2Controls::Asynchronous}) {
        SCOPED_TRACE(mode == KtSNMPRequest2Controls::Synchronous ? "synchronous" : "asynchronous");
        KtSNMPRequest2Edits request(nullptr, table, SVT_SV);
        request.request.address = QStringLiteral("127.0.0.1");
        request.request.port = 9; // discard: nothing may be sent there anyway
        request.mode = mode;
        for (int i = 0; i < request.list().Count(); ++i)
            request.list().Item(i).access |= ACC_INVALID;
        QLabel panel;
        request.SetStatusControl(&panel);
        QVector<KtSNMPError> completed;
        request.OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
            completed.append(status);
        };
        request.OnSetComplete = request.OnGetComplete;

        EXPECT_TRUE(request.Get());
        ASSERT_TRUE(processUntil([&] { return request.busy == 0; }));
        EXPECT_TRUE(panel.text().startsWith(
            QStringLiteral("Get: (KtSNMP++) Nothing sent: no item to read!. ")))
            << panel.text().toStdString();

        EXPECT_TRUE(request.Set(false, false));
        ASSERT_TRUE(processUntil([&] { return request.busy == 0; }));
        EXPECT_TRUE(panel.text().startsWith(
            QStringLiteral("Set: (KtSNMP++) Nothing sent: no item to write!. ")))
            << panel.text().toStdString();

        if (mode == KtSNMPRequest2Controls::Asynchronous) {
            ASSERT_EQ(completed.size(), 2);
            EXPECT_EQ(completed.at(0).code, 0);
            EXPECT_EQ(completed.at(0).text,
                      QStringLiteral("(KtSNMP++) Nothing sent: no item to read!"));
            EXPECT_EQ(completed.at(1).text,
                      QStringLiteral("(KtSNMP++) Nothing sent: no item to write!"));
        }
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.texts().join(u'|').toStdString();
}

} // namespace
