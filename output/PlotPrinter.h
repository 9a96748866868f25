#ifndef VOK_PLOTPRINTER_H
#define VOK_PLOTPRINTER_H

#include <memory>

class Options;
class QPen;
class QPrinter;
class SessionPlots;
class SessionRecord;

// Paints the three session plots on one landscape A4 page (PrintedPage
// says where everything goes), for the printer, the preview and PDF alike.
class PlotPrinter
{
public:
    // A high-resolution A4 landscape printer at 300 dpi with 5 mm margins.
    static std::unique_ptr<QPrinter> createPrinter();

    // The footer names the axis the plots show, which the x-axis chooser
    // decides, in the units of the options.
    static void paint(QPrinter *printer, const SessionPlots &plots, const SessionRecord &session,
                      const Options &options);

    // A grid pen as it goes on paper of the given resolution: at least half
    // a point wide, so that the grid shows on paper and in a PDF at any zoom.
    static QPen printedGridPen(const QPen &screenPen, double dotsPerInch);
};

#endif
