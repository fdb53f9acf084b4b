// "Status \ Client Info" against the simulated access point: the client list built from the
// raw table (free slots left out without using a number, the band, authentication and
// power-saving texts), the WDS list shown only for the bridge modes, the firmware that never
// delivers a list, the close refused while both lists are read, and the one-second refresh of
// a thousand stations that never runs two walks at once.
#include "ktsnmprequest2edits.h"
#include "new_req2edit.h"
#include "tclientinformation.h"
#include "windowtest.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const QString kClientTable = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2");
const QString kClientColumn1 = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2.1.1");
const QString kWdsTable = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.6.2");
const QString kAdGetClient = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.1.1.1");
const QString kWdsGet = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.6.1.1.1");

QStringList rowTexts(const QTreeWidget *view, int row)
{
    QStringList texts;
    const QTreeWidgetItem *item = view->topLevelItem(row);
    for (int column = 0; column < view->columnCount(); ++column)
        texts << item->text(column);
    return texts;
}

QStringList headers(const QTreeWidget *view)
{
    QStringList texts;
    for (int column = 0; column < view->columnCount(); ++column)
        texts << view->headerItem()->text(column);
    return texts;
}

// Runs the event loop as a modal window's loop does (processUntil pauses between its rounds,
// which would make a walk of a thousand rows crawl) until condition() holds or timeoutMs.
bool runLoopUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition() || waited.elapsed() > timeoutMs)
            loop.quit();
    });
    check.start(10);
    loop.exec();
    return condition();
}

class ClientWindow : public PageWindowTest
{
protected:
    // The window shown, once its client list (and its WDS list, when shown) has arrived.
    void showAndWaitForLists(TClientInformation &window)
    {
        window.show();
        ASSERT_TRUE(processUntil([&] {
            return !window.La_ClientCount->text().isEmpty()
                   && (!window.wdsShown() || !window.La_WDSCount->text().isEmpty());
        }));
    }
};

TEST(ClientTexts, DeviceValuesAndWhatTheClientListShows)
{
    const struct {
        const char *value;
        const char *band, *authentication, *powerSaving;
    } rows[] = {{"0", "A", "Open System", "Off"},
                {"1", "B", "Shared Key", "On"},
                {"2", "G", "WPA-Enterprise", " "},
                {"3", "G", "WPA-Personal", " "},
                {"4", " ", "Auto", " "},
                {"8", " ", "WPA-Auto-Personal", " "},
                {"9", " ", " ", " "},
                {"-1", " ", " ", " "},
                {"(NULL)", " ", " ", " "}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.value);
        const QString value = QLatin1String(row.value);
        EXPECT_EQ(TClientInformation::bandText(value), QLatin1String(row.band));
        EXPECT_EQ(TClientInformation::authenticationText(value),
                  QLatin1String(row.authentication));
        EXPECT_EQ(TClientInformation::powerSavingText(value), QLatin1String(row.powerSaving));
    }
    EXPECT_EQ(TClientInformation::signalText(QStringLiteral("78")), QStringLiteral("78  %"));
}

