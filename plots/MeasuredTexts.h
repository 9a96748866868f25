#ifndef VOK_MEASUREDTEXTS_H
#define VOK_MEASUREDTEXTS_H

#include <QFont>
#include <QHash>
#include <QSizeF>
#include <QString>

// Sizes of texts in one font, each measured once and kept: measuring takes
// a text through the shaper, and axes measure the same labels step after
// step. Another font lets all of them go; so does reaching a limit, as
// zooming about lists new labels without end.
class MeasuredTexts
{
public:
    // measure() gives the size of text in font when it is not known yet.
    template<typename Measure>
    QSizeF size(const QFont &font, const QString &text, Measure measure)
    {
        if (const QSizeF *known = find(font, text))
            return *known;
        const QSizeF measured = measure();
        keep(text, measured);
        return measured;
    }

private:
    const QSizeF *find(const QFont &font, const QString &text);
    void keep(const QString &text, const QSizeF &size);

    QFont sizesFont;
    QHash<QString, QSizeF> sizes;
};

#endif
