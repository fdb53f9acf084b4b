#include "tsnmpeditorpanel.h"

#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "tctrlbtnpanel.h"
#include "teditspanel.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVector>

TSNMPEditorPanel::TSNMPEditorPanel(QWidget *parent, KtSNMPRequest2Edits *request)
    : TSNMPPanel(parent, request)
{
    setObjectName(QStringLiteral("SNMPEditorPanel"));
    m_grid = new TEditsPanel(WorkArea(), request);

    TCtrlBtnPanel *bar = CtrlBtn();
    bar->setCheckedButton()->setEnabled(false);
    connect(bar->setCheckedButton(), &QPushButton::clicked, this, [this] { Set(); });
    connect(bar->checkAllButton(), &QPushButton::clicked, this, [this] { CheckAll(); });
    connect(bar->clearChecksButton(), &QPushButton::clicked, this, [this] { ClearChecks(); });
    connect(m_grid, &TEditsPanel::checkBoxChanged, this, [this] { onCheckBoxClick(); });

    m_grid->ArrangeCtrlBtn(bar);
    SetContent(m_grid);
}

void TSNMPEditorPanel::SetEditorWidth(int width)
{
    m_grid->SetEditorWidth(width, true);
    SetContent(m_grid);
    if (HostForm())
        AttachTo(HostForm());
}

void TSNMPEditorPanel::onCheckBoxClick()
{
    CtrlBtn()->setCheckedButton()->setEnabled(m_grid->CheckedCount() >= 1);
}

void TSNMPEditorPanel::CheckAll()
{
    for (int i = 0; i < m_grid->RowCount(); ++i) {
        QCheckBox *box = m_grid->RowAt(i).checkBox;
        if (box->isEnabled())
            box->setChecked(true);
    }
    if (m_grid->CheckedCount() >= 1)
        CtrlBtn()->setCheckedButton()->setEnabled(true);
}

void TSNMPEditorPanel::ClearChecks()
{
    for (int i = 0; i < m_grid->RowCount(); ++i) {
        QCheckBox *box = m_grid->RowAt(i).checkBox;
        if (box->isEnabled())
            box->setChecked(false);
    }
    if (m_grid->CheckedCount() == 0)
        CtrlBtn()->setCheckedButton()->setEnabled(false);
}

void TSNMPEditorPanel::Set()
{
    if (!m_request)
        return;
    KtSNMPVarList &list = m_request->list();
    const quint8 mode = m_request->mode;
    m_request->mode = KtSNMPRequest2Controls::Synchronous;
    // A value refused while the controls are collected is a failure of this write: its status
    // line must say "Set:", not the operation that ran before.
    m_request->messageIndex = KtSNMPRequest2Controls::SetMessage;
    // Only the marks set here are taken off again: an item the window had left out of writes
    // stays left out.
    QVector<int> excluded;
    try {
        m_request->BeforeSet();
        const int rows = qMin(m_grid->RowCount(), list.Count());
        for (int i = 0; i < rows; ++i) {
            if (m_grid->RowAt(i).checkBox->isChecked())
                continue;
            KtSNMPVarItem &item = list.Item(i);
            if ((item.access & ACC_INVALID) == 0) {
                item.access |= ACC_INVALID;
                excluded.append(i);
            }
        }
        bool empty = false;
        for (int i = 0; i < rows && !empty; ++i) {
            if ((list.Item(i).access & ACC_INVALID) == 0 && m_grid->IsEmpty(i))
                empty = true;
        }
        if (empty)
            KtDialogs::message(window(), emptyItemsMessage(), QStringLiteral("Warning"));
        else
            m_request->Set(false, false);
    } catch (const KtException &e) {
        m_request->ShowStatus(e.text());
    }
    for (int i : std::as_const(excluded))
        list.Item(i).access &= ~ACC_INVALID;
    m_request->mode = mode;
}

void TSNMPEditorPanel::ForgetRequest()
{
    TSNMPPanel::ForgetRequest();
    m_grid->ForgetRequest();
}
