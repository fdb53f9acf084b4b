// "Advanced \ Multi-SSID" against the simulated access point: what it shows of the device's
// states and table, a secondary SSID added, changed and deleted row by row, every refusal of
// Save writing nothing, the primary SSID's VLAN tag alone, and Apply.
#include "multissidtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

using namespace multissidtest;

namespace {

class MultiSsidWindow : public MultiSsidTest
{};

QStringList column(const QTreeWidget *view, int c)
{
    QStringList texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        texts << view->topLevelItem(i)->text(c);
    return texts;
}

// The listed row of the band's entry ("MSSID 2", "11g").
QTreeWidgetItem *listed(const TFM_MultiSSIDNewForm &w, const QString &entry, const QString &band)
{
    for (int i = 0; i < w.MulSSIDListView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = w.MulSSIDListView->topLevelItem(i);
        if (row->text(5) == entry && row->text(6) == band)
            return row;
    }
    return nullptr;
}

TEST_F(MultiSsidWindow, ShowsTheSsidsInUseOfTheBandsRunningSeveral)
{
    startMultiSsid();
    markLog();
    TFM_MultiSSIDNewForm &w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Advanced \\ Multi-SSID"));
    // Only 802.11g runs several SSIDs: "11g", and the band fixed.
    EXPECT_TRUE(w.IfEnabMuSSID->isChecked());
    EXPECT_EQ(w.RadioGroup1->itemIndex(), TFM_MultiSSIDNewForm::BandG);
    EXPECT_EQ(w.BandComboBox->currentText(), QStringLiteral("IEEE 802.11g"));
    EXPECT_FALSE(w.BandComboBox->isEnabled());
    EXPECT_FALSE(w.CB_VLanState->isChecked());
    EXPECT_EQ(column(w.MulSSIDListView, 1),
              (QStringList{"Norvane-11g", "Norvane-Guest", "Norvane-Voice", "Norvane-Lab"}));
    EXPECT_EQ(column(w.MulSSIDListView, 2),
              (QStringList{"WPA-Auto-Personal", "OFF", "Open System", "WPA2-Personal"}));
    EXPECT_EQ(column(w.MulSSIDListView, 3), (QStringList{"LAN1", "LAN2", "LAN1", "LAN1"}));
    EXPECT_EQ(column(w.MulSSIDListView, 4), QStringList(4, QStringLiteral("OFF")));
    EXPECT_EQ(column(w.MulSSIDListView, 5),
              (QStringList{"Primary", "MSSID 1", "MSSID 2", "MSSID 3"}));
    // The primary SSID: nothing but its tag to edit, and that only with VLAN tagging.
    EXPECT_EQ(w.SSIDEdit->text(), QStringLiteral("Norvane-11g"));
    EXPECT_FALSE(w.SSIDEdit->isEnabled());
    EXPECT_FALSE(w.VLANIDEdit->isEnabled());
    EXPECT_EQ(w.VLANIDEdit->text(), QStringLiteral("-1"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_TRUE(nothingWrittenSinceMark());

    // A personal secondary SSID shows its passphrase settings; the WEP one its key, whose
    // index list leaves slots 2 and 3 to the radio's WPA SSIDs.
    choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 3"));
    EXPECT_EQ(w.shownSecurity(), QStringLiteral("WPA2-Personal"));
    EXPECT_TRUE(w.GP_PSK->isVisibleTo(&w));
    EXPECT_EQ(w.GP_PSK->title(), QStringLiteral("PassPhrase Settings"));
    choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 2"));
    EXPECT_TRUE(w.GP_Key->isVisibleTo(&w));
    EXPECT_EQ(wirelesstest::entries(w.CB_IdxTmp), (QStringList{"First", "Fourth"}));
    EXPECT_EQ(w.CB_KeySize->currentText(), QStringLiteral("64 Bits"));
}

TEST_F(MultiSsidWindow, AddingChangingAndDeletingTouchOnlyThatRow)
{
    startMultiSsid();
    TFM_MultiSSIDNewForm &w = open();

    // Added: MSSID 4 of 802.11g with an ASCII WEP key, written as hex digits.
    choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 4"));
    w.SSIDEdit->setText(QStringLiteral("Norvane-Cafe"));
    choose(w.SecurityComboTmp, QStringLiteral("Open System"));
    choose(w.CB_KeyType, QStringLiteral("ASCII"));
    w.Ed_KeyValue->setText(QStringLiteral("abcde"));
    Q_EMIT w.Ed_KeyValue->textEdited(w.Ed_KeyValue->text()); // typed by the user
    markLog();
    press(w.SaveButton);
    // MSSID 2 uses the first key too.
    EXPECT_EQ(m_dialogs.texts(), QStringList{"Key value is used by SSID! \nTo change Key value "
                                             "affects other SSID settings."});
    EXPECT_EQ(rowsWritten(), QStringList{"2.5"});
    EXPECT_EQ(cell(3, 2, 5), QStringLiteral("\"Norvane-Cafe\""));
    EXPECT_EQ(cell(2, 2, 5), QStringLiteral("1"));
    EXPECT_EQ(cell(5, 2, 5), QStringLiteral("1"));
    EXPECT_EQ(cell(7, 2, 5), QStringLiteral("\"6162636465\""));
    EXPECT_EQ(cell(13, 2, 5), QStringLiteral("1"));
    EXPECT_EQ(cell(8, 2, 5), QStringLiteral("-1")); // the device's "no tag", as it was
    ASSERT_NE(listed(w, QStringLiteral("MSSID 4"), QStringLiteral("11g")), nullptr);
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Get OK!"));

    // Changed: MSSID 1's SSID; its unread key and passphrase stay as they are.
    Q_EMIT w.MulSSIDListView->itemClicked(listed(w, QStringLiteral("MSSID 1"), "11g"), 1);
    EXPECT_EQ(w.SSIDEdit->text(), QStringLiteral("Norvane-Guest"));
    w.SSIDEdit->setText(QStringLiteral("Norvane-Visitors"));
    markLog();
    press(w.SaveButton);
    EXPECT_EQ(rowsWritten(), QStringList{"2.2"});
    EXPECT_EQ(cell(3, 2, 2), QStringLiteral("\"Norvane-Visitors\""));
    EXPECT_EQ(cell(3, 2, 3), QStringLiteral("\"Norvane-Voice\""));

    // Deleted: only MSSID 4's state goes out.
    Q_EMIT w.MulSSIDListView->itemClicked(listed(w, QStringLiteral("MSSID 4"), "11g"), 1);
    ASSERT_TRUE(w.DelButton->isEnabled());
    markLog();
    press(w.DelButton);
    const QStringList written = writesSinceMark();
    ASSERT_EQ(written.size(), 1) << written.join(u'\n').toStdString();
    EXPECT_TRUE(written.at(0).contains(QStringLiteral(" ") + oid(".4.2.9.2.1.2.2.5=0 -> noError")))
        << written.at(0).toStdString();
    EXPECT_EQ(listed(w, QStringLiteral("MSSID 4"), QStringLiteral("11g")), nullptr);
    EXPECT_EQ(cell(3, 2, 5), QStringLiteral("\"Norvane-Cafe\""));
}

struct Refusal {
    const char *name;
    std::function<void(TFM_MultiSSIDNewForm &)> typeIn;
    const char *text;
    const char *caption;
};

TEST_F(MultiSsidWindow, EveryRefusalOfSaveWritesNothing)
{
    startMultiSsid();
    // Both bands run several SSIDs with VLAN tagging; 802.11g's primary SSID has tag 10 on LAN1.
    simCommand(QStringLiteral("set adMSSIDState.1 1"));
    simCommand(QStringLiteral("set adVlanState.2 1"));
    simCommand(QStringLiteral("set ") + oid(".4.2.9.2.1.8.2.1 10"));
    const auto entry = [](TFM_MultiSSIDNewForm &w, const char *band, const char *index) {
        choose(w.BandComboBox, QString::fromLatin1(band));
        choose(w.MSSIDIdxCombo, QString::fromLatin1(index));
        w.VLANIDEdit->setText(QStringLiteral("20"));
    };
    const Refusal rows[] = {
        {"SSID of the primary",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11a", "MSSID 3");
             w.SSIDEdit->setText(QStringLiteral("Norvane-11a"));
         },
         "The 11a Multi-SSID 3's SSID is same as Primary SSID", "Warning"},
        {"SSID of another secondary",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11g", "MSSID 3");
             w.SSIDEdit->setText(QStringLiteral("Norvane-Voice"));
         },
         "The 11g Multi-SSID 3's SSID is same as Multi-SSID 2", "Warning"},
        {"LAN2 with the tag of the primary on LAN1",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11g", "MSSID 1");
             w.VLANIDEdit->setText(QStringLiteral("10"));
         },
         "The VLAN Tag of SECONDARY_PORT can't be the same as The VLAN of PRIMARY_PORT!",
         "Warning"},
        {"the device's no tag (-1) with tagging on",
         [](TFM_MultiSSIDNewForm &w) {
             choose(w.BandComboBox, QStringLiteral("IEEE 802.11g"));
             choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 2"));
             ASSERT_EQ(w.VLANIDEdit->text(), QStringLiteral("-1"));
         },
         "Please input VLAN ID!", "Warning"},
        {"empty SSID",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11a", "MSSID 1");
             w.SSIDEdit->clear();
         },
         "Please input SSID!", "Warning"},
        {"short passphrase",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11a", "MSSID 1");
             w.SSIDEdit->setText(QStringLiteral("Lab-5GHz"));
             choose(w.SecurityComboTmp, QStringLiteral("WPA-Personal"));
             w.Ed_PassPhrase->setText(QStringLiteral("7-chars"));
         },
         "The length of 802.11g PassPhrase is between 8 and 63.", "Error"},
        {"key of the wrong length",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11g", "MSSID 2");
             w.Ed_KeyValue->setText(QStringLiteral("5F3C9A1E0"));
         },
         "The Length of key value must be 10!", "Warning"},
        {"key of other than hex digits",
         [entry](TFM_MultiSSIDNewForm &w) {
             entry(w, "IEEE 802.11g", "MSSID 2");
             w.Ed_KeyValue->setText(QStringLiteral("5F3C9A1E0G"));
         },
         "Please input  Hexadecimal digits!", "Warning"},
    };
    TFM_MultiSSIDNewForm &w = open();
    ASSERT_EQ(w.RadioGroup1->itemIndex(), TFM_MultiSSIDNewForm::BothBands);
    ASSERT_TRUE(w.CB_VLanState->isChecked());
    for (const Refusal &row : rows) {
        row.typeIn(w);
        m_dialogs.clear();
        markLog();
        w.SaveButton->click();
        EXPECT_TRUE(nothingWrittenSinceMark()) << row.name;
        ASSERT_EQ(m_dialogs.messages().size(), 1) << row.name;
        EXPECT_EQ(m_dialogs.messages().at(0).text, QString::fromLatin1(row.text)) << row.name;
        EXPECT_EQ(m_dialogs.messages().at(0).caption, QString::fromLatin1(row.caption))
            << row.name;
    }
    // The refused hex key is gone, the user types it again.
    EXPECT_TRUE(w.Ed_KeyValue->text().isEmpty());
}

