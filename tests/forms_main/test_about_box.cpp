// The About box: its title and release, and the build text that only Shift+Alt+F3 on "OK"
// reveals.
#include "taboutform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

void pressF3(QWidget *target, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F3, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F3, modifiers);
    QApplication::sendEvent(target, &release);
}

TEST(AboutBox, ShowsTheModuleTitleAndRelease)
{
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.ProductName->text(), QStringLiteral("QRN-7300XB Management Module"));
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Release Version:"));
    EXPECT_EQ(about.Version->text(), QStringLiteral("v1.10"));
    EXPECT_EQ(about.La_Build->text(), QStringLiteral("R11(2006/01/20)"));
    EXPECT_EQ(about.OKButton->text(), QStringLiteral("OK"));
    about.show();
    EXPECT_EQ(about.size(), QSize(364, 100));
}

TEST(AboutBox, OnlyShiftAltF3OnOkRevealsTheBuildText)
{
    TAboutForm about;
    about.show();
    EXPECT_FALSE(about.La_Build->isVisible());
    pressF3(about.OKButton, Qt::ShiftModifier);
    pressF3(about.OKButton, Qt::AltModifier);
    pressF3(about.OKButton, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    pressF3(about.Version, Qt::ShiftModifier | Qt::AltModifier); // not on "OK"
    EXPECT_FALSE(about.La_Build->isVisible());
    pressF3(about.OKButton, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(about.La_Build->isVisible());
    EXPECT_TRUE(about.isVisible()); // the keys do not close the box
}

// The build text has its room from the start: revealing it does not change the box.
TEST(AboutBox, RevealingTheBuildTextKeepsTheBoxSize)
{
    TAboutForm about;
    about.show();
    QApplication::processEvents();
    const QSize before = about.size();
    pressF3(about.OKButton, Qt::ShiftModifier | Qt::AltModifier);
    ASSERT_TRUE(about.La_Build->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QApplication::processEvents();
    EXPECT_EQ(about.size(), before);
    EXPECT_EQ(about.size(), QSize(364, 100));
    EXPECT_TRUE(about.rect().contains(about.La_Build->geometry()));
}

TEST(AboutBox, OkCloses)
{
    TAboutForm about;
    about.show();
    about.OKButton->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
