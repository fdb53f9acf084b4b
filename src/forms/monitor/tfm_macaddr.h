// "MAC Address": the dialog in which one slot of a band's MAC address list is given its MAC
// (TFM_FilterMAC opens it as "Adding MAC address" or "Set MAC Address"). Its two fields are
// bound to the list window's slot request, which owns them: the hidden LA_Index shows the
// number of the slot being edited, Ed_MACAddr its MAC. Apply checks the MAC, writes the slot
// request and closes; the list window then reads both lists again.
#pragma once

#include "tpagewindow.h"

#include <optional>

class KtSNMPRequest2Edits;
class QLabel;
class QLineEdit;
class QPushButton;

class TFM_MACAddr : public TPageWindow
{
    Q_OBJECT

public:
    explicit TFM_MACAddr(QWidget *owner = nullptr);
    ~TFM_MACAddr() override;

    static QString lengthText() { return QStringLiteral("The length is 12 in MAC Address."); }
    static QString invalidText() { return QStringLiteral("Please input a valid MAC Address."); }
    static QString duplicateText() { return QStringLiteral("Reject: The MAC already exists "); }

    QLabel *LA_Index = nullptr;       // hidden: the number of the slot being edited
    QLineEdit *Ed_MACAddr = nullptr;
    QPushButton *Bt_Apply = nullptr;
    QPushButton *Bt_Cancel = nullptr;

    // The request whose selected slot the dialog edits (the list window's; not owned) and
    // which Apply writes. Its list view holds every slot: the duplicate check reads it.
    void setSlotRequest(KtSNMPRequest2Edits *request, int numberItem, int macItem);

    // The rules of Apply, in their order. Each returns the refusal, or nothing when the MAC
    // passes it.
    std::optional<Refusal> checkLength() const;    // exactly 12 characters ("Error")
    std::optional<Refusal> checkNotFiller() const; // not "000000000000" ("Warning")
    std::optional<Refusal> checkDuplicate() const; // no other slot holds it ("Warning")

public Q_SLOTS:
    void Bt_ApplyClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();

    KtSNMPRequest2Edits *m_slots = nullptr;
    int m_numberItem = 0;
    int m_macItem = 1;
};

extern TFM_MACAddr *FM_MACAddr;
