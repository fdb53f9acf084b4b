#include "tmsgpanel.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TMsgPanel::TMsgPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MsgPanel"));
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    // Status lines are a record of what happened, not something to edit.
    m_memo->setReadOnly(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    resize(width(), PanelHeight);
}

QSize TMsgPanel::sizeHint() const
{
    return QSize(QWidget::sizeHint().width(), PanelHeight);
}
