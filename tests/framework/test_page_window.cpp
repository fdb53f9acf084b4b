// The page-window base against the simulated access point: closing (Escape, the close button,
// accept and done all go through one hook; a refusal while a walk or write is on its way; a
// timed-out request lets the window close; the answers are awaited hidden and nothing reaches
// the window afterwards), the working indication, refusals and the in-order write of Apply.
#include "ktsnmprequest2edits.h"
#include "tpagewindow.h"
#include "windowtest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kClients = QStringLiteral("1.3.6.1.4.1.32473.11.37.4.4.5.2.1");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1");
const QString kSysContact = QStringLiteral("1.3.6.1.2.1.1.4");
const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5");
constexpr int kClientRows = 8;

KtSNMPVarItem item(const QString &oid, const char *name, int syntax, int access)
{
    return makeVarItem(oid, QString::fromLatin1(name), syntax, access);
}

// A page window as the rooms build them: a list view, an edit on a second tab page, a status
// bar. Its close rule is set by the test.
class ProbePage : public TPageWindow
{
public:
    enum class Rule { Allow, RefuseWhileWorking, RefuseAlways };

    explicit ProbePage(Sizing sizing = Sizing::FitContent) : TPageWindow(nullptr, sizing)
    {
        setWindowTitle(QStringLiteral("Probe"));
        constructionCursor = QApplication::overrideCursor()
                                 ? QApplication::overrideCursor()->shape()
                                 : Qt::ArrowCursor;
        Tabs = new QTabWidget(this);
        List = new QTreeWidget;
        auto *second = new QWidget;
        Edit = new QLineEdit(second);
        Edit->setObjectName(QStringLiteral("Edit"));
        (new QVBoxLayout(second))->addWidget(Edit);
        Tabs->addTab(List, QStringLiteral("List"));
        Tabs->addTab(second, QStringLiteral("Settings"));
        Extra = new QPushButton(QStringLiteral("Extra"), this);
        StatusBar = new QStatusBar(this);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(Tabs);
        layout->addWidget(Extra);
        layout->addWidget(StatusBar);
    }

    // The client table, walked row by row into the list view.
    KtSNMPRequest2Edits *clientTable(quint8 mode)
    {
        const KtSNMPVarItem table[] = {
            item(kClients + QStringLiteral(".1"), "Index", SYN_INTEGER, ACC_NOTACCESS),
            item(kClients + QStringLiteral(".2"), "MAC", SYN_MACADDRESS, ACC_READONLY),
            item(kClients + QStringLiteral(".7"), "SSID", SYN_DISPLAYSTR, ACC_READONLY),
            {}};
        auto *request =
            adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table, MVT_UMV, 1));
        request->mode = mode;
        request->SetStatusControl(StatusBar);
        request->BindListView(List);
        return request;
    }

    // One scalar item, asynchronous, reporting into the status bar.
    KtSNMPRequest2Edits *scalar(const QString &oid, int access = ACC_READONLY)
    {
        const KtSNMPVarItem table[] = {item(oid, "Scalar", SYN_DISPLAYSTR, access), {}};
        auto *request =
            adoptRequest(std::make_unique<KtSNMPRequest2Edits>(this, table, SVT_SV));
        request->SetStatusControl(StatusBar);
        return request;
    }

    Rule rule = Rule::Allow;
    int closeQueries = 0;
    Qt::CursorShape constructionCursor = Qt::ArrowCursor;
    QTabWidget *Tabs = nullptr;
    QTreeWidget *List = nullptr;
    QLineEdit *Edit = nullptr;
    QPushButton *Extra = nullptr;
    QStatusBar *StatusBar = nullptr;

protected:
    bool FormCloseQuery() override
    {
        ++closeQueries;
        switch (rule) {
        case Rule::Allow:
            return true;
        case Rule::RefuseWhileWorking:
            return !isWorking();
        case Rule::RefuseAlways:
            break;
        }
        return false;
    }
};

void pressEscape(QWidget &window)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &press);
}

// The ways a user or the window's code closes a page window.
const struct CloseWay {
    const char *name;
    std::function<void(QDialog &)> close;
} kCloseWays[] = {
    {"Escape", [](QDialog &window) { pressEscape(window); }},
    {"close button", [](QDialog &window) { window.close(); }},
    {"accept", [](QDialog &window) { window.accept(); }},
    {"done", [](QDialog &window) { window.done(7); }},
};

class PageWindow : public PageWindowTest
{
protected:
    void SetUp() override
    {
        startDevice();
        // The main window's polls would queue up behind a slowed-down device.
        holdTimers(*m_form);
    }
};

