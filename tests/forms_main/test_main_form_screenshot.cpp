// What the user sees of the lamps: the window is grabbed as it is painted, and each lamp must
// show its colour over the front-panel picture (a lamp hidden behind the picture, or painted
// off its LED, would still pass every test that only reads the lamp's state).
//
// With QRN_SCREENSHOT_DIR set the grab is also saved there as main-window.png
// (docs/windows/main-window.png comes from here: scripts/screenshots.sh).
#include "mainformtest.h"
#include "screenshot.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MainFormScreenshot, LampsShowTheirColoursOverThePictureLeds)
{
    KtMessages::resetToBuiltIn();
    KtDialogs::Script script;
    ApSim sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    // Power, both radios and LAN 1 lit; LAN 2 dark.
    ASSERT_TRUE(sim.command(QStringLiteral("set stLED %1").arg(0x0541)).startsWith(u"ok"));
    auto form = mainFormOnPort(sim.port());
    form->show();
    ASSERT_TRUE(waitReadyWithFirmware(*form)) << form->statusText().toStdString();
    holdTimers(*form);

    const QImage image = windowScreenshot(*form, QStringLiteral("main-window"));
    ASSERT_FALSE(image.isNull());
    const struct {
        const TMainLamp *lamp;
        QRgb colour;
    } expected[] = {
        {form->Sh_11a, 0x00FF00}, {form->Sh_11b, 0x00FF00}, {form->Shape1, 0x00FF00},
        {form->Shape2, 0x000000}, {form->Shape5, 0x00FF00}, {form->Sh_power, 0x00FF00},
    };
    for (const auto &entry : expected) {
        const QPoint centre = entry.lamp->mapTo(form.get(), entry.lamp->rect().center());
        const QColor seen = image.pixelColor(centre * image.devicePixelRatio());
        EXPECT_EQ(seen.rgb() & 0xFFFFFF, entry.colour)
            << entry.lamp->objectName().toStdString() << " at " << centre.x() << ","
            << centre.y();
    }
    // The lamps sit on the picture's LED sockets: just outside a lamp the picture shows the
    // dark socket ring, not the bezel's lighter face or the chassis.
    const QPoint ring = form->Shape2->mapTo(form.get(), QPoint(-1, 6));
    EXPECT_LT(QColor(image.pixel(ring * image.devicePixelRatio())).lightness(), 80);

    form.reset();
    if (KtSNMPSession::IsOpen())
        KtSNMPSession::CloseSession();
    EXPECT_TRUE(script.messages().isEmpty()) << script.texts().join(u'|').toStdString();
}

} // namespace
