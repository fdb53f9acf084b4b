// The message area under an SNMP panel's work area: one memo to which the request appends its
// status lines.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class TMsgPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PanelHeight = 50;

    explicit TMsgPanel(QWidget *parent = nullptr);

    QPlainTextEdit *memo() const { return m_memo; }

    QSize sizeHint() const override;

private:
    QPlainTextEdit *m_memo = nullptr;
};
