// Where a printed problem or answer may start a new line, as textbooks set them: never
// inside a number (digits with their point, sign, root and power), a term (coefficient,
// letters, exponent) or a bracketed group; before a binary operator (which then starts the
// next line), after a space, and between the words of Japanese prose.
#pragma once

#include <QString>
#include <vector>

class QFontMetricsF;

namespace rekendo::worksheet {

// Positions i (0 < i < size) before which a line may begin.
std::vector<qsizetype> MathBreaks(const QString& text);

// `text` with U+2028 (a line separator) at the breaks that keep each line within `width`,
// filling lines greedily; a piece wider than `width` on its own (rare) is cut where it must.
// Laid out with QTextOption::ManualWrap, the lines are exactly these.
QString WrapMath(const QString& text, const QFontMetricsF& metrics, double width);

}  // namespace rekendo::worksheet
