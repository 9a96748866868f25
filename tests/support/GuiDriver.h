#pragma once

#include "MainWindow.h"
#include "TestFiles.h"

#include <QtTest>
#include <QtWidgets>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

// The program's settings store, in a temporary directory: as in two runs, one
// MainWindow reads what the previous one wrote.
struct TemporarySettings {
    TemporarySettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Calvina Labs"));
        QCoreApplication::setApplicationName(QStringLiteral("VOK"));
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        clear();
    }
    QString path() const { return dir.path(); }
    void clear() { QSettings().clear(); }
    QTemporaryDir dir;
};

// The store as the next run sees it; an invalid value removes the key.
inline void store(const QString &key, const QVariant &value)
{
    value.isValid() ? QSettings().setValue(key, value) : QSettings().remove(key);
}
inline QVariant stored(const QString &key) { return QSettings().value(key); }
inline QStringList storedKeys() { return QSettings().allKeys(); }

// Answers the next modal T from inside its event loop; without one for ten seconds
// gives up, by default failing rather than hanging. Deleting the timer withdraws it.
template <typename T, typename Answer>
QPointer<QTimer> answerModal(Answer answer, std::function<void()> giveUp = [] {
    if (QWidget *other = QApplication::activeModalWidget()) other->close();
    QFAIL("the expected modal dialog did not open");
})
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [=, attempts = 0]() mutable {
        T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!widget && ++attempts < 1000)
            return;
        timer->stop();
        timer->deleteLater();
        widget ? answer(widget) : giveUp();
    });
    timer->start(10);
    return timer;
}
template <typename T> void whenModal(std::function<void(T *)> answer) { answerModal<T>(answer); }

// Picks path in a file dialog; its name field ignores selectFile while focused.
inline void choose(QFileDialog *files, const QString &path)
{
    if (QWidget *focus = files->focusWidget()) focus->clearFocus();
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept");
    if (files->isVisible()) files->reject(); // refused: cancel, not wait for a user
}

// Opens path through File > Open...; true once the window holds that file.
inline bool openRide(MainWindow &window, const QString &path)
{
    whenModal<QFileDialog>([path](QFileDialog *files) { choose(files, path); });
    window.findChild<QAction *>(QStringLiteral("actionOpen"))->trigger();
    return window.sessionRecord().fileName == QFileInfo(path).fileName();
}

inline bool confirmQuit(MainWindow &window)
{
    whenModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::Ok)->click(); });
    return window.close();
}

// The curve titled title in any plot inside window, or null.
inline QwtPlotCurve *findCurve(QWidget &window, const QString &title)
{
    for (QwtPlot *plot : window.findChildren<QwtPlot *>())
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve))
            if (item->title().text() == title)
                return static_cast<QwtPlotCurve *>(item);
    return nullptr;
}
