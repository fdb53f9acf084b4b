// The "Home \ Information" configuration form against the simulated access point: the two
// reads on opening, writes of the ticked rows only, the empty-row warning, the wait for an
// outstanding read on closing, and the form's one editor.
#include "informationwindow.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpsession.h"
#include "modulesupport.h"
#include "tconfigform.h"
#include "tctrlbtnpanel.h"
#include "teditspanel.h"
#include "tmsgpanel.h"
#include "tsnmpeditorpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const QString kSysContact = QStringLiteral("1.3.6.1.2.1.1.4.0");
const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");

enum Row { Description, ObjectId, Uptime, Contact, Name, Location };

const auto *const s_environment = ::testing::AddGlobalTestEnvironment(new SessionEnvironment);

QStringList memoLines(TConfigForm &form)
{
    const QString text = form.editorPanel()->MsgPanel()->memo()->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The status lines of the reads that have ended.
int readsEnded(TConfigForm &form)
{
    return int(memoLines(form).filter(QStringLiteral("Get: ")).size());
}

class InformationWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sim.start()) << m_sim.error().toStdString();
        // Every request copies these when it is created.
        g_snmpDevice.address = m_sim.address();
        g_snmpDevice.port = m_sim.port();
        g_snmpSecurity.version = 1;
    }

    // The simulator writes its log line just after it has answered: wait for it.
    QStringList logLines(const QString &operation, int atLeast)
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QStringList lines;
            for (const QString &line : m_sim.log()) {
                if (line.startsWith(QStringLiteral("v2c ") + operation + QLatin1Char(' ')))
                    lines << line;
            }
            if (lines.size() >= atLeast || waited.elapsed() > 3000)
                return lines;
            QThread::msleep(5);
        }
    }

    QString deviceValue(const QString &oid)
    {
        return m_sim.command(QStringLiteral("get ") + oid);
    }

    // Opens the form as the Home menu does and lets both reads finish.
    std::unique_ptr<TConfigForm> openAndRead()
    {
        std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
        form->show();
        EXPECT_TRUE(processUntil([&] { return readsEnded(*form) >= 2; }));
        EXPECT_TRUE(processUntil([&] { return form->currentRequest()->busy == 0; }));
        return form;
    }

    static QLineEdit *editor(TConfigForm &form, int row)
    {
        return qobject_cast<QLineEdit *>(form.editorPanel()->Grid()->RowAt(row).editor);
    }
    static QCheckBox *checkBox(TConfigForm &form, int row)
    {
        return form.editorPanel()->Grid()->RowAt(row).checkBox;
    }

    ApSim m_sim{{QStringLiteral("--profile"), QStringLiteral("v130")}};
};

// The creator's read goes out before the window shows; the refresh posted at construction
// reads again once the event loop runs, into the same controls.
TEST_F(InformationWindowTest, OpeningReadsTwiceIntoTheSameControls)
{
    std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Home \\ Information"));
    ASSERT_EQ(form->requestCount(), 1);

    // The first answer is on its way with the old name before the device is renamed.
    ASSERT_EQ(logLines(QStringLiteral("get"), 1).size(), 1);
    ASSERT_TRUE(m_sim.command(QStringLiteral("set sysName renamed-ap")).startsWith("ok"));

    QLineEdit *name = editor(*form, Name);
    ASSERT_NE(name, nullptr);
    QStringList shown;
    QObject::connect(name, &QLineEdit::textChanged, [&](const QString &t) { shown << t; });
    QTimer::singleShot(0, form.get(), [&] {
        processUntil([&] { return readsEnded(*form) >= 2; });
        form->editorPanel()->CtrlBtn()->closeButton()->click();
    });
    form->exec();

    const QStringList gets = logLines(QStringLiteral("get"), 2);
    ASSERT_EQ(gets.size(), 2) << m_sim.log().join(QLatin1Char('\n')).toStdString();
    const QString asked = QStringLiteral("1.3.6.1.2.1.1.1.0 1.3.6.1.2.1.1.2.0 1.3.6.1.2.1.1.3.0 "
                                         "1.3.6.1.2.1.1.4.0 1.3.6.1.2.1.1.5.0 1.3.6.1.2.1.1.6.0");
    for (const QString &line : gets)
        EXPECT_TRUE(line.contains(asked + QStringLiteral(" -> noError"))) << line.toStdString();
    EXPECT_EQ(shown, QStringList({QStringLiteral("ap-bldg2-3f"), QStringLiteral("renamed-ap")}));
    EXPECT_EQ(form->requestCount(), 0); // closing destroyed the request
}

