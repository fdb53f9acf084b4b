#include "tfm_macaddr.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "macaddresses.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TFM_MACAddr *FM_MACAddr = nullptr;

namespace {

constexpr int kMacLength = 12;
const QString kFiller = QStringLiteral("000000000000");

} // namespace

TFM_MACAddr::TFM_MACAddr(QWidget *owner) : TPageWindow(owner)
{
    setObjectName(QStringLiteral("FM_MACAddr"));
    setWindowTitle(QStringLiteral("MAC Address"));
    buildWindow();
}

TFM_MACAddr::~TFM_MACAddr() = default;

void TFM_MACAddr::buildWindow()
{
    LA_Index = new QLabel(this);
    LA_Index->setObjectName(QStringLiteral("LA_Index"));
    LA_Index->hide();
    Ed_MACAddr = new QLineEdit(this);
    Ed_MACAddr->setObjectName(QStringLiteral("Ed_MACAddr"));
    // Twelve hex digits and a little room.
    Ed_MACAddr->setMinimumWidth(Ed_MACAddr->fontMetrics().horizontalAdvance(
                                    QStringLiteral("DDDDDDDDDDDDDD"))
                                + 12);
    Bt_Apply = new QPushButton(QStringLiteral("Apply"), this);
    Bt_Apply->setObjectName(QStringLiteral("Bt_Apply"));
    Bt_Apply->setDefault(true);
    Bt_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Bt_Cancel->setObjectName(QStringLiteral("Bt_Cancel"));
    Bt_Cancel->setAutoDefault(false);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("MAC Address"), Ed_MACAddr);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Bt_Apply);
    buttons->addWidget(Bt_Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(LA_Index);
    layout->addLayout(buttons);

    connect(Bt_Apply, &QPushButton::clicked, this, &TFM_MACAddr::Bt_ApplyClick);
    connect(Bt_Cancel, &QPushButton::clicked, this, &TFM_MACAddr::reject);
}

void TFM_MACAddr::setSlotRequest(KtSNMPRequest2Edits *request, int numberItem, int macItem)
{
    m_slots = request;
    m_numberItem = numberItem;
    m_macItem = macItem;
}

void TFM_MACAddr::showEvent(QShowEvent *event)
{
    TPageWindow::showEvent(event);
    // The field shows the slot's MAC (the filler for a new entry): typing replaces it whole.
    Ed_MACAddr->setFocus(Qt::OtherFocusReason);
    Ed_MACAddr->selectAll();
}

std::optional<TPageWindow::Refusal> TFM_MACAddr::checkLength() const
{
    if (Ed_MACAddr->text().size() != kMacLength)
        return Refusal{lengthText(), Ed_MACAddr, Refusal::SelectText};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_MACAddr::checkNotFiller() const
{
    if (Ed_MACAddr->text() == kFiller)
        return Refusal{invalidText(), Ed_MACAddr, Refusal::SelectText};
    return std::nullopt;
}

std::optional<TPageWindow::Refusal> TFM_MACAddr::checkDuplicate() const
{
    const QTreeWidget *view = m_slots ? m_slots->listView.data() : nullptr;
    if (!view)
        return std::nullopt;
    const QString entered = Ed_MACAddr->text();
    const QString editedSlot = LA_Index->text();
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = view->topLevelItem(i);
        if (m_slots->RowValue(row, m_numberItem) == editedSlot)
            continue;
        if (MacAddresses::SameMac(entered, m_slots->RowValue(row, m_macItem)))
            return Refusal{duplicateText(), Ed_MACAddr, Refusal::SelectText};
    }
    return std::nullopt;
}

void TFM_MACAddr::Bt_ApplyClick()
{
    if (refuse(checkLength(), errorCaption()) || refuse(checkNotFiller(), warningCaption())
        || refuse(checkDuplicate(), warningCaption()))
        return;
    if (!m_slots)
        return;
    try {
        // The list window hears the outcome: its lists are read again after the write.
        if (m_slots->Set(false, true))
            accept();
    } catch (const KtException &e) {
        KtDialogs::message(this, e.text(), KtDialogs::programFileName());
    }
}
