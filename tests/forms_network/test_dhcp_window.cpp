// "Advanced \ DHCP Server" and its static pool editor against qrn-apsim, with
// the ping test and the waiting window scripted. Refusals are proven from the
// simulator's request log (no set), writes from the log and from the
// simulator's slots afterwards.
#include "ktping.h"
#include "ktwaiting.h"
#include "new_req2edit.h"
#include "tfm_dhcp.h"
#include "tfm_staticip.h"
#include "windowtest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kPool = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.2.");
const QString kSlots = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.7.3.1.");

QStringList column(const QTreeWidget *view, int index)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(index);
    return texts;
}

class DhcpWindow : public PageWindowTest
{
protected:
    // Both static lists read and nothing on its way.
    static bool settled(const TFM_DHCP &w)
    {
        return !w.busyFlag() && !w.slotRequest()->IsBusy() && !w.usedRequest()->IsBusy()
               && w.Bt_Refresh->isEnabled();
    }

    std::unique_ptr<TFM_DHCP> open()
    {
        auto window = std::make_unique<TFM_DHCP>();
        EXPECT_TRUE(processUntil([&] { return settled(*window); }))
            << window->busyFlag() << window->slotRequest()->IsBusy()
            << window->usedRequest()->IsBusy() << window->Bt_Refresh->isEnabled()
            << window->StatusBar2->currentMessage().toStdString();
        markLog();
        return window;
    }

    // A column of a static slot on the simulator ("ok ipaddress 192.168.0.20").
    QString slot(int column, int row)
    {
        return sim().command(QStringLiteral("get %1%2.%3").arg(kSlots).arg(column).arg(row));
    }

    // Runs act on the editor once Add or Set has shown it.
    void whenEditing(std::function<void(TFM_StaticIP &)> act)
    {
        QTimer::singleShot(0, [act] {
            processUntil(
                [] { return qobject_cast<TFM_StaticIP *>(QApplication::activeModalWidget()); },
                10000);
            if (auto *editor = qobject_cast<TFM_StaticIP *>(QApplication::activeModalWidget()))
                act(*editor);
        });
    }

    KtPing::Script m_ping;
};