TEST_F(InformationWindowTest, SixItemsThreeWritableInTheWindow)
{
    auto form = openAndRead();
    TSNMPEditorPanel &panel = *form->editorPanel();
    EXPECT_EQ(editor(*form, Description)->text(),
              deviceValue(QStringLiteral("sysDescr")).section(QLatin1Char('"'), 1, 1));
    EXPECT_FALSE(editor(*form, Uptime)->text().isEmpty());
    for (int row = Description; row <= Location; ++row) {
        EXPECT_EQ(editor(*form, row)->width(), 180);
        EXPECT_EQ(checkBox(*form, row)->isHidden(), row < Contact);
        EXPECT_FALSE(checkBox(*form, row)->isChecked());
    }
    TCtrlBtnPanel &bar = *panel.CtrlBtn();
    QStringList shown;
    for (QWidget *control : bar.layoutList()) {
        if (!control->isHidden())
            shown << control->objectName();
    }
    EXPECT_EQ(shown.join(u' ').toStdString(),
              "Bt_Refresh Bt_SetCheck Bt_SelectAll Bt_SelectNone Bt_Close");
    EXPECT_EQ(bar.setCheckedButton()->text(), QStringLiteral("Set Checked"));
    EXPECT_FALSE(bar.setCheckedButton()->isEnabled()); // nothing ticked yet
    // The form grew from its design size to the panel.
    EXPECT_EQ(form->size(), panel.sizeHint().boundedTo(QSize(800, 550)));
}

// At its natural size the window fits what it shows: the grid without scroll bars (they are
// for lists past the 800 by 550 limit) over a message area of 50 pixels.
TEST_F(InformationWindowTest, OpensFittingItsContent)
{
    auto form = openAndRead();
    TSNMPEditorPanel &panel = *form->editorPanel();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.MsgPanel()->height(), TMsgPanel::PanelHeight);
    auto *scroll = panel.Grid()->findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    EXPECT_GE(scroll->viewport()->height(), panel.Grid()->sizeHint().height());
    EXPECT_GE(scroll->viewport()->width(), panel.Grid()->sizeHint().width());
    EXPECT_LT(form->width(), 800);
    EXPECT_LT(form->height(), 550);
}

// A value longer than its field shows its beginning, the whole value as tooltip; typing is not
// disturbed.
TEST_F(InformationWindowTest, LongValueShowsItsStartAndTheWholeValueAsTooltip)
{
    auto form = openAndRead();
    QLineEdit *description = editor(*form, Description);
    const QString value = description->text();
    ASSERT_GT(description->fontMetrics().horizontalAdvance(value), description->width())
        << "the description fits its field: nothing to show";
    EXPECT_EQ(description->cursorPosition(), 0);
    EXPECT_EQ(description->toolTip(), value);

    QLineEdit *name = editor(*form, Name);
    name->setFocus();
    name->end(false);
    name->insert(QStringLiteral("-x"));
    EXPECT_TRUE(name->text().endsWith(QStringLiteral("-x")));
    EXPECT_EQ(name->cursorPosition(), name->text().size());
    EXPECT_EQ(name->toolTip(), name->text());
}