TEST_F(ClientWindow, ClientListLeavesOutFreeSlotsAndNumbersTheRest)
{
    startDevice();
    // A station the firmware reports with values outside every list.
    simCommand(QStringLiteral("row clients 9 9 00AABBCCDDEE 4 9 50 2 \"Lab guest\""));
    markLog();
    TClientInformation window(m_form.get());
    showAndWaitForLists(window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Status \\ Client Info"));
    EXPECT_EQ(headers(window.LV_Client),
              (QStringList{"Index", "Client MAC Address", "Band", "Authentication", "Signal",
                           "Power Saving Mode", "SSID"}));
    // Slots 4 and 7 are free (000000000000): seven stations, numbered 1 to 7.
    ASSERT_EQ(window.LV_Client->topLevelItemCount(), 7);
    EXPECT_EQ(window.La_ClientCount->text(), QStringLiteral("7"));
    EXPECT_EQ(rowTexts(window.LV_Client, 0),
              (QStringList{"1", "0013CE2A4F11", "A", "WPA2-Personal", "78  %", "Off",
                           "Norvane-11a"}));
    EXPECT_EQ(rowTexts(window.LV_Client, 2),
              (QStringList{"3", "0016CB03B2E7", "G", "WPA-Auto-Personal", "55  %", "Off",
                           "Norvane-11g"}));
    EXPECT_EQ(rowTexts(window.LV_Client, 3),
              (QStringList{"4", "00904BB1C2D3", "B", "Open System", "41  %", "On",
                           "Norvane-Guest"}));
    EXPECT_EQ(rowTexts(window.LV_Client, 4),
              (QStringList{"5", "000E3591AC40", "G", "Auto", "37  %", "Off", "Norvane-Voice"}));
    EXPECT_EQ(rowTexts(window.LV_Client, 6),
              (QStringList{"7", "00AABBCCDDEE", " ", " ", "50  %", " ", "Lab guest"}));

    // Both access-point radios: no WDS tab, and the device is never asked for WDS peers.
    EXPECT_FALSE(window.wdsShown());
    EXPECT_FALSE(window.PageControl1->isTabVisible(1));
    const QStringList writes = writesSinceMark();
    EXPECT_GE(countLines(writes, kAdGetClient + QStringLiteral(".1=1 ")), 1);
    EXPECT_GE(countLines(writes, kAdGetClient + QStringLiteral(".2=1 ")), 1);
    EXPECT_EQ(countLines(writes, kWdsGet), 0);
    EXPECT_EQ(countLines(requestsSinceMark(), kWdsTable), 0);
}

TEST_F(ClientWindow, WdsListForABridgeShowsTheWdsTextsUnderTheClientCaptions)
{
    startDevice(QStringLiteral("wds"));
    // Authentication 4 reads "Open System / Shared Key" here and "Auto" in the client list.
    simCommand(QStringLiteral("row wdspeers 3 3 000F3DFA9999 2 4 55 0 \"Peer-g\""));
    markLog();
    TClientInformation window(m_form.get());
    showAndWaitForLists(window);
    EXPECT_TRUE(window.PageControl1->isTabVisible(1));
    EXPECT_EQ(headers(window.LV_WDS), headers(window.LV_Client));
    ASSERT_EQ(window.LV_WDS->topLevelItemCount(), 3);
    EXPECT_EQ(window.La_WDSCount->text(), QStringLiteral("3"));
    EXPECT_EQ(rowTexts(window.LV_WDS, 0),
              (QStringList{"1", "000F3DFA7C21", "A", "WPA2-Personal", "62", "Enable",
                           "Norvane-11a"}));
    EXPECT_EQ(rowTexts(window.LV_WDS, 2),
              (QStringList{"3", "000F3DFA9999", "G", "Open System / Shared Key", "55",
                           "Disable", "Peer-g"}));
    EXPECT_EQ(window.LV_Client->topLevelItem(4)->text(3), QStringLiteral("Auto"));
    const QStringList writes = writesSinceMark();
    EXPECT_EQ(countLines(writes, kWdsGet + QStringLiteral(".1=1 ")), 1);
    EXPECT_EQ(countLines(writes, kWdsGet + QStringLiteral(".2=1 ")), 1);

    // Refresh asks again and numbers from 1 again.
    simCommand(QStringLiteral("clear-rows wdspeers"));
    simCommand(QStringLiteral("row wdspeers 2 2 000F3DFA8E07 0 0 48 1 \"Lab-Bridge\""));
    window.Bt_WDSRefresh->click();
    ASSERT_TRUE(processUntil([&] { return window.La_WDSCount->text() == u"1"; }));
    EXPECT_EQ(rowTexts(window.LV_WDS, 0).mid(0, 2), (QStringList{"1", "000F3DFA8E07"}));
}

TEST_F(ClientWindow, ClientTableThatNeverAnswersGivesTheWarningAfterThreeSecondsAndCloses)
{
    startDevice();
    simCommand(QStringLiteral("mute ") + kClientTable);
    TClientInformation window(m_form.get());
    QElapsedTimer shown;
    window.show();
    shown.start();
    ASSERT_TRUE(processUntil([&] { return !m_dialogs.messages().isEmpty(); }, 15000));
    const qint64 after = shown.elapsed();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text, TClientInformation::unsupportedMessage());
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    // The third tick of a one-second timer: later on a loaded machine, and at most 5 % early
    // (a coarse timer's allowance).
    EXPECT_GE(after, 2800);
    EXPECT_LT(after, 10000);
    EXPECT_TRUE(window.closingForced());
    ASSERT_TRUE(processUntil([&] { return !window.isVisible(); }));
    EXPECT_TRUE(window.La_ClientCount->text().isEmpty());
}

TEST_F(ClientWindow, LongListStillArrivingAfterThreeSecondsIsNoMissingFunction)
{
    // A thousand stations on a slow link: the first list takes longer than the three seconds
    // after which a firmware that never delivers one is given up on.
    startDevice(QStringLiteral("clients1000"), {QStringLiteral("--fault"),
                                                 QStringLiteral("delay 4")});
    TClientInformation window(m_form.get());
    QElapsedTimer shown;
    window.show();
    shown.start();
    ASSERT_TRUE(runLoopUntil([&] { return !window.La_ClientCount->text().isEmpty(); }, 60000));
    ASSERT_GT(shown.elapsed(), 3500) << "the list came too fast to prove anything";
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.La_ClientCount->text(), QStringLiteral("1000"));
}

