// qrn-bare-window WIDTH HEIGHT: the floor any Qt Widgets program pays, for bench/resources. An
// empty window of the given size; prints "shown" once it has been painted for the first time,
// then idles until it is ended.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>

namespace {

class FirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            std::printf("shown\n");
            std::fflush(stdout);
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    if (args.size() >= 3)
        window.setFixedSize(args.at(1).toInt(), args.at(2).toInt());
    FirstPaint probe;
    window.installEventFilter(&probe);
    window.show();
    return QApplication::exec();
}
