// "Status \ Device Info" against the simulated access point: what each page and group shows,
// the MAC ranges of the two radios, the super-mode rule of a device without turbo modes, and
// the refresh of each page.
#include "apsim.h"
#include "ktdialogs.h"
#include "ktmessages.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpsession.h"
#include "tfm_devinfo.h"
#include "tmainform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QAction>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kReady = QStringLiteral("Ready. ");

bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

class DevInfoWindow : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_form.reset();
        if (KtSNMPSession::IsOpen())
            KtSNMPSession::CloseSession();
        KtMessages::resetToBuiltIn();
    }

    // The main window started against a simulator with the given profile, once it answers.
    void startMainForm(const QString &profile)
    {
        m_sim = std::make_unique<ApSim>(QStringList{QStringLiteral("--profile"), profile});
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
        ASSERT_TRUE(m_dir.isValid());
        writeFile(QStringLiteral("registry.ini"),
                  "[SOFTWARE/Norvane/Marlin5.1/MibFile]\nPath=" + QFile::encodeName(path("mbf/"))
                      + "\n");
        writeFile(QStringLiteral("mbf/127.0.0.1.cfg"),
                  "[Program Information]\nAgentPort=" + QByteArray::number(m_sim->port())
                      + "\nVersion=1\nSecurityModel=2\n");
        qputenv("QRN_SETTINGS", QFile::encodeName(path("registry.ini")));
        qputenv("QRN_DATA_DIR", QFile::encodeName(path("data")));
        qputenv("QRN_RUNTIME_DIR", QFile::encodeName(path("run")));
        KtMessages::resetToBuiltIn();
        // A switch after the address makes start-up read the parameter file (the port).
        m_form = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("/I127.0.0.1"), QStringLiteral("/Rvarnok")});
        ASSERT_TRUE(m_dialogs.messages().isEmpty())
            << m_dialogs.texts().join(u'|').toStdString();
        ASSERT_TRUE(waitUntil([this] { return m_form->statusText() == kReady; }))
            << m_form->statusText().toStdString();
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    void simCommand(const QString &line)
    {
        const QString answer = m_sim->command(line);
        ASSERT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
    }

    std::unique_ptr<ApSim> m_sim;
    QTemporaryDir m_dir;
    KtDialogs::Script m_dialogs;
    std::unique_ptr<TMainForm> m_form;
};

