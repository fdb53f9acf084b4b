#include "tfm_filtermac.h"

#include "devicefacts.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"
#include "kttypinglimit.h"
#include "new_req2edit.h"
#include "tfm_macaddr.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TFM_FilterMAC *FM_FilterMAC = nullptr;

namespace {

// ---- Items: the MAC address list, one row per slot (instance: the band) ----
const QString kMacTable = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.4.2.1");

const KtSNMPVarItem MacItems[] = {
    {kMacTable + QStringLiteral(".1"), QStringLiteral("No."), SYN_INTEGER, ACC_NOTACCESS,
     nullptr, {}, {}, {}, {}, {}},
    {kMacTable + QStringLiteral(".2"), QStringLiteral("MAC Address"), SYN_MACADDRESS,
     ACC_READWRITE, nullptr, {}, {}, {}, {}, {}},
    {}};

// The slot number is the table's index; the MAC decides whether a slot is used.
enum Item { NumberItem = 0, MacItem = 1 };
constexpr int kKeyCount = 1;

} // namespace

TFM_FilterMAC::TFM_FilterMAC(QWidget *owner, int band) : TPageWindow(owner), m_band(band)
{
    setObjectName(QStringLiteral("FM_FilterMAC"));
    setWindowTitle(QStringLiteral("MAC Address Table"));
    buildWindow();
    setStatusBar(StatusBar);
    FormCreate();
}

TFM_FilterMAC::~TFM_FilterMAC() = default;

void TFM_FilterMAC::buildWindow()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Access Control List"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    User_ListView = new QTreeWidget(GroupBox1);
    User_ListView->setObjectName(QStringLiteral("User_ListView"));
    User_ListView->setMinimumSize(240, 260);
    // Every slot, free ones included: the slot that Add, Set and Del work on is chosen here.
    Slot_ListView = new QTreeWidget(GroupBox1);
    Slot_ListView->setObjectName(QStringLiteral("Slot_ListView"));
    Slot_ListView->hide();

    Bt_Add = new QPushButton(QStringLiteral("Add"), GroupBox1);
    Bt_Add->setObjectName(QStringLiteral("Bt_Add"));
    Bt_Set = new QPushButton(QStringLiteral("Set"), GroupBox1);
    Bt_Set->setObjectName(QStringLiteral("Bt_Set"));
    Bt_Del = new QPushButton(QStringLiteral("Del"), GroupBox1);
    Bt_Del->setObjectName(QStringLiteral("Bt_Del"));
    Bt_Refresh = new QPushButton(QStringLiteral("Refresh"), GroupBox1);
    Bt_Refresh->setObjectName(QStringLiteral("Bt_Refresh"));
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {Bt_Add, Bt_Set, Bt_Del, Bt_Refresh}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto *group = new QHBoxLayout(GroupBox1);
    group->addWidget(User_ListView, 1);
    group->addWidget(Slot_ListView);
    group->addLayout(buttons);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setMinimumWidth(420);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(StatusBar);

    connect(Bt_Add, &QPushButton::clicked, this, &TFM_FilterMAC::Bt_AddClick);
    connect(Bt_Set, &QPushButton::clicked, this, &TFM_FilterMAC::Bt_SetClick);
    connect(Bt_Del, &QPushButton::clicked, this, &TFM_FilterMAC::Bt_DelClick);
    connect(Bt_Refresh, &QPushButton::clicked, this, &TFM_FilterMAC::Bt_RefreshClick);
    connect(User_ListView, &QTreeWidget::itemSelectionChanged, this,
            [this] { applySelectionRule(); });
    connect(User_ListView, &QTreeWidget::itemDoubleClicked, this, [this] { Bt_SetClick(); });
}

void TFM_FilterMAC::FormCreate()
{
    for (QPushButton *button : {Bt_Set, Bt_Del, Bt_Refresh, Bt_Add})
        button->setEnabled(false);
    m_busy = true;
    const QString instance = QString::number(m_band);
    try {
        m_slots = adoptRequest(
            std::make_unique<KtSNMPRequest2Edits>(this, MacItems, MVT_FMV, kKeyCount));
        m_slots->list().instance = instance;
        m_slots->SetStatusControl(StatusBar);
        m_slots->BindListView(Slot_ListView);
        m_slots->beforeSetHook = [this](KtSNMPRequest2Edits *) {
            // Nothing else starts on the list while the write is on its way.
            for (QPushButton *button : {Bt_Refresh, Bt_Add, Bt_Set, Bt_Del})
                button->setEnabled(false);
        };
        m_slots->afterGetHook = [this](KtSNMPRequest2Edits *) { slotsRead(); };
        m_slots->afterSetHook = [this](KtSNMPRequest2Edits *) { slotsWritten(); };
        m_slots->OnGetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
            // A read that failed leaves the list as far as it came; Refresh tries again.
            if (status.code != 0) {
                m_busy = false;
                Bt_Refresh->setEnabled(true);
            }
        };
        m_slots->OnSetComplete = [this](KtSNMPRequest2Controls *, const KtSNMPError &status) {
            if (status.code == 0)
                readBoth(); // the request is free again only now
            else
                becomeIdle();
        };

        m_used = adoptRequest(std::make_unique<New_req2Edit>(this, MacItems, MVT_FMV, kKeyCount));
        m_used->list().instance = instance;
        m_used->skipText = freeSlot();
        m_used->keyItem = MacItem;
        m_used->SetStatusControl(StatusBar);
        m_used->BindListView(User_ListView);

        readBoth();

        m_dialog = new TFM_MACAddr(this);
        m_slots->BindControl(NumberItem, m_dialog->LA_Index);
        m_slots->BindEdit(MacItem, QStringLiteral("%h"), m_dialog->Ed_MACAddr);
        KtTypingLimit::SetLimit(m_dialog->Ed_MACAddr, 12);
        m_slots->SetConstraintOwner(m_dialog);
        m_dialog->setSlotRequest(m_slots, NumberItem, MacItem);
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
    }
}

