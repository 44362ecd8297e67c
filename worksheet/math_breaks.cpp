#include "math_breaks.h"

#include <QFontMetricsF>

namespace rekendo::worksheet {

namespace {

bool IsOperator(QChar c) {
  switch (c.unicode()) {
    case u'＋': case u'－': case u'×': case u'÷': case u'＝': case u'＜': case u'＞':
    case u'≦': case u'≧': case u'+': case u'-': case u'=': case u'<': case u'>':
    case u'−':
      return true;
    default:
      return false;
  }
}

bool IsOpening(QChar c) { return c == u'（' || c == u'(' || c == u'［' || c == u'['; }
bool IsClosing(QChar c) { return c == u'）' || c == u')' || c == u'］' || c == u']'; }
bool IsSpace(QChar c) { return c == u' ' || c == u'\u3000'; }

// A character of a number or a term: digits, letters, the point, power, root and slash.
bool IsOperand(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'０' && u <= u'９') || (u >= u'a' && u <= u'z') ||
         (u >= u'A' && u <= u'Z') || (u >= u'ａ' && u <= u'ｚ') || (u >= u'Ａ' && u <= u'Ｚ') ||
         u == u'.' || u == u'．' || u == u'^' || u == u'＾' || u == u'√' || u == u'/' ||
         u == u'／' || u == u'²' || u == u'³' || u == u'π' || u == u'，' || u == u',';
}

bool IsMath(QChar c) { return IsOperand(c) || IsOperator(c) || IsOpening(c) || IsClosing(c); }

// Never at the start of a line (Japanese line-breaking rules).
bool NoLineStart(QChar c) {
  switch (c.unicode()) {
    case u'。': case u'、': case u'」': case u'』': case u'！': case u'？': case u'ー':
    case u'・': case u'：': case u'，': case u'．': case u'…':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<qsizetype> MathBreaks(const QString& text) {
  std::vector<qsizetype> breaks;
  int depth = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (i > 0) {
      const QChar before = text[i - 1];
      bool may = false;
      if (IsSpace(c)) {
        may = false;  // the space stays at the end of the line before
      } else if (IsSpace(before)) {
        may = true;
      } else if (IsOperator(c)) {
        // Binary only: after an operand or a closing bracket, outside brackets.
        may = depth == 0 && (IsOperand(before) || IsClosing(before));
      } else if (IsMath(c) && IsMath(before)) {
        may = false;
      } else {
        may = !NoLineStart(c);
      }
      if (may) breaks.push_back(i);
    }
    if (IsOpening(c)) ++depth;
    if (IsClosing(c) && depth > 0) --depth;
  }
  return breaks;
}

QString WrapMath(const QString& text, const QFontMetricsF& metrics, double width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  std::vector<qsizetype> ends = MathBreaks(text);
  ends.push_back(text.size());
  QString wrapped;
  qsizetype line_start = 0;
  qsizetype fitted = -1;  // the furthest end that fits on the current line
  const auto cut_long = [&](qsizetype from, qsizetype to) {
    // A piece wider than a line on its own: cut at characters, as little as it must.
    qsizetype start = from;
    for (qsizetype i = from + 1; i <= to; ++i) {
      if (i > start + 1 && metrics.horizontalAdvance(text.mid(start, i - start)) > width) {
        wrapped += text.mid(start, i - 1 - start) + QChar(0x2028);
        start = i - 1;
      }
    }
    return start;
  };
  for (std::size_t k = 0; k < ends.size(); ++k) {
    const qsizetype end = ends[k];
    if (metrics.horizontalAdvance(text.mid(line_start, end - line_start)) <= width) {
      fitted = end;
      continue;
    }
    if (fitted > line_start) {
      wrapped += text.mid(line_start, fitted - line_start) + QChar(0x2028);
      line_start = fitted;
      fitted = -1;
      --k;  // this end again, on the new line
      continue;
    }
    line_start = cut_long(line_start, end);
    fitted = end;
  }
  wrapped += text.mid(line_start);
  return wrapped;
}

}  // namespace rekendo::worksheet
