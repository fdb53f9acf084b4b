#include "tfm_devinfo.h"

#include "devicefacts.h"
#include "formdecoration.h"
#include "ktexception.h"
#include "ktoptionlist.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "radiofacts.h"
#include "tmainform.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

TFM_DevInfo *FM_DevInfo = nullptr;

namespace {

const QString kCaption = QStringLiteral("Status \\ Device Info");
const QString kDisable = QStringLiteral("Disable");
const QString kWithoutTurbo = QStringLiteral("Super Mode without Turbo");
const QString kNoTurboModes = QStringLiteral("0");

const char *const kStatusPrefix = "1.3.6.1.4.1.32473.11.37.4.4";

enum Band { BandA = 1, BandG = 2 };

KtSNMPVarItem item(const QString &oid, const char *name, int syntax,
                   const KtOptionList *options = nullptr)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, ACC_READONLY, options);
}

QString statusOid(const char *suffix)
{
    return QString::fromLatin1(kStatusPrefix) + QString::fromLatin1(suffix);
}

const KtOptionList &getIpFromOptions()
{
    static const KtOption table[] = {
        {1, nullptr, "Manual"}, {2, nullptr, "Dynamic"}, {0, nullptr, nullptr}};
    static const KtOptionList list(table, KtOptionList::Numeric);
    return list;
}

// The six status variables of one radio; the band is the last sub-identifier.
std::vector<KtSNMPVarItem> bandTable(Band band)
{
    const QString b = QString::number(band);
    return {item(statusOid(".2.1.1.") + b, "stSSID", SYN_DISPLAYSTR),
            item(statusOid(".2.1.2.") + b, "stChannel", SYN_INTEGER),
            item(statusOid(".2.1.3.") + b, "stSuperMode", SYN_INTEGER,
                 &RadioFacts::superModeOptions()),
            item(statusOid(".2.1.4.") + b, "stDataRate", SYN_DISPLAYSTR),
            item(statusOid(".2.1.5.") + b, "stSecLevelAuth", SYN_DISPLAYSTR),
            item(statusOid(".2.1.6.") + b, "stSecLevelPriv", SYN_DISPLAYSTR),
            {}};
}

std::vector<KtSNMPVarItem> deviceTable()
{
    return {item(statusOid(".1.1.1"), "Firmware Version", SYN_DISPLAYSTR),
            item(statusOid(".1.1.2"), "MAC Address", SYN_MACADDRESS),
            item(statusOid(".1.1.3"), "Get IP From", SYN_INTEGER, &getIpFromOptions()),
            item(statusOid(".1.1.4"), "IP Address", SYN_IPADDRESS),
            item(statusOid(".1.1.5"), "Subnet Mask", SYN_IPADDRESS),
            item(statusOid(".1.1.6"), "Default Gateway", SYN_IPADDRESS),
            {}};
}

QLineEdit *readOnlyEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setMinimumWidth(120); // an address or a data rate fits whole
    return edit;
}

// All but the last digit of the MAC address text.
QString macPrefix(const QString &mac) { return mac.left(mac.size() - 1); }

} // namespace

TFM_DevInfo::TFM_DevInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FM_DevInfo"));
    setWindowTitle(kCaption);
    setModal(true);
    FormDecoration::apply(this);
    buildWindow();
    FormCreate();
}

TFM_DevInfo::~TFM_DevInfo() = default;

QString TFM_DevInfo::wlan0Range(const QString &mac)
{
    const QString p = macPrefix(mac);
    return p + QStringLiteral("0 ~ ") + p + QStringLiteral("7");
}

QString TFM_DevInfo::wlan1Range(const QString &mac)
{
    const QString p = macPrefix(mac);
    return p + QStringLiteral("8 ~ ") + p + QStringLiteral("F");
}

QString TFM_DevInfo::superModeShown(const QString &superMode, const QString &turboModes)
{
    // Nothing read yet: nothing to translate.
    if (turboModes != kNoTurboModes || superMode.isEmpty())
        return superMode;
    return superMode == kDisable ? kDisable : kWithoutTurbo;
}