TEST_F(MultiSsidWindow, ThePrimarySsidSavesOnlyItsTagAndCannotBeDeleted)
{
    startMultiSsid();
    simCommand(QStringLiteral("set adVlanState.2 1"));
    TFM_MultiSSIDNewForm &w = open();
    ASSERT_EQ(w.MSSIDIdxCombo->currentText(), QStringLiteral("Primary SSID"));
    ASSERT_TRUE(w.VLANIDEdit->isEnabled());
    w.VLANIDEdit->setText(QStringLiteral("30"));
    markLog();
    press(w.SaveButton);
    const QStringList written = writesSinceMark();
    ASSERT_EQ(written.size(), 3) << written.join(u'\n').toStdString();
    EXPECT_TRUE(written.at(0).contains(oid(".4.2.9.3.1.1.1=0 ") + oid(".4.2.9.3.1.1.2=1 ")));
    EXPECT_TRUE(written.at(1).contains(oid(".4.2.9.1.1.1.1=0 ") + oid(".4.2.9.1.1.1.2=1 ")));
    EXPECT_TRUE(written.at(2).contains(QStringLiteral(" ") + oid(".4.2.9.2.1.8.2.1=30 -> noError")))
        << written.at(2).toStdString();

    QTreeWidgetItem *primary = listed(w, QStringLiteral("Primary"), QStringLiteral("11g"));
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary->text(4), QStringLiteral("30"));
    primary->setSelected(true);
    Q_EMIT w.MulSSIDListView->itemClicked(primary, 1);
    EXPECT_TRUE(w.MulSSIDListView->selectedItems().isEmpty());
    EXPECT_FALSE(w.DelButton->isEnabled());
    markLog();
    w.DelButtonClick();
    EXPECT_TRUE(nothingWrittenSinceMark());
}

