// The main window: the one window that lives for the whole process. Its construction runs the
// module's start-up (catalogues, session, registry, launch parameters, single-instance guard)
// and then hands over to the session start, which talks to the device: the status poll that
// drives the front-panel lamps, and the capability fields the page windows read.
//
// What other windows use (through the global MainForm):
// - the hidden capability fields Ed_FwVer ... Ifclientinfosupported (their text; each holds its
//   design-time text until the device first answered, and keeps its last text when a later
//   read fails);
// - statusText(): the status line, "Ready. " while the status poll succeeds;
// - deviceAddress(): the device address text of the command line;
// - IsValidIPAddress() and IsValidMask(): the address and mask checks (static, pure);
// - the menu items (Information1 ... About1). An item whose window is not built yet stays in
//   place, disabled. The work that builds the window adds one line to connectPageWindows() in
//   src/forms/pagewindows.cpp, e.g. `main.connectWindow(main.DeviceInfo1, FM_DevInfo);`, which
//   enables the item and makes it open the window modally (created when chosen, kept in the
//   instance variable while shown, destroyed and the variable cleared when it closes). The
//   program entry calls connectPageWindows once the window exists.
#pragma once

#include "ktinstanceguard.h"

#include <QColor>
#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

struct KtSNMPError;
class KtSNMPRequest2Controls;
class KtSNMPRequest2Edits;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTimer;

// A round status lamp over the front-panel picture: a colour and a blink flag. The blinking
// timers turn it between black and green while the flag is set.
class TMainLamp : public QWidget
{
    Q_OBJECT

public:
    static constexpr QRgb Lit = 0x00FF00;
    static constexpr QRgb Dark = 0x000000;

    explicit TMainLamp(QWidget *parent = nullptr);

    QColor brushColor() const { return m_color; }
    void setBrushColor(const QColor &color);
    bool isLit() const { return m_color.rgb() == QColor(Lit).rgb(); }
    bool blink = false;

    // One blinking step: black becomes green, any other colour black. Only with the flag set;
    // true when the colour changed. The lamp is not repainted here: a blinking timer paints
    // every lamp it turned in one pass.
    bool toggle();

    // What lies beneath the lamp (the part of the front-panel picture it covers). With it the
    // lamp paints each of its pixels itself, from a face drawn once per colour, so that a blink
    // repaints the lamp alone and not the picture and the window background under it (lamps
    // blink ten times a second while the module idles). Without it the lamp is drawn over
    // whatever its parent paints.
    void setBackdrop(const QPixmap &backdrop);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawLamp(QPainter &painter) const;
    const QPixmap &face();

    QColor m_color = QColor(Dark);
    QPixmap m_backdrop;
    QHash<QRgb, QPixmap> m_faces; // the backdrop with the lamp drawn over it, per colour
};

