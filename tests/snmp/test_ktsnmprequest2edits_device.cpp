// Control-bound requests against the simulated access point: tables in list views and the
// enabling of the bound controls, writes of a selected row and the read that follows, status
// lines and message boxes, filters, and both request modes.
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "modulesupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

namespace {

const QString kSys = QStringLiteral("1.3.6.1.2.1.1");
const QString kLan = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.1.2");
const QString kPool = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.3.1");
const QString kMssid = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.9.2.1");

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

const QRegularExpression kClock(QStringLiteral("(0[1-9]|1[0-2]):[0-5]\\d:[0-5]\\d (AM|PM)"));

class Request2EditsDevice : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString(); }

    void aim(KtSNMPRequest2Controls &request)
    {
        request.request.address = m_sim.address();
        request.request.port = m_sim.port();
        request.request.version = 1;
    }

    // The static address pool: 16 fixed slots, key = slot number.
    std::unique_ptr<KtSNMPRequest2Edits> poolRequest(int itemType)
    {
        const KtSNMPVarItem table[] = {
            varItem(kPool + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "Index"),
            varItem(kPool + QStringLiteral(".1"), SYN_IPADDRESS, ACC_READWRITE, "IP"),
            varItem(kPool + QStringLiteral(".2"), SYN_MACADDRESS, ACC_READWRITE, "MAC"),
            varItem(kPool + QStringLiteral(".3"), SYN_IPADDRESS, ACC_READONLY, "Mask"),
            varItem(kPool + QStringLiteral(".8"), SYN_INTEGER, ACC_READWRITE, "Status"),
            {}};
        auto request = std::make_unique<KtSNMPRequest2Edits>(&m_form, table, itemType, 1);
        request->mode = KtSNMPRequest2Controls::Synchronous;
        aim(*request);
        return request;
    }

    ApSim m_sim;
    QWidget m_form;
    KtDialogs::Script m_dialogs;
};

TEST_F(Request2EditsDevice, FixedTableReadIntoListViewDisablesControlsUntilARowIsSelected)
{
    auto request = poolRequest(MVT_FMV);
    request->list().Item(2).access |= ACC_HIDDEN; // MAC: a zero-width column
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    auto *mac = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    request->BindEdit(2, QStringLiteral("%h"), mac);

    ASSERT_TRUE(request->Get());
    EXPECT_EQ(request->rowCount, 16);
    ASSERT_EQ(view->topLevelItemCount(), 16);
    // Zero-width columns first (MAC), then the visible ones in item order.
    ASSERT_EQ(view->columnCount(), 5);
    EXPECT_TRUE(view->isColumnHidden(0));
    EXPECT_FALSE(view->isColumnHidden(1));
    EXPECT_EQ(view->headerItem()->text(0), QStringLiteral("MAC"));
    EXPECT_EQ(view->headerItem()->text(1), QStringLiteral("Index"));
    EXPECT_EQ(view->headerItem()->text(2), QStringLiteral("IP"));
    EXPECT_EQ(view->topLevelItem(2)->text(0), QStringLiteral("0017A4C0FF01"));
    EXPECT_EQ(view->topLevelItem(2)->text(1), QStringLiteral("3"));
    EXPECT_EQ(view->topLevelItem(2)->text(2), QStringLiteral("192.168.0.21"));
    EXPECT_FALSE(ip->isEnabled());
    EXPECT_FALSE(mac->isEnabled());
    EXPECT_TRUE(ip->text().isEmpty());

    view->setCurrentItem(view->topLevelItem(2));
    EXPECT_TRUE(ip->isEnabled());
    EXPECT_TRUE(mac->isEnabled());
    EXPECT_EQ(ip->text(), QStringLiteral("192.168.0.21"));
    EXPECT_EQ(mac->text(), QStringLiteral("0017A4C0FF01"));
    EXPECT_EQ(request->list().Item(0).value, QStringLiteral("3"));
}

TEST_F(Request2EditsDevice, UpdatableTableReadLeavesControlsEnabled)
{
    auto request = poolRequest(MVT_UMV);
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(view->topLevelItemCount(), 16);
    EXPECT_TRUE(ip->isEnabled());
}