TEST_F(PageWindow, EveryWayOfClosingGoesThroughTheCloseHook)
{
    for (const CloseWay &way : kCloseWays) {
        SCOPED_TRACE(way.name);
        ProbePage window;
        window.scalar(kSysName);
        window.show();
        window.rule = ProbePage::Rule::RefuseAlways;
        // Nothing works: the refusal is overruled and the window closes all the same.
        way.close(window);
        EXPECT_EQ(window.closeQueries, 1);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.requestCount(), 0);
    }
}

// Guards against Escape (QDialog::reject) bypassing the close rule while a table is walked.
TEST_F(PageWindow, ClosingDuringAnAsynchronousWalkIsRefusedUntilItEnds)
{
    simCommand(QStringLiteral("delay 40"));
    for (const CloseWay &way : kCloseWays) {
        SCOPED_TRACE(way.name);
        ProbePage window;
        window.rule = ProbePage::Rule::RefuseWhileWorking;
        KtSNMPRequest2Edits *table = window.clientTable(KtSNMPRequest2Controls::Asynchronous);
        window.show();
        ASSERT_TRUE(table->Get());
        ASSERT_TRUE(processUntil([&] { return table->rowCount >= 1; }));
        ASSERT_TRUE(window.isWorking());

        way.close(window);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.requestCount(), 1);

        // The walk goes on to its end; then the same close is accepted.
        ASSERT_TRUE(processUntil([&] { return !table->busy; }));
        EXPECT_EQ(table->rowCount, kClientRows);
        EXPECT_EQ(window.List->topLevelItemCount(), kClientRows);
        way.close(window);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.requestCount(), 0);
        EXPECT_EQ(window.closeQueries, 2);
    }
}

// A synchronous walk lets timers run between rows; its request is further down the stack and
// must survive whatever a timer does to the window.
TEST_F(PageWindow, ClosingDuringASynchronousWalkIsRefusedWhateverTheWindowSays)
{
    simCommand(QStringLiteral("delay 30"));
    ProbePage window;
    KtSNMPRequest2Edits *table = window.clientTable(KtSNMPRequest2Controls::Synchronous);
    window.show();
    bool visibleAfterClose = false;
    bool visibleAfterEscape = false;
    QTimer::singleShot(0, &window, [&] {
        window.close();
        visibleAfterClose = window.isVisible();
        window.reject();
        visibleAfterEscape = window.isVisible();
    });
    ASSERT_TRUE(table->Get());
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(visibleAfterEscape);
    EXPECT_EQ(table->rowCount, kClientRows);
    // The window's own rule is not even asked while the call runs.
    EXPECT_EQ(window.closeQueries, 0);
    window.reject();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.requestCount(), 0);
}

// A window whose rule refuses while busy and forgets to clear its flag when the device never
// answers must still close once the read has timed out.
TEST_F(PageWindow, ATimedOutRequestLetsTheWindowClose)
{
    ProbePage window;
    window.rule = ProbePage::Rule::RefuseAlways;
    KtSNMPRequest2Edits *request = window.scalar(kSysName);
    request->request.timeout = 50; // half a second
    request->request.retries = 0;
    window.show();
    simCommand(QStringLiteral("silent 30"));
    ASSERT_TRUE(request->Get());

    pressEscape(window);
    EXPECT_TRUE(window.isVisible()) << "closed while the read was on its way";

    ASSERT_TRUE(processUntil([&] { return !window.isWorking(); }));
    EXPECT_TRUE(window.StatusBar->currentMessage().contains(QStringLiteral("timed out")))
        << window.StatusBar->currentMessage().toStdString();
    pressEscape(window);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.closeQueries, 2);
    simCommand(QStringLiteral("silent 0"));
}

