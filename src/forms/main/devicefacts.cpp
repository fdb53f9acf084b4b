#include "devicefacts.h"

#include "tmainform.h"

#include <QLineEdit>

namespace DeviceFacts {

bool deviceAnswers() { return statusText() == QStringLiteral("Ready. "); }

QString statusText() { return MainForm ? MainForm->statusText() : QString(); }

QString rememberedStatus() { return MainForm ? MainForm->rememberedStatus() : QString(); }

QString deviceAddress() { return MainForm ? MainForm->deviceAddress() : QString(); }

QString text(QLineEdit *TMainForm::*field)
{
    if (!MainForm)
        return QString();
    const QLineEdit *edit = MainForm->*field;
    return edit ? edit->text() : QString();
}

bool multiSsidSupported()
{
    return text(&TMainForm::ifMultiSSID_Edit) == QStringLiteral("1");
}

bool radioPresent(int band)
{
    QLineEdit *TMainForm::*field = band == 1 ? &TMainForm::APModeSupport
                                             : &TMainForm::APModeSupport11g;
    return text(field) != QStringLiteral("0");
}

} // namespace DeviceFacts
