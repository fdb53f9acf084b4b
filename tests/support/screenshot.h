// Screenshots of windows for the documentation: docs/windows/<name>.png, listed in README.
//
// A window's screenshot test renders it against the simulated access point once it shows the
// device's values, and saves it when QRN_SCREENSHOT_DIR names a folder; scripts/screenshots.sh
// runs every such test with that folder set to docs/windows. A test file whose name contains
// "screenshot" gets the ctest label "screenshot" (tests/CMakeLists.txt), e.g.
// tests/forms_wireless/test_wireless_window_screenshots.cpp:
//
//     TEST_F(WirelessWindow, Screenshot)
//     {
//         startDevice();
//         TFM_Wirless window;
//         const QImage image = windowScreenshot(window, QStringLiteral("home-wireless"));
//         EXPECT_EQ(image.size(), window.size() * image.devicePixelRatio());
//     }
#pragma once

#include <QImage>
#include <QString>

class QWidget;

// The folder screenshots are saved in (QRN_SCREENSHOT_DIR); empty when none is asked for.
QString screenshotFolder();

// Shows the window (without a modal loop), lets it lay out and paint, and grabs its client
// area as the user sees it. With a screenshot folder, saves the grab there as <name>.png; a
// grab that cannot be saved fails the calling test. The window stays shown.
QImage windowScreenshot(QWidget &window, const QString &name);
