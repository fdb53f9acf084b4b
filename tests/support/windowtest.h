// Tests of page windows against the simulated access point.
//
// PageWindowTest starts qrn-apsim with a profile and extra options, then the main window
// against it as the program entry does (menus connected), and waits until its status line
// reads "Ready. " and every hidden capability field holds the device's answer: a window built
// then finds the main window as it does in use. The waiting window is scripted (m_waiting:
// every KtWaiting::Show is recorded and returns at once; give it a driver to run the real
// one), and so are message boxes and file dialogs (m_dialogs, from MainFormTest).
//
// "Nothing written" is proven from the simulator's request log, never from a sleep: markLog()
// before the action, then writesSinceMark() or nothingWrittenSinceMark(). Both first settle the
// log with a probe read (settledLog): every request the window sent before is logged then.
//
//     class MiscWindow : public PageWindowTest {};
//
//     TEST_F(MiscWindow, IdleTimeoutOutOfRangeIsRefusedAndNothingWritten)
//     {
//         startDevice();                              // profile "default"
//         TFM_Misc window;
//         window.Ed_Timeout->setText(QStringLiteral("0"));
//         markLog();
//         window.Bt_Apply->click();
//         EXPECT_EQ(m_dialogs.texts(), QStringList{QStringLiteral("...")});
//         EXPECT_TRUE(nothingWrittenSinceMark());
//     }
//
//     TEST_F(MiscWindow, ApplyWritesBothConsolesOff)
//     {
//         startDevice(QStringLiteral("gb"), {QStringLiteral("--restart-seconds"),
//                                            QStringLiteral("1")});
//         ...
//         EXPECT_EQ(writesSinceMark().size(), 2);
//         ASSERT_EQ(m_waiting.shown().size(), 1);
//     }
#pragma once

#include "ktwaiting.h"
#include "mainformtest.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

class PageWindowTest : public MainFormTest
{
protected:
    void TearDown() override;

    // qrn-apsim with --profile profile and options, the main window against it, "Ready. " and
    // the capability fields read. Fails the test (fatally) when any of it does not happen.
    void startDevice(const QString &profile = QStringLiteral("default"),
                     const QStringList &options = {});

    ApSim &sim() { return *m_sim; }
    // A control command of the simulator that must succeed ("ok ...").
    void simCommand(const QString &line);

    // ---- What the window sent ----
    // From here on (the log is settled first: nothing sent before shows up later).
    void markLog();
    // Every request line the simulator logged since the mark, settled.
    QStringList requestsSinceMark();
    // The set lines among them: what the window wrote, in order.
    QStringList writesSinceMark();
    // Success when nothing was written since the mark; else the set lines as the message:
    //     EXPECT_TRUE(nothingWrittenSinceMark());
    ::testing::AssertionResult nothingWrittenSinceMark();

    KtWaiting::Script m_waiting;

private:
    std::unique_ptr<ApSim> m_sim;
    int m_mark = 0;
};

// The lines of log holding " set ".
QStringList setLines(const QStringList &log);
