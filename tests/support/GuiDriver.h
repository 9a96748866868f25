#ifndef VOK_GUIDRIVER_H
#define VOK_GUIDRIVER_H

#include "MainWindow.h"
#include "ModalAnswer.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

// Drives the program's modal dialogs from a test the way a user would.

// Answers the next modal widget of type Dialog from inside its event loop.
// Should another widget be waiting instead, it is closed so that the test
// fails, not hangs.
template<typename Dialog>
void whenModal(std::function<void(Dialog *)> answer)
{
    answerModal<Dialog>(answer, [] {
        if (QWidget *other = QApplication::activeModalWidget())
            other->close();
        QFAIL("the expected modal dialog did not open");
    });
}

// Picks path in a file dialog. The file name field ignores selectFile while
// it has the focus, and a dialog that refuses the file is cancelled rather
// than left waiting for a user.
inline void choose(QFileDialog *files, const QString &path)
{
    if (QWidget *focus = files->focusWidget())
        focus->clearFocus();
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept");
    if (files->isVisible())
        files->reject();
}

// Opens a ride through File > Open...; true if it was read.
inline bool openRide(MainWindow &window, const QString &path)
{
    whenModal<QFileDialog>([path](QFileDialog *files) { choose(files, path); });
    auto *open = window.findChild<QAction *>(QStringLiteral("actionOpen"));
    if (!open)
        return false;
    open->trigger();
    return window.sessionRecord().fileName == QFileInfo(path).fileName();
}

// Closes the window and answers "Do you really want to quit?" with OK.
inline bool confirmQuit(MainWindow &window)
{
    whenModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
    return window.close();
}

#endif
