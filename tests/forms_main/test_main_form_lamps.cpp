// The main window against the simulated access point: the lamps follow stLED, blink on their
// timers, go black while the device is silent and come back by themselves; the capability
// fields fill from the device.
#include "ktsnmprequest.h"
#include "mainformtest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct LampState {
    bool lit;
    bool blink;
    bool operator==(const LampState &other) const
    {
        return lit == other.lit && blink == other.blink;
    }
};

std::ostream &operator<<(std::ostream &out, const LampState &state)
{
    return out << (state.lit ? "lit" : "dark") << (state.blink ? " blinking" : " steady");
}

LampState stateOf(const TMainLamp *lamp)
{
    return {lamp->isLit(), lamp->blink};
}

class MainFormLamps : public MainFormTest
{
protected:
    void SetUp() override
    {
        KtMessages::resetToBuiltIn();
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
    }

    TMainForm *create()
    {
        m_form = mainFormOnPort(m_sim.port());
        return m_form.get();
    }

    bool waitReady(int timeoutMs = 10000)
    {
        return processUntil(
            [this] { return m_form->statusText() == QStringLiteral("Ready. "); }, timeoutMs);
    }

    ApSim m_sim;
};

TEST_F(MainFormLamps, PowerBlinkingAndRadio11aSteady)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED 259")).startsWith(u"ok")); // 0x0103
    TMainForm *form = create();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 500);
    EXPECT_TRUE(form->Timer3->isActive());
    EXPECT_EQ(form->Timer3->interval(), 100);
    holdTimers(*m_form);

    EXPECT_EQ(stateOf(form->Sh_power), (LampState{true, true}));
    EXPECT_EQ(stateOf(form->Sh_11a), (LampState{true, false}));
    EXPECT_EQ(stateOf(form->Sh_11b), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape1), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape2), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape5), (LampState{true, false}));
    EXPECT_EQ(form->Sh_power->brushColor().rgb() & 0xFFFFFF, 0x00FF00u);

    // The 500 ms timer blinks the power lamp and leaves the steady radio lamp alone; the 100 ms
    // timer has nothing to blink.
    form->Timer2Timer();
    EXPECT_FALSE(form->Sh_power->isLit());
    EXPECT_EQ(form->Sh_power->brushColor().rgb() & 0xFFFFFF, 0x000000u);
    EXPECT_TRUE(form->Sh_11a->isLit());
    form->Timer3Timer();
    EXPECT_FALSE(form->Sh_power->isLit());
    form->Timer2Timer();
    EXPECT_TRUE(form->Sh_power->isLit());
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormLamps, Lan1BlinkBitAloneBlinksADarkLampAtTheFastRate)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED 2048")).startsWith(u"ok")); // 0x0800
    TMainForm *form = create();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    holdTimers(*m_form);

    EXPECT_EQ(stateOf(form->Shape1), (LampState{false, true}));
    EXPECT_EQ(stateOf(form->Sh_power), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Sh_11a), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Sh_11b), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape2), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape5), (LampState{true, false}));

    // Black and green alternate on the 100 ms timer only.
    form->Timer2Timer();
    EXPECT_FALSE(form->Shape1->isLit());
    form->Timer3Timer();
    EXPECT_TRUE(form->Shape1->isLit());
    form->Timer3Timer();
    EXPECT_FALSE(form->Shape1->isLit());
    form->Timer3Timer();
    EXPECT_TRUE(form->Shape1->isLit());
    EXPECT_FALSE(form->Shape2->isLit());
}

// Counts the paint events each watched widget receives.
class PaintCounter : public QObject
{
public:
    void watch(QWidget *widget)
    {
        widget->installEventFilter(this);
        m_counts[widget] = 0;
    }
    int count(QWidget *widget) const { return m_counts.value(widget); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_counts[static_cast<QWidget *>(watched)];
        return false;
    }

private:
    QHash<QWidget *, int> m_counts;
};

// The lamps blink ten times a second while the module idles: a blink repaints the lamp that
// changed and nothing else, neither the picture nor the window background under it, and the
// lamp still shows its colour over the picture.
TEST_F(MainFormLamps, BlinkRepaintsTheChangedLampAlone)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED %1").arg(0x0C00)).startsWith(u"ok"));
    TMainForm *form = create();
    form->show();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    holdTimers(*m_form);
    ASSERT_TRUE(processUntil([form] { return form->Shape1->isLit(); }));
    QCoreApplication::processEvents(); // whatever the answer made dirty is painted now

    PaintCounter paints;
    QWidget *const others[] = {form->centralWidget(), form->Image1, form->Sh_11a, form->Sh_11b,
                               form->Shape2, form->Shape5, form->Sh_power};
    for (QWidget *widget : others)
        paints.watch(widget);
    paints.watch(form->Shape1);
    form->Timer3Timer(); // Shape1 turns black, painted before the tick ends
    EXPECT_EQ(paints.count(form->Shape1), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count(form->Shape1), 1);
    for (QWidget *widget : others)
        EXPECT_EQ(paints.count(widget), 0) << widget->objectName().toStdString();

    // What the lamp painted is its colour over the picture's LED socket.
    const QImage dark = form->Shape1->grab().toImage();
    EXPECT_EQ(dark.pixelColor(dark.rect().center()).rgb() & 0xFFFFFF, 0x000000u);
    form->Timer3Timer();
    const QImage lit = form->Shape1->grab().toImage();
    EXPECT_EQ(lit.pixelColor(lit.rect().center()).rgb() & 0xFFFFFF, 0x00FF00u);
    const QImage socket = form->Image1->pixmap().toImage();
    EXPECT_EQ(lit.pixel(0, 0), socket.pixel(form->Shape1->pos()));
}

