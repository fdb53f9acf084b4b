#include "windowtest.h"

#include <QLineEdit>

namespace {

// A capability field and the text it holds until the device first answered.
struct Capability {
    QLineEdit *TMainForm::*field;
    const char *designText;
};

const Capability kCapabilities[] = {
    {&TMainForm::Ed_FwVer, "Ed_FwVer"},
    {&TMainForm::Ed_Countrycode, "Ed_Countrycode"},
    {&TMainForm::ED_Turbomode, "ED_Turbomode"},
    {&TMainForm::ED_Turbomode_g, "ED_Turbomode"},
    {&TMainForm::APModeSupport, ""},
    {&TMainForm::APModeSupport11g, ""},
    {&TMainForm::ifMultiSSID_Edit, "ifMultiSSID_Edit"},
    {&TMainForm::IPAddressEdit, "IPAddressEdit"},
    {&TMainForm::SubMaskEdit, "SubMaskEdit"},
};

} // namespace

QStringList setLines(const QStringList &log)
{
    QStringList sets;
    for (const QString &line : log) {
        if (line.contains(QStringLiteral(" set ")))
            sets.append(line);
    }
    return sets;
}

void PageWindowTest::TearDown()
{
    // The main window (and with it any window it owns) goes before the simulator does.
    MainFormTest::TearDown();
    m_sim.reset();
}

void PageWindowTest::startDevice(const QString &profile, const QStringList &options)
{
    m_sim = std::make_unique<ApSim>(QStringList{QStringLiteral("--profile"), profile} + options);
    ASSERT_TRUE(m_sim->start()) << m_sim->error().toStdString();
    startAgainst(*m_sim);
    if (HasFatalFailure())
        return;
    const auto unread = [this] {
        QStringList fields;
        for (const Capability &capability : kCapabilities) {
            const QLineEdit *edit = m_form.get()->*capability.field;
            if (edit->text() == QLatin1String(capability.designText))
                fields.append(edit->objectName());
        }
        return fields;
    };
    ASSERT_TRUE(processUntil([&] { return unread().isEmpty(); }, 20000))
        << "capability fields never read: " << unread().join(u' ').toStdString();
}

void PageWindowTest::simCommand(const QString &line)
{
    const QString answer = m_sim->command(line);
    ASSERT_TRUE(answer.startsWith(QStringLiteral("ok"))) << line.toStdString() << ": "
                                                         << answer.toStdString();
}

void PageWindowTest::markLog() { m_mark = static_cast<int>(settledLog(*m_sim).size()); }

QStringList PageWindowTest::requestsSinceMark() { return settledLog(*m_sim).mid(m_mark); }

QStringList PageWindowTest::writesSinceMark() { return setLines(requestsSinceMark()); }

::testing::AssertionResult PageWindowTest::nothingWrittenSinceMark()
{
    const QStringList writes = writesSinceMark();
    if (writes.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << writes.size() << " written:\n"
                                         << writes.join(u'\n').toStdString();
}
