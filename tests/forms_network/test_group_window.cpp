// "Advanced \ Grouping" against the simulated access point: the user limit takes 0 to 64 and
// refuses anything else without writing; load balancing decides whether it can be edited;
// Apply writes the page with the hidden link-integrity switch as read.
#include "tfm_group.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

const QString kLoadBalance = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.6.1.0");
const QString kUserLimit = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.6.2.0");
const QString kLinkIntegrate = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.6.4.0");
const QString kEthernetLinkStatus = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.6.5.0");

class GroupWindow : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }
};

TEST_F(GroupWindow, OpensWithTheDeviceValuesAndOnlyTheTwoVisibleRows)
{
    TFM_Group window(m_form.get());
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Advanced \\ Grouping"));
    EXPECT_EQ(window.CB_LoadB->currentText(), QStringLiteral("Enable"));
    EXPECT_EQ(window.Ed_UsrL->text(), QStringLiteral("32"));
    EXPECT_EQ(window.CB_LinkInt->currentText(), QStringLiteral("Disable"));
    EXPECT_FALSE(window.CB_LinkInt->isVisible());
    EXPECT_FALSE(window.La_LinkInt->isVisible());
    EXPECT_FALSE(window.Ed_EthLink->isVisible());
}

TEST_F(GroupWindow, LoadBalanceDecidesWhetherTheUserLimitCanBeEdited)
{
    TFM_Group window(m_form.get());
    ASSERT_FALSE(window.Ed_UsrL->isReadOnly());
    const QColor editable = window.Ed_UsrL->palette().color(QPalette::Base);
    window.CB_LoadB->setCurrentText(QStringLiteral("Disable"));
    EXPECT_TRUE(window.Ed_UsrL->isReadOnly());
    EXPECT_EQ(window.Ed_UsrL->palette().color(QPalette::Base),
              window.palette().color(QPalette::Button));
    window.CB_LoadB->setCurrentText(QStringLiteral("Enable"));
    EXPECT_FALSE(window.Ed_UsrL->isReadOnly());
    EXPECT_EQ(window.Ed_UsrL->palette().color(QPalette::Base), editable);

    // Refresh applies the rule to what the device holds now.
    simCommand(QStringLiteral("set LoadBalance 0"));
    window.Bt_Refresh->click();
    EXPECT_TRUE(window.Ed_UsrL->isReadOnly());
}

TEST_F(GroupWindow, UserLimitsOutsideZeroToSixtyFourAreRefusedAndNothingWritten)
{
    TFM_Group window(m_form.get());
    for (const char *limit : {"65", "", "99"}) {
        SCOPED_TRACE(limit);
        window.Ed_UsrL->setText(QLatin1String(limit));
        m_dialogs.clear();
        markLog();
        window.Bt_Apply->click();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).text, TFM_Group::userLimitMessage());
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Error"));
        EXPECT_TRUE(window.Ed_UsrL->text().isEmpty());
        EXPECT_TRUE(nothingWrittenSinceMark());
    }
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

TEST_F(GroupWindow, DeviceLimitOutsideTheRangeIsShownAsSentAndRefused)
{
    // Shown as the device sent it, the limit is refused rather than written back as 1.
    simCommand(QStringLiteral("set UserLimit -1"));
    TFM_Group window(m_form.get());
    EXPECT_EQ(window.Ed_UsrL->text(), QStringLiteral("-1"));
    markLog();
    window.Bt_Apply->click();
    EXPECT_EQ(m_dialogs.texts(), QStringList{TFM_Group::userLimitMessage()});
    EXPECT_TRUE(window.Ed_UsrL->text().isEmpty());
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(GroupWindow, UserLimitsZeroAndSixtyFourAreWrittenWithTheHiddenSwitchAsRead)
{
    TFM_Group window(m_form.get());
    for (const char *limit : {"64", "0"}) {
        SCOPED_TRACE(limit);
        window.Ed_UsrL->setText(QLatin1String(limit));
        markLog();
        window.Bt_Apply->click();
        EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
        const QStringList writes = writesSinceMark();
        ASSERT_EQ(writes.size(), 1);
        EXPECT_TRUE(writes.at(0).contains(kLoadBalance + QStringLiteral("=1 ")));
        EXPECT_TRUE(writes.at(0).contains(kUserLimit + QLatin1Char('=') + QLatin1String(limit)
                                          + QLatin1Char(' ')));
        EXPECT_TRUE(writes.at(0).contains(kLinkIntegrate + QStringLiteral("=0 ")));
        EXPECT_FALSE(writes.at(0).contains(kEthernetLinkStatus));
        EXPECT_TRUE(writes.at(0).endsWith(QStringLiteral("-> noError")));
        EXPECT_EQ(sim().command(QStringLiteral("get UserLimit")),
                  QStringLiteral("ok integer ") + QLatin1String(limit));
    }
    ASSERT_EQ(m_waiting.shown().size(), 2);
    EXPECT_EQ(m_waiting.shown().at(0).commandDelay, 5);
    EXPECT_TRUE(m_waiting.shown().at(0).sendRestartCommand);
}

TEST_F(GroupWindow, FailedWriteShowsSettingError)
{
    TFM_Group window(m_form.get());
    simCommand(QStringLiteral("error ") + kUserLimit + QStringLiteral(" genErr"));
    window.Bt_Apply->click();
    EXPECT_EQ(window.StatusBar->currentMessage(), QStringLiteral("Setting Error!"));
    EXPECT_TRUE(m_waiting.shown().isEmpty());
}

} // namespace
