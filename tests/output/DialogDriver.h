#ifndef VOK_TESTS_DIALOGDRIVER_H
#define VOK_TESTS_DIALOGDRIVER_H

// Answers the modal dialogs that a main window slot opens while the test
// waits inside it: file dialogs get the file the test chose (or are
// cancelled), message boxes are recorded and confirmed, anything else goes
// to a handler of the test's own.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

struct SeenMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class DialogDriver : public QObject
{
public:
    DialogDriver()
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, &DialogDriver::answer);
        timer.start();
    }

    // The file a file dialog selects; empty cancels it.
    QString fileToChoose;
    // Every message box seen, in order.
    QList<SeenMessage> messages;
    // Captions of the file dialogs seen, in order.
    QStringList fileDialogs;
    // Called for any other modal widget; it must close it.
    std::function<void(QWidget *)> otherDialog;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        for (const QPointer<QWidget> &done : answered) {
            if (done == modal)
                return; // closing, not yet gone
        }
        answered.append(modal);

        // Every answer is queued: a dialog that opens another one runs it
        // from within the answer, and this timer does not fire while its own
        // slot runs.
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages.append({box->icon(), box->windowTitle(), box->text()});
            // Yes to "replace the existing file?", otherwise OK.
            QAbstractButton *button = box->button(QMessageBox::Yes);
            if (!button)
                button = box->button(QMessageBox::Ok);
            if (!button && !box->buttons().isEmpty())
                button = box->buttons().constFirst();
            if (button)
                QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            else
                QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            fileDialogs.append(dialog->windowTitle());
            if (fileToChoose.isEmpty()) {
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            } else {
                dialog->selectFile(fileToChoose);
                // selectFile() leaves the name field alone while it has the
                // focus, as a user typing there would expect: type the path.
                if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    name->setText(fileToChoose);
                // accept() is protected in QFileDialog; it is still a slot.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        } else if (otherDialog) {
            const QPointer<QWidget> other = modal;
            QMetaObject::invokeMethod(
                this, [this, other] { if (other) otherDialog(other); }, Qt::QueuedConnection);
        } else if (auto *other = qobject_cast<QDialog *>(modal)) {
            QMetaObject::invokeMethod(other, &QDialog::reject, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(modal, &QWidget::close, Qt::QueuedConnection);
        }
    }

    QTimer timer;
    QList<QPointer<QWidget>> answered;
};

#endif