bool TFM_FilterMAC::reading() const
{
    return (m_slots && m_slots->IsBusy()) || (m_used && m_used->IsBusy());
}

void TFM_FilterMAC::readBoth()
{
    for (QPushButton *button : {Bt_Refresh, Bt_Add, Bt_Set, Bt_Del})
        button->setEnabled(false);
    try {
        if (!m_slots->IsBusy())
            m_slots->Get();
        // A read under way keeps its numbering; a new one starts again at 1.
        if (!m_used->IsBusy()) {
            m_used->rowNumber = 1;
            m_used->Get();
        }
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
        m_busy = false;
        Bt_Refresh->setEnabled(true);
    }
}

bool TFM_FilterMAC::selectSlot(const QString &mac)
{
    // Chosen afresh even when it was chosen before, so that the dialog shows the slot's own MAC
    // and not what was typed and cancelled.
    return m_slots->SelectRow(MacItem, mac) != nullptr;
}

QString TFM_FilterMAC::chosenMac() const
{
    const QTreeWidgetItem *row = User_ListView->selectedItems().value(0, nullptr);
    return m_used->RowValue(row, MacItem);
}

void TFM_FilterMAC::applySelectionRule()
{
    const bool chosen = !User_ListView->selectedItems().isEmpty();
    Bt_Set->setEnabled(chosen);
    Bt_Del->setEnabled(chosen);
}

void TFM_FilterMAC::becomeIdle()
{
    m_busy = false;
    if (!reading()) {
        Bt_Refresh->setEnabled(true);
        Bt_Add->setEnabled(true);
    }
    applySelectionRule();
}

void TFM_FilterMAC::slotsRead()
{
    m_busy = false;
    Bt_Refresh->setEnabled(true);
    Bt_Add->setEnabled(true);
}

void TFM_FilterMAC::slotsWritten()
{
    for (QPushButton *button : {Bt_Refresh, Bt_Add, Bt_Set, Bt_Del})
        button->setEnabled(false);
    User_ListView->clear();
    Slot_ListView->clear();
    // Both lists are read again once the write has ended (OnSetComplete).
}

bool TFM_FilterMAC::takeChosenEntry()
{
    if (reading() || !m_dialog)
        return false;
    const QString mac = chosenMac();
    if (mac.isEmpty() || !selectSlot(mac))
        return false;
    m_busy = true;
    return true;
}

void TFM_FilterMAC::editSlot(const QString &title)
{
    m_dialog->setWindowTitle(title);
    // Accepted: the write is on its way, and its outcome reads the lists again or frees them.
    if (m_dialog->exec() != QDialog::Accepted)
        becomeIdle();
}

void TFM_FilterMAC::Bt_AddClick()
{
    if (reading() || !m_dialog)
        return;
    if (!selectSlot(freeSlot())) {
        KtDialogs::message(this, tableFullText(), warningCaption());
        return;
    }
    editSlot(QStringLiteral("Adding MAC address"));
}

void TFM_FilterMAC::Bt_SetClick()
{
    if (takeChosenEntry())
        editSlot(QStringLiteral("Set MAC Address"));
}

void TFM_FilterMAC::Bt_DelClick()
{
    if (!takeChosenEntry())
        return;
    m_dialog->Ed_MACAddr->setText(freeSlot());
    try {
        if (!m_slots->Set(false, true))
            becomeIdle();
    } catch (const KtException &e) {
        StatusBar->showMessage(e.text());
        becomeIdle();
    }
}

void TFM_FilterMAC::Bt_RefreshClick()
{
    if (reading()) {
        Bt_Set->setEnabled(false);
        Bt_Del->setEnabled(false);
        return;
    }
    m_busy = true;
    readBoth();
}

bool TFM_FilterMAC::FormCloseQuery() { return !(m_busy && DeviceFacts::deviceAnswers()); }
