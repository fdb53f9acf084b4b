#include "new_req2edit.h"

#include <QTreeWidget>

New_req2Edit::New_req2Edit(QWidget *ownerForm) : KtSNMPRequest2Edits(ownerForm) {}

New_req2Edit::New_req2Edit(QWidget *ownerForm, const KtSNMPVarItem *table, int itemType,
                           int keyCount)
    : KtSNMPRequest2Edits(ownerForm, table, itemType, keyCount)
{
}

void New_req2Edit::OnRow()
{
    if (!listView) {
        FillControls(-1);
        return;
    }
    // A key item outside the list marks no slot as free.
    const bool known = keyItem >= 0 && keyItem < list().Count();
    if (known && list().Item(keyItem).value == skipText)
        return; // a free slot: not shown, and it uses up no number
    AddRow();
    ++rowNumber;
    ProcessPendingMessages();
}

void New_req2Edit::AddRow()
{
    const QString caption = QString::number(rowNumber);
    AppendRow(&caption);
}