TEST_F(ClientWindow, CloseWaitsWhileBothListsAreReadThenClosesByItself)
{
    startDevice(QStringLiteral("wds"));
    simCommand(QStringLiteral("mute ") + kClientTable);
    simCommand(QStringLiteral("mute ") + kWdsTable);
    TClientInformation window(m_form.get());
    window.show();
    ASSERT_TRUE(processUntil([&] {
        return window.clientTableRequest()->IsBusy() && window.wdsTableRequest()->IsBusy();
    }));
    window.Bt_Close->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_FALSE(window.Timer2->isActive());
    // Once the reads have timed out nothing holds the window any more.
    EXPECT_TRUE(processUntil([&] { return !window.isVisible(); }, 15000));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(ClientWindow, CloseWithoutWdsListClosesAtOnce)
{
    startDevice();
    simCommand(QStringLiteral("mute ") + kClientTable);
    TClientInformation window(m_form.get());
    window.show();
    ASSERT_TRUE(window.clientReadPending());
    window.Bt_Close->click();
    EXPECT_FALSE(window.isVisible());
}

// The walks of the client table in the request log, as the first row index each get-next
// asks after (0: the walk's first step), and the acquire writes ("set") between them.
QStringList clientTableSteps(const QStringList &log)
{
    QStringList steps;
    for (const QString &line : log) {
        if (line.contains(QStringLiteral(" set ")) && line.contains(kAdGetClient)) {
            steps << QStringLiteral("set");
            continue;
        }
        const int at = line.indexOf(QStringLiteral(" getnext ") + kClientColumn1);
        if (at < 0)
            continue;
        const QString oid = line.mid(at + 9).section(QLatin1Char(' '), 0, 0);
        steps << (oid == kClientColumn1 ? QStringLiteral("0") : oid.section(QLatin1Char('.'), -1));
    }
    return steps;
}

TEST_F(ClientWindow, ThousandStationsRefreshOneWalkAtATimeAndTheWindowStaysResponsive)
{
    // Each answer two milliseconds late, as on a slow link: a walk of a thousand rows takes
    // seconds, so ticks of the one-second refresh arrive while a walk is under way, and a walk
    // that held the event loop would stall it for more than two seconds.
    startDevice(QStringLiteral("clients1000"), {QStringLiteral("--fault"),
                                                 QStringLiteral("delay 2")});
    markLog();
    TClientInformation window(m_form.get());
    int ticks = 0;
    QObject::connect(window.Timer1, &QTimer::timeout, [&ticks] { ++ticks; });
    // How long the event loop ever went without running a 20 ms timer.
    QTimer probe;
    probe.setInterval(20);
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceLast.restart());
    });
    window.show();
    sinceLast.start();
    probe.start();
    // The first walk, and the second that a tick started once the first had ended.
    const auto walksStarted = [&] {
        return static_cast<int>(clientTableSteps(sim().log()).count(QStringLiteral("0")));
    };
    ASSERT_TRUE(runLoopUntil([&] { return walksStarted() >= 2; }, 60000));
    probe.stop();
    const int ticksDuringFirstWalk = ticks - 1;

    EXPECT_EQ(window.La_ClientCount->text(), QStringLiteral("1000"));
    EXPECT_EQ(window.LV_Client->topLevelItemCount(), 1000);
    EXPECT_GE(ticksDuringFirstWalk, 1) << "no tick came while the walk was under way";
    // Well under the two seconds a blocking walk would take, with room for a loaded machine.
    EXPECT_LT(longestGap, 1000) << "the window stopped answering for " << longestGap << " ms";

    // The first walk runs from its first step to row 1000 before the next acquire write, and
    // the next walk starts only after that write.
    const QStringList steps = clientTableSteps(requestsSinceMark());
    int expected = -1; // -1: between walks, waiting for a write
    bool written = false;
    int walks = 0;
    for (int i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(i).arg(step).toStdString());
        if (step == QStringLiteral("set")) {
            ASSERT_EQ(expected, -1) << "acquire written during a walk";
            written = true;
        } else if (step == QStringLiteral("0")) {
            ASSERT_EQ(expected, -1) << "a walk started while another ran";
            ASSERT_TRUE(written) << "a walk without its acquire write";
            written = false;
            expected = 1;
            ++walks;
        } else {
            ASSERT_EQ(step.toInt(), expected);
            expected = expected == 1000 ? -1 : expected + 1;
        }
    }
    EXPECT_GE(walks, 2);
}

} // namespace
