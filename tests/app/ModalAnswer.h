#ifndef VOK_TESTS_MODALANSWER_H
#define VOK_TESTS_MODALANSWER_H

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

// Answers the next modal widget of type T that opens, from inside its own
// event loop, by calling answer(widget). Polls, because the call that opens
// the widget may run other events first; gives up after about ten seconds so
// that a test whose widget never opens fails instead of hanging. Deleting the
// returned timer withdraws an answer that is no longer wanted.
template <typename T, typename Answer>
QPointer<QTimer> answerModal(Answer answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, attempts, answer] {
        if (T *widget = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(widget);
        } else if (++*attempts > 1000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return timer;
}

#endif
