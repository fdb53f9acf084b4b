// An SNMP panel whose content is a grid of the request's items: "Refresh" reads them, the
// user ticks the rows to change and "Set Checked" writes those rows in one set request.
#pragma once

#include "tsnmppanel.h"

class TEditsPanel;

class TSNMPEditorPanel : public TSNMPPanel
{
    Q_OBJECT

public:
    TSNMPEditorPanel(QWidget *parent, KtSNMPRequest2Edits *request);

    TEditsPanel *Grid() const { return m_grid; }

    // Value-editor width of the grid; the panel and its form follow the new size.
    void SetEditorWidth(int width);

    // "Set Checked" (or "Set"): writes the checked rows synchronously, the others left out.
    void Set();
    void CheckAll();
    void ClearChecks();

    void ForgetRequest() override;

    static QString emptyItemsMessage() { return QStringLiteral("Some items are empty!"); }

private:
    void onCheckBoxClick();

    TEditsPanel *m_grid = nullptr;
};
