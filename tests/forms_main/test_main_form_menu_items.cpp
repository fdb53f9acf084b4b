// How a menu item opens its window: created when chosen, kept in its instance variable while
// shown, destroyed and the variable cleared when it closes; an error while the window is built
// is shown like any other error and leaves nothing behind.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "tmainform.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

class ProbeWindow;
ProbeWindow *FM_Probe = nullptr;
ProbeWindow *seenWhileShown = nullptr;
int probesAlive = 0;

// Closes itself as soon as it runs modally, noting what its instance variable held then.
class ProbeWindow : public QDialog
{
public:
    explicit ProbeWindow(QWidget *owner) : QDialog(owner)
    {
        ++probesAlive;
        QTimer::singleShot(0, this, [this] {
            seenWhileShown = FM_Probe;
            EXPECT_TRUE(isModal());
            accept();
        });
    }
    ~ProbeWindow() override { --probesAlive; }
};

class MainFormMenuItems : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KtMessages::resetToBuiltIn();
        // No device needed: nothing listens on this port.
        m_form = std::make_unique<TMainForm>(QStringList{
            QStringLiteral("/I127.0.0.1"), QStringLiteral("/v3"),
            QStringLiteral("/t%1").arg(ApSim::freeUdpPort()), QStringLiteral("/v1")});
        m_form->Timer1->stop();
        m_form->Timer4->stop();
        m_script.clear();
    }

    void TearDown() override
    {
        m_form.reset();
        if (KtSNMPSession::IsOpen())
            KtSNMPSession::CloseSession();
        KtMessages::resetToBuiltIn();
    }

    KtDialogs::Script m_script;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(MainFormMenuItems, WindowLivesInItsVariableOnlyWhileShown)
{
    QAction *item = m_form->Stats1;
    m_form->connectWindow(item, FM_Probe);
    EXPECT_TRUE(item->isEnabled());

    item->trigger();
    EXPECT_NE(seenWhileShown, nullptr);
    EXPECT_EQ(FM_Probe, nullptr);
    EXPECT_EQ(probesAlive, 0);

    // A second opening builds a new window: nothing survives between two openings.
    seenWhileShown = nullptr;
    item->trigger();
    EXPECT_NE(seenWhileShown, nullptr);
    EXPECT_EQ(FM_Probe, nullptr);
    EXPECT_EQ(probesAlive, 0);
    EXPECT_TRUE(m_script.messages().isEmpty()) << m_script.texts().join(u'|').toStdString();
}

TEST_F(MainFormMenuItems, ErrorWhileTheWindowIsBuiltIsShownAndTheVariableCleared)
{
    bool done = false;
    m_form->connectModal(
        m_form->Log1,
        []() -> QDialog * {
            throw KtException(-519, QStringLiteral("(KtSNMP++) Out of range for the bit(byte) "
                                                   "index of the associated SNMP variable's "
                                                   "(partial) data!"));
        },
        [&done] { done = true; });
    m_form->Log1->trigger();
    ASSERT_EQ(m_script.messages().size(), 1);
    EXPECT_TRUE(m_script.messages().at(0).text.startsWith(u"(KtSNMP++) Out of range"));
    EXPECT_EQ(m_script.messages().at(0).caption, QStringLiteral("QRN-7300XB"));
    EXPECT_TRUE(done);
}

// Every menu item with the caption of the window it opens, in menu order.
const struct MenuWindow {
    QAction *TMainForm::*item;
    const char *caption;
} kMenuWindows[] = {
    {&TMainForm::Information1, "Home \\ Information"},
    {&TMainForm::Wireless1, "Home \\ Wireless"},
    {&TMainForm::LAN1, "Home \\ LAN"},
    {&TMainForm::Performance1, "Advanced \\ Performance"},
    {&TMainForm::Filters1, "Advanced \\ Filters"},
    {&TMainForm::Grouping1, "Advanced \\ Grouping"},
    {&TMainForm::DHCPServer1, "Advanced \\ DHCP Server"},
    {&TMainForm::MultiSSID1, "Advanced \\ Multi-SSID"},
    {&TMainForm::RogueAP1, "Advanced \\ Rogue AP"},
    {&TMainForm::Admin1, "Tools \\ Admin"},
    {&TMainForm::System1, "Tools \\ System"},
    {&TMainForm::Firmware1, "Tools \\ Firmware"},
    {&TMainForm::ConfigurationFile1, "Tools \\ Configuration File"},
    {&TMainForm::Miscellaneous1, "Tools \\ Misc."},
    {&TMainForm::SNTP1, "Tools \\ SNTP"},
    {&TMainForm::DeviceInfo1, "Status \\ Device Info"},
    {&TMainForm::Stats1, "Status \\ Stats"},
    {&TMainForm::ClientInfo1, "Status \\ Client Info"},
    {&TMainForm::Log1, "Status \\ Log"},
    {&TMainForm::About1, "About"},
};

class ProgramMenus : public PageWindowTest
{
};

// The menus as the program entry connects them (connectPageWindows): every item whose window
// is built opens that window modally, and the window is gone once it has closed. Items whose
// window is not built yet stay disabled, so a window lands by adding its line to
// connectPageWindows and nothing here.
TEST_F(ProgramMenus, EveryEnabledItemOpensItsWindowModallyAndDestroysItAfterwards)
{
    startDevice();
    // Windows that serve files listen on this port instead of 69, which a test may not bind.
    qputenv("QRN_TFTP_PORT", QByteArray::number(ApSim::freeUdpPort()));
    int opened = 0;
    for (const MenuWindow &entry : kMenuWindows) {
        QAction *item = m_form.get()->*entry.item;
        if (!item->isEnabled())
            continue;
        SCOPED_TRACE(item->objectName().toStdString());
        QPointer<QWidget> window;
        QString caption;
        bool modal = false;
        // Polled from the event loop, not waited for in one timer call: a window that walks a
        // table while it is built runs the event loop before it is shown, so the poll may come
        // before the window exists.
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, m_form.get(), [&] {
            QWidget *shown = QApplication::activeModalWidget();
            if (!window && shown) {
                window = shown;
                caption = shown->windowTitle();
                modal = shown->isModal();
            }
            // A window may refuse while it still reads the device: ask until it goes.
            QWidget *still = window.data();
            if (still && still->isVisible())
                still->close();
        });
        poll.start();
        item->trigger();
        poll.stop();
        EXPECT_EQ(caption, QString::fromUtf8(entry.caption));
        EXPECT_TRUE(modal);
        EXPECT_TRUE(window.isNull()) << "not destroyed after it closed";
        ++opened;
    }
    // The windows built before the page windows stay where they were.
    for (QAction *item : {m_form->Information1, m_form->System1, m_form->DeviceInfo1,
                          m_form->About1})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_GE(opened, 4);
}

// Without the program entry's connections no item opens anything: the main window's room
// knows no page window.
TEST_F(MainFormMenuItems, TheMainWindowAloneConnectsNoItem)
{
    for (const MenuWindow &entry : kMenuWindows)
        EXPECT_FALSE((m_form.get()->*entry.item)->isEnabled())
            << (m_form.get()->*entry.item)->objectName().toStdString();
}

} // namespace
