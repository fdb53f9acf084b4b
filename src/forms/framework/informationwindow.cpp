#include "informationwindow.h"

#include "ktsnmprequest2edits.h"
#include "tconfigform.h"
#include "tsnmpeditorpanel.h"

#include <memory>

namespace InformationWindow {

const KtSNMPVarItem Items[] = {
    {QStringLiteral("1.3.6.1.2.1.1.1"), QStringLiteral("System Description"), SYN_DISPLAYSTR,
     ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.2.1.1.2"), QStringLiteral("System Object ID"), SYN_OBJECTID,
     ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.2.1.1.3"), QStringLiteral("System Uptime"), SYN_TIMETICKS,
     ACC_READONLY, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.2.1.1.4"), QStringLiteral("System Contact"), SYN_DISPLAYSTR,
     ACC_READWRITE, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.2.1.1.5"), QStringLiteral("System Name"), SYN_DISPLAYSTR,
     ACC_READWRITE, nullptr, {}, {}, {}, {}, {}},
    {QStringLiteral("1.3.6.1.2.1.1.6"), QStringLiteral("System Location"), SYN_DISPLAYSTR,
     ACC_READWRITE, nullptr, {}, {}, {}, {}, {}},
    {},
};

TConfigForm *Create(QWidget *owner)
{
    auto form = std::make_unique<TConfigForm>(owner);
    form->setWindowTitle(QStringLiteral("Home \\ Information"));
    auto request = std::make_unique<KtSNMPRequest2Edits>(form.get(), Items, SVT_SV);
    request->request.timeout = RequestTimeout;
    TSNMPEditorPanel *panel = form->AddEditor(request.get());
    request.release(); // the form owns it now
    panel->SetEditorWidth(EditorWidth);
    panel->Refresh();
    return form.release();
}

void Open(QWidget *owner)
{
    std::unique_ptr<TConfigForm> form(Create(owner));
    form->exec();
}

} // namespace InformationWindow
