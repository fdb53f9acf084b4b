// A fixed table of slots shown in a list view without its free slots: a slot is free when its
// key item holds the filler value (skipText). The shown rows are numbered 1, 2, 3 ... in the
// caption column in place of the slot index. Reading, writing and binding are the base's.
#pragma once

#include "ktsnmprequest2edits.h"

class New_req2Edit : public KtSNMPRequest2Edits
{
public:
    explicit New_req2Edit(QWidget *owner = nullptr);
    New_req2Edit(QWidget *owner, const KtSNMPVarItem *table, int itemType, int keyCount = 0);

    // The number the next shown row carries. The request never resets it: a window sets it
    // back to 1 before a new read when the numbering must start again.
    qint32 rowNumber = 1;
    // The filler value of a free slot (compared exactly, case included).
    QString skipText = QStringLiteral("0");
    // Position in the list of the item whose value decides whether a slot is shown.
    qint32 keyItem = 1;

    // With a list view: a used slot becomes a numbered row, a free one is left out (and uses
    // no number). Without one: fills the controls like the base.
    void OnRow() override;
    // Appends the current row: rowNumber in the caption column, the values in the others.
    virtual void AddRow();
};
