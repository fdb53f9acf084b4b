// The About box: the module's title and release. The build text stays hidden until F3 is
// pressed with Shift and Alt held while "OK" has the focus.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

    static QString releaseText(); // "v1.10"
    static QString buildText();   // "R11(2006/01/20)"

    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr; // model name + " Management Module"
    QLabel *Copyright = nullptr;   // the maker's line
    QLabel *Label1 = nullptr;      // "Release Version:"
    QLabel *Version = nullptr;     // the release text
    QLabel *La_Build = nullptr;    // hidden build text
    QPushButton *OKButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
};

extern TAboutForm *AboutForm;