class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    // parameters: the command line without the program name.
    explicit TMainForm(const QStringList &parameters, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Start-up ended the module (no parameters, or another module serves this address): the
    // program leaves without showing the window.
    bool isTerminated() const { return m_terminated; }

    // The device address text, as the command line gave it: shown in captions, read by other
    // windows.
    const QString &deviceAddress() const { return m_deviceAddress; }

    // The message shown when the module is started without parameters, and when a second
    // module is started for an address already served.
    static QString onlyHostMessage();
    static QString anotherModuleMessage();
    // The message shown when no folder of this user's own can take the lock file.
    static QString noLockFolderMessage();
    // The status line from the session start until the first status read has ended.
    static QString connectingText(const QString &address);

    // Start-up stopped on an error (a launch number that is not a number, a session that
    // could not open): the window stays without a session and only Help \ About opens.
    bool startUpFailed() const { return m_startUpFailed; }

    // ---- Checks other windows call before they write addresses; they never report ----
    // A unicast host IPv4 address: four decimal parts, the first 1..223 but not 127, the last
    // 1..254. A part that is not a number gives false.
    static bool IsValidIPAddress(const QString &text);
    // A subnet mask: four decimal parts forming one run of ones from the top, at least two and
    // fewer than 32 bits long (192.0.0.0 .. 255.255.255.254). A part that is not a number gives
    // false.
    static bool IsValidMask(const QString &text);

    // ---- The status line ----
    // The text of the status bar's one panel: "Ready. " while the status poll succeeds, else
    // the request's last progress or error text.
    QString statusText() const;
    QStatusBar *MainStatusBar = nullptr;
    QLabel *MainStatusPanel = nullptr; // the panel inside MainStatusBar that holds the text
    // The status line as Timer1..Timer3 and the last failed status read remembered it; the
    // Status menu decides on it.
    const QString &rememberedStatus() const { return m_rememberedStatus; }
    // The device is not known to answer: no status read has ended yet, or the remembered one
    // timed out (by its outcome, whatever a catalogue calls it), or nothing is remembered.
    bool deviceSilent() const;
    // The Status menu's read of the client-information capability is on its way.
    bool clientInfoReadPending() const;
    // A status read is on its way.
    bool statusReadPending() const;

    // ---- Hidden capability fields (text read by other windows) ----
    QLineEdit *Ed_FwVer = nullptr;         // firmware version text, e.g. "v2.00"
    QLineEdit *Ed_Countrycode = nullptr;   // regulatory domain
    QLineEdit *ED_Turbomode = nullptr;     // turbo modes of 802.11a
    QLineEdit *ED_Turbomode_g = nullptr;   // turbo modes of 802.11g
    QLineEdit *APModeSupport = nullptr;    // AP-mode capability bits of 802.11a ("%u")
    QLineEdit *APModeSupport11g = nullptr; // the same of 802.11g
    QLineEdit *ifMultiSSID_Edit = nullptr; // "1" when the device has several SSIDs
    QLineEdit *IPAddressEdit = nullptr;    // the device's own address
    QLineEdit *SubMaskEdit = nullptr;      // the device's subnet mask
    QLineEdit *Ifclientinfosupported = nullptr; // read by the Status menu only

    // ---- Front panel ----
    QLabel *Image1 = nullptr; // the front-panel picture
    TMainLamp *Sh_11a = nullptr;   // 802.11a radio
    TMainLamp *Sh_11b = nullptr;   // 802.11b/g radio
    TMainLamp *Shape1 = nullptr;   // LAN port 1
    TMainLamp *Shape2 = nullptr;   // LAN port 2
    TMainLamp *Shape5 = nullptr;   // status
    TMainLamp *Sh_power = nullptr; // power

    // ---- Menus; items are named after their captions ----
    QMenu *Home1 = nullptr;
    QAction *Information1 = nullptr; // "Information": the "Home \ Information" window
    QAction *Wireless1 = nullptr;    // "Wireless": TFM_Wirless
    QAction *LAN1 = nullptr;         // "LAN": TFM_LanCfg
    QMenu *Advanced1 = nullptr;
    QAction *Performance1 = nullptr; // "Performance": TFM_Performace
    QAction *Filters1 = nullptr;     // "Filters": TFM_Filter
    QAction *Grouping1 = nullptr;    // "Grouping": TFM_Group
    QAction *DHCPServer1 = nullptr;  // "DHCP Server": TFM_DHCP
    QAction *MultiSSID1 = nullptr;   // "Multi-SSID": TFM_MultiSSIDNewForm
    QAction *RogueAP1 = nullptr;     // "Rogue AP ": TFM_RogueForm
    QMenu *Tools1 = nullptr;
    QAction *Admin1 = nullptr;             // "Admin": TFM_Admin
    QAction *System1 = nullptr;            // "System": TFM_Sytem
    QAction *Firmware1 = nullptr;          // "Firmware": TFM_Firmware
    QAction *ConfigurationFile1 = nullptr; // "Configuration File": TFM_CfgFile
    QAction *Miscellaneous1 = nullptr;     // "Miscellaneous": TFM_Misc
    QAction *SNTP1 = nullptr;              // "SNTP": TSNTPForm
    QMenu *Status1 = nullptr;
    QAction *DeviceInfo1 = nullptr; // "Device Info": TFM_DevInfo
    QAction *Stats1 = nullptr;      // "Stats": TFM_Static
    QAction *ClientInfo1 = nullptr; // "Client Info": TClientInformation; see Status1Click
    QAction *Log1 = nullptr;        // "Log": TLogForm
    QMenu *Help1 = nullptr;
    QAction *About1 = nullptr; // "About": TAboutForm

    // Enables the item (after a failed start-up only About) and makes it open a modal window:
    // create() builds it (default: a W owned by the main window), it is kept in instance while
    // shown, destroyed when it closes and instance is cleared. An exception from the window's
    // construction is shown like any other error of a menu command (message box captioned with
    // the application title).
    template <class W>
    void connectWindow(QAction *item, W *&instance, std::function<W *()> create = {})
    {
        connectModal(
            item,
            [this, &instance, create]() -> QDialog * {
                instance = create ? create() : new W(this);
                return instance;
            },
            [&instance] { instance = nullptr; });
    }
    // The general form: create() returns the window (may be null: nothing opens), done() runs
    // after it was destroyed.
    void connectModal(QAction *item, std::function<QDialog *()> create,
                      std::function<void()> done = {});

    QTimer *Timer1 = nullptr; // status poll, 3000 ms
    QTimer *Timer2 = nullptr; // lamp blinking, 500 ms
    QTimer *Timer3 = nullptr; // lamp blinking, 100 ms
    QTimer *Timer4 = nullptr; // capability poll, 2000 ms; runs from creation

public Q_SLOTS:
    // The Status menu opens: decides whether "Client Info" is visible. It never waits for the
    // device: the capability is read asynchronously and its answer decides when it arrives;
    // meanwhile the item stays as the last decision left it.
    void Status1Click();
    // Timer ticks (public so that a test can take one step without waiting).
    void Timer1Timer(); // read the status again; remember the status line
    void Timer2Timer(); // blink Sh_power, Sh_11a, Sh_11b; remember the status line
    void Timer3Timer(); // blink Shape1, Shape2; remember the status line
    void Timer4Timer(); // read the six capability requests again

private:
    void buildWindow();
    void buildFrontPanel();
    void buildCapabilityFields();
    void buildMenus();
    // The creation handler: start-up, then the session start. An error stops it where it
    // happened and is shown; the window then stays, without a session.
    void FormCreate();
    void runStartUp();
    void applyWindowShape();
    void startSession();
    void terminate();
    // Completion of the status request.
    void StatusComplete(const KtSNMPError &status);
    // Completion of the Status menu's capability read: shows or hides "Client Info".
    void ClientInfoComplete(const KtSNMPError &status);
    // Start-up stopped on an error: the menus that would reach the device are disabled.
    void startUpFailedWith(const QString &text);
    // Whether the item may open its window now.
    bool mayOpen(const QAction *item) const { return !m_startUpFailed || item == About1; }
    // The owner of a start-up message: none while the window is not on the screen yet, so
    // that the message is centred on the screen instead of on an invisible window.
    QWidget *messageOwner();
    // A time-out of a status read that was sent before the last answer.
    bool isStaleTimeout(const KtSNMPError &status) const;
    void paintAllLampsDark();
    void blinkLamps(std::initializer_list<TMainLamp *> lamps);
    void rememberStatus();
    // Shows an error of a menu command as the application would.
    void showError(const QString &text);

    QStringList m_parameters;
    QString m_deviceAddress;
    QString m_rememberedStatus;
    // The code of the last status read that ended (none before the first), and its value when
    // the status line was last remembered.
    std::optional<qint32> m_statusOutcome;
    std::optional<qint32> m_rememberedOutcome;
    QElapsedTimer m_lastAnswer; // since the last successful status read
    bool m_terminated = false;
    bool m_startUpFailed = false;
    QList<QAction *> m_connectedItems;
    KtInstanceGuard m_instanceGuard;

    std::unique_ptr<KtSNMPRequest2Edits> m_statusRequest;
    // Firmware, country, turbo modes, AP modes, multi-SSID, LAN: the order Timer4 reads them.
    std::vector<std::unique_ptr<KtSNMPRequest2Edits>> m_capabilityRequests;
    // The Status menu's read of clientinfosupported (created at its first use).
    std::unique_ptr<KtSNMPRequest2Edits> m_clientInfoRequest;
};

extern TMainForm *MainForm;