TEST_F(Request2EditsDevice, SelectHandlerKeptByTheViewRunsFirst)
{
    auto request = poolRequest(MVT_FMV);
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    QStringList seen;
    request->previousSelectHandler = [&](QTreeWidgetItem *row, bool selected) {
        // The controls still show the previous row when the window's handler runs.
        seen << QStringLiteral("%1 %2 %3").arg(row ? row->text(0) : QStringLiteral("-"),
                                               selected ? QStringLiteral("on")
                                                        : QStringLiteral("off"),
                                               ip->text());
    };
    ASSERT_TRUE(request->Get());
    view->setCurrentItem(view->topLevelItem(0));
    view->setCurrentItem(view->topLevelItem(2));
    view->clearSelection();
    EXPECT_EQ(seen, (QStringList{"1 on ", "3 on 192.168.0.20", "- off 192.168.0.21"}));
}

TEST_F(Request2EditsDevice, SynchronousSetOfASelectedRowWritesItAndReadsTheTableAgain)
{
    auto request = poolRequest(MVT_FMV);
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    auto *mac = new QLineEdit(&m_form);
    auto *status = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    request->BindEdit(2, QStringLiteral("%h"), mac);
    request->BindEdit(4, QStringLiteral("%u"), status);
    ASSERT_TRUE(request->Get());
    view->setCurrentItem(view->topLevelItem(1)); // the free slot 2
    ip->setText(QStringLiteral("192.168.0.22"));
    mac->setText(QStringLiteral("00112233AABB"));
    status->setText(QStringLiteral("1"));

    QStringList hooks;
    request->afterSetHook = [&](KtSNMPRequest2Edits *) { hooks << QStringLiteral("afterSet"); };
    request->beforeGetHook = [&](KtSNMPRequest2Edits *) { hooks << QStringLiteral("beforeGet"); };
    m_sim.clearLog();
    ASSERT_TRUE(request->Set(true));
    EXPECT_EQ(hooks, (QStringList{"afterSet", "beforeGet"}));
    const QStringList log = logOf(m_sim, 18);
    ASSERT_GE(log.size(), 18);
    EXPECT_TRUE(log.at(0).startsWith(QStringLiteral("v2c set ")));
    EXPECT_TRUE(log.at(0).contains(kPool + QStringLiteral(".1.2=192.168.0.22")));
    EXPECT_TRUE(log.at(0).contains(kPool + QStringLiteral(".2.2=0x00112233AABB")))
        << log.at(0).toStdString();
    EXPECT_TRUE(log.at(0).contains(kPool + QStringLiteral(".8.2=1")));
    EXPECT_FALSE(log.at(0).contains(kPool + QStringLiteral(".3.2"))); // read-only column
    EXPECT_TRUE(log.at(0).endsWith(QStringLiteral("-> noError")));
    // The table was read again: a walk of get-next requests follows the set.
    EXPECT_TRUE(log.at(1).startsWith(QStringLiteral("v2c getnext ")));
    EXPECT_EQ(view->topLevelItemCount(), 16);
    EXPECT_EQ(view->topLevelItem(1)->text(1), QStringLiteral("192.168.0.22"));
}

TEST_F(Request2EditsDevice, SetWithoutRefreshDoesNotReadAgain)
{
    auto request = poolRequest(MVT_UMV);
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    ASSERT_TRUE(request->Get());
    view->setCurrentItem(view->topLevelItem(0));
    int reads = 0;
    request->beforeGetHook = [&](KtSNMPRequest2Edits *) { ++reads; };
    m_sim.clearLog();
    ASSERT_TRUE(request->Set(false));
    EXPECT_EQ(reads, 0);
    // A synchronous write has had its answer: the log holds every request sent.
    const QStringList log = logOf(m_sim, 1);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.at(0).startsWith(QStringLiteral("v2c set ")));
    EXPECT_EQ(request->refreshAfterSet, 0);
}