QWidget *TFM_DevInfo::buildBandPage(const std::array<QLineEdit **, 6> &fields,
                                    QPushButton *&refresh, QLineEdit **shownSuperMode)
{
    static const char *const captions[] = {"Service Set ID", "Channel",        "Super Mode",
                                           "Data Rate",      "Authentication", "Privacy"};
    auto *page = new QWidget;
    auto *form = new QFormLayout;
    for (int i = 0; i < 6; ++i) {
        QLineEdit *field = *fields[static_cast<size_t>(i)];
        QWidget *shown = field;
        if (i == 2 && shownSuperMode) {
            // The bound field holds the value as read; the row shows its translation.
            field->hide();
            shown = *shownSuperMode;
        }
        form->addRow(QString::fromLatin1(captions[i]), shown);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(buttons);
    return page;
}

void TFM_DevInfo::buildWindow()
{
    Ed_SSIDa = readOnlyEdit(this, "Ed_SSIDa");
    Ed_Channela = readOnlyEdit(this, "Ed_Channela");
    Ed_SupModa = readOnlyEdit(this, "Ed_SupModa");
    Ed_SupModusa = readOnlyEdit(this, "Ed_SupModusa");
    Ed_DatRata = readOnlyEdit(this, "Ed_DatRata");
    Ed_SecLevAutha = readOnlyEdit(this, "Ed_SecLevAutha");
    Ed_SecLevPria = readOnlyEdit(this, "Ed_SecLevPria");
    Bt_Refa = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refa->setObjectName(QStringLiteral("Bt_Refa"));

    Ed_SSIDg = readOnlyEdit(this, "Ed_SSIDg");
    Ed_Channelg = readOnlyEdit(this, "Ed_Channelg");
    Ed_SupModg = readOnlyEdit(this, "Ed_SupModg");
    Ed_DatRatg = readOnlyEdit(this, "Ed_DatRatg");
    Ed_SecLevAuthg = readOnlyEdit(this, "Ed_SecLevAuthg");
    Ed_SecLevPrig = readOnlyEdit(this, "Ed_SecLevPrig");
    Bt_Refg = new QPushButton(QStringLiteral("Refresh"), this);
    Bt_Refg->setObjectName(QStringLiteral("Bt_Refg"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheetA = buildBandPage({&Ed_SSIDa, &Ed_Channela, &Ed_SupModa, &Ed_DatRata,
                               &Ed_SecLevAutha, &Ed_SecLevPria},
                              Bt_Refa, &Ed_SupModusa);
    TabSheetA->setObjectName(QStringLiteral("TabSheetA"));
    TabSheetG = buildBandPage({&Ed_SSIDg, &Ed_Channelg, &Ed_SupModg, &Ed_DatRatg,
                               &Ed_SecLevAuthg, &Ed_SecLevPrig},
                              Bt_Refg, nullptr);
    TabSheetG->setObjectName(QStringLiteral("TabSheetG"));
    PageControl1->addTab(TabSheetA, QStringLiteral("IEEE 802.11a"));
    PageControl1->addTab(TabSheetG, QStringLiteral("IEEE 802.11g"));

    GroupBoxDevice = new QGroupBox(QStringLiteral("Device Info"), this);
    GroupBoxDevice->setObjectName(QStringLiteral("GroupBoxDevice"));
    Ed_Firmware = readOnlyEdit(GroupBoxDevice, "Ed_Firmware");
    Ed_Mac = readOnlyEdit(GroupBoxDevice, "Ed_Mac");
    Label20 = new QLabel(GroupBoxDevice);
    Label20->setObjectName(QStringLiteral("Label20"));
    Label22 = new QLabel(GroupBoxDevice);
    Label22->setObjectName(QStringLiteral("Label22"));
    auto *deviceForm = new QFormLayout(GroupBoxDevice);
    deviceForm->addRow(QStringLiteral("Firmware Version:"), Ed_Firmware);
    deviceForm->addRow(QStringLiteral("MAC Address:"), Ed_Mac);
    deviceForm->addRow(QStringLiteral("WLAN0 MAC Address: "), Label20);
    deviceForm->addRow(QStringLiteral("WLAN1 MAC Address: "), Label22);

    GroupBoxEthernet = new QGroupBox(QStringLiteral("Ethernet "), this);
    GroupBoxEthernet->setObjectName(QStringLiteral("GroupBoxEthernet"));
    Ed_GetIP = readOnlyEdit(GroupBoxEthernet, "Ed_GetIP");
    Ed_IPaddr = readOnlyEdit(GroupBoxEthernet, "Ed_IPaddr");
    Ed_SubMask = readOnlyEdit(GroupBoxEthernet, "Ed_SubMask");
    Ed_Gate = readOnlyEdit(GroupBoxEthernet, "Ed_Gate");
    auto *ethernetForm = new QFormLayout(GroupBoxEthernet);
    ethernetForm->addRow(QStringLiteral("Get IP From:"), Ed_GetIP);
    ethernetForm->addRow(QStringLiteral("IP Address: "), Ed_IPaddr);
    ethernetForm->addRow(QStringLiteral("Subnet Mask:"), Ed_SubMask);
    ethernetForm->addRow(QStringLiteral("Gateway: "), Ed_Gate);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto *groups = new QHBoxLayout;
    groups->addWidget(GroupBoxDevice);
    groups->addWidget(GroupBoxEthernet);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(groups);
    layout->addWidget(StatusBar);

    connect(Bt_Refa, &QPushButton::clicked, this, &TFM_DevInfo::Bt_RefaClick);
    connect(Bt_Refg, &QPushButton::clicked, this, &TFM_DevInfo::Bt_RefgClick);
}

void TFM_DevInfo::FormCreate()
{
    const QString format = QStringLiteral("%s");
    try {
        const std::vector<KtSNMPVarItem> tableA = bandTable(BandA);
        m_bandA = std::make_unique<KtSNMPRequest2Edits>(this, tableA.data(), MVT_SV);
        m_bandA->mode = KtSNMPRequest2Controls::Synchronous;
        m_bandA->BindEdit(0, format, Ed_SSIDa);
        m_bandA->BindEdit(1, format, Ed_Channela);
        m_bandA->BindEdit(2, format, Ed_SupModa);
        m_bandA->BindEdit(3, format, Ed_DatRata);
        m_bandA->BindEdit(4, format, Ed_SecLevAutha);
        m_bandA->BindEdit(5, format, Ed_SecLevPria);
        m_bandA->SetStatusControl(StatusBar);
        m_bandA->Get();
        applySuperModeRule();

        const std::vector<KtSNMPVarItem> tableG = bandTable(BandG);
        m_bandG = std::make_unique<KtSNMPRequest2Edits>(this, tableG.data(), MVT_SV);
        m_bandG->mode = KtSNMPRequest2Controls::Asynchronous;
        m_bandG->BindEdit(0, format, Ed_SSIDg);
        m_bandG->BindEdit(1, format, Ed_Channelg);
        m_bandG->BindEdit(2, format, Ed_SupModg);
        m_bandG->BindEdit(3, format, Ed_DatRatg);
        m_bandG->BindEdit(4, format, Ed_SecLevAuthg);
        m_bandG->BindEdit(5, format, Ed_SecLevPrig);
        m_bandG->SetStatusControl(StatusBar);
        m_bandG->Get();

        const std::vector<KtSNMPVarItem> tableDevice = deviceTable();
        m_device = std::make_unique<KtSNMPRequest2Edits>(this, tableDevice.data(), SVT_SV);
        m_device->mode = KtSNMPRequest2Controls::Synchronous;
        m_device->BindEdit(0, format, Ed_Firmware);
        m_device->BindEdit(1, format, Ed_Mac);
        m_device->BindEdit(2, format, Ed_GetIP);
        m_device->BindEdit(3, format, Ed_IPaddr);
        m_device->BindEdit(4, format, Ed_SubMask);
        m_device->BindEdit(5, format, Ed_Gate);
        m_device->SetStatusControl(StatusBar);
        m_device->Get();

        applyMacRanges();
    } catch (const KtException &e) {
        showError(e.text());
    }
}

void TFM_DevInfo::applySuperModeRule()
{
    Ed_SupModusa->setText(
        superModeShown(Ed_SupModa->text(), DeviceFacts::text(&TMainForm::ED_Turbomode)));
}

void TFM_DevInfo::applyMacRanges()
{
    // A device that did not tell its address leaves the ranges empty rather than showing a
    // range made of nothing.
    const QString mac = Ed_Mac->text();
    if (mac.isEmpty() || mac == KT_NULL_TEXT)
        return;
    Label20->setText(wlan0Range(mac));
    Label22->setText(wlan1Range(mac));
}

void TFM_DevInfo::showError(const QString &text) { StatusBar->showMessage(text); }

void TFM_DevInfo::Bt_RefaClick()
{
    if (!m_bandA)
        return;
    try {
        m_bandA->Get();
        applySuperModeRule();
    } catch (const KtException &e) {
        showError(e.text());
    }
}

void TFM_DevInfo::Bt_RefgClick()
{
    // A read still on its way is not sent a second time.
    if (!m_bandG || m_bandG->busy)
        return;
    try {
        m_bandG->Get();
    } catch (const KtException &e) {
        showError(e.text());
    }
}
