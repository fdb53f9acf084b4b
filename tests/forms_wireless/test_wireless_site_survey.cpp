// The site survey of "Home \ Wireless" against the simulated access point: Scan starts the
// device's survey, the list shows the neighbours that can take part in WDS, a row fills a peer
// field, and the window cannot be closed while the survey runs.
#include "wirelesstest.h"

#include <QPushButton>

using namespace wirelesstest;

namespace {

constexpr int A = TFM_Wirless::BandA;
constexpr int G = TFM_Wirless::BandG;

QStringList column(const QTreeWidget *view, int index)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(index);
    return texts;
}

void clickRow(QTreeWidget *view, int row)
{
    QTreeWidgetItem *item = view->topLevelItem(row);
    ASSERT_NE(item, nullptr) << "row " << row;
    view->setCurrentItem(item);
    Q_EMIT view->itemClicked(item, 1);
}

class WirelessSiteSurvey : public WirelessTest
{
protected:
    void SetUp() override
    {
        startWireless(QString::fromLatin1(profile()),
                      {QStringLiteral("--scan-ms"), QStringLiteral("300")});
    }
    virtual const char *profile() const { return "default"; }

    // Scan on the band, and wait for the survey to end.
    void scan(TFM_Wirless &w, int band)
    {
        w.page(band).siteScan->click();
        EXPECT_TRUE(processUntil([&w, band] { return !w.surveyRunning(band); }, 30000));
    }
};

TEST_F(WirelessSiteSurvey, ListsTheWdsNeighboursAndARowFillsTheFirstFreeRemoteAp)
{
    TFM_Wirless &w = open();
    w.show();
    const TFM_Wirless::BandPage &a = w.page(A);
    choose(a.apModeShown, QStringLiteral("WDS with AP"));
    markLog();

    a.siteScan->click();
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Scan..."));
    EXPECT_FALSE(a.siteScan->isEnabled());
    EXPECT_TRUE(w.surveyRunning(A));
    // Neither the close button nor Escape ends the window while the device scans.
    EXPECT_FALSE(w.close());
    w.reject();
    EXPECT_TRUE(w.isVisible());

    EXPECT_TRUE(processUntil([&w] { return !w.surveyRunning(A); }, 30000));
    EXPECT_TRUE(a.siteScan->isEnabled());
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Get complete."));
    const QStringList log = requestsSinceMark();
    EXPECT_GE(lineOf(log, oid(".4.2.8.1.1.1.1=1 -> noError")), 0) << log.join(u'\n').toStdString();
    // Only the neighbours that support WDS.
    EXPECT_EQ(column(a.siteList, 4), (QStringList{"000F3DFA7C21", "000F3DFA8E07"}));
    EXPECT_EQ(column(a.siteList, 6), (QStringList{"Norvane-11a", "Lab-Bridge"}));
    EXPECT_TRUE(a.siteList->isColumnHidden(0));
    EXPECT_TRUE(a.siteList->isColumnHidden(7));

    clickRow(a.siteList, 1);
    EXPECT_EQ(a.remoteMacs[0]->text(), QStringLiteral("000F3DFA8E07"));
    clickRow(a.siteList, 0);
    EXPECT_EQ(a.remoteMacs[1]->text(), QStringLiteral("000F3DFA7C21"));
    clickRow(a.siteList, 0);
    EXPECT_EQ(m_dialogs.texts(), QStringList{"The same MAC address has been added!"});
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Warning"));
    EXPECT_TRUE(a.remoteMacs[2]->text().isEmpty());

    EXPECT_TRUE(w.close());
}

TEST_F(WirelessSiteSurvey, APointToPointLinkTakesOnlyOnePeer)
{
    simCommand(QStringLiteral("set adAPMode.1 2"));
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &a = w.page(A);
    scan(w, A);
    clickRow(a.siteList, 0);
    clickRow(a.siteList, 1);
    EXPECT_EQ(a.remoteMacs[0]->text(), QStringLiteral("000F3DFA7C21"));
    // The other slots are not written in this mode: nothing goes there.
    EXPECT_TRUE(a.remoteMacs[1]->text().isEmpty());
}

TEST_F(WirelessSiteSurvey, ARepeaterTakesTheRowAsItsRootApAndAClientItsNetwork)
{
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &g = w.page(G);
    choose(g.apModeShown, QStringLiteral("AP Repeater"));
    scan(w, G);
    EXPECT_EQ(column(g.siteList, 4), (QStringList{"000F3DFA7C29", "000F3DFA8E0F"}));
    clickRow(g.siteList, 1);
    EXPECT_EQ(g.rootMac->text(), QStringLiteral("000F3DFA8E0F"));

    choose(g.apModeShown, QStringLiteral("AP Client"));
    clickRow(g.siteList, 0);
    EXPECT_EQ(g.repeaterSsid->text(), QStringLiteral("Norvane-11g"));
    clickRow(g.siteList, 1);
    EXPECT_EQ(g.repeaterSsid->text(), QStringLiteral("Lab-Bridge"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(WirelessSiteSurvey, RefreshInRepeaterModeReadsTheList)
{
    simCommand(QStringLiteral("set adAPMode.2 4"));
    TFM_Wirless &w = open();
    EXPECT_EQ(w.page(G).siteList->topLevelItemCount(), 0);
    w.Bt_RefreshClick();
    EXPECT_TRUE(processUntil([&w] { return !w.isWorking(); }));
    EXPECT_EQ(w.page(G).siteList->topLevelItemCount(), 2);
    EXPECT_EQ(w.page(A).siteList->topLevelItemCount(), 0);
}

class WirelessSiteSurveyRadiosOff : public WirelessSiteSurvey
{
protected:
    const char *profile() const override { return "radios-off"; }
};

TEST_F(WirelessSiteSurveyRadiosOff, ARadioThatIsOffCannotScan)
{
    TFM_Wirless &w = open();
    const TFM_Wirless::BandPage &g = w.page(G);
    scan(w, G);
    EXPECT_TRUE(w.StatusBar->currentMessage().startsWith(QStringLiteral("Site survey : ")))
        << w.StatusBar->currentMessage().toStdString();
    EXPECT_GT(w.StatusBar->currentMessage().size(), QStringLiteral("Site survey : ").size());
    EXPECT_TRUE(g.siteScan->isEnabled());
    EXPECT_EQ(g.siteList->topLevelItemCount(), 0);
    w.show();
    EXPECT_TRUE(w.close());
}

} // namespace