// A poll that finds the device as before changes nothing on screen: the status line keeps its
// text, so the window is neither laid out nor its status bar painted again.
TEST_F(MainFormLamps, PollWithTheSameAnswerLeavesTheWindowAlone)
{
    TMainForm *form = create();
    form->show();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    holdTimers(*m_form);
    QCoreApplication::processEvents();

    struct Watch : QObject {
        int layouts = 0, paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            layouts += event->type() == QEvent::LayoutRequest;
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } watch;
    QWidget *const watched[] = {form, form->MainStatusBar, form->MainStatusPanel};
    for (QWidget *widget : watched)
        widget->installEventFilter(&watch);
    form->Timer1Timer();
    ASSERT_TRUE(form->statusReadPending());
    ASSERT_TRUE(processUntil([form] { return !form->statusReadPending(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->statusText(), QStringLiteral("Ready. "));
    EXPECT_EQ(watch.layouts, 0);
    EXPECT_EQ(watch.paints, 0);
}

TEST_F(MainFormLamps, EveryPollTakesTheNewValue)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED 4096")).startsWith(u"ok")); // LAN 2
    TMainForm *form = create();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    holdTimers(*m_form);
    EXPECT_EQ(stateOf(form->Shape2), (LampState{true, false}));

    // 0x2040: 802.11g lit, LAN 2 blinking but dark. Bits outside the table change nothing.
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED %1").arg(0x2040 | 0x003C | 0x4000))
                    .startsWith(u"ok"));
    form->Timer1Timer();
    ASSERT_TRUE(processUntil([form] { return form->Sh_11b->isLit(); }, 10000));
    EXPECT_EQ(stateOf(form->Sh_11b), (LampState{true, false}));
    EXPECT_EQ(stateOf(form->Shape2), (LampState{false, true}));
    EXPECT_EQ(stateOf(form->Sh_power), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape1), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Sh_11a), (LampState{false, false}));
    EXPECT_EQ(stateOf(form->Shape5), (LampState{true, false}));
}

TEST_F(MainFormLamps, SilentDeviceTurnsEveryLampBlackAndTheNextPollBringsThemBack)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("set stLED 256")).startsWith(u"ok")); // 11a lit
    TMainForm *form = create();
    ASSERT_TRUE(waitReady()) << form->statusText().toStdString();
    ASSERT_TRUE(form->Sh_11a->isLit());
    ASSERT_TRUE(form->Shape5->isLit());

    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 600")).startsWith(u"ok"));
    // The window's own 3-second poll meets the silence; the read gives up after 6 s.
    const QString timedOut = KtSNMPRequest::MapError(-5).text;
    ASSERT_FALSE(timedOut.isEmpty());
    ASSERT_TRUE(processUntil([form, &timedOut] { return form->statusText() == timedOut; }, 20000))
        << form->statusText().toStdString();
    EXPECT_EQ(form->rememberedStatus(), timedOut);
    for (const TMainLamp *lamp :
         {form->Sh_11a, form->Sh_11b, form->Shape1, form->Shape2, form->Shape5, form->Sh_power})
        EXPECT_FALSE(lamp->isLit()) << lamp->objectName().toStdString();
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_FALSE(form->Timer3->isActive());
    EXPECT_TRUE(form->Timer1->isActive());
    // A failed capability read keeps the field's text and shows nothing.
    EXPECT_EQ(form->Ed_FwVer->text(), QStringLiteral("v2.00"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();

    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 0")).startsWith(u"ok"));
    ASSERT_TRUE(waitReady(10000)) << form->statusText().toStdString();
    EXPECT_TRUE(form->Sh_11a->isLit());
    EXPECT_TRUE(form->Shape5->isLit());
    EXPECT_TRUE(form->Timer2->isActive());
    // The polls sent into the silence time out after the device answered again: those late
    // time-outs must not turn the lamps black under an answering device.
    EXPECT_FALSE(processUntil(
        [form] {
            return !form->Shape5->isLit() || form->statusText() != QStringLiteral("Ready. ");
        },
        7000))
        << form->statusText().toStdString();
    EXPECT_EQ(form->statusText().toStdString(), "Ready. ");
}

// Until the first status read ends (six seconds against a silent device) the status line says
// that the module is connecting instead of staying empty; the outcome then replaces it.
TEST_F(MainFormLamps, StatusLineSaysConnectingUntilTheFirstReadEnds)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 600")).startsWith(u"ok"));
    TMainForm *form = create();
    EXPECT_EQ(form->statusText(), QStringLiteral("Connecting to 127.0.0.1..."));
    ASSERT_TRUE(m_sim.command(QStringLiteral("silent 0")).startsWith(u"ok"));
    ASSERT_TRUE(waitReady(15000)) << form->statusText().toStdString();
}

