#ifndef VOK_WHOLEPIXELS_H
#define VOK_WHOLEPIXELS_H

class QPainter;
class QPen;

// Whether a painter puts what it is given on the very pixels it names: a
// raster paint engine, a device transform that moves by whole pixels only,
// full opacity and plain source-over. Then pixels worked out once (drawn
// elsewhere and copied, or filled as the rectangles a stroke covers) come
// out as drawing them in place would. Printing, PDF and scaled painters
// fail it and are drawn as usual.
class WholePixels
{
public:
    static bool oneToOne(const QPainter *painter);
    // The same, without smoothing, for a pen that strokes whole pixels in
    // one opaque colour: solid, of a solid brush, not see-through.
    static bool opaqueStrokes(const QPainter *painter, const QPen &pen);
};

#endif
