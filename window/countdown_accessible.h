// The countdown's frame as screen readers see it: a progress bar named 経過時間 whose value
// is the share of the question's time used so far (how far the red bar has filled), 0 to 100.
#pragma once

#include <QWidget>

namespace rekendo {

// Makes Qt describe a widget named "countdownFrame" this way, its bar being the sibling
// named "countdownBar". Safe to call more than once.
void InstallCountdownAccessibility();

// Tells screen readers that the bar inside `frame` changed.
void NotifyCountdownChanged(QWidget* frame);

}  // namespace rekendo
