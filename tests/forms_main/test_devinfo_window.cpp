// "Status \ Device Info" against the simulated access point: what each page and group shows,
// the MAC ranges of the two radios, the super-mode rule of a device without turbo modes, and
// the refresh of each page.
#include "ktsnmprequest2edits.h"
#include "mainformtest.h"
#include "tfm_devinfo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QAction>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

class DevInfoWindow : public MainFormTest
{
protected:
    // The main window started against a simulator with the given profile, once it answers.
    void startMainForm(const QString &profile)
    {
        m_sim = std::make_unique<ApSim>(QStringList{QStringLiteral("--profile"), profile});
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
        startAgainst(*m_sim);
    }

    void simCommand(const QString &line)
    {
        const QString answer = m_sim->command(line);
        ASSERT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
    }

    std::unique_ptr<ApSim> m_sim;
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
    ASSERT_TRUE(processUntil([&] { return !window.Ed_SSIDg->text().isEmpty(); }));
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
    const auto turboRead = [this] { return m_form->ED_Turbomode->text() == QStringLiteral("0"); };
    ASSERT_TRUE(processUntil(turboRead)) << m_form->ED_Turbomode->text().toStdString();
    TFM_DevInfo window;
    EXPECT_EQ(window.Ed_SupModa->text(), QStringLiteral("Super Mode with Static Turbo"));
    EXPECT_EQ(window.Ed_SupModusa->text(), QStringLiteral("Super Mode without Turbo"));
    EXPECT_EQ(window.Ed_Channela->text(), QStringLiteral("42"));
}

TEST_F(DevInfoWindow, RefreshReadsOnlyItsOwnPageAgain)
{
    startMainForm(QStringLiteral("turbo0"));
    // The main window's own capability read sets the turbo modes; setting the field by hand
    // here would race with it.
    const auto turboRead = [this] { return m_form->ED_Turbomode->text() == QStringLiteral("0"); };
    ASSERT_TRUE(processUntil(turboRead)) << m_form->ED_Turbomode->text().toStdString();
    TFM_DevInfo window;
    ASSERT_TRUE(processUntil([&] { return !window.Ed_SSIDg->text().isEmpty(); }));
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
    EXPECT_TRUE(processUntil([&] { return window.Ed_SSIDg->text() == QStringLiteral("lab-g"); }))
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
    ASSERT_TRUE(processUntil([&] { return !window.bandGRequest()->busy; }));
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