TEST_F(MultiSsidWindow, EnterpriseSecurityPutsTheSsidOnLan1)
{
    startMultiSsid();
    simCommand(QStringLiteral("set ") + oid(".4.2.9.2.1.4.2.1 7")); // primary: WPA2-Enterprise
    TFM_MultiSSIDNewForm &w = open();
    choose(w.MSSIDIdxCombo, QStringLiteral("MSSID 1"));
    ASSERT_EQ(w.EthernetRadGp->itemIndex(), 1);
    ASSERT_TRUE(w.SecurityCombo->isVisibleTo(&w));
    choose(w.SecurityCombo, QStringLiteral("WPA-Enterprise"));
    EXPECT_EQ(w.EthernetRadGp->itemIndex(), 0);
    EXPECT_FALSE(w.EthernetRadGp->isEnabled());
    EXPECT_EQ(w.GP_PSK->title(), QStringLiteral("Radius Server Settings"));
    EXPECT_FALSE(w.Ed_RiduisServ->isEnabled());
    press(w.SaveButton);
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(cell(10, 2, 2), QStringLiteral("1"));
    EXPECT_EQ(cell(4, 2, 2), QStringLiteral("5"));
    EXPECT_EQ(cell(5, 2, 2), QStringLiteral("1"));
}

TEST_F(MultiSsidWindow, EnablingBothBandsWarnsAndApplyMakesBothAccessPointsFirst)
{
    startMultiSsid();
    TFM_MultiSSIDNewForm &w = open();
    w.RadioGroup1->button(TFM_MultiSSIDNewForm::BothBands)->click();
    EXPECT_EQ(m_dialogs.texts(),
              QStringList{"If you enable Multi-SSID,Super Mode will be Disabled!"});
    EXPECT_TRUE(w.BandComboBox->isEnabled());
    EXPECT_EQ(w.MulSSIDListView->topLevelItemCount(), 5); // 802.11a's primary SSID too
    markLog();
    w.ApplyBtn->click();
    const QStringList written = writesSinceMark();
    ASSERT_EQ(written.size(), 4) << written.join(u'\n').toStdString();
    EXPECT_TRUE(written.at(0).contains(oid(".4.2.1.1.1.1=1 ") + oid(".4.2.3.1.11.1=4 ")));
    EXPECT_TRUE(written.at(1).contains(oid(".4.2.1.1.1.2=1 ") + oid(".4.2.3.1.11.2=4 ")));
    EXPECT_TRUE(written.at(2).contains(oid(".4.2.9.3.1.1.1=1 ") + oid(".4.2.9.3.1.1.2=1 ")));
    EXPECT_TRUE(written.at(3).contains(oid(".4.2.9.1.1.1.1=0 ") + oid(".4.2.9.1.1.1.2=0 ")));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting success!"));
    EXPECT_EQ(m_waiting.shown().size(), 1);
}

