// Program entry: the application, its title and the main window.
#include "ktdialogs.h"
#include "ktexception.h"
#include "ktlaunchparameters.h"
#include "ktmodule.h"
#include "pagewindows.h"
#include "tmainform.h"

#include <QApplication>

#include <exception>

namespace {

void showException(const QString &text)
{
    KtDialogs::message(nullptr, text, KtModule::modelName());
}

QString exceptionText(const std::exception &e)
{
    if (const auto *kt = dynamic_cast<const KtException *>(&e))
        return kt->text();
    if (const auto *convert = dynamic_cast<const KtConvertError *>(&e))
        return convert->text();
    return QString::fromLocal8Bit(e.what());
}

// An exception from an event handler is shown and the module goes on, as from the entry.
class KtApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            showException(exceptionText(e));
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    KtModule::provideRuntimeFolder();
    // What the module draws while it idles is its lamps: 13-pixel squares, up to fourteen a
    // second. Through X11 shared memory each of those waits for a round trip to the display
    // server before the lamp may be drawn again; sent with the request, the few hundred bytes
    // cost nothing more. A choice made in the environment stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    KtApplication app(argc, argv);
    QApplication::setApplicationName(KtModule::modelName());
    try {
        MainForm = new TMainForm(QCoreApplication::arguments().mid(1));
        if (MainForm->isTerminated()) {
            delete MainForm;
            return 0;
        }
        connectPageWindows(*MainForm);
        MainForm->show();
        const int result = QApplication::exec();
        delete MainForm;
        return result;
    } catch (const std::exception &e) {
        showException(exceptionText(e));
    } catch (...) {
        showException(QStringLiteral("Unknown exception"));
    }
    return 0;
}