TEST_F(Request2EditsDevice, UnboundWritableItemsGoOutEmptyAndAnIntegerAsZero)
{
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READWRITE, "sysName"),
        varItem(kSys + QStringLiteral(".6"), SYN_DISPLAYSTR, ACC_READWRITE, "sysLocation"),
        varItem(kLan + QStringLiteral(".1"), SYN_INTEGER, ACC_READWRITE, "hGetIPFrom"),
        {}};
    KtSNMPRequest2Edits request(&m_form, table, SVT_SV);
    request.mode = KtSNMPRequest2Controls::Synchronous;
    aim(request);
    auto *name = new QLineEdit(&m_form);
    request.BindEdit(0, QStringLiteral("%s"), name);
    ASSERT_TRUE(request.Get());
    EXPECT_EQ(name->text(), QStringLiteral("ap-bldg2-3f"));
    name->setText(QStringLiteral("ap-lobby"));

    int afterSet = 0;
    int reads = 0;
    request.afterSetHook = [&](KtSNMPRequest2Edits *) { ++afterSet; };
    request.beforeGetHook = [&](KtSNMPRequest2Edits *) { ++reads; };
    m_sim.clearLog();
    EXPECT_FALSE(request.Set(true));
    EXPECT_EQ(afterSet, 0); // the device refused the write
    EXPECT_EQ(request.busy, 0);
    const QStringList log = logOf(m_sim, 1);
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.at(0).contains(kSys + QStringLiteral(".5.0=\"ap-lobby\"")))
        << log.at(0).toStdString();
    EXPECT_TRUE(log.at(0).contains(kSys + QStringLiteral(".6.0=\"\" ")));
    EXPECT_TRUE(log.at(0).contains(kLan + QStringLiteral(".1.0=0 ")));
    // The device refuses 0 for the address source; without a status control that is a box.
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).caption, KtDialogs::programFileName());
    // A scalar list is not read again after the write.
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(m_sim.log().size(), 1);
}

TEST_F(Request2EditsDevice, StatusLinesOfUnnamedAndNamedListsInAStatusBarAndAMemo)
{
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READWRITE, "sysName"), {}};
    KtSNMPRequest2Edits request(&m_form, table, SVT_SV);
    request.mode = KtSNMPRequest2Controls::Synchronous;
    aim(request);
    auto *bar = new QStatusBar(&m_form);
    request.SetStatusControl(bar);
    ASSERT_TRUE(request.Get());
    const QRegularExpression unnamed(QStringLiteral("^Get: \\(KtSNMP\\+\\+\\) Ok!\\. Receive at ")
                                     + kClock.pattern() + QStringLiteral("\\.$"));
    EXPECT_TRUE(unnamed.match(bar->currentMessage()).hasMatch())
        << bar->currentMessage().toStdString();

    auto *memo = new QPlainTextEdit(&m_form);
    request.SetStatusControl(memo);
    request.list().listName = QStringLiteral("System");
    ASSERT_TRUE(request.Get());
    ASSERT_TRUE(request.Set(false));
    const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("Get: (KtSNMP++) Ok! Request:System. "
                                                       "Receive at ")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("Set: (KtSNMP++) Ok! Request:System. "
                                                      "Receive at ")));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(Request2EditsDevice, ErrorsGoToTheStatusPanelOrAMessageBoxAndTheControlsKeepTheirText)
{
    const KtSNMPVarItem table[] = {
        varItem(kSys + QStringLiteral(".5"), SYN_DISPLAYSTR, ACC_READONLY, "sysName"),
        varItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.77.1"), SYN_INTEGER, ACC_READONLY),
        {}};
    KtSNMPRequest2Edits request(&m_form, table, SVT_SV);
    request.mode = KtSNMPRequest2Controls::Synchronous;
    aim(request);
    auto *name = new QLineEdit(&m_form);
    name->setText(QStringLiteral("before"));
    request.BindEdit(0, QStringLiteral("%s"), name);
    auto *panel = new QLabel(&m_form);
    request.SetStatusControl(panel);
    EXPECT_FALSE(request.Get());
    EXPECT_EQ(name->text(), QStringLiteral("before"));
    EXPECT_TRUE(panel->text().startsWith(
        QStringLiteral("Get: (SNMP) Variable does not exist!. Receive at ")))
        << panel->text().toStdString();

    // Without a status control the error is a message box, a success is not shown.
    request.SetStatusControl(nullptr);
    EXPECT_FALSE(request.Get());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().at(0).text, QStringLiteral("(SNMP) Variable does not exist!"));
    EXPECT_EQ(m_dialogs.messages().at(0).caption, KtDialogs::programFileName());
    request.list().Item(1).access |= ACC_INVALID;
    EXPECT_TRUE(request.Get());
    EXPECT_EQ(name->text(), QStringLiteral("ap-bldg2-3f"));
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

