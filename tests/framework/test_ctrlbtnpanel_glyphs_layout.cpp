// The button bar: pictures from the current folder replace captions, and the stack closes up
// over hidden controls.
#include "tctrlbtnpanel.h"
#include "testenv.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs a test inside a folder of its own, the process's current folder meanwhile.
class CurrentFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    void writePicture(const char *name, int size = 16)
    {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(m_dir.filePath(QString::fromLatin1(name)), "BMP"));
    }
    void writeJunk(const char *name)
    {
        writeFile(m_dir.filePath(QString::fromLatin1(name)), "this is not a picture");
    }

    QTemporaryDir m_dir;
    QString m_previous;
};

using CtrlBtnPanelGlyphs = CurrentFolder;

TEST_F(CtrlBtnPanelGlyphs, GetPictureReplacesTheRefreshCaption)
{
    writePicture("Get.bmp", 24);
    TCtrlBtnPanel bar;
    EXPECT_TRUE(bar.refreshButton()->text().isEmpty());
    EXPECT_FALSE(bar.refreshButton()->icon().isNull());
    EXPECT_EQ(bar.refreshButton()->iconSize(), QSize(24, 24));
    EXPECT_EQ(bar.closeButton()->text(), QStringLiteral("Close"));
}

TEST_F(CtrlBtnPanelGlyphs, EveryButtonTakesItsOwnFile)
{
    for (const char *name : {"Get.bmp", "Set.bmp", "SetCheck.bmp", "Add.bmp", "Delete.bmp",
                             "SelectAll.bmp", "SelectNone.bmp", "Close.bmp"})
        writePicture(name);
    TCtrlBtnPanel bar;
    for (QPushButton *button :
         {bar.refreshButton(), bar.editButton(), bar.setCheckedButton(), bar.addButton(),
          bar.deleteButton(), bar.checkAllButton(), bar.clearChecksButton(), bar.closeButton()}) {
        EXPECT_TRUE(button->text().isEmpty()) << button->objectName().toStdString();
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
}

// A damaged picture ends the loading without a message: its button is left with neither
// caption nor picture, the buttons after it keep their captions and get no picture.
TEST_F(CtrlBtnPanelGlyphs, DamagedPictureEndsTheLoading)
{
    writePicture("Get.bmp");
    writeJunk("SetCheck.bmp");
    writePicture("Close.bmp");
    TCtrlBtnPanel bar;
    EXPECT_TRUE(bar.refreshButton()->text().isEmpty());
    EXPECT_FALSE(bar.refreshButton()->icon().isNull());
    EXPECT_TRUE(bar.setCheckedButton()->text().isEmpty());
    EXPECT_TRUE(bar.setCheckedButton()->icon().isNull());
    EXPECT_EQ(bar.checkAllButton()->text(), QStringLiteral("Check All"));
    EXPECT_EQ(bar.closeButton()->text(), QStringLiteral("Close"));
    EXPECT_TRUE(bar.closeButton()->icon().isNull());
}

// Hidden controls take no room: the next visible one moves up under the last visible one.
TEST(CtrlBtnPanelLayout, HiddenControlsTakeNoRoom)
{
    TCtrlBtnPanel bar;
    // "Add" and "Delete" start hidden.
    EXPECT_EQ(bar.checkAllButton()->geometry().top(),
              bar.setCheckedButton()->geometry().bottom() + 1 + 5);

    bar.counter()->hide();
    bar.samplesLabel()->hide();
    bar.editButton()->hide();
    bar.Layout();
    EXPECT_EQ(bar.refreshButton()->geometry().top(), 10);
    EXPECT_EQ(bar.setCheckedButton()->geometry().top(),
              bar.refreshButton()->geometry().bottom() + 1 + 5);
}

} // namespace
