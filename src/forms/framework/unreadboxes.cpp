#include "unreadboxes.h"

#include "ktsnmprequest2edits.h"
#include "ktsnmpvaritem.h"

#include <QComboBox>
#include <QStatusBar>

UnreadBoxesLeftOut::UnreadBoxesLeftOut(
    KtSNMPRequest2Edits &request, std::initializer_list<QPair<int, const QComboBox *>> boxes)
    : m_request(request)
{
    for (const auto &[item, box] : boxes) {
        KtSNMPVarItem &variable = m_request.list().Item(item);
        m_access.append({item, variable.access});
        if (box->currentIndex() < 0) {
            variable.access = ACC_INVALID;
            ++m_leftOut;
        }
    }
}

UnreadBoxesLeftOut::UnreadBoxesLeftOut(KtSNMPRequest2Edits &request) : m_request(request)
{
    KtSNMPVarList &items = m_request.list();
    for (const KtSNMPRequest2Edits::Binding &binding : m_request.Bindings()) {
        const auto *box = qobject_cast<const QComboBox *>(binding.controls.value(0).data());
        if (box && box->currentIndex() < 0 && items.IsWritable(binding.item)) {
            m_access.append({binding.item, items.Item(binding.item).access});
            items.Item(binding.item).access = ACC_INVALID;
            ++m_leftOut;
        }
    }
}

bool UnreadBoxesLeftOut::anythingToWrite() const
{
    const KtSNMPVarList &items = m_request.list();
    for (int i = 0; i < items.Count(); ++i) {
        if (items.IsWritable(i))
            return true;
    }
    return false;
}

UnreadBoxesLeftOut::~UnreadBoxesLeftOut()
{
    for (const auto &[item, access] : std::as_const(m_access))
        m_request.list().Item(item).access = access;
}

void leaveRoomForStatusLine(QStatusBar *bar)
{
    const QString line = QStringLiteral("Set: (KtSNMP++) Ok!. Receive at 12:00:00 PM.");
    bar->setMinimumWidth(bar->fontMetrics().horizontalAdvance(line) + 24);
}
