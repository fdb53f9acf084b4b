// "Advanced \ Performance" against the simulated access point, rendered as the user sees it:
// each page of the default device. With QRN_SCREENSHOT_DIR set the grabs are saved
// (scripts/screenshots.sh: docs/windows/).
#include "performancetest.h"
#include "screenshot.h"

#include <QLabel>
#include <QTabWidget>

using namespace performancetest;

namespace {

class PerformanceScreenshots : public PerformanceTest
{
};

TEST_F(PerformanceScreenshots, BothPages)
{
    startPerformance();
    TFM_Performace &w = open();
    ASSERT_EQ(w.page(A).beaconInterval->text(), QStringLiteral("100"));
    const struct {
        int band;
        const char *name;
    } pages[] = {{A, "advanced-performance-11a"}, {G, "advanced-performance-11g"}};
    for (const auto &page : pages) {
        w.PageControl1->setCurrentIndex(page.band);
        // Nothing on its way any more, and the status bar says so.
        ASSERT_TRUE(
            processUntil([&w] { return !w.isWorking() && !w.workingLabel()->isVisible(); }));
        const QImage image = windowScreenshot(w, QString::fromLatin1(page.name));
        EXPECT_EQ(image.size(), w.size() * image.devicePixelRatio());
        // The window fits its content, at least 423 pixels wide.
        EXPECT_EQ(w.size(), w.sizeHint());
        EXPECT_GE(w.width(), 423);
    }
}

} // namespace