TEST_F(DhcpWindow, OpensWithThePoolTheUsedSlotsNumberedAndTheLeases)
{
    startDevice();
    auto window = open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Advanced \\ DHCP Server"));
    EXPECT_EQ(window->CB_Fuction1->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(window->CB_Fuction2->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(window->Ed_IPAF->text(), QStringLiteral("192.168.0.100"));
    EXPECT_EQ(window->Ed_PoolRan->text(), QStringLiteral("50"));
    EXPECT_EQ(window->Ed_Lease->text(), QStringLiteral("604800"));
    EXPECT_EQ(window->Ed_ext->text(), QStringLiteral("192.168.0.50"));
    // Slots 1 and 3 are used: numbered 1 and 2, the free ones never shown.
    EXPECT_EQ(column(window->User_ListView, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(column(window->User_ListView, 1), (QStringList{"192.168.0.20", "192.168.0.21"}));
    EXPECT_EQ(window->LV_StaticPoolSet->topLevelItemCount(), 16);
    ASSERT_TRUE(processUntil([&] {
        return window->LV_DynamicLease->topLevelItemCount() == 3
               && window->LV_StaticLease->topLevelItemCount() == 1;
    }));

    // The two function boxes follow each other; "Disable" greys the pool and the
    // static list.
    window->CB_Fuction2->setCurrentIndex(TFM_DHCP::Disable);
    Q_EMIT window->CB_Fuction2->activated(TFM_DHCP::Disable);
    EXPECT_EQ(window->CB_Fuction1->currentIndex(), TFM_DHCP::Disable);
    EXPECT_FALSE(window->Ed_IPAF->isEnabled());
    EXPECT_FALSE(window->Bt_Add->isEnabled());
    EXPECT_FALSE(window->User_ListView->isEnabled());
    // The whole pool stays unwritten: only the function goes out.
    window->Bt_Apply1Click();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 1);
    EXPECT_TRUE(writes[0].contains(QStringLiteral("4.2.7.1.0=0 "))) << writes[0].toStdString();
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

TEST_F(DhcpWindow, ThePoolRefusesToCoverTheDeviceOrAStaticEntry)
{
    startDevice();
    // The pool 192.168.0.100 + 50 covers .100 to .149; 192.168.0.10 + 15 the static .20 and .21.
    const struct {
        const char *device;
        const char *start;
        const char *range;
        const char *refusal;
    } rows[] = {
        {"192.168.0.149", "192.168.0.100", "50",
         "Reject: The DHCP dynamic IP pool will cover system IP."},
        {"192.168.0.150", "192.168.0.100", "50", nullptr},
        {"192.168.0.50", "192.168.0.10", "15",
         "Reject: The DHCP dynamic IP pool will cover Static IP."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.device);
        simCommand(QStringLiteral("set hIPAddress %1").arg(QLatin1String(row.device)));
        auto window = open();
        m_dialogs.clear();
        m_waiting.clear();
        window->Ed_IPAF->setText(QString::fromLatin1(row.start));
        window->Ed_PoolRan->setText(QString::fromLatin1(row.range));
        window->Bt_Apply1Click();
        if (row.refusal) {
            EXPECT_EQ(m_dialogs.texts(), QStringList{QString::fromLatin1(row.refusal)});
            EXPECT_TRUE(nothingWrittenSinceMark());
        } else {
            EXPECT_TRUE(m_dialogs.messages().isEmpty())
                << m_dialogs.texts().join(u'|').toStdString();
            EXPECT_EQ(writesSinceMark().size(), 2);
            EXPECT_EQ(m_waiting.shown().size(), 1);
        }
    }
}

TEST_F(DhcpWindow, RangeAndLeaseLimitsAndEmptyOptionsWrittenAsZero)
{
    startDevice();
    auto window = open();
    const struct {
        QLineEdit *TFM_DHCP::*field;
        const char *text;
        const char *refusal; // caption "Error", the field cleared
    } rows[] = {
        {&TFM_DHCP::Ed_PoolRan, "0", "Please input a number between 1 and 255."},
        {&TFM_DHCP::Ed_PoolRan, "256", "Please input a number between 1 and 255."},
        {&TFM_DHCP::Ed_Lease, "59", "Please input a number between 60 and 31536000."},
        {&TFM_DHCP::Ed_Lease, "31536001", "Please input a number between 60 and 31536000."},
        {&TFM_DHCP::Ed_Lease, "60", nullptr},
        {&TFM_DHCP::Ed_Lease, "31536000", nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        m_dialogs.clear();
        markLog();
        window->Ed_PoolRan->setText(QStringLiteral("50"));
        QLineEdit *field = (*window).*row.field;
        field->setText(QString::fromLatin1(row.text));
        window->Bt_Apply1Click();
        if (row.refusal) {
            ASSERT_EQ(m_dialogs.messages().size(), 1);
            EXPECT_EQ(m_dialogs.messages()[0].text, QString::fromLatin1(row.refusal));
            EXPECT_EQ(m_dialogs.messages()[0].caption, QStringLiteral("Error"));
            EXPECT_TRUE(field->text().isEmpty());
            EXPECT_TRUE(nothingWrittenSinceMark());
        } else {
            EXPECT_TRUE(m_dialogs.messages().isEmpty());
            EXPECT_EQ(sim().command(QStringLiteral("get ") + kPool + QStringLiteral("8.0")),
                      QStringLiteral("ok integer ") + QString::fromLatin1(row.text));
        }
    }

    for (QLineEdit *option : {window->Ed_Gateway, window->Ed_Wins, window->Ed_DNS})
        option->clear();
    markLog();
    window->Bt_Apply1Click();
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 2);
    for (int sub : {4, 5, 6})
        EXPECT_TRUE(
            writes[1].contains(kPool + QString::number(sub) + QStringLiteral(".0=0.0.0.0 ")))
            << writes[1].toStdString();
}

TEST_F(DhcpWindow, AddingChangingAndDeletingAnEntryChangesExactlyThatSlot)
{
    startDevice();
    auto window = open();
    // Add: the first free slot (2) takes the entry; empty options go out as
    // "0.0.0.0".
    QString index;
    whenEditing([&](TFM_StaticIP &editor) {
        index = editor.LA_Index->text();
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Static IP Pool Adding"));
        editor.Ed_AsgIP->setText(QStringLiteral("192.168.0.40"));
        editor.Ed_AsgMac->setText(QStringLiteral("0011aabbccdd"));
        editor.Ed_Gatway->clear();
        editor.Bt_Apply->click();
    });
    window->Bt_AddClick();
    ASSERT_TRUE(processUntil([&] { return settled(*window); }));
    EXPECT_EQ(index, QStringLiteral("2"));
    EXPECT_EQ(m_ping.probed(), QStringList{QStringLiteral("192.168.0.40")});
    EXPECT_EQ(writesSinceMark().size(), 2); // the function, then the slot
    EXPECT_EQ(slot(1, 2), QStringLiteral("ok ipaddress 192.168.0.40"));
    EXPECT_EQ(slot(2, 2), QStringLiteral("ok octetstr 0011AABBCCDD"));
    EXPECT_EQ(slot(4, 2), QStringLiteral("ok ipaddress 0.0.0.0"));
    EXPECT_EQ(slot(1, 4), QStringLiteral("ok ipaddress 0.0.0.0"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown()[0].label3, QStringLiteral("But the device isn't restarting."));
    EXPECT_FALSE(m_waiting.shown()[0].sendRestartCommand);
    EXPECT_EQ(column(window->User_ListView, 0), (QStringList{"1", "2", "3"}));

    // Set on entry 3 (slot 3, .21): the address kept, so no ping; the slot
    // holding the MAC is emptied and takes the entry.
    window->User_ListView->setCurrentItem(window->User_ListView->topLevelItem(2));
    markLog();
    m_ping.clear();
    whenEditing([&](TFM_StaticIP &editor) {
        index = editor.LA_Index->text();
        editor.Ed_DomNa->setText(QStringLiteral("lab.example.com"));
        editor.Bt_Apply->click();
    });
    window->Bt_SetClick();
    ASSERT_TRUE(processUntil([&] { return settled(*window); }));
    EXPECT_EQ(index, QStringLiteral("3"));
    EXPECT_TRUE(m_ping.probed().isEmpty());
    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 3);
    EXPECT_TRUE(writes[0].contains(kSlots + QStringLiteral("1.3=0.0.0.0 ")));
    EXPECT_EQ(slot(7, 3), QStringLiteral("ok displaystr \"lab.example.com\""));
    EXPECT_EQ(slot(1, 3), QStringLiteral("ok ipaddress 192.168.0.21"));
    EXPECT_EQ(slot(7, 1), QStringLiteral("ok displaystr \"corp.example.com\""));

    // Del on entry 1 (slot 1) frees that slot only.
    window->User_ListView->setCurrentItem(window->User_ListView->topLevelItem(0));
    markLog();
    m_waiting.clear();
    window->Bt_DelClick();
    ASSERT_TRUE(processUntil([&] { return settled(*window); }));
    EXPECT_EQ(writesSinceMark().size(), 1);
    EXPECT_EQ(slot(1, 1), QStringLiteral("ok ipaddress 0.0.0.0"));
    EXPECT_EQ(slot(2, 1), QStringLiteral("ok octetstr 000000000000"));
    EXPECT_EQ(slot(1, 2), QStringLiteral("ok ipaddress 192.168.0.40"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_EQ(m_waiting.shown()[0].countdown, 20);
    EXPECT_EQ(m_waiting.shown()[0].label3, QStringLiteral("Waiting for listing data..."));
    EXPECT_EQ(column(window->User_ListView, 1), (QStringList{"192.168.0.40", "192.168.0.21"}));
}

// The editor's rules in their order, each with its text and caption; nothing is
// written.
TEST_F(DhcpWindow, BadStaticEntriesAreRefused)
{
    startDevice();
    auto window = open();
    const struct {
        const char *ip;
        const char *mac;
        const char *gateway;
        bool answersPing;
        const char *text;
        const char *caption;
    } rows[] = {
        {"192.168.0.21", "0011AABBCCDD", "", false, "Reject: The IP has already existed. ",
         "Warning"},
        {"192.168.0.40", "0011AABBCCDD", "10.0.0", false, "Please input valid Gateway.", "Waring"},
        {"192.168.0.256", "0011AABBCCDD", "", false, "Please input valid IP address", "Waring"},
        {"192.168.0.40", "0011AABBCCDD", "", true, "Reject: The IP already has been used.",
         "Warning"},
        {"192.168.0.40", "000000000000", "", false, "Please input valid MAC.", "Warning"},
        {"192.168.0.40", "0011AABB", "", false, "Please input valid MAC.", "Warning"},
        {"192.168.0.120", "0011AABBCCDD", "", false,
         "Reject: The IP has already existed in IP Dynamic pool.", "Warning"},
        {"192.168.0.50", "0011AABBCCDD", "", false, "Reject: The IP is the system IP.", "Warning"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        m_dialogs.clear();
        if (row.answersPing)
            m_ping.answerNext(KtPing::Outcome::InUse);
        whenEditing([&](TFM_StaticIP &editor) {
            editor.Ed_AsgIP->setText(QString::fromLatin1(row.ip));
            editor.Ed_AsgMac->setText(QString::fromLatin1(row.mac));
            editor.Ed_Gatway->setText(QString::fromLatin1(row.gateway));
            editor.Bt_Apply->click();
            EXPECT_TRUE(editor.isVisible()) << "the editor stays open";
            editor.Bt_Cancel->click();
        });
        window->Bt_AddClick();
        ASSERT_EQ(m_dialogs.messages().size(), 1) << m_dialogs.texts().join(u'|').toStdString();
        EXPECT_EQ(m_dialogs.messages()[0].text, QString::fromLatin1(row.text));
        EXPECT_EQ(m_dialogs.messages()[0].caption, QString::fromLatin1(row.caption));
        EXPECT_TRUE(settled(*window));
    }
    EXPECT_TRUE(nothingWrittenSinceMark());

    // Set may not give an entry's address to another MAC: the old MAC comes back.
    m_dialogs.clear();
    window->User_ListView->setCurrentItem(window->User_ListView->topLevelItem(0));
    QString macAfter;
    whenEditing([&](TFM_StaticIP &editor) {
        editor.Ed_AsgMac->setText(QStringLiteral("0011AABBCCDD"));
        editor.Bt_Apply->click();
        macAfter = editor.Ed_AsgMac->text();
        editor.Bt_Cancel->click();
    });
    window->Bt_SetClick();
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{
                  QStringLiteral("Reject: DHCPS static IP already exists in static DHCP server!")});
    EXPECT_EQ(macAfter, QStringLiteral("000D5604A1B2"));
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(DhcpWindow, AFailedSlotWriteKeepsTheEditorOpenWithWhatWasTyped)
{
    startDevice();
    auto window = open();
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.2.7.3.1 genErr"));
    QString shown;
    bool open = false;
    whenEditing([&](TFM_StaticIP &editor) {
        editor.Ed_AsgIP->setText(QStringLiteral("192.168.0.40"));
        editor.Ed_AsgMac->setText(QStringLiteral("0011AABBCCDD"));
        editor.Bt_Apply->click();
        shown = editor.Ed_AsgIP->text();
        open = editor.isVisible();
        editor.Bt_Cancel->click();
    });
    window->Bt_AddClick();
    EXPECT_TRUE(open);
    EXPECT_EQ(shown, QStringLiteral("192.168.0.40"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_TRUE(window->StatusBar2->currentMessage().contains(QStringLiteral("General Error")))
        << window->StatusBar2->currentMessage().toStdString();
    EXPECT_TRUE(settled(*window));
}

TEST_F(DhcpWindow, AFullStaticPoolHasNoSlotToAdd)
{
    startDevice(QStringLiteral("dhcpfull"));
    auto window = open();
    EXPECT_EQ(window->User_ListView->topLevelItemCount(), 16);
    window->Bt_AddClick();
    EXPECT_EQ(m_dialogs.texts(), QStringList{TFM_DHCP::poolFullText()});
    EXPECT_TRUE(settled(*window));
    EXPECT_TRUE(nothingWrittenSinceMark());
}

} // namespace
