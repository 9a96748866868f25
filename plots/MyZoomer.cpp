#include "MyZoomer.h"

#include <QColor>
#include <QKeyEvent>
#include <QWidget>
#include <QPen>
#include <qwt_picker_machine.h>
#include <qwt_scale_draw.h>
#include <qwt_text.h>

MyZoomer::MyZoomer(QWidget *canvas)
    : QwtPlotZoomer(canvas, true)
{
    setTrackerMode(QwtPicker::AlwaysOn);
    setMousePattern(QwtEventPattern::MouseSelect1, Qt::LeftButton, Qt::NoModifier);
    setMousePattern(QwtEventPattern::MouseSelect2, Qt::RightButton, Qt::NoModifier);
    setRubberBandPen(QPen(QColor(Qt::darkBlue)));
    setTrackerPen(QPen(QColor(Qt::darkBlue)));
    // A rectangle from the press point to the release point, drawn with
    // the mouse only: Enter and Space start no rectangle.
    setStateMachine(new QwtPickerDragRectMachine);
    setKeyPattern(QwtEventPattern::KeySelect1, Qt::Key_unknown);
    setKeyPattern(QwtEventPattern::KeySelect2, Qt::Key_unknown);
    // A click gives the canvas the keyboard, so that Escape reaches the drag.
    if (canvas->focusPolicy() == Qt::NoFocus)
        canvas->setFocusPolicy(Qt::ClickFocus);
    if (QWidget *window = canvas->window(); window != canvas)
        window->installEventFilter(this);
}

bool MyZoomer::eventFilter(QObject *object, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        // Taken before the window's Escape shortcut (File > Exit) or a
        // dialog's Escape key sees it.
        if (object == parentWidget() && isActive()
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            reset();
            event->accept();
            return true;
        }
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
        if (object != parentWidget())
            widgetLeaveEvent(event);
        break;
    default:
        break;
    }
    return QwtPlotZoomer::eventFilter(object, event);
}

MyZoomer::~MyZoomer() = default;

QwtText MyZoomer::trackerTextF(const QPointF &pos) const
{
    // x exactly as the axis labels it, y with one decimal.
    const QString x = scaleDraw ? scaleDraw->label(pos.x()).text() : QString::number(pos.x());
    QwtText text(QStringLiteral("%1,\n%2").arg(x, QString::number(pos.y(), 'f', 1)));
    QColor background(Qt::white);
    background.setAlpha(200);
    text.setBackgroundBrush(QBrush(background, Qt::SolidPattern));
    return text;
}

void MyZoomer::zoom(const QRectF &rect)
{
    emit zoomStarting();
    QwtPlotZoomer::zoom(rect);
    emit zoomChanged(zoomStack(), zoomRectIndex());
}

void MyZoomer::zoom(int up)
{
    emit zoomStarting();
    QwtPlotZoomer::zoom(up);
    emit zoomChanged(zoomStack(), zoomRectIndex());
}

QStack<QRectF> MyZoomer::adoptZooms(const QStack<QRectF> &zooms, const QRectF &ownBase,
                                    const QRectF &ownCurrent)
{
    QStack<QRectF> adopted = zooms;
    if (adopted.isEmpty())
        return adopted;
    adopted[0] = ownBase;
    for (int i = 1; i < adopted.size(); ++i) {
        const QRectF &other = zooms.at(i);
        adopted[i] = QRectF(other.x(), ownCurrent.y(), other.width(), ownCurrent.height());
    }
    return adopted;
}

void MyZoomer::setZooms(QStack<QRectF> zooms, uint index)
{
    const QStack<QRectF> &own = zoomStack();
    const QStack<QRectF> adopted = own.isEmpty()
        ? zooms
        : adoptZooms(zooms, own.at(0), own.at(int(zoomRectIndex())));
    setZoomStack(adopted, int(index));
}
