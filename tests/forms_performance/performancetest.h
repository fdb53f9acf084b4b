// "Advanced \ Performance" in a test: the page-window fixture (the simulated access point with
// the profile a test names, the main window against it with its capabilities read), here with
// the main window's timers held so that nothing but the window talks to the device, the window
// once its background reads have ended, and small helpers to choose entries and find writes.
#pragma once

#include "tfm_performace.h"
#include "windowtest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <gtest/gtest.h>

#include <memory>

namespace performancetest {

constexpr int A = TFM_Performace::BandA;
constexpr int G = TFM_Performace::BandG;

// A per-band radio variable as the simulator logs its set: ".4.2.3.1.<n>.<band component>=".
inline QString radioSet(int n, int band)
{
    return QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.3.1.%1.%2=").arg(n).arg(band + 1);
}

// The multi-SSID state of a band as logged in a set.
inline QString mssidSet(int band)
{
    return QStringLiteral("1.3.6.1.4.1.32473.11.37.4.2.9.3.1.1.%1=").arg(band + 1);
}

// The entries of a combo box.
inline QStringList entries(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// What the user does when choosing an entry: select it and let the window hear the choice.
inline void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString() << " not in "
                        << entries(box).join(u'|').toStdString();
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

// The lines that hold piece, in order.
inline QStringList linesWith(const QStringList &lines, const QString &piece)
{
    QStringList found;
    for (const QString &line : lines) {
        if (line.contains(piece))
            found << line;
    }
    return found;
}

class PerformanceTest : public PageWindowTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        PageWindowTest::TearDown();
    }

    // The device and the main window, its timers held once it knows the capabilities.
    void startPerformance(const QString &profile = QStringLiteral("default"),
                          const QStringList &options = {})
    {
        startDevice(profile, options);
        if (HasFatalFailure())
            return;
        holdTimers(*m_form);
    }

    // The window, once its background reads have ended.
    TFM_Performace &open()
    {
        m_window.reset();
        m_window = std::make_unique<TFM_Performace>(m_form.get());
        EXPECT_TRUE(processUntil([this] { return !m_window->isWorking(); }));
        return *m_window;
    }

    // The set lines one Apply of the band sends.
    QStringList apply(TFM_Performace &w, int band)
    {
        markLog();
        m_dialogs.clear();
        m_waiting.clear();
        if (band == A)
            w.Bt_ApplyaClick();
        else
            w.Bt_ApplygClick();
        return writesSinceMark();
    }

    QString statusText(const TFM_Performace &w) const { return w.StatusBar->currentMessage(); }

    // A device value as the simulator holds it ("ok SYNTAX VALUE" without "ok SYNTAX ").
    QString deviceValue(const QString &name)
    {
        const QString answer = sim().command(QStringLiteral("get ") + name);
        EXPECT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
        return answer.section(u' ', 2);
    }

    std::unique_ptr<TFM_Performace> m_window;
};

} // namespace performancetest
