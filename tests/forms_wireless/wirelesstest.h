// "Home \ Wireless" in a test: the page-window fixture (the simulated access point with the
// profile a test names, the main window against it with its capabilities read), here with the
// main window's timers held so that a test decides what its capability fields hold, the window,
// and small helpers to choose entries and read the device.
#pragma once

#include "tfm_wirless.h"
#include "windowtest.h"

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

class WirelessTest : public PageWindowTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        PageWindowTest::TearDown();
    }

    // The device and the main window, its timers held once it knows the capabilities and
    // remembers that the device answers.
    void startWireless(const QString &profile = QStringLiteral("default"),
                       const QStringList &options = {})
    {
        startDevice(profile, options);
        if (HasFatalFailure())
            return;
        holdTimers(*m_form);
        m_form->Timer1Timer();
        ASSERT_TRUE(processUntil(
            [this] { return m_form->rememberedStatus() == QStringLiteral("Ready. "); }));
    }

    // The window, once its background reads have ended.
    TFM_Wirless &open()
    {
        m_window.reset();
        m_window = std::make_unique<TFM_Wirless>(m_form.get());
        EXPECT_TRUE(processUntil([this] { return !m_window->isWorking(); }));
        return *m_window;
    }

    // Apply, with the dialog script emptied first; returns the set lines it sent.
    QStringList apply(TFM_Wirless &w)
    {
        markLog();
        m_dialogs.clear();
        w.Bt_ApplyClick();
        return writesSinceMark();
    }

    // A device value as the simulator holds it ("ok SYNTAX VALUE" without "ok SYNTAX ").
    QString deviceValue(const QString &name)
    {
        const QString answer = sim().command(QStringLiteral("get ") + name);
        EXPECT_TRUE(answer.startsWith(QStringLiteral("ok"))) << answer.toStdString();
        return answer.section(u' ', 2);
    }

    std::unique_ptr<TFM_Wirless> m_window;
};

} // namespace wirelesstest
