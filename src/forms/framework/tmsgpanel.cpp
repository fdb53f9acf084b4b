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
    // The memo's own minimum (room for both scroll bars) is higher than the panel: it would
    // push the splitter up and give the grid above scroll bars it does not need.
    m_memo->setMinimumHeight(PanelHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    resize(width(), PanelHeight);
}

QSize TMsgPanel::sizeHint() const
{
    return QSize(QWidget::sizeHint().width(), PanelHeight);
}
