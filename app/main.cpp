#include "MainWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    // Arguments are the toolkit's; the program itself interprets none of them.
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

    return app.exec();
}