TEST_F(MultiSsidWindow, DeviceWithoutTheFeatureOffersOnlyTheSwitches)
{
    startMultiSsid(QStringLiteral("nomssid"));
    TFM_MultiSSIDNewForm &w = open();
    EXPECT_FALSE(w.IfEnabMuSSID->isChecked());
    EXPECT_FALSE(w.RadioGroup1->isEnabled());
    EXPECT_EQ(w.RadioGroup1->itemIndex(), TFM_MultiSSIDNewForm::BothBands);
    EXPECT_FALSE(w.BandComboBox->isEnabled());
    for (QWidget *control :
         {static_cast<QWidget *>(w.MSSIDIdxCombo), static_cast<QWidget *>(w.SSIDEdit),
          static_cast<QWidget *>(w.SaveButton), static_cast<QWidget *>(w.DelButton),
          static_cast<QWidget *>(w.MulSSIDListView)})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(w.IfEnabMuSSID->isEnabled());
    EXPECT_TRUE(w.CB_VLanState->isEnabled());
    EXPECT_TRUE(w.ApplyBtn->isEnabled());

    // Applied as it stands, both bands' states go out as off.
    markLog();
    w.ApplyBtn->click();
    const QStringList written = writesSinceMark();
    ASSERT_EQ(written.size(), 2) << written.join(u'\n').toStdString();
    EXPECT_TRUE(written.at(0).contains(oid(".4.2.9.3.1.1.1=0 ") + oid(".4.2.9.3.1.1.2=0 ")));
    EXPECT_TRUE(written.at(1).contains(oid(".4.2.9.1.1.1.1=0 ") + oid(".4.2.9.1.1.1.2=0 ")));
}

TEST_F(MultiSsidWindow, OneRadioModelShowsAndWritesOnlyItsBand)
{
    startMultiSsid(QStringLiteral("single-radio"));
    TFM_MultiSSIDNewForm &w = open();
    EXPECT_TRUE(w.IfEnabMuSSID->isChecked());
    EXPECT_EQ(w.RadioGroup1->itemIndex(), TFM_MultiSSIDNewForm::BandG);
    EXPECT_EQ(w.MulSSIDListView->topLevelItemCount(), 4);
    markLog();
    w.ApplyBtn->click();
    const QStringList written = writesSinceMark();
    ASSERT_EQ(written.size(), 3) << written.join(u'\n').toStdString();
    EXPECT_FALSE(written.join(u' ').contains(QStringLiteral(".1=")));
    EXPECT_EQ(w.StatusBar->currentMessage(), QStringLiteral("Setting success!"));
}

} // namespace
