#ifndef VOK_WINDOWPLACEMENT_H
#define VOK_WINDOWPLACEMENT_H

#include <QPoint>
#include <QSize>
#include <QString>

// Where a window opens, remembered in the settings store under
// group/"widget" as "size" and "pos". The main window and the turn dialog
// both keep their geometry this way.
class WindowPlacement
{
public:
    QSize size;
    QPoint pos;

    // The stored geometry. A stored size with no area gives defaultSize; no
    // stored position, or one that would put the window on no screen (a
    // monitor that has gone away), centres the window on the primary screen.
    static WindowPlacement read(const QString &group, const QSize &defaultSize);
    void write(const QString &group) const;
};

#endif