TEST_F(InformationWindowTest, SetWritesTheTickedRowsOnly)
{
    auto form = openAndRead();
    const QString location = deviceValue(kSysLocation);
    m_sim.clearLog();

    editor(*form, Contact)->setText(QStringLiteral("Lab desk, ext. 12"));
    editor(*form, Name)->setText(QStringLiteral("ap-lab-7"));
    editor(*form, Location)->setText(QStringLiteral("must not be written"));
    checkBox(*form, Contact)->click();
    checkBox(*form, Name)->click();
    QPushButton *set = form->editorPanel()->CtrlBtn()->setCheckedButton();
    ASSERT_TRUE(set->isEnabled());
    set->click();

    const QStringList sets = logLines(QStringLiteral("set"), 1);
    ASSERT_EQ(sets.size(), 1);
    EXPECT_EQ(sets.first(), QStringLiteral("v2c set 1.3.6.1.2.1.1.4.0=\"Lab desk, ext. 12\" "
                                           "1.3.6.1.2.1.1.5.0=\"ap-lab-7\" -> noError"));
    EXPECT_EQ(deviceValue(kSysContact), QStringLiteral("ok displaystr \"Lab desk, ext. 12\""));
    EXPECT_EQ(deviceValue(kSysName), QStringLiteral("ok displaystr \"ap-lab-7\""));
    EXPECT_EQ(deviceValue(kSysLocation), location);

    // The write was synchronous; reads are asynchronous again and the marks are gone.
    KtSNMPRequest2Edits &request = *form->currentRequest();
    EXPECT_EQ(request.mode, KtSNMPRequest2Controls::Asynchronous);
    for (int i = 0; i < request.list().Count(); ++i)
        EXPECT_EQ(request.list().Item(i).access & ACC_INVALID, 0) << i;
    EXPECT_TRUE(memoLines(*form).last().startsWith(QStringLiteral("Set: ")));

    // A refresh shows what the device now holds, the untouched location included.
    form->editorPanel()->CtrlBtn()->refreshButton()->click();
    EXPECT_TRUE(processUntil([&] { return request.busy == 0; }));
    EXPECT_EQ(editor(*form, Name)->text(), QStringLiteral("ap-lab-7"));
    EXPECT_EQ(editor(*form, Location)->text(), location.section(QLatin1Char('"'), 1, 1));
}

TEST_F(InformationWindowTest, EmptyTickedRowWarnsAndSendsNothing)
{
    auto form = openAndRead();
    m_sim.clearLog();
    KtDialogs::Script script;

    editor(*form, Contact)->clear();
    checkBox(*form, Contact)->click();
    form->editorPanel()->CtrlBtn()->setCheckedButton()->click();

    ASSERT_EQ(script.messages().size(), 1);
    EXPECT_EQ(script.messages().first().text, QStringLiteral("Some items are empty!"));
    EXPECT_EQ(script.messages().first().caption, QStringLiteral("Warning"));
    EXPECT_TRUE(checkBox(*form, Contact)->isChecked());
    EXPECT_EQ(form->currentRequest()->mode, KtSNMPRequest2Controls::Asynchronous);
    // The warning is the only outcome: nothing was asked of the device. The simulator answers
    // in turn, so a read sent now is the first thing in its log unless something went before.
    form->editorPanel()->CtrlBtn()->refreshButton()->click();
    ASSERT_EQ(logLines(QStringLiteral("get"), 1).size(), 1);
    EXPECT_EQ(m_sim.log().size(), 1) << m_sim.log().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(processUntil([&] { return form->currentRequest()->busy == 0; }));
}

// An unticked empty row does not matter: only the ticked one is checked and written.
TEST_F(InformationWindowTest, EmptyUntickedRowDoesNotStopTheWrite)
{
    auto form = openAndRead();
    m_sim.clearLog();
    KtDialogs::Script script;

    editor(*form, Contact)->clear();
    editor(*form, Name)->setText(QStringLiteral("ap-east"));
    checkBox(*form, Name)->click();
    form->editorPanel()->CtrlBtn()->setCheckedButton()->click();

    EXPECT_TRUE(script.messages().isEmpty());
    const QStringList sets = logLines(QStringLiteral("set"), 1);
    ASSERT_EQ(sets.size(), 1);
    EXPECT_EQ(sets.first(), QStringLiteral("v2c set 1.3.6.1.2.1.1.5.0=\"ap-east\" -> noError"));
}