// A request that was stopped while its read was on its way keeps its busy flag for good: it
// must not hold the window open.
TEST_F(PageWindow, AStoppedRequestWithItsBusyFlagStuckDoesNotHoldTheWindow)
{
    ProbePage window;
    window.rule = ProbePage::Rule::RefuseAlways;
    KtSNMPRequest2Edits *request = window.scalar(kSysName);
    window.show();
    ASSERT_TRUE(request->Get());
    request->request.alive = 0;
    ASSERT_TRUE(processUntil([&] { return request->request.outstanding == 0; }));
    ASSERT_EQ(request->busy, 1);
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PageWindow, ClosingHidesAtOnceThenAwaitsTheAnswerAndDeliversNothingOfIt)
{
    ProbePage window;
    KtSNMPRequest2Edits *request = window.scalar(kSysName);
    request->request.timeout = 500; // no retry while the slow answer is on its way
    int completions = 0;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &) {
        ++completions;
    };
    int ownTicks = 0;
    auto *own = new QTimer(&window);
    own->setInterval(10);
    QObject::connect(own, &QTimer::timeout, &window, [&] { ++ownTicks; });
    own->start();
    window.show();
    markLog();
    simCommand(QStringLiteral("delay 1200"));
    ASSERT_TRUE(request->Get());

    bool hiddenWhileWaiting = false;
    bool closingWhileWaiting = false;
    int ticksWhileWaiting = -1;
    QTimer::singleShot(300, [&] {
        hiddenWhileWaiting = !window.isVisible();
        closingWhileWaiting = window.isClosing();
        ticksWhileWaiting = ownTicks;
    });
    QElapsedTimer closing;
    closing.start();
    const int ticksAtClose = ownTicks;
    window.close();

    EXPECT_TRUE(hiddenWhileWaiting);
    EXPECT_TRUE(closingWhileWaiting);
    // The window's own timers stopped with the close.
    EXPECT_EQ(ticksWhileWaiting, ticksAtClose);
    // The answer leaves the device 1.2 s after the question; the request went only then.
    EXPECT_GE(closing.elapsed(), 900);
    EXPECT_EQ(window.requestCount(), 0);
    EXPECT_EQ(completions, 0);
    simCommand(QStringLiteral("delay 0"));
    const QStringList requests = requestsSinceMark();
    EXPECT_EQ(requests.filter(kSysName).size(), 1) << requests.join(u'\n').toStdString();
}

// A window destroyed without being closed (its constructor threw, or a test ends) still
// waits for its requests' answers; nothing reaches what is left of it.
TEST_F(PageWindow, DestroyingAnOpenWindowAwaitsTheAnswerAndDeliversNothing)
{
    auto window = std::make_unique<ProbePage>();
    KtSNMPRequest2Edits *request = window->scalar(kSysName);
    request->request.timeout = 300;
    int completions = 0;
    request->OnGetComplete = [&](KtSNMPRequest2Controls *, const KtSNMPError &) {
        ++completions;
    };
    window->show();
    markLog();
    simCommand(QStringLiteral("delay 500"));
    ASSERT_TRUE(request->Get());
    window.reset();
    EXPECT_EQ(completions, 0);
    simCommand(QStringLiteral("delay 0"));
    EXPECT_EQ(requestsSinceMark().filter(kSysName).size(), 1);
}

TEST_F(PageWindow, WhileARequestWorksTheWindowShowsIt)
{
    // The answer comes well after the first second, so that a loaded machine whose display
    // ticks come late still shows the seconds waited before it arrives.
    simCommand(QStringLiteral("delay 2500"));
    ProbePage window;
    KtSNMPRequest2Edits *request = window.scalar(kSysContact, ACC_READWRITE);
    request->request.timeout = 1000; // the slow answer is waited for, not asked again
    window.show();
    QLabel *label = window.workingLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isVisible());

    ASSERT_TRUE(request->Get());
    ASSERT_TRUE(processUntil([&] { return label->isVisible(); }));
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Reading...")))
        << label->text().toStdString();
    EXPECT_EQ(window.cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(label->toolTip().isEmpty());
    // A slow device: the seconds waited so far.
    const QRegularExpression secondsWaited(QStringLiteral("^Reading\\.\\.\\. [12] s$"));
    ASSERT_TRUE(processUntil([&] { return secondsWaited.match(label->text()).hasMatch(); }))
        << label->text().toStdString();
    ASSERT_TRUE(processUntil([&] { return !label->isVisible(); }));
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

    simCommand(QStringLiteral("delay 200"));
    ASSERT_TRUE(request->Set(false, false));
    ASSERT_TRUE(processUntil([&] { return label->isVisible(); }));
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Writing...")));
    ASSERT_TRUE(processUntil([&] { return !label->isVisible(); }));
}

