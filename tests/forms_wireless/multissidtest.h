// "Advanced \ Multi-SSID" in a test: the page-window fixture with the main window's timers held,
// the window once its reads have ended, and the device's multi-SSID table as the simulator
// holds it.
#pragma once

#include "ktradiogroup.h"
#include "tfm_multissidnewform.h"
#include "windowtest.h"
#include "wirelesstest.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

namespace multissidtest {

using wirelesstest::choose;
using wirelesstest::oid;

class MultiSsidTest : public PageWindowTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        PageWindowTest::TearDown();
    }

    void startMultiSsid(const QString &profile = QStringLiteral("default"))
    {
        startDevice(profile);
        if (HasFatalFailure())
            return;
        holdTimers(*m_form);
    }

    TFM_MultiSSIDNewForm &open()
    {
        m_window.reset();
        m_window = std::make_unique<TFM_MultiSSIDNewForm>(m_form.get());
        EXPECT_TRUE(processUntil([this] { return !m_window->isWorking(); }));
        return *m_window;
    }

    // Save (or Delete) and the read of the table after it.
    void press(QPushButton *button)
    {
        button->click();
        EXPECT_TRUE(processUntil([this] { return !m_window->tableBusy(); }, 15000));
    }

    // A cell of the device's table (c.band.index below .4.2.9.2.1), as the simulator holds it.
    QString cell(int column, int band, int index)
    {
        const QString answer = sim().command(QStringLiteral("get ") + oid(".4.2.9.2.1.")
                                             + QStringLiteral("%1.%2.%3").arg(column).arg(band).arg(index));
        EXPECT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
        return answer.section(u' ', 2);
    }

    // The rows of the table that the writes since the mark named ("2.5"), in order.
    QStringList rowsWritten()
    {
        static const QRegularExpression cellOid(
            QRegularExpression::escape(oid(".4.2.9.2.1.")) + QStringLiteral("\\d+\\.(\\d\\.\\d)="));
        QStringList rows;
        for (const QString &line : writesSinceMark()) {
            auto it = cellOid.globalMatch(line);
            while (it.hasNext()) {
                const QString row = it.next().captured(1);
                if (!rows.contains(row))
                    rows << row;
            }
        }
        return rows;
    }

    std::unique_ptr<TFM_MultiSSIDNewForm> m_window;
};

} // namespace multissidtest
