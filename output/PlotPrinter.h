#ifndef VOK_PLOTPRINTER_H
#define VOK_PLOTPRINTER_H

#include <memory>

class Options;
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

    static void paint(QPrinter *printer, const SessionPlots &plots, const SessionRecord &session,
                      const Options &options);
};

#endif