TEST_F(Request2EditsDevice, MasterFilterAndRowFilterChooseTheDeliveredRows)
{
    const KtSNMPVarItem masterTable[] = {
        varItem(kSys + QStringLiteral(".7"), SYN_INTEGER, ACC_READONLY, "sysServices"), {}};
    KtSNMPRequest2Edits master(&m_form, masterTable, SVT_SV);
    master.mode = KtSNMPRequest2Controls::Synchronous;
    aim(master);
    ASSERT_TRUE(master.Get());
    ASSERT_EQ(master.list().Item(0).value, QStringLiteral("2"));

    const KtSNMPVarItem table[] = {
        varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "band"),
        varItem(kMssid + QStringLiteral(".1"), SYN_INTEGER, ACC_NOTACCESS, "index"),
        varItem(kMssid + QStringLiteral(".2"), SYN_INTEGER, ACC_READONLY, "state"),
        varItem(kMssid + QStringLiteral(".3"), SYN_DISPLAYSTR, ACC_READONLY, "ssid"),
        {}};
    KtSNMPRequest2Edits detail(&m_form, table, MVT_UMV, 2);
    detail.mode = KtSNMPRequest2Controls::Synchronous;
    aim(detail);
    auto *view = new QTreeWidget(&m_form);
    detail.BindListView(view);
    detail.master = &master;
    detail.masterFilter = QStringLiteral("$0=#0"); // the band the master's value names
    ASSERT_TRUE(detail.Get());
    EXPECT_EQ(detail.rowCount, 8);
    EXPECT_EQ(view->topLevelItemCount(), 8);
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        EXPECT_EQ(view->topLevelItem(i)->text(0), QStringLiteral("2"));

    detail.request.rowFilter = QStringLiteral("$2=1");
    ASSERT_TRUE(detail.Get());
    EXPECT_LT(detail.rowCount, 8);
    EXPECT_GT(detail.rowCount, 0);
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        EXPECT_EQ(view->topLevelItem(i)->text(2), QStringLiteral("1"));
}

TEST_F(Request2EditsDevice, AsynchronousReadOfATableCompletesFromTheEventLoop)
{
    auto request = poolRequest(MVT_FMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    int afterGet = 0;
    request->afterGetHook = [&](KtSNMPRequest2Edits *) { ++afterGet; };
    QList<KtSNMPError> completions;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *sender, const KtSNMPError &status) {
        EXPECT_EQ(sender, request.get());
        completions.append(status);
    };
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(request->busy, 1);
    EXPECT_TRUE(completions.isEmpty()); // nothing before the event loop runs
    ASSERT_TRUE(processUntil([&] { return !completions.isEmpty(); }));
    EXPECT_EQ(completions.size(), 1);
    EXPECT_EQ(completions.at(0).code, 0);
    EXPECT_EQ(completions.at(0).text, QStringLiteral("(KtSNMP++) Ok!"));
    EXPECT_EQ(request->busy, 0);
    EXPECT_EQ(request->rowCount, 16);
    EXPECT_EQ(view->topLevelItemCount(), 16);
    EXPECT_EQ(afterGet, 1);
    EXPECT_FALSE(ip->isEnabled());
}

TEST_F(Request2EditsDevice, AsynchronousSetOfATableCompletesThenReadsAgain)
{
    auto request = poolRequest(MVT_UMV);
    auto *view = new QTreeWidget(&m_form);
    auto *ip = new QLineEdit(&m_form);
    request->BindListView(view);
    request->BindEdit(1, QStringLiteral("%s"), ip);
    ASSERT_TRUE(request->Get());
    view->setCurrentItem(view->topLevelItem(3));
    ip->setText(QStringLiteral("192.168.0.24"));

    request->mode = KtSNMPRequest2Controls::Asynchronous;
    QStringList events;
    request->afterSetHook = [&](KtSNMPRequest2Edits *) { events << QStringLiteral("afterSet"); };
    request->OnSetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        events << QStringLiteral("set %1").arg(status.code);
    };
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        events << QStringLiteral("get %1").arg(status.code);
    };
    m_sim.clearLog();
    ASSERT_TRUE(request->Set(true));
    ASSERT_TRUE(processUntil([&] { return events.contains(QStringLiteral("get 0")); }));
    EXPECT_EQ(events, (QStringList{"afterSet", "set 0", "get 0"}));
    EXPECT_EQ(view->topLevelItem(3)->text(1), QStringLiteral("192.168.0.24"));
    EXPECT_TRUE(logOf(m_sim, 1).value(0).contains(kPool + QStringLiteral(".1.4=192.168.0.24")));
}

