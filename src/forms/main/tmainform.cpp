#include "tmainform.h"

#include "ktcatalogues.h"
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktlaunchparameters.h"
#include "ktmodule.h"
#include "ktregistry.h"
#include "ktsnmprequest2edits.h"
#include "ktsnmpsession.h"

#include <QCoreApplication>
#include <QTimer>

TMainForm *MainForm = nullptr;

namespace {

QTimer *makeTimer(QObject *owner, int interval)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(interval);
    return timer;
}

} // namespace

QString TMainForm::onlyHostMessage()
{
    return QStringLiteral("This module is only used in the Marlin or HP-Openview.");
}

QString TMainForm::anotherModuleMessage()
{
    return QStringLiteral("Another QRN7300XB module is running!");
}

TMainForm::TMainForm(const QStringList &parameters, QWidget *parent)
    : QMainWindow(parent), m_parameters(parameters)
{
    // Windows created during start-up already find the main window through MainForm.
    MainForm = this;
    // The shipped catalogues first; the host installation's may replace them in FormCreate.
    KtCatalogues::LoadFromProgramFolder(KtModule::programFolder());
    buildWindow();
    FormCreate();
}

TMainForm::~TMainForm()
{
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::buildWindow()
{
    setWindowTitle(KtModule::modelName());
    Timer1 = makeTimer(this, 3000);
    Timer2 = makeTimer(this, 500);
    Timer3 = makeTimer(this, 100);
    Timer4 = makeTimer(this, 2000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(Timer4, &QTimer::timeout, this, &TMainForm::Timer4Timer);
    Timer4->start();
    // TODO: front-panel picture, lamps, status bar and menus belong to the main window's own
    // work; they go here, before the creation handler.
}

void TMainForm::FormCreate()
{
    try {
        runStartUp();
    } catch (const KtConvertError &e) {
        KtDialogs::message(this, e.text(), KtModule::modelName());
    } catch (const KtException &e) {
        KtDialogs::message(this, e.text(), KtModule::modelName());
    } catch (const std::exception &e) {
        KtDialogs::message(this, QString::fromLocal8Bit(e.what()), KtModule::modelName());
    }
}

void TMainForm::runStartUp()
{
    applyWindowShape();

    // The boot counter goes to the module's own data folder: the folder the platform starts
    // the module in need not be writable.
    KtSNMPSession::OpenSession(KtModule::dataFolder());
    g_snmpSecurity.version = 0;

    const KtRegistry registry(KtModule::settingsFile());
    KtCatalogues::LoadFromHostFolder(KtRegistry::CatalogueFolder(registry.ReadHelpPath()));
    const QString parameterFolder = registry.ParameterFolder();

    if (m_parameters.isEmpty()) {
        Timer4->stop();
        KtDialogs::message(this, onlyHostMessage(), KtModule::modelName());
        terminate();
        return;
    }

    // Requests copy the records when they are constructed, so none may exist before this.
    KtLaunchRecords records = KtLaunchRecords::fromSession();
    KtLaunchParameters::Apply(m_parameters, parameterFolder, records);
    records.toSession();
    m_deviceAddress = records.addressText;

    setWindowTitle(windowTitle() + QStringLiteral(" : ") + m_deviceAddress);

    if (!m_instanceGuard.acquire(windowTitle(), KtModule::runtimeFolder())) {
        Timer4->stop();
        KtDialogs::message(this, anotherModuleMessage(), QStringLiteral("Warning"));
        terminate();
        close();
        return;
    }

    startSession();
}

void TMainForm::applyWindowShape()
{
    // TODO: client area = front-panel picture + 10 pixels wide, picture + status bar high;
    // fixed border, no maximise button. Comes with the picture.
}

void TMainForm::startSession()
{
    // TODO: status request (6 s, no retries, completion to the lamps), first read, Timer1 and
    // Timer4, capability requests. Comes with the main window's own work.
}

void TMainForm::terminate()
{
    m_terminated = true;
    // Only has an effect once the event loop runs; before that the program entry sees
    // isTerminated() and leaves.
    QCoreApplication::exit(0);
}

void TMainForm::Timer1Timer() {}

void TMainForm::Timer2Timer() {}

void TMainForm::Timer3Timer() {}

void TMainForm::Timer4Timer()
{
    // TODO: read the six capability requests again. They exist only after the session start;
    // a start-up that stopped on an error leaves this timer running without them.
}

// ---- Interface first; the implementation follows ----

TMainLamp::TMainLamp(QWidget *parent) : QWidget(parent) {}

void TMainLamp::setBrushColor(const QColor &color)
{
    m_color = color;
    update();
}

void TMainLamp::toggle()
{
    if (blink)
        setBrushColor(m_color.rgb() == QColor(Dark).rgb() ? QColor(Lit) : QColor(Dark));
}

void TMainLamp::paintEvent(QPaintEvent *) {}

bool TMainForm::IsValidIPAddress(const QString &) { return false; }
bool TMainForm::IsValidMask(const QString &) { return false; }
QString TMainForm::statusText() const { return QString(); }
void TMainForm::connectModal(QAction *, std::function<QDialog *()>, std::function<void()>) {}
void TMainForm::Status1Click() {}