TEST_F(PageWindow, AWorkingScopeShowsASynchronousCallAtOnceAndRefusesClosing)
{
    ProbePage window;
    window.show();
    QCoreApplication::processEvents();
    QLabel *label = window.workingLabel();
    {
        const TPageWindow::WorkingScope working(&window, TPageWindow::Operation::Reading);
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->text(), QStringLiteral("Reading..."));
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        window.reject();
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.reject();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PageWindow, ConstructionShowsTheWaitCursorUntilTheEventLoopRuns)
{
    auto window = std::make_unique<ProbePage>();
    EXPECT_EQ(window->constructionCursor, Qt::WaitCursor);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A window destroyed before the event loop ran gives the cursor back too.
    window = std::make_unique<ProbePage>();
    window.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- Refusals ----

TEST_F(PageWindow, ARefusalIsShownWithItsCaptionAndTheFocusGoesBackToItsControl)
{
    const struct {
        const char *name;
        TPageWindow::Refusal::Effect effect;
        QString caption;
        QString textAfter;
        bool selected;
    } rows[] = {
        {"focus", TPageWindow::Refusal::Focus, TPageWindow::errorCaption(), "4096", false},
        {"select", TPageWindow::Refusal::SelectText, TPageWindow::errorCaption(), "4096", true},
        {"clear", TPageWindow::Refusal::ClearText, TPageWindow::warningCaption(), "", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        m_dialogs.clear();
        ProbePage window;
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(processUntil([&] { return window.isActiveWindow(); }));
        window.Extra->setFocus();
        window.Edit->setText(QStringLiteral("4096"));
        ASSERT_EQ(window.Tabs->currentIndex(), 0);

        const std::optional<TPageWindow::Refusal> refusal = TPageWindow::Refusal{
            QStringLiteral("Please input a number between 1 and 255."), window.Edit, row.effect};
        EXPECT_TRUE(window.refuse(refusal, row.caption));

        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_EQ(m_dialogs.messages().at(0).caption, row.caption);
        EXPECT_EQ(m_dialogs.messages().at(0).text,
                  QStringLiteral("Please input a number between 1 and 255."));
        EXPECT_EQ(window.Tabs->currentIndex(), 1); // the edit's page came to the front
        EXPECT_TRUE(window.Edit->hasFocus());
        EXPECT_EQ(window.Edit->text(), row.textAfter);
        EXPECT_EQ(window.Edit->hasSelectedText(), row.selected);
    }
}

TEST_F(PageWindow, InputThatPassesShowsNothing)
{
    ProbePage window;
    EXPECT_FALSE(window.refuse(std::nullopt));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

// ---- Apply ----

// Apply writes in a fixed order and stops at the first refused write: the ones after it never
// reach the device, the earlier ones stay written.
TEST_F(PageWindow, WriteInOrderStopsAtTheFirstFailedWrite)
{
    ProbePage window;
    KtSNMPRequest2Edits *contact = window.scalar(kSysContact, ACC_READWRITE);
    KtSNMPRequest2Edits *description = window.scalar(kSysDescr, ACC_READWRITE); // read-only
    KtSNMPRequest2Edits *name = window.scalar(kSysName, ACC_READWRITE);
    for (KtSNMPRequest2Edits *request : {contact, description, name})
        request->list().Item(0).value = QStringLiteral("lab");
    window.show();
    markLog();

    EXPECT_FALSE(window.writeInOrder({contact, description, name}, false, false));

    const QStringList writes = writesSinceMark();
    ASSERT_EQ(writes.size(), 2) << writes.join(u'\n').toStdString();
    EXPECT_TRUE(writes.at(0).contains(kSysContact + QStringLiteral(".0=\"lab\" -> noError")))
        << writes.at(0).toStdString();
    EXPECT_TRUE(writes.at(1).contains(QStringLiteral("-> notWritable")))
        << writes.at(1).toStdString();
    // The requests' own mode is back (they were asynchronous).
    EXPECT_EQ(description->mode, KtSNMPRequest2Controls::Asynchronous);
    EXPECT_TRUE(window.StatusBar->currentMessage().startsWith(QStringLiteral("Set: ")));

    markLog();
    EXPECT_TRUE(window.writeInOrder({contact, name}, false, false));
    EXPECT_EQ(writesSinceMark().size(), 2);
}

// ---- Decoration ----

TEST_F(PageWindow, AWindowFitsItsContentAndCannotBeMaximisedOrResized)
{
    ProbePage window;
    window.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.size(), window.sizeHint());
    // Content that goes away takes its room with it.
    const int before = window.height();
    window.Extra->hide();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_LT(window.height(), before);
    EXPECT_EQ(window.size(), window.sizeHint());
}

TEST_F(PageWindow, AWindowOfItsOwnSizeKeepsIt)
{
    ProbePage window(TPageWindow::Sizing::AsSized);
    window.resize(420, 330);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.minimumSize(), QSize(420, 330));
    EXPECT_EQ(window.maximumSize(), QSize(420, 330));
}

} // namespace