TEST_F(Request2EditsDevice, AsynchronousFailureReachesTheCompletionAndClearsBusy)
{
    const KtSNMPVarItem table[] = {
        varItem(QStringLiteral("1.3.6.1.4.1.32473.11.37.4.77.1"), SYN_INTEGER, ACC_READONLY), {}};
    KtSNMPRequest2Edits request(&m_form, table, SVT_SV);
    aim(request);
    auto *bar = new QStatusBar(&m_form);
    request.SetStatusControl(bar);
    QList<KtSNMPError> completions;
    request.OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        completions.append(status);
    };
    ASSERT_TRUE(request.Get());
    ASSERT_TRUE(processUntil([&] { return !completions.isEmpty(); }));
    EXPECT_EQ(completions.at(0).code, -102);
    EXPECT_EQ(request.busy, 0);
    EXPECT_TRUE(bar->currentMessage().startsWith(
        QStringLiteral("Get: (SNMP) Variable does not exist!. Receive at ")));
}

TEST_F(Request2EditsDevice, AnAsynchronousRefusedWriteReachesOnlyItsStatusAndCompletion)
{
    const KtSNMPVarItem table[] = {
        varItem(kLan + QStringLiteral(".1"), SYN_INTEGER, ACC_READWRITE, "hGetIPFrom"), {}};
    KtSNMPRequest2Edits request(&m_form, table, SVT_SV);
    aim(request);
    auto *bar = new QStatusBar(&m_form);
    request.SetStatusControl(bar);
    QStringList events;
    request.afterSetHook = [&](KtSNMPRequest2Edits *) { events << QStringLiteral("afterSet"); };
    request.beforeGetHook = [&](KtSNMPRequest2Edits *) { events << QStringLiteral("read"); };
    request.OnSetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        events << QStringLiteral("set %1").arg(status.code == 0 ? "ok" : "failed");
    };
    // The device refuses 0 for the address source.
    ASSERT_TRUE(request.Set(true, false, QStringLiteral("0"), {QStringLiteral("0")}));
    EXPECT_EQ(request.busy, 1);
    ASSERT_TRUE(processUntil([&] { return !events.isEmpty(); }));
    EXPECT_EQ(events, (QStringList{"set failed"}));
    EXPECT_EQ(request.busy, 0);
    EXPECT_EQ(request.messageIndex, KtSNMPRequest2Controls::SetMessage);
    EXPECT_TRUE(bar->currentMessage().startsWith(QStringLiteral("Set: (SNMP) ")))
        << bar->currentMessage().toStdString();
}

TEST_F(Request2EditsDevice, ACompletionMayDestroyTheRequest)
{
    auto *request = poolRequest(MVT_UMV).release();
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    bool done = false;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *sender, const KtSNMPError &) {
        delete sender;
        done = true;
    };
    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(processUntil([&] { return done; }));
    EXPECT_EQ(view->topLevelItemCount(), 16);
}

TEST_F(Request2EditsDevice, AnExceptionWhileFillingEndsAnAsynchronousReadAndIsShown)
{
    auto request = poolRequest(MVT_UMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *box = new QCheckBox(&m_form);
    // Bit 60 lies beyond the 6 bytes of a MAC address.
    request->BindEditList(2, QStringLiteral("60"), {box});
    auto *bar = new QStatusBar(&m_form);
    request->SetStatusControl(bar);
    QList<KtSNMPError> completions;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        completions.append(status);
    };
    m_sim.clearLog();
    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(processUntil([&] { return !completions.isEmpty(); }));
    EXPECT_EQ(completions.at(0).code, -519);
    EXPECT_EQ(request->busy, 0);
    EXPECT_TRUE(bar->currentMessage().startsWith(
        QStringLiteral("Get: (KtSNMP++) Out of range for the bit(byte) index")))
        << bar->currentMessage().toStdString();
    // The first row ended the read: no further step was sent (one would still be waiting for
    // its answer now).
    EXPECT_EQ(request->request.outstanding, 0);
    EXPECT_EQ(m_sim.log().size(), 1);
}

