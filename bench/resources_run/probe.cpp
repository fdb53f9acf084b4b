// The probe bench/resources builds into the module's own program entry (qrn-resources-module).
// It prints "ready WIDTH HEIGHT" once the status bar has been painted with the answer of the
// first status poll ("Ready. "), and then does nothing more, unless QRN_RESOURCES_CYCLES asks
// for window cycles: then it first counts the widgets painted while the window idles for ten
// seconds ("paints SECONDS TOTAL LAMPS"), then every enabled item of the menus opens its window
// that many times, each closed once its reads are done, with the message boxes and the waiting
// window scripted, and the heap in use is compared after the first cycles and after the last.
#include "ktdialogs.h"
#include "ktnetsnmp.h"
#include "ktnetsnmpchannel.h"
#include "ktwaiting.h"
#include "tmainform.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

constexpr int kWarmUpCycles = 10;
// A window is closed once it has sent nothing for this long.
constexpr qint64 kQuietMs = 100;

qint64 heapInUse()
{
    return static_cast<qint64>(mallinfo2().uordblks);
}

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Opens the item's window and closes it again once its reads are done.
void openAndClose(QAction *item)
{
    QTimer closer;
    closer.setInterval(10);
    quint64 lastSent = KtNetSnmp::packetsSent();
    QElapsedTimer quiet;
    quiet.start();
    QObject::connect(&closer, &QTimer::timeout, [&] {
        const quint64 sent = KtNetSnmp::packetsSent();
        if (sent != lastSent) {
            lastSent = sent;
            quiet.restart();
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || quiet.elapsed() < kQuietMs)
            return;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });
    closer.start();
    item->trigger(); // returns when the window has closed and been destroyed
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void runCycles(int cycles)
{
    KtDialogs::Script dialogs;
    KtWaiting::Script waiting;
    // The Status menu decides on Client Info from a read of the device: its answer first.
    MainForm->Status1Click();
    QElapsedTimer asked;
    asked.start();
    while (KtNetSnmp::eventProcessorRunning() && asked.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::vector<QAction *> items;
    QStringList names;
    for (QAction *menuAction : MainForm->menuBar()->actions()) {
        const QMenu *menu = menuAction->menu();
        if (!menu)
            continue;
        for (QAction *item : menu->actions()) {
            if (item->isEnabled() && item->isVisible() && !item->isSeparator() && !item->menu()) {
                items.push_back(item);
                names.append(item->text().remove(QLatin1Char('&')).trimmed());
            }
        }
    }
    std::vector<qint64> growth(items.size(), 0);
    qint64 heapAfterWarmUp = 0;
    qint64 residentAfterWarmUp = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        for (size_t i = 0; i < items.size(); ++i) {
            const qint64 before = heapInUse();
            openAndClose(items[i]);
            dialogs.clear();
            waiting.clear();
            if (cycle > kWarmUpCycles)
                growth[i] += heapInUse() - before;
        }
        if (cycle == kWarmUpCycles) {
            heapAfterWarmUp = heapInUse();
            residentAfterWarmUp = residentKb();
        }
    }
    std::printf("cycles %d windows %zu (%s) heap %lld %lld resident %lld %lld\n", cycles,
                items.size(), qPrintable(names.join(QStringLiteral(", "))),
                static_cast<long long>(heapAfterWarmUp), static_cast<long long>(heapInUse()),
                static_cast<long long>(residentAfterWarmUp),
                static_cast<long long>(residentKb()));
    for (size_t i = 0; i < items.size(); ++i)
        std::printf("window %s heap %+lld\n", qPrintable(names.at(static_cast<int>(i))),
                    static_cast<long long>(growth[i]));
    std::fflush(stdout);
    QCoreApplication::quit();
}

constexpr int kPaintSeconds = 10;

// Counts the paint events of the main window's widgets, the lamps apart.
class PaintCounter : public QObject
{
public:
    using QObject::QObject;
    int total = 0;
    int lamps = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == MainForm) {
            ++total;
            lamps += qobject_cast<TMainLamp *>(watched) ? 1 : 0;
        }
        return false;
    }
};

void countPaintsThenCycle(int cycles)
{
    auto *counter = new PaintCounter(qApp);
    qApp->installEventFilter(counter);
    QTimer::singleShot(kPaintSeconds * 1000, qApp, [counter, cycles] {
        qApp->removeEventFilter(counter);
        std::printf("paints %d %d %d\n", kPaintSeconds, counter->total, counter->lamps);
        std::fflush(stdout);
        delete counter;
        runCycles(cycles);
    });
}

class Probe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !MainForm || watched != MainForm->MainStatusPanel
            || MainForm->statusText() != QStringLiteral("Ready. "))
            return false;
        qApp->removeEventFilter(this);
        std::printf("ready %d %d\n", MainForm->width(), MainForm->height());
        std::fflush(stdout);
        const int cycles = qEnvironmentVariableIntValue("QRN_RESOURCES_CYCLES");
        if (cycles > 0)
            QTimer::singleShot(0, qApp, [cycles] { countPaintsThenCycle(cycles); });
        return false;
    }
};

void installProbe()
{
    qApp->installEventFilter(new Probe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
