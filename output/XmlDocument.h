#ifndef VOK_XMLDOCUMENT_H
#define VOK_XMLDOCUMENT_H

#include <QString>

// What the documents VOK writes (KML, TCX, GPX) have in common: texts that
// stay well-formed XML whatever they hold, numbers in a plain decimal form,
// and a file that is either replaced by the whole new document or left as
// it was.
class XmlDocument
{
public:
    // Text for element content. Characters XML cannot hold become U+FFFD;
    // "&", "<", ">" and the carriage return, which a parser would turn into
    // a line feed, are written as references.
    static QString escaped(const QString &text);

    // Text inside a CDATA section: "]]>" is split so that its ">" starts a
    // second section.
    static QString cdata(const QString &text);

    // Up to `decimals` decimals, trailing zeros and a trailing point dropped,
    // never in exponent form, never "-0": 121.4737019, 11.5, 352. Values
    // that are not finite read "nan", "inf" and "-inf".
    static QString decimal(double value, int decimals = 7);

    // The value rounded to a whole number, empty when it is not finite or
    // the whole number lies outside lowest to highest.
    static QString integer(double value, int lowest, int highest);

    // Appends <name>value</name> and a line end, indented by `indent`
    // blanks; nothing when there is no value. The value is written as it is.
    static void appendElement(QString &text, int indent, const char *name, const QString &value);

    // Writes the document to path in UTF-8. An existing file is replaced only
    // by a complete new one: on failure it is left as it was and the result
    // is false.
    static bool save(const QString &document, const QString &path);
};

#endif