TEST_F(Request2EditsDevice, AnExceptionWhileFillingLeavesASynchronousReadNotBusy)
{
    auto request = poolRequest(MVT_UMV);
    auto *box = new QCheckBox(&m_form);
    request->BindEditList(2, QStringLiteral("60"), {box});
    try {
        request->Get();
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.code(), -519);
    }
    EXPECT_EQ(request->busy, 0);
}

TEST_F(Request2EditsDevice, DestroyingARequestWithAReadInFlightDeliversNothingMore)
{
    auto request = poolRequest(MVT_UMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    bool completed = false;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &) {
        completed = true;
    };
    ASSERT_TRUE(request->Get());
    request.reset();
    processUntil([] { return false; }, 300);
    EXPECT_FALSE(completed);
    EXPECT_EQ(view->topLevelItemCount(), 0);
}

TEST_F(Request2EditsDevice, ACompletionThatReplacesItselfAndRaisesIsShown)
{
    auto request = poolRequest(MVT_UMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *bar = new QStatusBar(&m_form);
    request->SetStatusControl(bar);
    bool ran = false;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *sender, const KtSNMPError &) {
        ran = true;
        sender->OnGetComplete = nullptr; // the closure running now goes away
        throw KtException(-1, QStringLiteral("(KtCommon) Bad logic operand!"));
    };
    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(processUntil([&] { return ran; }));
    EXPECT_TRUE(bar->currentMessage().startsWith(
        QStringLiteral("Get: (KtCommon) Bad logic operand!. Receive at ")));
    EXPECT_EQ(request->busy, 0);
}

// A request busy with a read starts no second one, and no write either: the walk position and
// the item values belong to the running read. A window refreshing every second (the client
// list) asks again while a long walk is still on its way.
TEST_F(Request2EditsDevice, AReadOrWriteAskedForWhileAnAsynchronousWalkRunsIsRefused)
{
    auto request = poolRequest(MVT_UMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    int reads = 0;
    request->beforeGetHook = [&](KtSNMPRequest2Edits *) { ++reads; };
    int completions = 0;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &status) {
        EXPECT_EQ(status.code, 0);
        ++completions;
    };
    // Asked again once the third row is in, and at once.
    bool readMidway = true;
    bool writeMidway = true;
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, view, [&] {
        if (view->topLevelItemCount() != 3)
            return;
        readMidway = request->Get();
        writeMidway = request->Set(false);
    });
    m_sim.clearLog();
    ASSERT_TRUE(request->Get());
    EXPECT_FALSE(request->Get());
    ASSERT_TRUE(processUntil([&] { return completions > 0; }));
    EXPECT_FALSE(readMidway);
    EXPECT_FALSE(writeMidway);
    EXPECT_EQ(request->request.outstanding, 0); // no second walk on its way
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(request->rowCount, 16);
    EXPECT_EQ(view->topLevelItemCount(), 16);
    EXPECT_EQ(request->busy, 0);
    // One walk: a step per row and the one that found the end, nothing written.
    const QStringList log = logOf(m_sim, 17);
    EXPECT_EQ(log.size(), 17) << log.join(QLatin1Char('\n')).toStdString();
    for (const QString &line : log)
        EXPECT_TRUE(line.startsWith(QStringLiteral("v2c getnext "))) << line.toStdString();
    // Not busy any more: the next read goes out.
    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(processUntil([&] { return completions == 2; }));
}

