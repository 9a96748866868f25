#ifndef VOK_TESTS_MODALANSWER_H
#define VOK_TESTS_MODALANSWER_H

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Answers the next modal widget of type T that opens, from inside its own
// event loop, by calling answer(widget). Polls, because the call that opens
// the widget may run other events first; gives up after about ten seconds,
// calling giveUp, so that a test whose widget never opens fails instead of
// hanging. Deleting the returned timer withdraws an answer no longer wanted.
template <typename T, typename Answer>
QPointer<QTimer> answerModal(Answer answer, std::function<void()> giveUp = {})
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, attempts, answer, giveUp] {
        if (T *widget = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(widget);
        } else if (++*attempts > 1000) {
            timer->stop();
            timer->deleteLater();
            if (giveUp)
                giveUp();
        }
    });
    timer->start();
    return timer;
}

#endif
