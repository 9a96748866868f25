#include "MeasuredTexts.h"

namespace {

constexpr int sizesKept = 1024;

} // namespace

const QSizeF *MeasuredTexts::find(const QFont &font, const QString &text)
{
    if (font != sizesFont) {
        sizes.clear();
        sizesFont = font;
    }
    const auto known = sizes.constFind(text);
    return known != sizes.constEnd() ? &*known : nullptr;
}

void MeasuredTexts::keep(const QString &text, const QSizeF &size)
{
    if (sizes.size() >= sizesKept)
        sizes.clear();
    sizes.insert(text, size);
}
