// "Tools \ Misc." against the simulated access point: the console's state and protocol rules
// after each read, and Apply's writes in the request log: both consoles off first, then the
// chosen one on.
#include "tfm_misc.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

const QString kTelnet = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.4.1.0");
const QString kTimeout = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.4.2.0");
const QString kSsh = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.3.4.3.0");

// The values one set line gives telnet, timeout and ssh, e.g. "0 3 1"; "-" for one it lacks.
QString consoleValues(const QString &line)
{
    QStringList values;
    for (const QString &oid : {kTelnet, kTimeout, kSsh}) {
        const int at = line.indexOf(oid + QLatin1Char('='));
        values << (at < 0 ? QStringLiteral("-")
                          : line.mid(at + oid.size() + 1).section(QLatin1Char(' '), 0, 0));
    }
    return values.join(QLatin1Char(' '));
}

QStringList consoleWrites(const QStringList &writes)
{
    QStringList values;
    for (const QString &line : writes)
        values << consoleValues(line);
    return values;
}

class MiscWindow : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }
};

TEST_F(MiscWindow, OpensWithTheRunningConsole)
{
    // The default device runs SSH with a 5-minute timeout.
    TFM_Misc window(m_form.get());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tools \\ Misc."));
    EXPECT_TRUE(window.CB_Status->isChecked());
    EXPECT_TRUE(window.CB_SSH->isChecked());
    EXPECT_EQ(window.CB_Timeout->currentText(), QStringLiteral("5 Mins"));
    EXPECT_TRUE(window.CB_Timeout->isEnabled());
    EXPECT_TRUE(window.CB_Telnet->isEnabled());
}

TEST_F(MiscWindow, BothConsolesDisabledOpensUncheckedWithTelnetAndTimeoutDisabled)
{
    simCommand(QStringLiteral("set ssh 0"));
    TFM_Misc window(m_form.get());
    EXPECT_FALSE(window.CB_Status->isChecked());
    EXPECT_TRUE(window.CB_Telnet->isChecked());
    EXPECT_FALSE(window.CB_Timeout->isEnabled());
    EXPECT_FALSE(window.CB_Telnet->isEnabled());
    EXPECT_FALSE(window.CB_SSH->isEnabled());

    // "Enabled " brings the choices back, and takes them away again.
    window.CB_Status->click();
    EXPECT_TRUE(window.CB_Timeout->isEnabled());
    EXPECT_TRUE(window.CB_SSH->isEnabled());
    window.CB_Status->click();
    EXPECT_FALSE(window.CB_Timeout->isEnabled());
}

TEST_F(MiscWindow, EnablingSshWritesBothOffThenSshOn)
{
    simCommand(QStringLiteral("set ssh 0"));
    simCommand(QStringLiteral("set telnet 1"));
    TFM_Misc window(m_form.get());
    ASSERT_TRUE(window.CB_Telnet->isChecked());
    window.CB_SSH->click();
    window.CB_Timeout->setCurrentText(QStringLiteral("15 Mins"));
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(consoleWrites(writesSinceMark()), (QStringList{"0 5 0", "0 5 1"}));
    EXPECT_EQ(sim().command(QStringLiteral("get ssh")), QStringLiteral("ok integer 1"));
    EXPECT_EQ(sim().command(QStringLiteral("get telnet")), QStringLiteral("ok integer 0"));
    ASSERT_EQ(m_waiting.shown().size(), 1);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
}

TEST_F(MiscWindow, TelnetAndDisabledConsoleWrites)
{
    TFM_Misc window(m_form.get());
    window.CB_Telnet->click();
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(consoleWrites(writesSinceMark()), (QStringList{"0 3 0", "1 3 0"}));

    // Without "Enabled " one write switches both off.
    window.CB_Status->click();
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(consoleWrites(writesSinceMark()), QStringList{"0 3 0"});
    EXPECT_EQ(m_waiting.shown().size(), 2);

    // Refresh reads the device again and applies both rules.
    simCommand(QStringLiteral("set ssh 1"));
    window.Bt_Refresh->click();
    EXPECT_TRUE(window.CB_Status->isChecked());
    EXPECT_TRUE(window.CB_SSH->isChecked());
}

TEST_F(MiscWindow, FailedFirstWriteStopsBeforeTheSecond)
{
    TFM_Misc window(m_form.get());
    simCommand(QStringLiteral("error ") + kSsh + QStringLiteral(" genErr"));
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(writesSinceMark().size(), 1);
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Setting Error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
    EXPECT_EQ(sim().command(QStringLiteral("get ssh")), QStringLiteral("ok integer 1"));
}

TEST_F(MiscWindow, TimeoutNeverReadIsNotWritten)
{
    // A timeout box the device never filled would otherwise send "Never". (The failed read
    // leaves every box empty: the console reads as off.)
    simCommand(QStringLiteral("error ") + kTimeout + QStringLiteral(" genErr"));
    TFM_Misc window(m_form.get());
    simCommand(QStringLiteral("error clear"));
    EXPECT_EQ(window.CB_Timeout->currentIndex(), -1);
    EXPECT_FALSE(window.CB_Status->isChecked());
    window.CB_Status->click();
    ASSERT_TRUE(window.CB_Status->isChecked());
    window.CB_Telnet->click();
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(consoleWrites(writesSinceMark()), (QStringList{"0 - 0", "1 - 0"}));
    EXPECT_EQ(sim().command(QStringLiteral("get timeout")), QStringLiteral("ok integer 3"));
}

} // namespace
