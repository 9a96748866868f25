#include "HelpBrowser.h"

#include <QIcon>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpBrowser::HelpBrowser(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , browser(new QTextBrowser(this))
{
    setWindowTitle(tr("VOK - User guide"));
    setWindowIcon(QIcon(QStringLiteral(":/images/VOK.png")));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);

    browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));

    // Escape closes the guide as it closes a dialog; the main window keeps its
    // own Escape, which asks whether to quit.
    const QKeySequence closeKeys[] = { QKeySequence(Qt::Key_Escape),
                                       QKeySequence(QKeySequence::Close) };
    for (const QKeySequence &key : closeKeys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }

    resize(820, 680);
}

void HelpBrowser::showGuide(QWidget *parent)
{
    auto *guide = parent ? parent->findChild<HelpBrowser *>(QString(), Qt::FindDirectChildrenOnly)
                         : nullptr;
    if (!guide) {
        guide = new HelpBrowser(parent);
        // Without a main window to own it, the guide goes when it is closed.
        if (!parent)
            guide->setAttribute(Qt::WA_DeleteOnClose);
    }
    guide->setWindowState(guide->windowState() & ~Qt::WindowMinimized);
    guide->show();
    guide->raise();
    guide->activateWindow();
}
