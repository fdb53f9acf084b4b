// "Tools \ System": restarts the device, or restores its factory settings and restarts it.
// Both ask first and then show the waiting window while the device restarts.
#pragma once

#include <QDialog>

#include <memory>

class KtSNMPRequest2Edits;
class QComboBox;
class QPushButton;
class QStatusBar;

class TFM_Sytem : public QDialog
{
    Q_OBJECT

public:
    explicit TFM_Sytem(QWidget *parent = nullptr);
    ~TFM_Sytem() override;

    static QString question();        // "Device will reboot, continue?"
    static QString restartCaption();  // caption of the waiting window after Restart
    static QString restoreCaption();  // caption of the waiting window after Restore
    static QString restoreLabel3();   // where the device will be after Restore

    QPushButton *Button1 = nullptr; // "Restart"
    QPushButton *Button2 = nullptr; // "Restore"
    QStatusBar *StatusBar = nullptr;
    QComboBox *CB_Restart = nullptr; // hidden: "Restart"
    QComboBox *CB_Restore = nullptr; // hidden: "FactoryDefault"

    KtSNMPRequest2Edits *request() const { return m_request.get(); }

public Q_SLOTS:
    void Button1Click();
    void Button2Click();

private:
    void buildWindow();
    void FormCreate();
    // What the hidden boxes showed before a button changed them.
    struct Choice {
        int restart = -1;
        int restore = -1;
    };
    Choice currentChoice() const;
    // Asks, writes both items and shows the waiting window. Cancel writes nothing and puts the
    // boxes back as they were.
    void confirmAndWrite(const Choice &before, const QString &waitingCaption,
                         const QString &waitingLabel3);

    std::unique_ptr<KtSNMPRequest2Edits> m_request;
};

extern TFM_Sytem *FM_Sytem;
