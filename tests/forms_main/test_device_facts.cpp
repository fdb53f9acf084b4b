// What page windows read from the main window: the device's capabilities as the main window
// learnt them, whether the device answers, and nothing at all (rather than a crash) when a
// window is built without a main window, as window tests sometimes do.
#include "devicefacts.h"
#include "windowtest.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

TEST(DeviceFactsAlone, WithoutAMainWindowTheTextsAreEmptyAndTheDeviceSilent)
{
    ASSERT_EQ(MainForm, nullptr);
    EXPECT_FALSE(DeviceFacts::deviceAnswers());
    EXPECT_TRUE(DeviceFacts::text(&TMainForm::ED_Turbomode).isEmpty());
    EXPECT_TRUE(DeviceFacts::deviceAddress().isEmpty());
    EXPECT_FALSE(DeviceFacts::multiSsidSupported());
    // Nothing known: a window reads both radios rather than hide one the device may have.
    EXPECT_TRUE(DeviceFacts::radioPresent(1));
    EXPECT_TRUE(DeviceFacts::radioPresent(2));
}

class DeviceFacts_ : public PageWindowTest
{
};

TEST_F(DeviceFacts_, TheMainWindowsFieldsAsTheDeviceFilledThem)
{
    startDevice(QStringLiteral("turbo0"));
    EXPECT_TRUE(DeviceFacts::deviceAnswers());
    EXPECT_EQ(DeviceFacts::statusText(), QStringLiteral("Ready. "));
    EXPECT_EQ(DeviceFacts::deviceAddress(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(DeviceFacts::text(&TMainForm::ED_Turbomode), QStringLiteral("0"));
    EXPECT_EQ(DeviceFacts::text(&TMainForm::APModeSupport11g), QStringLiteral("127"));
    EXPECT_TRUE(DeviceFacts::multiSsidSupported());
    EXPECT_TRUE(DeviceFacts::radioPresent(1));
    EXPECT_TRUE(DeviceFacts::radioPresent(2));
}

TEST_F(DeviceFacts_, AOneRadioDeviceLacksThe80211aRadio)
{
    startDevice(QStringLiteral("single-radio"));
    EXPECT_FALSE(DeviceFacts::radioPresent(1));
    EXPECT_TRUE(DeviceFacts::radioPresent(2));
}

TEST_F(DeviceFacts_, ADeviceWithOneSsidAndThenSilent)
{
    startDevice(QStringLiteral("nomssid"));
    EXPECT_FALSE(DeviceFacts::multiSsidSupported());
    // A failed status poll puts its error text in the status line.
    holdTimers(*m_form);
    m_form->MainStatusPanel->setText(QStringLiteral("(SNMPClass) SNMP request timed out!"));
    EXPECT_FALSE(DeviceFacts::deviceAnswers());
}

} // namespace