TEST_F(DevInfoWindow, ShowsBothRadiosTheDeviceAndTheMacRanges)
{
    startMainForm(QStringLiteral("default"));
    TFM_DevInfo window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Status \\ Device Info"));
    EXPECT_EQ(window.PageControl1->tabText(0), QStringLiteral("IEEE 802.11a"));
    EXPECT_EQ(window.PageControl1->tabText(1), QStringLiteral("IEEE 802.11g"));

    // Band a and the device are read before the window is shown.
    EXPECT_EQ(window.Ed_SSIDa->text(), QStringLiteral("Norvane-11a"));
    EXPECT_EQ(window.Ed_Channela->text(), QStringLiteral("36"));
    EXPECT_EQ(window.Ed_SupModa->text(), QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(window.Ed_SupModusa->text(), QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(window.Ed_DatRata->text(), QStringLiteral("54 Mbps"));
    EXPECT_EQ(window.Ed_SecLevAutha->text(), QStringLiteral("WPA2-Personal"));
    EXPECT_EQ(window.Ed_SecLevPria->text(), QStringLiteral("AES"));
    EXPECT_EQ(window.Ed_Firmware->text(), QStringLiteral("v2.00"));
    EXPECT_EQ(window.Ed_Mac->text(), QStringLiteral("000F3DFA6DB1"));
    EXPECT_EQ(window.Ed_GetIP->text(), QStringLiteral("Manual"));
    EXPECT_EQ(window.Ed_IPaddr->text(), QStringLiteral("192.168.0.50"));
    EXPECT_EQ(window.Ed_SubMask->text(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(window.Ed_Gate->text(), QStringLiteral("192.168.0.1"));
    EXPECT_EQ(window.Label20->text(), QStringLiteral("000F3DFA6DB0 ~ 000F3DFA6DB7"));
    EXPECT_EQ(window.Label22->text(), QStringLiteral("000F3DFA6DB8 ~ 000F3DFA6DBF"));

    // Band g arrives asynchronously; its super mode is shown as read.
    ASSERT_TRUE(waitUntil([&] { return !window.Ed_SSIDg->text().isEmpty(); }));
    EXPECT_EQ(window.Ed_SSIDg->text(), QStringLiteral("Norvane-11g"));
    EXPECT_EQ(window.Ed_Channelg->text(), QStringLiteral("6"));
    EXPECT_EQ(window.Ed_SupModg->text(), QStringLiteral("Disable"));
    EXPECT_EQ(window.Ed_SecLevAuthg->text(), QStringLiteral("WPA-Auto-Personal"));
    EXPECT_EQ(window.Ed_SecLevPrig->text(), QStringLiteral("AUTO"));
    EXPECT_TRUE(window.StatusBar->currentMessage().startsWith(QStringLiteral("Get: ")))
        << window.StatusBar->currentMessage().toStdString();
}

TEST_F(DevInfoWindow, StatusMenuOpensTheWindowModallyAndForgetsItAfterwards)
{
    startMainForm(QStringLiteral("default"));
    ASSERT_TRUE(m_form->DeviceInfo1->isEnabled());
    QString shownRange;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        if (FM_DevInfo) {
            shownRange = FM_DevInfo->Label20->text();
            modal = FM_DevInfo->isModal() && FM_DevInfo->isVisible();
            FM_DevInfo->close();
        }
    });
    m_form->DeviceInfo1->trigger();
    EXPECT_TRUE(modal);
    EXPECT_EQ(shownRange, QStringLiteral("000F3DFA6DB0 ~ 000F3DFA6DB7"));
    EXPECT_EQ(FM_DevInfo, nullptr);
}

TEST_F(DevInfoWindow, StaticTurboOnADeviceWithoutTurboModesShowsWithoutTurbo)
{
    startMainForm(QStringLiteral("turbo0"));
    // The main window learns the turbo modes from its own capability read.
    ASSERT_TRUE(waitUntil([this] { return m_form->ED_Turbomode->text() == QStringLiteral("0"); }))
        << m_form->ED_Turbomode->text().toStdString();
    TFM_DevInfo window;
    EXPECT_EQ(window.Ed_SupModa->text(), QStringLiteral("Super Mode with Static Turbo"));
    EXPECT_EQ(window.Ed_SupModusa->text(), QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(window.Ed_Channela->text(), QStringLiteral("42"));
}

TEST_F(DevInfoWindow, RefreshReadsOnlyItsOwnPageAgain)
{
    startMainForm(QStringLiteral("default"));
    m_form->ED_Turbomode->setText(QStringLiteral("0"));
    TFM_DevInfo window;
    ASSERT_TRUE(waitUntil([&] { return !window.Ed_SSIDg->text().isEmpty(); }));
    // The status variables share their values with the settings they report (the simulator
    // takes a direct change on the setting's own OID).
    simCommand(QStringLiteral("set 1.3.6.1.4.1.32473.11.37.4.1.1.1.1.1 lab-a"));
    simCommand(QStringLiteral("set 1.3.6.1.4.1.32473.11.37.4.1.1.1.1.2 lab-g"));
    simCommand(QStringLiteral("set adSuperMode.1 3"));

    window.Bt_Refa->click();
    EXPECT_EQ(window.Ed_SSIDa->text(), QStringLiteral("lab-a"));
    EXPECT_EQ(window.Ed_SupModa->text(), QStringLiteral("Super Mode with Dynamic Turbo"));
    // The super-mode rule follows every read of band a, not only the first.
    EXPECT_EQ(window.Ed_SupModusa->text(), QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(window.Ed_SSIDg->text(), QStringLiteral("Norvane-11g"));

    window.Bt_Refg->click();
    EXPECT_TRUE(waitUntil([&] { return window.Ed_SSIDg->text() == QStringLiteral("lab-g"); }))
        << window.Ed_SSIDg->text().toStdString();
}

TEST_F(DevInfoWindow, SilentDeviceLeavesTheFieldsAndRangesEmpty)
{
    startMainForm(QStringLiteral("default"));
    m_form->Timer1->stop();
    simCommand(QStringLiteral("silent 60"));
    TFM_DevInfo window;
    EXPECT_TRUE(window.Ed_Mac->text().isEmpty());
    EXPECT_TRUE(window.Ed_SupModusa->text().isEmpty());
    // No range made of nothing ("0 ~ 7").
    EXPECT_TRUE(window.Label20->text().isEmpty());
    EXPECT_TRUE(window.Label22->text().isEmpty());
    EXPECT_FALSE(window.StatusBar->currentMessage().isEmpty());
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    ASSERT_TRUE(waitUntil([&] { return !window.bandGRequest()->busy; }));
}

struct SuperModeRow {
    const char *name;
    const char *read;
    const char *turboModes;
    const char *shown;
};

class SuperModeShown : public ::testing::TestWithParam<SuperModeRow>
{
};

TEST_P(SuperModeShown, Row)
{
    const SuperModeRow &row = GetParam();
    EXPECT_EQ(TFM_DevInfo::superModeShown(QString::fromLatin1(row.read),
                                          QString::fromLatin1(row.turboModes)),
              QString::fromLatin1(row.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SuperModeShown,
    ::testing::Values(
        SuperModeRow{"StaticWithoutTurbo", "Super Mode with Static Turbo", "0",
                     "Super Mode without Turbo"},
        SuperModeRow{"DynamicWithoutTurbo", "Super Mode with Dynamic Turbo", "0",
                     "Super Mode without Turbo"},
        SuperModeRow{"DisableStays", "Disable", "0", "Disable"},
        SuperModeRow{"UnknownValueWithoutTurbo", "7", "0", "Super Mode without Turbo"},
        SuperModeRow{"TurboDeviceAsRead", "Super Mode with Static Turbo", "3",
                     "Super Mode with Static Turbo"},
        SuperModeRow{"TurboFieldNotYetRead", "Super Mode with Static Turbo", "ED_Turbomode",
                     "Super Mode with Static Turbo"},
        SuperModeRow{"NothingRead", "", "0", ""}),
    [](const ::testing::TestParamInfo<SuperModeRow> &row) { return std::string(row.param.name); });

struct MacRow {
    const char *name;
    const char *mac;
    const char *wlan0;
    const char *wlan1;
};

class MacRanges : public ::testing::TestWithParam<MacRow>
{
};

TEST_P(MacRanges, Row)
{
    const MacRow &row = GetParam();
    const QString mac = QString::fromLatin1(row.mac);
    EXPECT_EQ(TFM_DevInfo::wlan0Range(mac), QString::fromLatin1(row.wlan0));
    EXPECT_EQ(TFM_DevInfo::wlan1Range(mac), QString::fromLatin1(row.wlan1));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MacRanges,
    ::testing::Values(MacRow{"EndsInOne", "000F3DFA6DB1", "000F3DFA6DB0 ~ 000F3DFA6DB7",
                             "000F3DFA6DB8 ~ 000F3DFA6DBF"},
                      MacRow{"EndsInF", "00904B12345F", "00904B123450 ~ 00904B123457",
                             "00904B123458 ~ 00904B12345F"}),
    [](const ::testing::TestParamInfo<MacRow> &row) { return std::string(row.param.name); });

} // namespace
