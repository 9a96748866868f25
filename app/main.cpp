#include "MainWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    // The toolkit takes its own options (-style, -platform, ...) out of the
    // arguments; what is left names a ride, as a file manager passes it.
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Calvina Labs"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("calvinalabs.example"));
    QCoreApplication::setApplicationName(QStringLiteral("VOK"));

    const QPixmap pixmap(QStringLiteral(":/images/VOK.png"));
    QSplashScreen splash(pixmap);
    splash.show();

    MainWindow window;
    window.show();
    splash.finish(&window);

    // Opened from the event loop, once the window is on screen, so that a
    // "Read error" box has its window to stand on.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty()) {
        const QString ride = arguments.first();
        QTimer::singleShot(0, &window, [&window, ride] { window.openRide(ride); });
    }

    return app.exec();
}
