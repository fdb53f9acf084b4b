// How a menu item opens its window: created when chosen, kept in its instance variable while
// shown, destroyed and the variable cleared when it closes; an error while the window is built
// is shown like any other error and leaves nothing behind.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktmessages.h"
#include "ktsnmpsession.h"
#include "tmainform.h"

#include <QAction>
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

} // namespace
