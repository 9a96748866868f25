#include "XmlDocument.h"

#include <QSaveFile>

#include <cmath>

namespace {

const QChar replacementCharacter(0xFFFD);

// XML 1.0 forbids most control characters even as character references, and
// lone surrogates cannot be encoded at all: such characters become U+FFFD so
// that a strange file name never makes the document unreadable.
QString withXmlCharactersOnly(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
        } else if (c.isSurrogate() || (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD)
                   || u == 0xFFFE || u == 0xFFFF) {
            result += replacementCharacter;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace

QString XmlDocument::escaped(const QString &text)
{
    const QString clean = withXmlCharactersOnly(text);
    QString result;
    result.reserve(clean.size());
    for (const QChar c : clean) {
        switch (c.unicode()) {
        case '&': result += QLatin1String("&amp;"); break;
        case '<': result += QLatin1String("&lt;"); break;
        case '>': result += QLatin1String("&gt;"); break;
        case '\r': result += QLatin1String("&#13;"); break;
        default: result += c;
        }
    }
    return result;
}

QString XmlDocument::cdata(const QString &text)
{
    return withXmlCharactersOnly(text).replace(QLatin1String("]]>"),
                                               QLatin1String("]]]]><![CDATA[>"));
}

QString XmlDocument::decimal(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value, 'g', 6);
    QString text = QString::number(value, 'f', decimals);
    int length = text.size();
    if (decimals > 0) {
        while (text.at(length - 1) == QLatin1Char('0'))
            --length;
        if (text.at(length - 1) == QLatin1Char('.'))
            --length;
    }
    text.truncate(length);
    if (text == QLatin1String("-0"))
        return QStringLiteral("0");
    return text;
}

QString XmlDocument::integer(double value, int lowest, int highest)
{
    if (!std::isfinite(value))
        return QString();
    const double whole = std::round(value);
    if (whole < lowest || whole > highest)
        return QString();
    return QString::number(qint64(whole));
}

void XmlDocument::appendElement(QString &text, int indent, const char *name,
                                const QString &value)
{
    if (value.isEmpty())
        return;
    text += QString(indent, QLatin1Char(' '));
    text += QStringLiteral("<%1>%2</%1>\n").arg(QLatin1String(name), value);
}

bool XmlDocument::save(const QString &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = document.toUtf8();
    // commit() closes the file without reporting a failure of the last
    // buffered write (a full disk, a file size limit), so flush explicitly.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