// A synchronous walk lets the window paint between rows; a timer firing then (a periodic
// refresh) may not start a read of its own inside the running one.
TEST_F(Request2EditsDevice, ATimerReadDuringASynchronousWalkIsRefused)
{
    auto request = poolRequest(MVT_UMV);
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    int reads = 0;
    request->beforeGetHook = [&](KtSNMPRequest2Edits *) { ++reads; };
    int fired = 0;
    bool nestedRead = true;
    bool nestedWrite = true;
    bool busyInside = false;
    QTimer::singleShot(0, &m_form, [&] {
        ++fired;
        busyInside = request->busy != 0;
        nestedRead = request->Get();
        nestedWrite = request->Set(false);
    });
    m_sim.clearLog();
    ASSERT_TRUE(request->Get());
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(nestedRead);
    EXPECT_FALSE(nestedWrite);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(request->rowCount, 16);
    EXPECT_EQ(view->topLevelItemCount(), 16);
    EXPECT_EQ(request->busy, 0);
    const QStringList log = logOf(m_sim, 17);
    EXPECT_EQ(log.size(), 17) << log.join(QLatin1Char('\n')).toStdString();
}

// A request stopped in the middle of a read (its alive flag cleared) hears no more of it: once
// nothing of it is on its way it is not busy any more, and started again it reads.
TEST_F(Request2EditsDevice, AStoppedRequestIsNoLongerBusyOnceItsAnswerIsIn)
{
    auto request = poolRequest(MVT_UMV);
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    int completions = 0;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &) {
        ++completions;
    };
    ASSERT_TRUE(request->Get());
    request->request.alive = 0;
    EXPECT_TRUE(request->IsBusy());
    ASSERT_TRUE(processUntil([&] { return request->request.outstanding == 0; }));
    EXPECT_FALSE(request->IsBusy());
    EXPECT_EQ(completions, 0);
    request->request.alive = 1;
    ASSERT_TRUE(request->Get());
    EXPECT_TRUE(request->IsBusy());
    ASSERT_TRUE(processUntil([&] { return completions == 1; }));
    EXPECT_FALSE(request->IsBusy());
    EXPECT_EQ(request->rowCount, 16);
}

// A write's after-set hook may read the same request again (the DHCP window re-reads its slot
// table there): the write has ended, so that read is not refused, and the read the write
// itself asks for afterwards does not run beside it.
TEST_F(Request2EditsDevice, AnAfterSetHookMayReadTheRequestAgain)
{
    auto request = poolRequest(MVT_UMV);
    auto *view = new QTreeWidget(&m_form);
    request->BindListView(view);
    ASSERT_TRUE(request->Get());
    view->setCurrentItem(view->topLevelItem(0));
    request->mode = KtSNMPRequest2Controls::Asynchronous;
    bool hookRead = false;
    request->afterSetHook = [&](KtSNMPRequest2Edits *sender) { hookRead = sender->Get(); };
    int reads = 0;
    request->beforeGetHook = [&](KtSNMPRequest2Edits *) { ++reads; };
    int completions = 0;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &) {
        ++completions;
    };
    ASSERT_TRUE(request->Set(true));
    ASSERT_TRUE(processUntil([&] { return completions > 0; }));
    EXPECT_TRUE(hookRead);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(request->request.outstanding, 0);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(view->topLevelItemCount(), 16);
}

// A thousand associated stations: every row reaches the view (the window paints between rows).
TEST(Request2EditsLargeTable, AThousandClientsFillTheListView)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("clients1000")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    const QString clients = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2.1");
    const KtSNMPVarItem table[] = {
        varItem(clients + QStringLiteral(".1"), SYN_INTEGER, ACC_READONLY, "Index"),
        varItem(clients + QStringLiteral(".2"), SYN_MACADDRESS, ACC_READONLY, "MAC"),
        varItem(clients + QStringLiteral(".7"), SYN_DISPLAYSTR, ACC_READONLY, "SSID"),
        {}};
    QWidget form;
    KtSNMPRequest2Edits request(&form, table, MVT_UMV, 0);
    request.mode = KtSNMPRequest2Controls::Synchronous;
    request.request.address = sim.address();
    request.request.port = sim.port();
    request.request.version = 1;
    auto *view = new QTreeWidget(&form);
    request.BindListView(view);
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(request.Get());
    const qint64 ms = took.elapsed();
    EXPECT_EQ(view->topLevelItemCount(), request.rowCount);
    EXPECT_GE(request.rowCount, 1000);
    std::cout << "[ info ] " << request.rowCount << " rows into the list view in " << ms
              << " ms\n";
}

} // namespace
