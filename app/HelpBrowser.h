#ifndef VOK_HELPBROWSER_H
#define VOK_HELPBROWSER_H

#include <QWidget>

class QTextBrowser;

// The user guide of Help > "Index...", in a window of its own: an HTML page
// compiled into the resources, shown in a text browser. Each main window has
// at most one guide window, which lives as long as the main window and is
// raised again when the user asks for the guide once more.
class HelpBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    // Shows the one guide window of parent, creating it on first use.
    static void showGuide(QWidget *parent);

private:
    QTextBrowser *browser;
};

#endif
