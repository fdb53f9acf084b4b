// "Status \ Client Info": the stations associated with the access point and, while a radio
// bridges to other access points, its WDS peers. The device builds both lists on request: the
// window writes the "acquire" (or "get") command for both bands, then walks the table. The
// client list refreshes itself every second, a walk at a time; a device that never delivers a
// list is taken for a firmware without the function, and the window says so and closes.
#pragma once

#include "tpagewindow.h"

class KtSNMPRequest2Edits;
class New_req2Edit;
class QComboBox;
class QLabel;
class QPushButton;
class QShowEvent;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QWidget;

class TClientInformation : public TPageWindow
{
    Q_OBJECT

public:
    // Reads both bands' AP modes (synchronously: they decide whether "WDS Info" is shown),
    // then asks the device for its lists and reads them in the background.
    explicit TClientInformation(QWidget *owner = nullptr);
    ~TClientInformation() override;

    // The texts of one client row's cells, from the device's values.
    static QString bandText(const QString &value);
    static QString authenticationText(const QString &value);
    static QString signalText(const QString &value);
    static QString powerSavingText(const QString &value);
    // The MAC of a free slot of the client table.
    static QString freeSlotMac() { return QStringLiteral("000000000000"); }
    static QString unsupportedMessage()
    {
        return QStringLiteral(
            "Maybe this firmware is so old that client info function is not supported.");
    }

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; // "Client Info"
    QWidget *TabSheet2 = nullptr; // "WDS Info"
    QTreeWidget *LV_Client = nullptr;    // the client list as shown
    QTreeWidget *LV_ClientRaw = nullptr; // hidden: the client table as read
    QTreeWidget *LV_WDS = nullptr;
    QLabel *La_ClientCount = nullptr;
    QLabel *La_WDSCount = nullptr;
    QPushButton *Bt_Refresh = nullptr;
    QPushButton *Bt_Close = nullptr;
    QPushButton *Bt_WDSRefresh = nullptr;
    QPushButton *Bt_WDSClose = nullptr;
    QComboBox *CB_APModea = nullptr; // hidden: adAPMode of each band
    QComboBox *CB_APModeg = nullptr;
    QComboBox *CB_GetClienta = nullptr; // hidden: adGetClient of each band
    QComboBox *CB_GetClientg = nullptr;
    QComboBox *CB_WDSGeta = nullptr; // hidden: wdsGet of each band
    QComboBox *CB_WDSGetg = nullptr;
    QStatusBar *StatusBar = nullptr;
    QTimer *Timer1 = nullptr; // client refresh, every second while shown
    QTimer *Timer2 = nullptr; // the unsupported-firmware check, every second while shown

    // The window's three flags and its start-up countdown.
    bool clientReadPending() const { return m_clientReadPending; }
    bool wdsReadPending() const { return m_wdsReadPending; }
    bool closingForced() const { return m_closingForced; }
    int countdown() const { return m_countdown; }
    bool wdsShown() const;

    KtSNMPRequest2Edits *apModeRequest() const { return m_apMode; }
    KtSNMPRequest2Edits *acquireRequest() const { return m_acquire; }
    KtSNMPRequest2Edits *clientTableRequest() const { return m_clientTable; }
    KtSNMPRequest2Edits *wdsGetRequest() const { return m_wdsGet; }
    New_req2Edit *wdsTableRequest() const { return m_wdsTable; }

    // A client refresh is on its way: its acquire write or its walk has not ended.
    bool clientRefreshUnderWay() const;

public Q_SLOTS:
    // Client refresh: "acquire" for both bands, then the client table again. A refresh still
    // on its way is let finish: the tick (or the click) is skipped.
    void Bt_RefreshClick();
    // WDS refresh: "get" for both bands, then the WDS table again, numbered from 1.
    void Bt_WDSRefreshClick();
    void Timer1Timer();
    // The start-up countdown; once it has run out without any client list, the warning.
    void Timer2Timer();

protected:
    void showEvent(QShowEvent *event) override;
    // While both lists are still being read from a device that answers, the close waits.
    bool FormCloseQuery() override;

private:
    void buildWindow();
    QWidget *buildListPage(QTreeWidget *&list, const char *listName, QLabel *&count,
                           const char *countName, QPushButton *&refresh, const char *refreshName,
                           QPushButton *&close, const char *closeName);
    void FormCreate();
    void readApModes();
    void createClientRequests();
    void createWdsRequests();
    // Writes the request's command for both bands, then reads table once the write has ended
    // (answered or not).
    void askThenRead(KtSNMPRequest2Edits *command, QComboBox *a, QComboBox *g,
                     KtSNMPRequest2Edits *table);
    void startClientRefresh();
    void startWdsRefresh();
    // The client table request's after-get hook: the shown list from the raw one.
    void buildClientList();
    void wdsReadEnded();
    // A client list is arriving now: the walk under way has delivered rows.
    bool clientListArriving() const;

    KtSNMPRequest2Edits *m_apMode = nullptr; // all owned by the page window
    KtSNMPRequest2Edits *m_acquire = nullptr;
    KtSNMPRequest2Edits *m_clientTable = nullptr;
    KtSNMPRequest2Edits *m_wdsGet = nullptr;
    New_req2Edit *m_wdsTable = nullptr;

    bool m_clientReadPending = false;
    bool m_wdsReadPending = false;
    bool m_closingForced = false;
    int m_countdown = 2;
    bool m_timersStarted = false;
    QTimer *m_closeRetry = nullptr; // a refused close tries again after a second
};

extern TClientInformation *ClientInformation;
