// The main window's Home menu opens "Home \ Information" modally over the system group and
// destroys it when it closes.
#include "mainformtest.h"
#include "tconfigform.h"
#include "tctrlbtnpanel.h"
#include "teditspanel.h"
#include "tmsgpanel.h"
#include "tsnmpeditorpanel.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

class HomeInformationMenu : public MainFormTest
{
};

TEST_F(HomeInformationMenu, OpensTheSystemGroupModallyAndDestroysIt)
{
    ApSim sim({QStringLiteral("--profile"), QStringLiteral("v130")});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_TRUE(m_dir.isValid());
    TMainForm *mainForm = createAgainst(sim);
    ASSERT_TRUE(mainForm->Information1->isEnabled());
    // The session starts once the main window's event loop runs; requests made before that
    // would miss the launch parameters.
    ASSERT_TRUE(processUntil([&] { return mainForm->statusText() == QStringLiteral("Ready. "); }))
        << mainForm->statusText().toStdString() << ' '
        << m_dialogs.texts().join(u'|').toStdString();
    ASSERT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();

    QPointer<TConfigForm> opened;
    QString caption;
    QString name;
    bool modal = false;
    QTimer::singleShot(0, mainForm, [&] {
        processUntil(
            [] { return qobject_cast<TConfigForm *>(QApplication::activeModalWidget()); });
        auto *form = qobject_cast<TConfigForm *>(QApplication::activeModalWidget());
        if (!form)
            return;
        opened = form;
        modal = form->isModal();
        caption = form->windowTitle();
        TSNMPEditorPanel *panel = form->editorPanel();
        if (!panel)
            return;
        QPlainTextEdit *memo = panel->MsgPanel()->memo();
        // The menu handler's read and the form's own refresh.
        processUntil([&] { return memo->toPlainText().split(u'\n').size() >= 2; });
        name = qobject_cast<QLineEdit *>(panel->Grid()->RowAt(4).editor)->text();
        panel->CtrlBtn()->closeButton()->click();
    });
    mainForm->Information1->trigger();

    EXPECT_TRUE(modal);
    EXPECT_EQ(caption.toStdString(), "Home \\ Information");
    EXPECT_EQ(name.toStdString(), "ap-bldg2-3f");
    EXPECT_TRUE(opened.isNull()); // destroyed once its modal loop ended
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.texts().join(u'|').toStdString();

    // The window goes before the simulator does.
    m_form.reset();
}

} // namespace
