// "Status \ Stats" against the simulated access point: each page shows its band's eighteen
// counters as the device holds them, and a page's Refresh reads only its own band.
#include "ktsnmprequest2edits.h"
#include "tfm_static.h"
#include "windowtest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

const char *const kCounterNames[TFM_Static::CounterCount] = {
    "TrSuccessRate",        "TrRetryRate",          "RxSuccessRate",
    "RxDuplicateRate",      "RTSSuccessCount",      "RTSFailureCount",
    "TrFrameCount",         "MuticastTrFrameCount", "TrErrorCount",
    "TrTotalRetryCount",    "TrMutiRetryCount",     "RxFrameCount",
    "MuticastRxFrameCount", "RxFrameFCSErrorCount", "RxFrameDulicateCount",
    "AckRxFailureCount",    "WEPExcludedFrameCount", "WEPICVErrorCount"};

class StatsWindow : public PageWindowTest
{
protected:
    void SetUp() override { startDevice(); }

    // The device's value of counter i of band (1 or 2), as the control channel reads it.
    QString deviceCounter(int i, int band)
    {
        const QString answer = sim().command(QStringLiteral("get %1.%2")
                                                 .arg(QLatin1String(kCounterNames[i]))
                                                 .arg(band));
        return answer.section(QLatin1Char(' '), 2);
    }

    static QStringList texts(const TFM_Static::Counters &counters)
    {
        QStringList result;
        for (const QLineEdit *edit : counters)
            result << edit->text();
        return result;
    }

    QStringList deviceCounters(int band)
    {
        QStringList result;
        for (int i = 0; i < TFM_Static::CounterCount; ++i)
            result << deviceCounter(i, band);
        return result;
    }

    static bool idle(const TFM_Static &window)
    {
        return !window.bandARequest()->IsBusy() && !window.bandGRequest()->IsBusy();
    }
};

TEST_F(StatsWindow, BothPagesShowTheDeviceCounters)
{
    TFM_Static window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return idle(window); }));
    EXPECT_EQ(window.PageControl1->tabText(0), QStringLiteral("IEEE 802.11a"));
    EXPECT_EQ(window.PageControl1->tabText(1), QStringLiteral("IEEE 802.11g"));
    EXPECT_EQ(window.CountersA[0]->objectName(), QStringLiteral("Ed_TranSuRata"));
    EXPECT_EQ(window.CountersG[17]->objectName(), QStringLiteral("Ed_WEPIErrCntg"));
    EXPECT_EQ(texts(window.CountersA), deviceCounters(1));
    EXPECT_EQ(texts(window.CountersG), deviceCounters(2));
    // The two bands differ in the default device: no page shows the other's values.
    EXPECT_NE(texts(window.CountersA), texts(window.CountersG));
}

TEST_F(StatsWindow, RefreshOfOnePageLeavesTheOtherAlone)
{
    TFM_Static window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return idle(window); }));
    const QStringList shownG = texts(window.CountersG);
    simCommand(QStringLiteral("set TrFrameCount.1 111"));
    simCommand(QStringLiteral("set TrFrameCount.2 222"));
    markLog();
    window.Bt_RfrshA->click();
    ASSERT_TRUE(processUntil([&] { return idle(window); }));
    EXPECT_EQ(window.CountersA[6]->text(), QStringLiteral("111"));
    EXPECT_EQ(texts(window.CountersG), shownG);
    // Only band a was asked.
    const QStringList requests = requestsSinceMark();
    EXPECT_EQ(countLines(requests, QStringLiteral(".4.4.3.1.1.7.1")), 1);
    EXPECT_EQ(countLines(requests, QStringLiteral(".4.4.3.1.1.7.2")), 0);

    window.Bt_RfrshG->click();
    ASSERT_TRUE(processUntil([&] { return window.CountersG[6]->text() == u"222"; }));
}

TEST_F(StatsWindow, ReadErrorIsShownAndTheFieldsStayEmpty)
{
    simCommand(QStringLiteral("error 1.3.6.1.4.1.32473.11.37.4.4.3 genErr"));
    TFM_Static window(m_form.get());
    ASSERT_TRUE(processUntil([&] { return idle(window); }));
    EXPECT_TRUE(window.CountersA[0]->text().isEmpty());
    EXPECT_TRUE(window.CountersG[0]->text().isEmpty());
    EXPECT_FALSE(window.statusBar()->currentMessage().isEmpty());
}

} // namespace