TEST_F(InformationWindowTest, RefusedWriteIsReportedInTheMessagePanel)
{
    auto form = openAndRead();
    KtDialogs::Script script;
    ASSERT_TRUE(m_sim.command(QStringLiteral("error ") + kSysName + QStringLiteral(" genErr"))
                    .startsWith("ok"));
    editor(*form, Name)->setText(QStringLiteral("refused"));
    checkBox(*form, Name)->click();
    const int before = memoLines(*form).size();
    form->editorPanel()->CtrlBtn()->setCheckedButton()->click();

    EXPECT_TRUE(script.messages().isEmpty());
    const QStringList lines = memoLines(*form);
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Set: "))) << lines.last().toStdString();
    EXPECT_EQ(deviceValue(kSysName), QStringLiteral("ok displaystr \"ap-bldg2-3f\""));
}

// A value the device cannot take is refused before the write; the message area names the
// operation that ran (it once said "Get:") and nothing reaches the device.
TEST_F(InformationWindowTest, RefusedValueIsLabelledWithTheWrite)
{
    auto form = openAndRead();
    KtDialogs::Script script;
    m_sim.clearLog();
    // A character with no single byte cannot travel in a display string.
    editor(*form, Name)->setText(QStringLiteral("ap-\u20ac"));
    checkBox(*form, Name)->click();
    const int before = memoLines(*form).size();
    form->editorPanel()->CtrlBtn()->setCheckedButton()->click();

    EXPECT_TRUE(script.messages().isEmpty()) << script.texts().join(u'|').toStdString();
    const QStringList lines = memoLines(*form);
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Set: (KtSNMP++) Bad value")))
        << lines.last().toStdString();
    EXPECT_EQ(deviceValue(kSysName), QStringLiteral("ok displaystr \"ap-bldg2-3f\""));
    EXPECT_TRUE(logLines(QStringLiteral("set"), 0).isEmpty());
}

// A refused read is a line in the message panel; the window stays and shows what it had.
TEST_F(InformationWindowTest, ReadFailureIsReportedInTheMessagePanel)
{
    KtDialogs::Script script;
    auto form = openAndRead();
    const QString name = editor(*form, Name)->text();
    ASSERT_TRUE(m_sim.command(QStringLiteral("error ") + kSysName + QStringLiteral(" genErr"))
                    .startsWith("ok"));
    const int before = memoLines(*form).size();
    form->editorPanel()->CtrlBtn()->refreshButton()->click();
    ASSERT_TRUE(processUntil([&] { return memoLines(*form).size() > before; }));
    EXPECT_TRUE(processUntil([&] { return form->currentRequest()->busy == 0; }));

    EXPECT_TRUE(script.messages().isEmpty());
    EXPECT_TRUE(memoLines(*form).last().startsWith(QStringLiteral("Get: ")));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(editor(*form, Name)->text(), name);
}

// Closing with a read still on its way answers at once (the window goes) and waits, hidden,
// until the answer is in before the request is destroyed.
TEST_F(InformationWindowTest, ClosingWaitsForTheOutstandingRead)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("delay 1500")).startsWith("ok"));
    std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
    form->show();
    ASSERT_EQ(form->currentRequest(), nullptr); // the refresh has not run yet
    bool visibleWhileWaiting = false;
    bool closingWhileWaiting = false;
    QTimer::singleShot(300, form.get(), [&] {
        visibleWhileWaiting = form->isVisible();
        closingWhileWaiting = form->isClosing();
    });
    QElapsedTimer closing;
    closing.start();
    form->close();
    const qint64 waited = closing.elapsed();

    EXPECT_FALSE(visibleWhileWaiting);
    EXPECT_TRUE(closingWhileWaiting);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->requestCount(), 0);
    // The answer leaves the device 1.5 s after the question: the close cannot have ended
    // sooner.
    EXPECT_GE(waited, 1300);
    EXPECT_EQ(logLines(QStringLiteral("get"), 1).size(), 1);
}