TEST_F(MainFormLamps, CapabilityFieldsHoldTheirDesignTextsThenTheDeviceValues)
{
    TMainForm *form = create();
    // Nothing has been answered yet: the texts the fields had on the form.
    EXPECT_EQ(form->Ed_FwVer->text(), QStringLiteral("Ed_FwVer"));
    EXPECT_EQ(form->Ed_Countrycode->text(), QStringLiteral("Ed_Countrycode"));
    EXPECT_EQ(form->ED_Turbomode->text(), QStringLiteral("ED_Turbomode"));
    EXPECT_EQ(form->ED_Turbomode_g->text(), QStringLiteral("ED_Turbomode"));
    EXPECT_EQ(form->APModeSupport->text(), QString());
    EXPECT_EQ(form->APModeSupport11g->text(), QString());
    EXPECT_EQ(form->ifMultiSSID_Edit->text(), QStringLiteral("ifMultiSSID_Edit"));
    EXPECT_EQ(form->IPAddressEdit->text(), QStringLiteral("IPAddressEdit"));
    EXPECT_EQ(form->SubMaskEdit->text(), QStringLiteral("SubMaskEdit"));
    EXPECT_FALSE(form->Ed_FwVer->isVisible());

    const auto deviceValue = [this](const char *name) {
        // "ok SYNTAX VALUE"; display strings come back quoted.
        QString answer = m_sim.command(QStringLiteral("get ") + QString::fromLatin1(name));
        answer = answer.section(u' ', 2);
        if (answer.startsWith(u'"'))
            answer = answer.mid(1, answer.size() - 2);
        return answer;
    };
    ASSERT_TRUE(
        processUntil([form] { return form->SubMaskEdit->text() != "SubMaskEdit"; }, 10000));
    ASSERT_TRUE(processUntil([form] { return form->Ed_FwVer->text() != "Ed_FwVer"; }, 10000));
    EXPECT_EQ(form->Ed_FwVer->text(), deviceValue("stFirmwareVersion"));
    EXPECT_EQ(form->Ed_Countrycode->text(), deviceValue("countrycode"));
    EXPECT_EQ(form->IPAddressEdit->text(), deviceValue("hIPAddress"));
    EXPECT_EQ(form->SubMaskEdit->text(), deviceValue("hSubnetMask"));
    EXPECT_EQ(form->ifMultiSSID_Edit->text(), deviceValue("mssidsupported"));
    EXPECT_EQ(form->APModeSupport->text(), deviceValue("apmodes.1"));

    // Timer4 reads them again: a change on the device reaches the field.
    ASSERT_TRUE(m_sim.command(QStringLiteral("set countrycode JP")).startsWith(u"ok"));
    EXPECT_TRUE(processUntil([form] { return form->Ed_Countrycode->text() == "JP"; }, 10000))
        << form->Ed_Countrycode->text().toStdString();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();
}

TEST_F(MainFormLamps, WindowShapeAndMenuCaptions)
{
    TMainForm *form = create();
    const QSize picture = form->Image1->pixmap().size();
    EXPECT_EQ(form->centralWidget()->size(), QSize(picture.width() + 10, picture.height()));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // fixed border
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    // The lamps sit over the picture's LED row.
    EXPECT_EQ(form->Sh_power->geometry(), QRect(185, 276, 13, 13));
    EXPECT_EQ(form->Sh_11a->geometry(), QRect(114, 276, 13, 13));

    QStringList captions;
    for (QAction *menu : form->menuBar()->actions()) {
        captions << menu->text();
        for (QAction *item : menu->menu()->actions())
            captions << QStringLiteral("  ") + item->text();
    }
    EXPECT_EQ(captions.join(u'|'),
              QStringLiteral("Home|  Information|  Wireless|  LAN|Advanced|  Performance|  "
                             "Filters|  Grouping|  DHCP Server|  Multi-SSID|  Rogue AP |Tools|"
                             "  Admin|  System|  Firmware|  Configuration File|  Miscellaneous|"
                             "  SNTP|Status|  Device Info|  Stats|  Client Info|  Log|Help|"
                             "  About"));
}

} // namespace
