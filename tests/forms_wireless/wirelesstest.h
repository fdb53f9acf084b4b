// "Home \ Wireless" in a test: the simulated access point with the profile a test names, the
// main window started against it (its capability fields read, its timers held), the window,
// the dialog and waiting-window scripts, and readers of what the simulator was asked to do.
#pragma once

#include "ktwaiting.h"
#include "mainformtest.h"
#include "tfm_wirless.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

namespace wirelesstest {

inline const QString kVendor = QStringLiteral("1.3.6.1.4.1.32473.11.37");

inline QString oid(const char *suffix)
{
    return kVendor + QString::fromLatin1(suffix);
}

// The set lines of a request log.
inline QStringList setLines(const QStringList &log)
{
    QStringList sets;
    for (const QString &line : log) {
        if (line.contains(QStringLiteral(" set ")))
            sets.append(line);
    }
    return sets;
}

// Position of the first line holding piece, or -1.
inline int lineOf(const QStringList &lines, const QString &piece)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains(piece))
            return i;
    }
    return -1;
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

class WirelessTest : public MainFormTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        MainFormTest::TearDown();
        m_sim.reset();
    }

    // The simulator with these arguments, and the main window once it knows the device's
    // capabilities.
    void startDevice(const QStringList &simArgs = {})
    {
        m_sim = std::make_unique<ApSim>(simArgs);
        ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
        startAgainst(*m_sim);
        const auto known = [this] {
            return !m_form->APModeSupport->text().isEmpty()
                   && !m_form->APModeSupport11g->text().isEmpty()
                   && m_form->Ed_Countrycode->text() != QStringLiteral("Ed_Countrycode")
                   && m_form->ifMultiSSID_Edit->text() != QStringLiteral("ifMultiSSID_Edit")
                   && m_form->ED_Turbomode_g->text() != QStringLiteral("ED_Turbomode")
                   && m_form->Ed_FwVer->text() != QStringLiteral("Ed_FwVer");
        };
        ASSERT_TRUE(processUntil(known, 15000));
        holdTimers(*m_form);
        // Timer1 remembers the status line the window reads.
        m_form->Timer1Timer();
        ASSERT_TRUE(processUntil([this] { return m_form->rememberedStatus() == "Ready. "; }));
    }

    // The window, once its background reads have ended.
    TFM_Wirless &open()
    {
        m_window = std::make_unique<TFM_Wirless>(m_form.get());
        EXPECT_TRUE(processUntil([this] { return !m_window->readsPending(); }));
        return *m_window;
    }

    QString simCommand(const QString &line)
    {
        const QString answer = m_sim->command(line);
        EXPECT_TRUE(answer.startsWith(QStringLiteral("ok")))
            << line.toStdString() << ": " << answer.toStdString();
        return answer;
    }

    // A device value as the simulator holds it ("ok SYNTAX VALUE" without "ok SYNTAX ").
    QString deviceValue(const QString &name)
    {
        const QString answer = simCommand(QStringLiteral("get ") + name);
        return answer.section(u' ', 2);
    }

    // The sets the simulator answered, once it has logged everything sent so far.
    QStringList sets() { return setLines(settledLog(*m_sim)); }

    std::unique_ptr<ApSim> m_sim;
    KtWaiting::Script m_waiting;
    std::unique_ptr<TFM_Wirless> m_window;
};

} // namespace wirelesstest