// While the device is slow the window shows that a read is under way and how long it may
// take: a busy cursor at once, and a line in the message area once the device has kept it
// waiting a second; both gone once the answer is in. A quick answer adds no such line.
TEST_F(InformationWindowTest, ReadUnderWayShowsItAndHowLongItMayTake)
{
    // 30 seconds, sent twice.
    const QString reading =
        QStringLiteral("Reading... The device has up to 60 seconds to answer.");
    ASSERT_TRUE(m_sim.command(QStringLiteral("delay 2500")).startsWith("ok"));
    std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
    form->show();
    TSNMPEditorPanel &panel = *form->editorPanel();
    EXPECT_EQ(panel.cursor().shape(), Qt::BusyCursor);
    ASSERT_TRUE(processUntil([&] { return !memoLines(*form).isEmpty(); }));
    EXPECT_EQ(memoLines(*form), QStringList{reading});

    ASSERT_TRUE(processUntil([&] { return form->currentRequest() != nullptr; }));
    ASSERT_TRUE(processUntil([&] { return form->currentRequest()->busy == 0; }));
    ASSERT_TRUE(processUntil([&] { return panel.cursor().shape() != Qt::BusyCursor; }, 2000));
    EXPECT_TRUE(memoLines(*form).last().startsWith(QStringLiteral("Get: (KtSNMP++) Ok!")))
        << memoLines(*form).join(u'\n').toStdString();

    ASSERT_TRUE(m_sim.command(QStringLiteral("delay 0")).startsWith("ok"));
    const int before = memoLines(*form).size();
    const int ended = readsEnded(*form);
    panel.CtrlBtn()->refreshButton()->click();
    ASSERT_TRUE(processUntil([&] { return readsEnded(*form) > ended; }));
    // Long enough for a line that was due to have come.
    processUntil([] { return false; }, TSNMPPanel::ReadingLineAfterMs + 500);
    EXPECT_EQ(memoLines(*form).mid(before).filter(QStringLiteral("Reading")), QStringList())
        << memoLines(*form).join(u'\n').toStdString();
    form->close();
}

// The window's read waits 30 seconds for the device: an answer 2.5 seconds late, which the
// engine's default second and one retry would give up on, still fills the fields.
TEST_F(InformationWindowTest, SlowAnswerIsWaitedFor)
{
    ASSERT_TRUE(m_sim.command(QStringLiteral("delay 2500")).startsWith("ok"));
    std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
    form->show();
    ASSERT_TRUE(processUntil([&] { return readsEnded(*form) >= 1; }));
    EXPECT_EQ(editor(*form, Name)->text(), QStringLiteral("ap-bldg2-3f"))
        << memoLines(*form).join(QLatin1Char('\n')).toStdString();
    form->close();
    EXPECT_EQ(form->requestCount(), 0);
}

TEST_F(InformationWindowTest, SecondEditorIsRefused)
{
    std::unique_ptr<TConfigForm> form(InformationWindow::Create(nullptr));
    TSNMPEditorPanel *first = form->editorPanel();
    auto second = std::make_unique<KtSNMPRequest2Edits>(form.get(), InformationWindow::Items,
                                                        SVT_SV);
    try {
        form->AddEditor(second.get());
        FAIL() << "no exception";
    } catch (const KtException &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Can not change Type of a Config Form!"));
    }
    EXPECT_EQ(form->editorPanel(), first);
    EXPECT_EQ(form->requestCount(), 1);
    EXPECT_EQ(form->formType(), TConfigForm::EditorForm);
}

// A list too long for the screen leaves the form at 800 by 550; the grid scrolls.
TEST_F(InformationWindowTest, LargePanelIsLimitedAndScrolls)
{
    std::vector<KtSNMPVarItem> items;
    for (int i = 0; i < 40; ++i) {
        KtSNMPVarItem item;
        item.oid = QStringLiteral("1.3.6.1.2.1.1.4");
        item.name = QStringLiteral("A rather long caption for row %1").arg(i);
        item.syntax = SYN_DISPLAYSTR;
        item.access = ACC_READWRITE;
        items.push_back(item);
    }
    items.push_back({});
    auto form = std::make_unique<TConfigForm>();
    auto *request = new KtSNMPRequest2Edits(form.get(), items.data(), SVT_SV);
    TSNMPEditorPanel *panel = form->AddEditor(request);
    panel->SetEditorWidth(400);
    EXPECT_GT(panel->sizeHint().height(), 550);
    EXPECT_GT(panel->sizeHint().width(), 800);
    EXPECT_EQ(form->size(), QSize(800, 550));
    form->show();
    QCoreApplication::processEvents();
    auto *scroll = panel->Grid()->findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    form->close();
}

} // namespace
