#ifndef VOK_HELPBROWSER_H
#define VOK_HELPBROWSER_H

#include <QWidget>

// The user guide of Help > "Index...", in a window of its own.
class HelpBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // Shows the one guide window of parent, creating it on first use.
    static void showGuide(QWidget *parent);
};

#endif
